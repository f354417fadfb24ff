#pragma once

#include "data/DataSet.h"
#include "data/ExchangeFormat.h"
#include "data/MappedFile.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvana::msg {
inline constexpr const char* NoExchanges = "This data has no telephone exchanges.";
inline constexpr const char* ExchangesCorrupt = "File containing telephone exchanges is corrupt.";
inline constexpr const char* ExchangesUnreadable =
    "File containing telephone exchanges could not be read.";
} // namespace corvana::msg

namespace corvana {

// The zones a number may be in, as zone bytes (ZipRecord::zoneByte), the zone furthest east
// first, and each zone's name in the time-zone database ("America/Boise"), empty where the file
// names none (every zone of a version 1 file).
struct ZoneSet {
    std::uint8_t count = 0;
    std::array<std::uint8_t, MaxZones> codes{};
    std::array<std::string_view, MaxZones> names{};

    std::span<const std::uint8_t> zones() const { return {codes.data(), count}; }
    bool operator==(const ZoneSet&) const = default;
};

// The place of an exchange as the ZIP table writes it: the city (Windows-1252) and its state,
// or, outside the ZIP table, as the telephone data writes it ("Toronto" and "ON"); the state may
// be empty for a country without states ("Jamaica").
struct ExchangePlace {
    std::string_view city;
    std::string_view state;
};

// What the file knows of one area code and exchange: the exchange's place and zones when the
// telephone data names it, else nothing but the area code's zones.
struct ExchangeAnswer {
    std::string_view areaState; // the area code's state; empty when it has none
    std::string_view country;   // the area code's country: "US", "CA", "JM" ...
    std::string_view areaName;  // the province's or country's name; may be empty
    ZoneSet areaZones;
    std::optional<ExchangePlace> place; // empty: the exchange has no place, "area code only"
    ZoneSet zones;                      // the place's zones, or the area code's
};

// EXCHANGE.DAT, checked whole when it is opened and read-only afterwards. The views it hands
// out last as long as the object.
class Exchanges {
public:
    // Checks every count, offset, order and zone; nothing when the bytes are damaged. The bytes
    // are copied.
    static std::optional<Exchanges> fromBytes(std::span<const std::uint8_t> bytes);
    // The same over a mapped file, which the object keeps.
    static std::optional<Exchanges> fromFile(MappedFile file);

    std::size_t areaCount() const { return header_.areaCount; }
    std::size_t exchangeCount() const { return header_.exchangeCount; }

    // Nothing when the area code is not in the file (not one of this data's area codes).
    std::optional<ExchangeAnswer> find(std::uint16_t areaCode, std::uint16_t exchange) const;

private:
    Exchanges() = default;
    bool check();
    bool checkZoneSets() const;
    bool checkAreas();
    bool checkNames() const;
    std::size_t zoneSetAt(std::size_t n) const;
    std::size_t exchangesAt() const;
    std::size_t placeOffsetsAt() const;
    std::string_view zoneName(std::size_t n) const;
    ZoneSet zoneSet(std::size_t n) const;
    AreaEntry area(std::size_t n) const;
    ExchangeEntry exchangeAt(std::size_t n) const;
    ExchangePlace place(std::size_t n) const;
    std::size_t areaAt(std::size_t n) const;

    std::optional<MappedFile> map_;
    std::vector<std::uint8_t> copy_;
    std::span<const std::uint8_t> bytes_;
    ExchangeHeader header_;
    std::array<std::int16_t, 1000> areaIndex_{};
};

enum class ExchangesStatus {
    Loaded,
    Missing, // no EXCHANGE.DAT: a data set built without the exchange table
    Damaged  // present but unreadable or corrupt
};

struct ExchangesLoad {
    std::optional<Exchanges> exchanges; // set when Loaded
    ExchangesStatus status = ExchangesStatus::Missing;
    std::string message; // msg::NoExchanges, msg::ExchangesCorrupt or msg::ExchangesUnreadable
};

// Opens and checks EXCHANGE.DAT of the data directory.
ExchangesLoad LoadExchanges(const DataSet& data);

// EXCHANGE.DAT read the first time it is asked for and kept from then on, so that a data set
// whose user never asks about a telephone number never reads it.
class ExchangesOnDemand {
public:
    const ExchangesLoad& get(const DataSet& data) {
        if (!load_)
            load_ = LoadExchanges(data);
        return *load_;
    }

private:
    std::optional<ExchangesLoad> load_;
};

} // namespace corvana

namespace corvana {

// What corvana-mkdata writes into EXCHANGE.DAT: each area code with the zones where its people
// are, and each placed exchange with its place (Windows-1252 city, two-letter state) and zones.
// Zones are zone bytes; a set holds 1 to MaxZones of them, and `zoneNames` either nothing or
// one name of the time-zone database per zone, in the same order ("" for a zone without one).
struct ExchangeTableArea {
    ExchangeTableArea(std::uint16_t code_, std::string state_, std::vector<std::uint8_t> zones_,
                      std::vector<std::string> zoneNames_ = {}, std::string country_ = "US",
                      std::string name_ = {})
        : code(code_), state(std::move(state_)), zones(std::move(zones_)),
          zoneNames(std::move(zoneNames_)), country(std::move(country_)), name(std::move(name_)) {}

    std::uint16_t code = 0;
    std::string state; // two letters, or empty
    std::vector<std::uint8_t> zones;
    std::vector<std::string> zoneNames;
    std::string country = "US"; // two capital letters
    std::string name;           // Windows-1252: the province's or country's name, or empty
};
struct ExchangeTableRow {
    ExchangeTableRow(std::uint16_t area_, std::uint16_t exchange_, std::string city_,
                     std::string state_, std::vector<std::uint8_t> zones_,
                     std::vector<std::string> zoneNames_ = {})
        : area(area_), exchange(exchange_), city(std::move(city_)), state(std::move(state_)),
          zones(std::move(zones_)), zoneNames(std::move(zoneNames_)) {}

    std::uint16_t area = 0;
    std::uint16_t exchange = 0;
    std::string city;
    std::string state; // two letters; empty only outside the US
    std::vector<std::uint8_t> zones;
    std::vector<std::string> zoneNames;
};

// The bytes of EXCHANGE.DAT, version 2. Rows may come in any order; the area codes of the rows
// must be among `areas`. Throws std::invalid_argument, naming the area code or exchange, for
// what the rules of data/ExchangeRules.h refuse (a code outside 200 to 999, a zone set of no or
// too many zones or a zone off the scale, zone names that do not match the zones one for one
// or are no zone names, a city that is empty, too long or holds a control character, a state
// that is not two capital letters (an area code's may be empty, and so may that of a place
// outside the US), a country that is not two capital letters) and for a code given twice.
std::string WriteExchangeFile(std::vector<ExchangeTableArea> areas,
                              std::vector<ExchangeTableRow> rows);

} // namespace corvana
