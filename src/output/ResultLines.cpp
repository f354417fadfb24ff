#include "output/ResultLines.h"

namespace corvana {

std::vector<std::size_t> ResultLines::selectedRows() const {
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < items().size(); ++row)
        if (isSelected(row))
            rows.push_back(row);
    return rows;
}

std::vector<ResultItem> OutputItems(const ResultLines& lines, bool allItems) {
    const std::vector<ResultItem>& shown = lines.items();
    if (allItems)
        return shown;
    std::vector<ResultItem> items;
    for (std::size_t row : lines.selectedRows())
        if (row < shown.size())
            items.push_back(shown[row]);
    return items;
}

OutputScope ScopeOf(const ResultLines& lines) {
    const std::vector<ResultItem>& shown = lines.items();
    if (shown.size() == 1)
        return shown.front().kind() == ItemKind::NoMatch ? OutputScope::NoMatch
                                                         : OutputScope::SingleLine;
    return lines.selectedRows().empty() ? OutputScope::NoneSelected : OutputScope::Selected;
}

} // namespace corvana
