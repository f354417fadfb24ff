#include "search/detail/SearchCommon.h"

namespace corvana {

using namespace detail;

namespace {

void PotentialStates(char digit, const SearchContext& ctx, SearchResult& r) {
    StartList(r, heading::PotentialStates);
    const ListLines lines(ctx);
    for (std::size_t i = 0; i < ctx.data.states.size(); ++i) {
        const std::string& entry = ctx.data.states[i];
        if (entry.size() >= 3 && entry[2] == digit)
            r.items.push_back(lines.state(int(i)));
    }
}

void MainCities(int twoDigits, const SearchContext& ctx, SearchResult& r) {
    StartList(r, heading::MainCities);
    CityFile city = OpenCityFile(ctx.data);
    const ListLines lines(ctx);
    for (int i = 0; i < 10; ++i) {
        const int prefix = twoDigits * 10 + i;
        const ZipIndexEntry& e = ctx.data.zipIndex[std::size_t(prefix)];
        if (e.first < 0)
            continue;
        r.items.push_back(
            lines.mainCity(prefix, e.mainCity, city.readHeader(e.mainCity, ctx.data)));
    }
}

void ZipLines(std::string_view digits, const SearchContext& ctx, SearchResult& r) {
    StartList(r, heading::CityZipCodes);
    // An empty block needs neither file: reading record -2 would only fail.
    if (ZipBlock(ctx.data, digits).empty()) {
        r.items.push_back(ListLines::noMatch(ListLines::Nothing::ZipCodes));
        return;
    }
    CityFile city = OpenCityFile(ctx.data);
    ZipFile zip = OpenZipFile(ctx.data);
    ListLines lines(ctx);
    ForEachZipRecord(ctx.data, zip, digits, [&](std::uint32_t n, const ZipRecord& rec) {
        r.items.push_back(lines.zip(n, rec, city.readHeader(rec.cityOffset, ctx.data), false));
    });
    if (r.items.empty())
        r.items.push_back(ListLines::noMatch(ListLines::Nothing::ZipCodes));
}

} // namespace

SearchResult SearchTheZip(std::string_view text, const SearchContext& ctx) {
    // The field holds digits only; anything else is dropped here too, so the prefix always
    // lies inside the index.
    std::string digits;
    for (char c : text) {
        if (c >= '0' && c <= '9' && digits.size() < 5)
            digits += c;
    }
    const std::size_t n = digits.size();
    SearchResult r;
    SetDisplay(r, n >= 1, n >= 3);
    if (n == 0)
        return r;
    int value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    return Guarded(std::move(r), [&](SearchResult& res) {
        if (n == 1)
            PotentialStates(digits[0], ctx, res);
        else if (n == 2)
            MainCities(value, ctx, res);
        else
            ZipLines(digits, ctx, res);
    });
}

} // namespace corvana
