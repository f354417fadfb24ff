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

// Appends the UTF-8 form of a code point up to U+10FFFF.
void AppendUtf8(std::string& out, char32_t c);

} // namespace corvana
