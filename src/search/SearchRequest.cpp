#include "search/SearchRequest.h"

#include "text/Blanks.h"
#include "text/ShortString.h"

namespace corvana {

namespace {

// Each mode's label in the window and its word on the command line.
struct ModeNames {
    SearchMode mode;
    const char* label;
    const char* word;
};

constexpr ModeNames Names[] = {
    {SearchMode::Zip, "Zip Code", "zip"},    {SearchMode::City, "City", "city"},
    {SearchMode::State, "State", "state"},   {SearchMode::County, "County", "county"},
    {SearchMode::Area, "Area Code", "area"},
};

const ModeNames& NamesOf(SearchMode mode) {
    static constexpr ModeNames Unnamed{SearchMode::Zip, "", ""};
    for (const ModeNames& n : Names)
        if (n.mode == mode)
            return n;
    return Unnamed;
}

} // namespace

std::optional<SearchMode> ModeFromNumber(int number) {
    for (SearchMode m : SearchModes)
        if (ModeNumber(m) == number)
            return m;
    return std::nullopt;
}

const char* ModeLabel(SearchMode mode) {
    return NamesOf(mode).label;
}

const char* ModeWord(SearchMode mode) {
    return NamesOf(mode).word;
}

std::optional<SearchMode> ModeFromWord(std::string_view word) {
    for (const ModeNames& n : Names)
        if (word == n.word)
            return n.mode;
    return std::nullopt;
}

int FieldLength(SearchMode mode) {
    switch (mode) {
    case SearchMode::Zip:
        return 5;
    case SearchMode::State:
        return 2;
    case SearchMode::Area:
        return 3;
    case SearchMode::City:
    case SearchMode::County:
        break;
    }
    return 30;
}

bool FieldTakes(SearchMode mode, char32_t c) {
    return mode != SearchMode::Zip || (c >= U'0' && c <= U'9');
}

char32_t FieldCase(SearchMode mode, char32_t c) {
    if (mode == SearchMode::State && c >= U'a' && c <= U'z')
        return c - U'a' + U'A';
    return c;
}

std::string FieldText(SearchMode mode, std::string_view text) {
    const std::size_t length = std::size_t(FieldLength(mode));
    std::string out;
    for (char c : text) {
        if (out.size() == length)
            break;
        if (FieldTakes(mode, char32_t(static_cast<unsigned char>(c))))
            out += char(FieldCase(mode, char32_t(static_cast<unsigned char>(c))));
    }
    return mode == SearchMode::State ? out : std::string(trimBlanks(out, Blanks::Spaces));
}

std::string CityFieldText(std::string_view text) {
    return std::string(trimBlanks(cutTo(text, CityFieldLength), Blanks::Spaces));
}

SearchResult RunSearch(const SearchRequest& request, const SearchContext& ctx) {
    switch (request.mode) {
    case SearchMode::Zip:
        return SearchTheZip(FieldText(request.mode, request.text), ctx);
    case SearchMode::City:
        return SearchTheCity(FieldText(request.mode, request.text), ctx, request.singleState);
    case SearchMode::State:
        return SearchTheCityWithState(CityFieldText(request.text), ctx, request.chosenStates);
    case SearchMode::County:
        return SearchTheCounty(FieldText(request.mode, request.text), ctx, request.singleState);
    case SearchMode::Area:
        return SearchTheArea(FieldText(request.mode, request.text), ctx);
    }
    return {};
}

} // namespace corvana
