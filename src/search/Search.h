#pragma once

#include "data/DataSet.h"
#include "format/LocalTime.h"
#include "settings/Settings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvana {

// One item of the results list; ZIP lines carry the record number of their ZIP code.
struct ResultItem {
    std::string text;
    std::optional<std::uint32_t> record;

    bool operator==(const ResultItem&) const = default;
};

// Whether the item is the one line a search lists when nothing matches ("No matching cities
// found." and the like) rather than a result.
inline bool IsNoMatchLine(const ResultItem& item) {
    return item.text.starts_with("No match");
}

// What the window must show after a search. A search stops at the first damaged or missing
// data file: its one fatal message is shown under "FATAL ERROR" and the program ends. The
// general input/output error is shown and the items added until then stay.
struct SearchResult : Problems {
    bool listShown = false;      // full height, list and heading visible
    bool outputControls = false; // copy, print and range-select on
    bool cleared = false;        // the list was cleared and holds `items`; otherwise keep old items
    std::optional<std::string> heading;
    std::vector<ResultItem> items; // in list order
};

struct SearchContext {
    const DataSet& data;
    const Settings& settings;
    TimeContext time;
};

// Results-list order: a-z compared as A-Z, other bytes by value; ties by plain byte order.
bool ItemLess(const std::string& a, const std::string& b);
int ItemCompare(const std::string& a, const std::string& b); // <0, 0, >0
void SortItems(std::vector<ResultItem>& items);

SearchResult SearchTheZip(std::string_view text, const SearchContext& ctx);
// stateComboText: the state chosen in the single-state list, used when All State is off.
SearchResult SearchTheCity(std::string_view text, const SearchContext& ctx,
                           std::string_view stateComboText);
SearchResult SearchTheCityWithState(std::string_view text, const SearchContext& ctx,
                                    const std::vector<int>& chosenStates);
SearchResult SearchTheCounty(std::string_view text, const SearchContext& ctx,
                             std::string_view stateComboText);
SearchResult SearchTheArea(std::string_view text, const SearchContext& ctx);

// The state numbers of every state-table entry whose abbreviation is exactly `abbrev`.
std::vector<int> ChooseStates(const DataSet& data, std::string_view abbrev);

// The abbreviations of the state table, each once, sorted.
std::vector<std::string> StateAbbreviations(const DataSet& data);

} // namespace corvana
