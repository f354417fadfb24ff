#include "search/SearchCommon.h"

#include "text/ShortString.h"

#include <cstdio>

namespace corvana {

using namespace detail;

namespace {

constexpr const char* NoZips = "No matching zip codes found.";

void PotentialStates(char digit, const SearchContext& ctx, SearchResult& r) {
    StartList(r, "Potential States");
    for (const auto& entry : ctx.data.states) {
        if (entry.size() >= 3 && entry[2] == digit)
            AddItem(r, GetState(std::string_view(entry).substr(0, 2), ctx.settings.statesInCaps));
    }
}

void MainCities(int twoDigits, const SearchContext& ctx, SearchResult& r) {
    StartList(r, "Cities With Most Zip Codes In Area");
    CityFile city = OpenCityFile(ctx.data);
    for (int i = 0; i < 10; ++i) {
        const int prefix = twoDigits * 10 + i;
        const ZipIndexEntry& e = ctx.data.zipIndex[std::size_t(prefix)];
        if (e.first < 0)
            continue;
        char head[8];
        std::snprintf(head, sizeof head, "%03d ", prefix);
        std::string line = head;
        appendCut(line, GetCityState(city, e.mainCity, ctx.settings.citiesInCaps, ctx.data));
        AddItem(r, std::move(line));
    }
}

void ZipLines(std::string_view digits, int value, const SearchContext& ctx, SearchResult& r) {
    StartList(r, "Possible Cities");
    const int prefix = digits.size() == 3 ? value : digits.size() == 4 ? value / 10 : value / 100;
    const ZipIndexEntry& e = ctx.data.zipIndex[std::size_t(prefix)];
    // Any negative first record is an empty entry: reading record -2 would only fail.
    if (e.first < 0) {
        AddItem(r, NoZips);
        return;
    }
    CityFile city = OpenCityFile(ctx.data);
    ZipFile zip = OpenZipFile(ctx.data);
    ZipLineMaker zipLine(ctx);
    for (std::int64_t k = 0; k < e.count; ++k) {
        const std::int64_t n = std::int64_t(e.first) + k;
        ZipRecord rec = zip.read(n);
        bool match = true;
        if (digits.size() == 4)
            match = int(rec.leading) * 1000 + rec.last4 / 10 == value;
        else if (digits.size() == 5)
            match = int(rec.leading) * 10000 + rec.last4 == value;
        if (!match)
            continue;
        std::string cityText = GetCityState(city, rec.cityOffset, ctx.settings.citiesInCaps, ctx.data);
        AddZipItem(r, zipLine(rec, cityText, false), std::uint32_t(n));
    }
    if (r.items.empty())
        AddItem(r, NoZips);
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
            ZipLines(digits, value, ctx, res);
    });
}

} // namespace corvana
