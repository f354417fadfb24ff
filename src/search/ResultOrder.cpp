#include "search/Search.h"

#include "data/ShortString.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace corvana {

namespace {

// Byte values with a-z folded onto A-Z.
constexpr std::array<unsigned char, 256> Folded = [] {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[std::size_t(i)] = static_cast<unsigned char>(upperAscii(char(i)));
    return t;
}();

} // namespace

bool ItemLess(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    const auto* pa = reinterpret_cast<const unsigned char*>(a.data());
    const auto* pb = reinterpret_cast<const unsigned char*>(b.data());
    for (std::size_t i = 0; i < n; ++i) {
        if (pa[i] == pb[i])
            continue;
        const unsigned char ca = Folded[pa[i]];
        const unsigned char cb = Folded[pb[i]];
        if (ca != cb)
            return ca < cb;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    // Equal but for case: a fixed order keeps the list the same whatever the order of the data.
    return std::memcmp(pa, pb, n) < 0;
}

void SortItems(std::vector<ResultItem>& items) {
    // Sorting positions rather than the items themselves moves four bytes per step instead of a
    // whole item; equal texts keep the order they were added in.
    std::vector<std::uint32_t> order(items.size());
    for (std::uint32_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::uint32_t x, std::uint32_t y) {
        const std::string& a = items[x].text;
        const std::string& b = items[y].text;
        if (ItemLess(a, b))
            return true;
        if (ItemLess(b, a))
            return false;
        return x < y;
    });
    std::vector<ResultItem> sorted;
    sorted.reserve(items.size());
    for (std::uint32_t i : order)
        sorted.push_back(std::move(items[i]));
    items = std::move(sorted);
}

} // namespace corvana
