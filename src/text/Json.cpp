#include "text/Json.h"

namespace corvana {

void AppendJsonString(std::string& out, std::string_view utf8) {
    static constexpr char Hex[] = "0123456789abcdef";
    out += '"';
    for (char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            out += "\\u00";
            out += Hex[u >> 4];
            out += Hex[u & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

std::string ToJsonString(std::string_view utf8) {
    std::string out;
    AppendJsonString(out, utf8);
    return out;
}

} // namespace corvana
