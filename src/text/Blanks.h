#pragma once

#include <string_view>

namespace corvana {

// The blanks a cell of a table or spreadsheet, or a line of the settings file, has around its
// text.
inline constexpr std::string_view SpacesAndTabs = " \t";
// The blanks around a search text: a tab typed into a search field is part of what is sought.
inline constexpr std::string_view Spaces = " ";

// The text without the given blanks at either end.
constexpr std::string_view trimBlanks(std::string_view text,
                                      std::string_view blanks = SpacesAndTabs) {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

} // namespace corvana
