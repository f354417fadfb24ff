#include "data/Exchanges.h"

#include "data/ExchangeRules.h"

#include <algorithm>
#include <array>
#include <map>
#include <stdexcept>

namespace corvana {

namespace {

std::string codeText(std::uint16_t area, int exchange = -1) {
    std::string s = std::to_string(area);
    if (exchange >= 0)
        s += "-" + std::to_string(exchange);
    return s;
}

void checkCode(std::uint16_t code, const std::string& what) {
    if (!IsNanpCode(code))
        throw std::invalid_argument(what + ": not a code from 200 to 999");
}

// Zone sets are shared: the file names each distinct set once.
class ZoneSets {
public:
    std::uint16_t number(std::vector<std::uint8_t> zones, const std::string& what) {
        if (!IsZoneCount(zones.size()))
            throw std::invalid_argument(what + ": from 1 to " + std::to_string(MaxZones) +
                                        " zones are needed");
        for (std::uint8_t z : zones) {
            if (!IsZoneOnScale(ZipRecord::zoneOf(z)))
                throw std::invalid_argument(what + ": a zone off the scale");
        }
        // Furthest east first: the highest zone number, then without daylight saving.
        std::sort(zones.begin(), zones.end(), [](std::uint8_t a, std::uint8_t b) {
            return ZipRecord::zoneOf(a) != ZipRecord::zoneOf(b)
                       ? ZipRecord::zoneOf(a) > ZipRecord::zoneOf(b)
                       : a < b;
        });
        zones.erase(std::unique(zones.begin(), zones.end()), zones.end());
        // Keyed by a fixed-size array: zone bytes are never zero, so the zeros after a shorter
        // set tell it apart. (A vector key's comparison, inlined at -O3, makes GCC 12 warn of a
        // memcmp beyond any object.)
        ZoneKey key{};
        std::copy(zones.begin(), zones.end(), key.begin());
        auto [it, added] = known_.try_emplace(key, std::uint16_t(known_.size()));
        if (added)
            order_.push_back(zones);
        return it->second;
    }
    const std::vector<std::vector<std::uint8_t>>& order() const { return order_; }

private:
    using ZoneKey = std::array<std::uint8_t, MaxZones>;
    std::map<ZoneKey, std::uint16_t> known_;
    std::vector<std::vector<std::uint8_t>> order_;
};

// The entries of the area codes, sorted by code; their first exchanges are set later.
std::vector<AreaEntry> areaEntriesOf(const std::vector<ExchangeTableArea>& areas, ZoneSets& sets) {
    std::vector<AreaEntry> entries;
    for (std::size_t i = 0; i < areas.size(); ++i) {
        const std::string what = "area code " + codeText(areas[i].code);
        checkCode(areas[i].code, what);
        if (i > 0 && areas[i].code == areas[i - 1].code)
            throw std::invalid_argument(what + ": given twice");
        const std::string& st = areas[i].state;
        if (!st.empty() && !IsStateLetters(st))
            throw std::invalid_argument(what + ": the state is not two capital letters");
        AreaEntry a{areas[i].code, sets.number(areas[i].zones, what), 0, {0, 0}};
        if (!st.empty())
            st.copy(a.state, 2);
        entries.push_back(a);
    }
    return entries;
}

} // namespace

std::string WriteExchangeFile(std::vector<ExchangeTableArea> areas,
                              std::vector<ExchangeTableRow> rows) {
    std::sort(areas.begin(), areas.end(),
              [](const auto& a, const auto& b) { return a.code < b.code; });
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
        return a.area != b.area ? a.area < b.area : a.exchange < b.exchange;
    });
    ZoneSets sets;
    std::vector<AreaEntry> areaEntries = areaEntriesOf(areas, sets);

    std::map<std::string, std::uint32_t> placeNumbers;
    std::string names;
    std::vector<std::uint32_t> placeOffsets;
    std::vector<ExchangeEntry> exchanges;
    std::size_t area = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ExchangeTableRow& r = rows[i];
        const std::string what = "exchange " + codeText(r.area, r.exchange);
        checkCode(r.exchange, what);
        if (i > 0 && r.area == rows[i - 1].area && r.exchange == rows[i - 1].exchange)
            throw std::invalid_argument(what + ": given twice");
        while (area < areaEntries.size() && areaEntries[area].code < r.area)
            ++area;
        if (area >= areaEntries.size() || areaEntries[area].code != r.area)
            throw std::invalid_argument(what + ": its area code has no zones");
        switch (CheckPlaceCity(r.city)) {
        case PlaceCityFault::EmptyOrLong:
            throw std::invalid_argument(what + ": the city is empty or too long");
        case PlaceCityFault::ControlCharacter:
            throw std::invalid_argument(what + ": the city holds a control character");
        case PlaceCityFault::None:
            break;
        }
        if (!IsStateLetters(r.state))
            throw std::invalid_argument(what + ": the state is not two capital letters");
        const std::string key = r.city + r.state;
        auto [it, added] = placeNumbers.try_emplace(key, std::uint32_t(placeOffsets.size()));
        if (added) {
            placeOffsets.push_back(std::uint32_t(names.size()));
            storeU8(names, std::uint8_t(key.size()));
            names += key;
        }
        exchanges.push_back(ExchangeEntry{r.exchange, sets.number(r.zones, what), it->second});
    }
    // Each area's run starts where the exchanges of the area codes before it end.
    std::size_t next = 0;
    for (AreaEntry& a : areaEntries) {
        while (next < rows.size() && rows[next].area < a.code)
            ++next;
        a.first = std::uint32_t(next);
    }

    if (sets.order().size() > 0xFFFF)
        throw std::invalid_argument("more than 65,535 zone sets");
    std::string out;
    ExchangeHeader{std::uint16_t(areaEntries.size()), std::uint16_t(sets.order().size()),
                   std::uint32_t(exchanges.size()), std::uint32_t(placeOffsets.size()),
                   std::uint32_t(names.size())}
        .encode(out);
    for (const auto& zones : sets.order()) {
        storeU8(out, std::uint8_t(zones.size()));
        for (std::size_t i = 0; i < MaxZones; ++i)
            storeU8(out, i < zones.size() ? zones[i] : 0);
    }
    for (const AreaEntry& a : areaEntries)
        a.encode(out);
    for (const ExchangeEntry& e : exchanges)
        e.encode(out);
    for (std::uint32_t offset : placeOffsets)
        storeU32(out, offset);
    out += names;
    return out;
}

} // namespace corvana
