#pragma once

// What each kind of search takes as input, and one call that runs it. The window and
// corvana-query both hand their fields to these rules, so a field is cleaned the same way
// wherever it was typed.

#include "search/Search.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvana {

// The five kinds of search. The numbers are those stored as "Last Search" in CORVANA.INI.
enum class SearchMode { Zip = 1, City = 2, State = 3, County = 4, Area = 5 };

inline constexpr SearchMode SearchModes[] = {SearchMode::Zip, SearchMode::City, SearchMode::State,
                                             SearchMode::County, SearchMode::Area};

inline constexpr int ModeNumber(SearchMode mode) {
    return int(mode);
}

// The mode of a stored number; empty for numbers no mode has.
std::optional<SearchMode> ModeFromNumber(int number);

// The name of the mode as the first field's label shows it ("Zip Code", "Area Code", ...).
const char* ModeLabel(SearchMode mode);

// The word that names the mode on corvana-query's command line ("zip", "area", ...).
const char* ModeWord(SearchMode mode);

// The mode a command-line word names; empty for a word that names none.
std::optional<SearchMode> ModeFromWord(std::string_view word);

// How many characters the first field takes: 5 digits, 30 letters of a city or county, a
// two-letter state abbreviation or a three-digit area code.
int FieldLength(SearchMode mode);

// The city field of a State search.
inline constexpr int CityFieldLength = 30;

// City and County searches may be limited to one state.
inline constexpr bool HasStateChoice(SearchMode mode) {
    return mode == SearchMode::City || mode == SearchMode::County;
}

// Typing rules of the first field, one character at a time: a Zip field takes digits only, a
// State field turns the letters a to z into capitals; every other character stays as typed.
bool FieldTakes(SearchMode mode, char32_t c);
char32_t FieldCase(SearchMode mode, char32_t c);

// The text a search receives from its first field: the typing rules applied, cut to the
// field's length and, except for a state abbreviation, blanks around it removed.
std::string FieldText(SearchMode mode, std::string_view text);

// The text a search receives from the city field of a State search.
std::string CityFieldText(std::string_view text);

// One search as the window or the command line asks for it.
struct SearchRequest {
    SearchMode mode = SearchMode::Zip;
    // The first field; in State mode the city field (the states are chosen beforehand).
    std::string text;
    // City and County with All States off: the abbreviation chosen in the single-state list.
    std::string singleState;
    // State: the state numbers ChooseStates gave for the abbreviation.
    std::vector<int> chosenStates;
};

// Cleans the request's text as its field would and runs the search.
SearchResult RunSearch(const SearchRequest& request, const SearchContext& ctx);

} // namespace corvana
