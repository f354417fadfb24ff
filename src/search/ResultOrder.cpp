#include "search/Search.h"

#include "text/ShortString.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

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

// Negative, zero or positive as a sorts before, with or after b.
int ItemCompare(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    const auto* pa = reinterpret_cast<const unsigned char*>(a.data());
    const auto* pb = reinterpret_cast<const unsigned char*>(b.data());
    int byBytes = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (pa[i] == pb[i])
            continue;
        const unsigned char ca = Folded[pa[i]];
        const unsigned char cb = Folded[pb[i]];
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (byBytes == 0)
            byBytes = pa[i] < pb[i] ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    // Equal but for case: a fixed order keeps the list the same whatever the order of the data.
    return byBytes;
}

bool ItemLess(const std::string& a, const std::string& b) {
    return ItemCompare(a, b) < 0;
}

void SortItems(std::vector<ResultItem>& items) {
    // Sort (key, position) pairs, the key being the first eight folded bytes, so that most
    // comparisons are one integer comparison; only equal keys compare the whole texts. Equal
    // texts keep the order they were added in.
    struct Slot {
        std::uint64_t key;
        std::uint32_t pos;
    };
    std::vector<Slot> order(items.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) {
        const std::string& t = items[i].text;
        std::uint64_t key = 0;
        for (std::size_t k = 0; k < 8; ++k)
            key = (key << 8) | (k < t.size() ? Folded[static_cast<unsigned char>(t[k])] : 0u);
        order[i] = Slot{key, i};
    }
    std::sort(order.begin(), order.end(), [&](const Slot& x, const Slot& y) {
        if (x.key != y.key)
            return x.key < y.key;
        const int c = ItemCompare(items[x.pos].text, items[y.pos].text);
        return c != 0 ? c < 0 : x.pos < y.pos;
    });
    std::vector<ResultItem> sorted;
    sorted.reserve(items.size());
    for (const Slot& s : order)
        sorted.push_back(std::move(items[s.pos]));
    items = std::move(sorted);
}

void SortByPopulation(std::vector<ResultItem>& items, const People& people) {
    std::vector<std::size_t> at;
    std::vector<std::pair<std::int64_t, ResultItem>> zips;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (const auto record = items[i].record()) {
            const auto f = people.ofRecord(*record);
            at.push_back(i);
            zips.emplace_back(f && f->population ? std::int64_t(*f->population) : -1,
                              std::move(items[i]));
        }
    std::stable_sort(zips.begin(), zips.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (std::size_t k = 0; k < at.size(); ++k)
        items[at[k]] = std::move(zips[k].second);
}

} // namespace corvana
