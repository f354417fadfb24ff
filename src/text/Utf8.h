#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace corvana {

// The code point whose UTF-8 form begins at `at`, moving `at` past it. Strict: an overlong
// form, a surrogate, a value above U+10FFFF or a sequence cut short gives nothing, and `at`
// stays where it was.
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& at);

// Whether the whole text is strict UTF-8.
bool IsUtf8(std::string_view text);

// Control characters: C0 (below U+0020), DEL and C1 (U+0080 to U+009F). None belongs in a name or
// a date read from a file: it shows as garbage in a list, and a line end cuts a line short.
constexpr bool IsControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

// Whether the whole text is strict UTF-8 without a control character.
bool IsPlainUtf8(std::string_view text);

// Appends the UTF-8 form of a code point up to U+10FFFF.
void AppendUtf8(std::string& out, char32_t c);

} // namespace corvana
