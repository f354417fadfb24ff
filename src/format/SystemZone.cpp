#include "format/SystemZone.h"

#include "data/ZipFacts.h"
#include "format/LocalTime.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <vector>

namespace corvana {

UserZone ClockUserZone(const Clock& clock) {
    using namespace std::chrono;
    const year y{clock.now().year};
    // Noon UTC of the 15th: no changeover of any zone falls near it, and the two dates lie on
    // either side of both hemispheres' summers.
    auto noon = [](sys_days d) { return (d + hours(12)).time_since_epoch() / 1s; };
    const std::optional<long> january = clock.utcOffset(noon(sys_days{y / January / 15}));
    const std::optional<long> july = clock.utcOffset(noon(sys_days{y / July / 15}));
    if (!january || !july)
        return {};

    // Summer time is the later of the two offsets wherever it is kept.
    const long standard = std::min(*january, *july);
    if (standard % 3600 != 0 || standard < -12 * 3600 || standard > 12 * 3600)
        return {};
    return {std::int32_t(standard / 3600 + 12), *january != *july};
}

namespace {

std::optional<ZoneInfo> readZone(std::string_view name) {
    // Only a name of the database's form is joined to its folder: no "..", no leading "/".
    if (!IsZoneNameForm(name))
        return std::nullopt;
    const char* dir = std::getenv("TZDIR");
    const std::string path =
        std::string(dir && *dir ? dir : "/usr/share/zoneinfo") + "/" + std::string(name);
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    // A zone's file is a few kilobytes; anything far bigger is no zone.
    constexpr std::size_t Limit = 1 << 20;
    std::vector<std::uint8_t> bytes(Limit + 1);
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    const std::size_t got = std::size_t(in.gcount());
    if (got > Limit)
        return std::nullopt;
    bytes.resize(got);
    return ZoneInfo::fromBytes(bytes);
}

} // namespace

const ZoneInfo* SystemZoneInfo(std::string_view name) {
    static std::mutex lock;
    static std::map<std::string, std::optional<ZoneInfo>, std::less<>> known;
    const std::lock_guard<std::mutex> hold(lock);
    auto it = known.find(name);
    if (it == known.end())
        it = known.emplace(std::string(name), readZone(name)).first;
    return it->second ? &*it->second : nullptr;
}

} // namespace corvana
