#include "cli/ZipFields.h"

#include "text/ShortString.h"
#include "text/Win1252.h"

namespace corvana::cli {

ZipFields ReadZipFields(const ZipRecord& rec, const CityFile& city, const DataSet& data,
                        const Settings& settings) {
    ZipFields f;
    f.zip = rec.zipText();
    const CityHeader h = city.readHeader(rec.cityOffset, data);
    f.city = Win1252ToUtf8(settings.citiesInCaps ? upperAscii(h.name) : h.name);
    f.state = Win1252ToUtf8(data.stateAbbrev(h.state));
    if (rec.county != NoCounty) {
        const std::string_view county = data.countyName(rec.county);
        f.county =
            Win1252ToUtf8(settings.countiesInCaps ? upperAscii(county) : std::string(county));
    }
    if (rec.areaCode != NoAreaCode)
        f.areaCode = rec.areaCode;
    f.zone = rec.timeZone & 0x7f;
    if (!f.hasZone())
        f.zone = 0;
    f.dst = (rec.timeZone & 0x80) != 0;
    return f;
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
