#include "text/Win1252.h"

#include "text/Utf8.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace corvana {

namespace {

// Code points of bytes 0x80 to 0x9F; the rest of the code page equals Latin-1.
constexpr char32_t High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

std::string Win1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        auto b = std::uint8_t(ch);
        if (b < 0x80) {
            out += ch;
            continue;
        }
        AppendUtf8(out, (b >= 0x80 && b < 0xA0) ? High[b - 0x80] : char32_t(b));
    }
    return out;
}

std::optional<std::string> Utf8ToWin1252(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::size_t at = 0;
    while (at < s.size()) {
        const auto c = DecodeUtf8(s, at);
        if (!c)
            return std::nullopt;
        if (*c < 0x80 || (*c >= 0xA0 && *c <= 0xFF)) {
            out += char(*c);
            continue;
        }
        const char32_t* high = std::find(std::begin(High), std::end(High), *c);
        if (high == std::end(High))
            return std::nullopt;
        out += char(0x80 + (high - High));
    }
    return out;
}

} // namespace corvana
