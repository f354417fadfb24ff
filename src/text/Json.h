#pragma once

#include <string>
#include <string_view>

namespace corvana {

// Writes UTF-8 text as a JSON string: in double quotes, with the quote and the backslash
// escaped and every control character below 0x20 as \u00xx (lower-case hex). Bytes from 0x7F
// up pass as they are, so valid UTF-8 stays valid. Every JSON the programs write goes through
// here.
void AppendJsonString(std::string& out, std::string_view utf8);
std::string ToJsonString(std::string_view utf8);

} // namespace corvana
