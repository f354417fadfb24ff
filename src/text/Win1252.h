#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvana {

// The data files and settings hold Windows-1252 bytes; the desktop, the terminal and the
// CSV table speak UTF-8. Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D have no character in
// Windows-1252 and map to the C1 control of the same value, as Windows itself does.
std::string Win1252ToUtf8(std::string_view bytes);

// Empty when the text is not valid UTF-8 or holds a character Windows-1252 cannot represent.
std::optional<std::string> Utf8ToWin1252(std::string_view utf8);

} // namespace corvana
