#pragma once

#include "format/LocalTime.h"
#include "search/Search.h"
#include "settings/Settings.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvana::cli {

// One value of a structured result: a text, a number, a true/false flag or a list of texts; no
// text is an empty CSV field and a JSON null. A list is its items joined by ';' in a CSV field
// and an array in JSON.
struct Cell {
    enum class Kind { Text, Number, Flag, List };
    Kind kind = Kind::Text;
    std::optional<std::string> text;
    std::vector<std::string> items = {}; // a list's

    static Cell list(std::vector<std::string> items);

    bool operator==(const Cell&) const = default;
};

struct Table {
    std::vector<std::string> columns; // empty when the search showed no list at all
    std::vector<std::vector<Cell>> rows;
};

// The column names of a ZIP line.
extern const std::vector<std::string> ZipColumns;

// The results list of a search as a table. ZIP lines give the ZipColumns from the fields their
// search kept (SearchContext::keepFields; a line without them gives its ZIP code alone); the lists
// of states, cities and counties give one column named after them, the two-digit ZIP list the
// columns prefix and city. A "No matching ..." line is no row. The settings' Show switches decide
// whether county, area_code, zone and local_time are filled, as they decide what the list line
// shows; `countyMode` fills the county always, as the county search's lines always show it. No data
// file is read.
Table TabulateResult(const SearchResult& result, bool countyMode, const Settings& settings,
                     const TimeContext& time);

// RFC 4180 text with a header row and CR LF line ends; nothing for a table without columns.
std::string TableCsv(const Table& table);

// A JSON array of objects keyed by the column names, one object per line.
std::string TableJson(const Table& table);

} // namespace corvana::cli
