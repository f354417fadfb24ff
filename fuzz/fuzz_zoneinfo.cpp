// The reader of the time-zone database's compiled files (TZif) on arbitrary bytes: a file is
// either refused or read, and a read file answers every instant, before, among and after its
// transitions and under its footer's rule, with an offset within a day and a short abbreviation.
#include "FuzzUtil.h"

#include "format/ZoneInfo.h"

#include <cstdint>
#include <limits>

using namespace corvana;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const auto zone = ZoneInfo::fromBytes({bytes, size});
    if (!zone)
        return 0;
    constexpr std::int64_t Year = 365 * 86400;
    for (std::int64_t at :
         {std::numeric_limits<std::int64_t>::min() / 2, std::int64_t(-1) << 40, std::int64_t(0),
          54 * Year, 54 * Year + 200 * 86400, 130 * Year, std::int64_t(1) << 40}) {
        const ZoneMoment m = zone->at(at);
        FUZZ_CHECK(m.offset > -26 * 3600 && m.offset < 26 * 3600);
        FUZZ_CHECK(m.abbreviation.size() < size);
    }
    for (int year : {1900, 2026, 2100}) {
        const long standard = zone->standardOffset(year);
        FUZZ_CHECK(standard > -26 * 3600 && standard < 26 * 3600);
    }
    return 0;
}
