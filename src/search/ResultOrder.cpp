#include "search/Search.h"

#include "data/ShortString.h"

#include <algorithm>

namespace corvana {

bool ItemLess(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto ca = static_cast<unsigned char>(upperAscii(a[i]));
        auto cb = static_cast<unsigned char>(upperAscii(b[i]));
        if (ca != cb)
            return ca < cb;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    // Equal but for case: a fixed order keeps the list the same whatever the order of the data.
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

void SortItems(std::vector<ResultItem>& items) {
    std::stable_sort(items.begin(), items.end(), [](const ResultItem& a, const ResultItem& b) {
        return ItemLess(a.text, b.text);
    });
}

} // namespace corvana
