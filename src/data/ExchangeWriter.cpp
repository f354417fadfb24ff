#include "data/Exchanges.h"

#include "data/ExchangeRules.h"
#include "data/ZipFacts.h"

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

void checkCountry(const std::string& country, const std::string& what) {
    if (!IsStateLetters(country))
        throw std::invalid_argument(what + ": the country is not two capital letters");
}

// Zone sets are shared: the file names each distinct set once, and each zone name once.
class ZoneSets {
public:
    std::uint16_t number(const std::vector<std::uint8_t>& codes,
                         const std::vector<std::string>& names, const std::string& what) {
        if (!IsZoneCount(codes.size()))
            throw std::invalid_argument(what + ": from 1 to " + std::to_string(MaxZones) +
                                        " zones are needed");
        if (!names.empty() && names.size() != codes.size())
            throw std::invalid_argument(what + ": a zone name is needed for every zone");
        std::vector<std::pair<std::uint8_t, std::string>> zones;
        for (std::size_t i = 0; i < codes.size(); ++i) {
            if (!IsZoneOnScale(ZipRecord::zoneOf(codes[i])))
                throw std::invalid_argument(what + ": a zone off the scale");
            const std::string name = names.empty() ? std::string() : names[i];
            if (!name.empty() && !IsZoneNameForm(name))
                throw std::invalid_argument(what + ": \"" + name + "\" is no zone name");
            zones.emplace_back(codes[i], name);
        }
        // Furthest east first: the highest zone number, then without daylight saving.
        std::sort(zones.begin(), zones.end(), [](const auto& a, const auto& b) {
            const int za = ZipRecord::zoneOf(a.first), zb = ZipRecord::zoneOf(b.first);
            return za != zb ? za > zb : a < b;
        });
        zones.erase(std::unique(zones.begin(), zones.end()), zones.end());
        Key key{};
        for (std::size_t i = 0; i < zones.size(); ++i) {
            key.codes[i] = zones[i].first;
            key.names[i] = zones[i].second.empty() ? UnnamedZone : nameNumber(zones[i].second);
        }
        auto [it, added] = known_.try_emplace(key, std::uint16_t(known_.size()));
        if (added)
            order_.push_back(Set{std::uint8_t(zones.size()), key});
        return it->second;
    }

    // The bytes of the sets, in the order of their numbers.
    void encode(std::string& out) const {
        for (const Set& set : order_) {
            storeU8(out, set.count);
            for (std::uint8_t code : set.key.codes)
                storeU8(out, code);
            for (std::size_t i = 0; i < MaxZones; ++i)
                storeU16(out, i < set.count ? set.key.names[i] : UnnamedZone);
        }
    }
    std::size_t count() const { return order_.size(); }
    const std::vector<std::string>& names() const { return names_; }

private:
    // Keyed by fixed-size arrays: zone bytes are never zero, so the zeros after a shorter set
    // tell it apart. (A vector key's comparison, inlined at -O3, makes GCC 12 warn of a memcmp
    // beyond any object.)
    struct Key {
        std::array<std::uint8_t, MaxZones> codes{};
        std::array<std::uint16_t, MaxZones> names{};
        auto operator<=>(const Key&) const = default;
    };
    struct Set {
        std::uint8_t count = 0;
        Key key;
    };
    std::uint16_t nameNumber(const std::string& name) {
        auto [it, added] = nameNumbers_.try_emplace(name, std::uint16_t(names_.size()));
        if (added) {
            if (names_.size() >= UnnamedZone)
                throw std::invalid_argument("more than 65,534 zone names");
            names_.push_back(name);
        }
        return it->second;
    }
    std::map<Key, std::uint16_t> known_;
    std::vector<Set> order_;
    std::map<std::string, std::uint16_t> nameNumbers_;
    std::vector<std::string> names_;
};

// The names of places: each distinct city and state once, as an offset into a block of names.
class Places {
public:
    std::uint32_t number(const std::string& city, const std::string& state) {
        // A place without a state (a country of the plan without states) ends in two 0 bytes.
        const std::string key = city + (state.empty() ? std::string(2, '\0') : state);
        auto [it, added] = numbers_.try_emplace(key, std::uint32_t(offsets_.size()));
        if (added) {
            offsets_.push_back(std::uint32_t(names_.size()));
            storeU8(names_, std::uint8_t(key.size()));
            names_ += key;
        }
        return it->second;
    }
    const std::vector<std::uint32_t>& offsets() const { return offsets_; }
    const std::string& names() const { return names_; }

private:
    std::map<std::string, std::uint32_t> numbers_;
    std::vector<std::uint32_t> offsets_;
    std::string names_;
};

void checkCity(const std::string& city, const std::string& what) {
    switch (CheckPlaceCity(city)) {
    case PlaceCityFault::EmptyOrLong:
        throw std::invalid_argument(what + ": the city is empty or too long");
    case PlaceCityFault::ControlCharacter:
        throw std::invalid_argument(what + ": the city holds a control character");
    case PlaceCityFault::None:
        break;
    }
}

// The entries of the area codes, sorted by code; their first exchanges are set later.
std::vector<AreaEntry> areaEntriesOf(const std::vector<ExchangeTableArea>& areas, ZoneSets& sets,
                                     Places& places) {
    std::vector<AreaEntry> entries;
    for (std::size_t i = 0; i < areas.size(); ++i) {
        const ExchangeTableArea& area = areas[i];
        const std::string what = "area code " + codeText(area.code);
        checkCode(area.code, what);
        if (i > 0 && area.code == areas[i - 1].code)
            throw std::invalid_argument(what + ": given twice");
        const std::string& st = area.state;
        if (!st.empty() && !IsStateLetters(st))
            throw std::invalid_argument(what + ": the state is not two capital letters");
        checkCountry(area.country, what);
        AreaEntry a{area.code, sets.number(area.zones, area.zoneNames, what), 0, {0, 0}};
        if (!st.empty())
            st.copy(a.state, 2);
        area.country.copy(a.country, 2);
        if (!area.name.empty()) {
            checkCity(area.name, what);
            a.place = places.number(area.name, st);
        }
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
    Places places;
    std::vector<AreaEntry> areaEntries = areaEntriesOf(areas, sets, places);

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
        checkCity(r.city, what);
        const bool abroad = std::string_view(areaEntries[area].country, 2) != "US";
        if (!IsStateLetters(r.state) && !(abroad && r.state.empty()))
            throw std::invalid_argument(what + ": the state is not two capital letters");
        exchanges.push_back(ExchangeEntry{r.exchange, sets.number(r.zones, r.zoneNames, what),
                                          places.number(r.city, r.state)});
    }
    // Each area's run starts where the exchanges of the area codes before it end.
    std::size_t next = 0;
    for (AreaEntry& a : areaEntries) {
        while (next < rows.size() && rows[next].area < a.code)
            ++next;
        a.first = std::uint32_t(next);
    }

    if (sets.count() > 0xFFFF)
        throw std::invalid_argument("more than 65,535 zone sets");
    std::string zoneNames;
    std::vector<std::uint32_t> zoneNameOffsets;
    for (const std::string& name : sets.names()) {
        zoneNameOffsets.push_back(std::uint32_t(zoneNames.size()));
        storeU8(zoneNames, std::uint8_t(name.size()));
        zoneNames += name;
    }
    constexpr ExchangeVersion Version = ExchangeVersion::V2;
    ExchangeHeader header;
    header.version = Version;
    header.areaCount = std::uint16_t(areaEntries.size());
    header.zoneSetCount = std::uint16_t(sets.count());
    header.exchangeCount = std::uint32_t(exchanges.size());
    header.placeCount = std::uint32_t(places.offsets().size());
    header.namesSize = std::uint32_t(places.names().size());
    header.zoneNameCount = std::uint16_t(zoneNameOffsets.size());
    header.zoneNamesSize = std::uint32_t(zoneNames.size());
    std::string out;
    header.encode(out);
    sets.encode(out);
    for (const AreaEntry& a : areaEntries)
        a.encode(out, Version);
    for (const ExchangeEntry& e : exchanges)
        e.encode(out);
    for (std::uint32_t offset : places.offsets())
        storeU32(out, offset);
    out += places.names();
    for (std::uint32_t offset : zoneNameOffsets)
        storeU32(out, offset);
    out += zoneNames;
    return out;
}

} // namespace corvana
