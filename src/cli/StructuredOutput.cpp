#include "cli/StructuredOutput.h"

#include "cli/ZipFields.h"
#include "data/ZipFile.h"
#include "search/SearchCommon.h"
#include "text/Win1252.h"

namespace corvana::cli {

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
std::vector<Cell> ZipRow(const ZipFields& f, std::uint8_t zoneCode, bool countyShown,
                         const Settings& settings, const Settings& timeOnly, ZoneTimes& times,
                         const TimeContext& time) {
    std::string localTime;
    if (settings.showCurrentTime && f.hasZone()) {
        localTime = times.text(zoneCode, timeOnly, time);
        if (!localTime.empty() && localTime.front() == ' ')
            localTime.erase(0, 1);
    }
    return {Text(f.zip),
            TextOrNull(f.city),
            TextOrNull(f.state),
            countyShown ? TextOrNull(f.county) : Cell{},
            settings.showAreaCode ? Number(f.areaCode) : Cell{Cell::Kind::Number, {}},
            settings.showTimeZone ? TextOrNull(ZoneName(f.zone)) : Cell{},
            Number(f.utcOffset()),
            f.hasZone() ? Cell{Cell::Kind::Flag, f.dst ? "true" : "false"}
                        : Cell{Cell::Kind::Flag, {}},
            TextOrNull(Win1252ToUtf8(localTime))};
}

} // namespace

Table TabulateResult(const SearchResult& result, bool countyMode, const DataSet& data,
                     const Settings& settings, const TimeContext& time) {
    Table t;
    if (!result.listShown || !result.heading)
        return t;
    const std::string& heading = *result.heading;
    // The copy and print controls are on exactly while the list holds ZIP lines.
    if (result.outputControls) {
        t.columns = ZipColumns;
        std::optional<ZipFile> zip;
        std::optional<CityFile> city;
        Settings timeOnly = settings;
        timeOnly.showTimeZone = false;
        ZoneTimes times;
        for (const ResultItem& item : result.items) {
            if (!item.record)
                continue;
            if (!zip) {
                city = detail::OpenCityFile(data);
                zip = detail::OpenZipFile(data);
            }
            const ZipRecord rec = zip->read(*item.record);
            t.rows.push_back(ZipRow(ReadZipFields(rec, *city, data, settings), rec.timeZone,
                                    countyMode || settings.showCounty, settings, timeOnly, times,
                                    time));
        }
        return t;
    }
    const bool areaLines = heading == "Cities With Most Zip Codes In Area";
    if (areaLines)
        t.columns = {"prefix", "city"};
    else if (heading == "Potential States")
        t.columns = {"state"};
    else if (heading == "Possible Counties")
        t.columns = {"county"};
    else
        t.columns = {"city"};
    for (const ResultItem& item : result.items) {
        if (IsNoMatchLine(item))
            continue;
        const std::string text = Win1252ToUtf8(item.text);
        if (areaLines)
            t.rows.push_back(
                {Text(text.substr(0, 3)), Text(text.size() > 4 ? text.substr(4) : "")});
        else
            t.rows.push_back({Text(text)});
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
            if (!row[i].text)
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
