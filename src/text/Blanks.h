#pragma once

#include <string_view>

namespace corvana {

// The characters that count as blanks around a text.
enum class Blanks {
    SpacesAndTabs, // around a cell of a table or spreadsheet, or a line of the settings file
    Spaces,        // around a search text: a tab typed into a search field is part of it
};

// The text without the blanks at either end.
constexpr std::string_view trimBlanks(std::string_view text,
                                      Blanks blanks = Blanks::SpacesAndTabs) {
    auto blank = [blanks](char c) {
        return c == ' ' || (c == '\t' && blanks == Blanks::SpacesAndTabs);
    };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace corvana
