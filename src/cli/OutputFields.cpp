#include "cli/OutputFields.h"

#include "text/Win1252.h"

namespace corvana::cli {

std::string Utf8(const CasedName& name) {
    return Win1252ToUtf8(name.str());
}

void AppendCsvField(std::string& out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

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

} // namespace corvana::cli
