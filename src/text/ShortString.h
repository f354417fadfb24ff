#pragma once

#include <string>
#include <string_view>

namespace corvana {

// Texts are Windows-1252 bytes held in std::string. Every text handed between parts of the
// program is at most 255 bytes; fields of a stated length cut what they are given.
inline constexpr std::size_t ShortMax = 255;

inline std::string cutTo(std::string_view s, std::size_t n) {
    return std::string(s.substr(0, n));
}

// Appends and keeps the first `limit` bytes of the joined text.
inline void appendCut(std::string& out, std::string_view more, std::size_t limit = ShortMax) {
    if (out.size() >= limit)
        return;
    out.append(more.substr(0, limit - out.size()));
}

// Upper-casing changes the letters a to z only; accented letters stay as they are.
constexpr char upperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

inline std::string upperAscii(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = upperAscii(c);
    return r;
}

// Whether `text` begins with `upperPrefix` once its letters a to z are upper-cased.
inline bool startsWithUpper(std::string_view text, std::string_view upperPrefix) {
    if (text.size() < upperPrefix.size())
        return false;
    for (std::size_t i = 0; i < upperPrefix.size(); ++i) {
        if (upperAscii(text[i]) != upperPrefix[i])
            return false;
    }
    return true;
}

} // namespace corvana
