#include "mkdata/ExchangeTable.h"

#include "data/ExchangeRules.h"
#include "data/Exchanges.h"
#include "data/ZipFacts.h"
#include "mkdata/InputError.h"
#include "text/Csv.h"
#include "text/Win1252.h"

#include <array>
#include <charconv>
#include <map>
#include <stdexcept>
#include <vector>

namespace corvana::mkdata {

namespace {

constexpr std::size_t ColumnCount = std::size(ExchangeColumns);
// Columns the builder needs; those from source on may be left out.
constexpr std::size_t NeededColumns = 5;
enum Column : std::size_t { Area, Exchange, City, State, Zones, Source, TimeZones, Country };

std::string quoted(std::string_view s) {
    return "\"" + std::string(s) + "\"";
}

std::uint16_t codeValue(std::string_view field, std::string_view what, std::size_t line) {
    unsigned v = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), v);
    if (field.size() != 3 || ec != std::errc() || end != field.data() + field.size() ||
        !IsNanpCode(v))
        throw InputError(line, "bad " + std::string(what) + " " + quoted(field) +
                                   " (three digits from 200 to 999 wanted)");
    return std::uint16_t(v);
}

std::uint8_t zoneValue(std::string_view item, std::size_t line) {
    const std::size_t colon = item.find(':');
    int hours = 99;
    std::string_view dst;
    if (colon != std::string_view::npos) {
        std::string_view offset = item.substr(0, colon);
        dst = item.substr(colon + 1);
        const bool west = offset.starts_with('-');
        // from_chars takes a minus sign but not a plus.
        if (offset.size() > 1 && offset.front() == '+' && offset[1] >= '0' && offset[1] <= '9')
            offset.remove_prefix(1);
        const auto [end, ec] = std::from_chars(offset.data(), offset.data() + offset.size(), hours);
        if (ec != std::errc() || end != offset.data() + offset.size())
            hours = 99;
        // A zone half an hour off the whole hours is filed under the hour west of it; its name
        // in time_zones gives the truth.
        if (dst.starts_with("30:")) {
            dst.remove_prefix(3);
            hours -= west ? 1 : 0;
        }
    }
    // Zone number 0, which UTC-12 would give, is "no time zone".
    if (!IsZoneOnScale(hours + 12) || (dst != "Y" && dst != "N"))
        throw InputError(line, "bad zone " + quoted(item) +
                                   " (OFFSET:Y or OFFSET:N, the offset from -11 to 12, wanted)");
    return ZipRecord::zoneByte(hours + 12, dst == "Y");
}

std::vector<std::string> zoneNamesValue(std::string_view field, std::size_t count,
                                        std::size_t line) {
    std::vector<std::string> names;
    if (field.empty())
        return names;
    while (true) {
        const std::size_t semi = field.find(';');
        const std::string name(field.substr(0, semi));
        if (!IsZoneNameForm(name))
            throw InputError(line, "bad time zone " + quoted(name) +
                                       " (a name such as America/Boise wanted)");
        names.push_back(name);
        if (semi == std::string_view::npos)
            break;
        field.remove_prefix(semi + 1);
    }
    if (names.size() != count)
        throw InputError(line, std::to_string(names.size()) + " time zones for " +
                                   std::to_string(count) + " zones");
    return names;
}

std::vector<std::uint8_t> zonesValue(std::string_view field, std::size_t line) {
    std::vector<std::uint8_t> zones;
    while (true) {
        const std::size_t semi = field.find(';');
        zones.push_back(zoneValue(field.substr(0, semi), line));
        if (semi == std::string_view::npos)
            break;
        field.remove_prefix(semi + 1);
    }
    if (!IsZoneCount(zones.size()))
        throw InputError(line, "more than " + std::to_string(MaxZones) + " zones");
    return zones;
}

std::string stateValue(std::string_view field, bool mayBeEmpty, std::size_t line) {
    if (!IsStateLetters(field) && !(mayBeEmpty && field.empty()))
        throw InputError(line, "bad state " + quoted(field) + " (two capital letters wanted)");
    return std::string(field);
}

std::string cityValue(std::string_view field, std::size_t line) {
    const auto text = Utf8ToWin1252(field);
    if (!text)
        throw InputError(line,
                         "city " + quoted(field) + " is not UTF-8 that Windows-1252 can represent");
    switch (CheckPlaceCity(*text)) {
    case PlaceCityFault::EmptyOrLong:
        throw InputError(line, "city " + quoted(field) + " is empty or longer than " +
                                   std::to_string(MaxPlaceCityBytes) + " bytes");
    case PlaceCityFault::ControlCharacter:
        throw InputError(line, "city " + quoted(field) + " holds a control character");
    case PlaceCityFault::None:
        break;
    }
    return *text;
}

} // namespace

std::string BuildExchangeFile(std::string_view csv) {
    CsvReader reader(csv, CsvOptions{.loneCrEndsLine = false});
    CsvRecord record;
    std::array<std::size_t, ColumnCount> where;
    where.fill(SIZE_MAX);
    bool header = true;
    std::vector<ExchangeTableArea> areas;
    std::vector<ExchangeTableRow> rows;
    std::map<std::uint16_t, std::string> countries;
    try {
        while (reader.next(record)) {
            if (record.isEmptyLine())
                continue;
            if (header) {
                for (std::size_t i = 0; i < record.fields.size(); ++i) {
                    std::string name = record.value(i);
                    if (i == 0 && name.starts_with("\xEF\xBB\xBF"))
                        name.erase(0, 3);
                    for (std::size_t c = 0; c < ColumnCount; ++c)
                        if (name == ExchangeColumns[c])
                            where[c] = i;
                }
                for (std::size_t c = 0; c < NeededColumns; ++c)
                    if (where[c] == SIZE_MAX)
                        throw InputError(record.line,
                                         "missing column " + quoted(ExchangeColumns[c]));
                header = false;
                continue;
            }
            const std::size_t line = record.line;
            auto field = [&](std::size_t c) {
                return where[c] < record.fields.size() ? record.value(where[c]) : std::string();
            };
            const std::uint16_t area = codeValue(field(Area), "area_code", line);
            const std::string exchange = field(Exchange);
            std::vector<std::uint8_t> zones = zonesValue(field(Zones), line);
            std::vector<std::string> names = zoneNamesValue(field(TimeZones), zones.size(), line);
            if (exchange.empty()) {
                const std::string country = field(Country).empty() ? "US" : field(Country);
                if (!IsStateLetters(country))
                    throw InputError(line, "bad country " + quoted(country) +
                                               " (two capital letters wanted)");
                const std::string name = field(City);
                countries[area] = country;
                areas.push_back(ExchangeTableArea{area, stateValue(field(State), true, line),
                                                  std::move(zones), std::move(names), country,
                                                  name.empty() ? "" : cityValue(name, line)});
            } else {
                // A place outside the US may lack a state; its area code comes first.
                const auto known = countries.find(area);
                const bool abroad = known != countries.end() && known->second != "US";
                rows.push_back(ExchangeTableRow{
                    area, codeValue(exchange, "exchange", line), cityValue(field(City), line),
                    stateValue(field(State), abroad, line), std::move(zones), std::move(names)});
            }
        }
    } catch (const CsvError& e) {
        throw InputError(e.line(), e.description());
    }
    if (header)
        throw InputError(0, "the exchange table is empty: no header line");
    try {
        return WriteExchangeFile(std::move(areas), std::move(rows));
    } catch (const std::invalid_argument& e) {
        throw InputError(0, e.what());
    }
}

} // namespace corvana::mkdata
