#pragma once

#include "search/Search.h"

#include <cstddef>
#include <vector>

namespace corvana {

// The results list as the commands that read it see it (copy and print, the map): the items
// behind its lines, row for row, and which lines are selected. The window owns the list; its
// readers never change it.
class ResultLines {
public:
    virtual ~ResultLines() = default;

    // The items of the lines, row for row.
    virtual const std::vector<ResultItem>& items() const = 0;
    virtual bool isSelected(std::size_t row) const = 0;
    // The selected rows, first to last.
    virtual std::vector<std::size_t> selectedRows() const;
    // Whether the list shows and takes input; a hidden list's lines are stale.
    virtual bool shown() const = 0;

protected:
    ResultLines() = default;
    ResultLines(const ResultLines&) = default;
    ResultLines& operator=(const ResultLines&) = default;
};

// The items that copy and print output: every line, or those of the selected rows, first to
// last.
std::vector<ResultItem> OutputItems(const ResultLines& lines, bool allItems);

// What copy and print find in the list before they ask for a format.
enum class OutputScope {
    NoMatch,      // the one line says nothing matched: nothing to output
    SingleLine,   // one line, output whether selected or not
    Selected,     // the selected lines
    NoneSelected, // several lines, none selected: the user is asked whether to take all
};
OutputScope ScopeOf(const ResultLines& lines);

} // namespace corvana
