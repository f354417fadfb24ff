#include "data/Win1252.h"

#include <cstdint>

namespace corvana {

namespace {

// Code points of bytes 0x80 to 0x9F; the rest of the code page equals Latin-1.
constexpr char32_t High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string Win1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        auto b = std::uint8_t(ch);
        appendUtf8(out, (b >= 0x80 && b < 0xA0) ? High[b - 0x80] : char32_t(b));
    }
    return out;
}

std::optional<std::string> Utf8ToWin1252(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        auto b = std::uint8_t(s[i]);
        char32_t c;
        std::size_t len;
        if (b < 0x80) {
            c = b;
            len = 1;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F;
            len = 2;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F;
            len = 3;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07;
            len = 4;
        } else {
            return std::nullopt;
        }
        if (i + len > s.size())
            return std::nullopt;
        for (std::size_t k = 1; k < len; ++k) {
            auto cb = std::uint8_t(s[i + k]);
            if ((cb & 0xC0) != 0x80)
                return std::nullopt;
            c = (c << 6) | (cb & 0x3F);
        }
        // Overlong forms and surrogates are not valid UTF-8.
        if ((len == 2 && c < 0x80) || (len == 3 && c < 0x800) || (len == 4 && c < 0x10000) ||
            (c >= 0xD800 && c <= 0xDFFF))
            return std::nullopt;
        i += len;
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out += char(c);
            continue;
        }
        bool found = false;
        for (int k = 0; k < 32; ++k) {
            if (High[k] == c) {
                out += char(0x80 + k);
                found = true;
                break;
            }
        }
        if (!found)
            return std::nullopt;
    }
    return out;
}

} // namespace corvana
