#include "cli/StructuredOutput.h"

#include "cli/OutputFields.h"
#include "text/Csv.h"
#include "text/Json.h"
#include "text/Win1252.h"

#include <cstdio>

namespace corvana::cli {

Cell Cell::list(std::vector<std::string> items) {
    std::string joined;
    for (std::size_t i = 0; i < items.size(); ++i)
        joined += (i ? ";" : "") + items[i];
    return Cell{Kind::List, std::move(joined), std::move(items)};
}

const std::vector<std::string> ZipColumns = {
    "zip", "city", "state", "county", "area_code", "zone", "utc_offset", "dst", "local_time"};

namespace {

Cell Text(std::string s) {
    return Cell{Cell::Kind::Text, std::move(s)};
}
Cell TextOrNull(std::string s) {
    return s.empty() ? Cell{} : Text(std::move(s));
}
Cell Number(std::optional<int> v) {
    return v ? Cell{Cell::Kind::Number, std::to_string(*v)} : Cell{Cell::Kind::Number, {}};
}

// `timeOnly` are the settings with the zone label off, so that a time text is the time alone.
std::vector<Cell> ZipRow(const ZipLineFields& f, bool countyShown, const Settings& settings,
                         const Settings& timeOnly, ZoneTimes& times, const TimeContext& time) {
    const bool hasZone = f.zone != NoZone;
    std::string localTime;
    if (settings.showCurrentTime && hasZone) {
        localTime = times.text(ZipRecord::zoneByte(f.zone, f.dst), timeOnly, time);
        if (!localTime.empty() && localTime.front() == ' ')
            localTime.erase(0, 1);
    }
    return {Text(f.zip), TextOrNull(Win1252ToUtf8(f.city)), TextOrNull(Win1252ToUtf8(f.state)),
            countyShown ? TextOrNull(Win1252ToUtf8(f.county)) : Cell{},
            // A code, not a quantity: text, as show and phone write it.
            settings.showAreaCode && f.areaCode ? Text(std::to_string(*f.areaCode)) : Cell{},
            settings.showTimeZone ? TextOrNull(ZoneName(f.zone)) : Cell{},
            Number(hasZone ? std::optional<int>(f.zone - 12) : std::nullopt),
            hasZone ? Cell{Cell::Kind::Flag, f.dst ? "true" : "false"} : Cell{Cell::Kind::Flag, {}},
            TextOrNull(Win1252ToUtf8(localTime))};
}

std::vector<std::vector<Cell>> ZipRows(const SearchResult& result, bool countyShown,
                                       const Settings& settings, const TimeContext& time) {
    std::vector<std::vector<Cell>> rows;
    Settings timeOnly = settings;
    timeOnly.showTimeZone = false;
    ZoneTimes times;
    for (const ResultItem& item : result.items)
        if (item.as<ZipItem>())
            rows.push_back(ZipRow(
                item.fields ? *item.fields
                            : ZipLineFields{ListedZipCode(item), {}, {}, {}, {}, NoZone, false},
                countyShown, settings, timeOnly, times, time));
    return rows;
}

// A list of states, cities or counties: one column of the lines' texts, or for the main cities
// of the prefixes the prefix and the city.
std::vector<Cell> NameRow(const ResultItem& item) {
    if (const MainCityItem* m = item.as<MainCityItem>()) {
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "%03d", m->prefix);
        return {Text(prefix), Text(Win1252ToUtf8(MainCityText(item)))};
    }
    return {Text(Win1252ToUtf8(item.text))};
}

std::vector<std::string> NameColumns(ItemKind kind) {
    switch (kind) {
    case ItemKind::MainCity:
        return {"prefix", "city"};
    case ItemKind::State:
        return {"state"};
    case ItemKind::County:
        return {"county"};
    case ItemKind::City:
    case ItemKind::Zip:
    case ItemKind::NoMatch:
        break;
    }
    return {"city"};
}

} // namespace

Table TabulateResult(const SearchResult& result, bool countyMode, const Settings& settings,
                     const TimeContext& time) {
    Table t;
    if (!result.listShown || !result.heading)
        return t;
    const ItemKind holds = result.heading->holds;
    if (holds == ItemKind::Zip) {
        t.columns = ZipColumns;
        t.rows = ZipRows(result, countyMode || settings.showCounty, settings, time);
        return t;
    }
    t.columns = NameColumns(holds);
    for (const ResultItem& item : result.items) {
        if (item.kind() != ItemKind::NoMatch)
            t.rows.push_back(NameRow(item));
    }
    return t;
}

std::string TableCsv(const Table& table) {
    std::string out;
    if (table.columns.empty())
        return out;
    auto line = [&out](auto&& fieldAt, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            if (i)
                out += ',';
            AppendCsvField(out, fieldAt(i));
        }
        out += "\r\n";
    };
    line([&](std::size_t i) -> std::string_view { return table.columns[i]; }, table.columns.size());
    for (const auto& row : table.rows)
        line(
            [&](std::size_t i) -> std::string_view {
                return row[i].text ? std::string_view(*row[i].text) : std::string_view();
            },
            row.size());
    return out;
}

std::string TableJson(const Table& table) {
    std::string out = "[";
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        out += r ? ",\n  {" : "\n  {";
        const auto& row = table.rows[r];
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i)
                out += ", ";
            AppendJsonString(out, table.columns[i]);
            out += ": ";
            if (row[i].kind == Cell::Kind::List) {
                out += '[';
                for (std::size_t k = 0; k < row[i].items.size(); ++k) {
                    if (k)
                        out += ", ";
                    AppendJsonString(out, row[i].items[k]);
                }
                out += ']';
            } else if (!row[i].text)
                out += "null";
            else if (row[i].kind == Cell::Kind::Text)
                AppendJsonString(out, *row[i].text);
            else
                out += *row[i].text;
        }
        out += '}';
    }
    out += table.rows.empty() ? "]\n" : "\n]\n";
    return out;
}

} // namespace corvana::cli
