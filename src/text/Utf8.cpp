#include "text/Utf8.h"

#include <cstdint>

namespace corvana {

std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& at) {
    if (at >= text.size())
        return std::nullopt;
    const auto lead = std::uint8_t(text[at]);
    if (lead < 0x80)
        return char32_t(text[at++]);
    std::size_t len = 0;
    char32_t c = 0, least = 0;
    if ((lead & 0xE0) == 0xC0)
        len = 2, c = lead & 0x1F, least = 0x80;
    else if ((lead & 0xF0) == 0xE0)
        len = 3, c = lead & 0x0F, least = 0x800;
    else if ((lead & 0xF8) == 0xF0)
        len = 4, c = lead & 0x07, least = 0x10000;
    else
        return std::nullopt;
    if (text.size() - at < len)
        return std::nullopt;
    for (std::size_t k = 1; k < len; ++k) {
        const auto next = std::uint8_t(text[at + k]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        c = (c << 6) | (next & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return std::nullopt;
    at += len;
    return c;
}

bool IsUtf8(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size()) {
        if (!DecodeUtf8(text, at))
            return false;
    }
    return true;
}

bool IsPlainUtf8(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size()) {
        const auto c = DecodeUtf8(text, at);
        if (!c || IsControl(*c))
            return false;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

} // namespace corvana
