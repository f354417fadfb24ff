#include "format/OutputFormats.h"

#include "text/ShortString.h"

#include <utility>

namespace corvana {

const std::array<std::string_view, 33> OutputFormats = {
    "[CITY], [STATE] [ZIP]",
    "[CITY], [STATE]  [ZIP]",
    "[CITY], [STATE]<CR>[ZIP]",
    "[CITY]<CR>[STATE]<CR>[ZIP]",
    "[CITY]<CR>[STATE]<CR>[COUNTY]<CR>[ZIP]",
    "[CITY]<TAB>[STATE]<TAB>[ZIP]",
    "[ZIP]<TAB>[STATE]<TAB>[CITY]",
    "[ZIP]<TAB>[CITY]<TAB>[STATE]",
    "[ZIP]<TAB>[CITY]<TAB>[COUNTY]<TAB>[STATE]",
    "[CITY], [LONG STATE] [ZIP]",
    "[CITY], [LONG STATE]  [ZIP]",
    "[CITY], [LONG STATE]<CR>[ZIP]",
    "[CITY]<CR>[LONG STATE]<CR>[ZIP]",
    "[CITY]<TAB>[LONG STATE]<TAB>[ZIP]",
    "[ZIP]<TAB>[LONG STATE]<TAB>[CITY]",
    "[ZIP]<TAB>[CITY]<TAB>[LONG STATE]",
    "[ZIP] [STATE]",
    "[ZIP] [LONG STATE]",
    "[STATE] [ZIP]",
    "[ZIP]",
    "[CITY]",
    "[CITY] [ZIP]",
    "[STATE]",
    "[LONG STATE]",
    "[COUNTY]",
    "[AREA CODE]",
    "[TIME ZONE]",
    "[AREA CODE] [TIME ZONE] [STATE]",
    "[AREA CODE] [TIME ZONE] [COUNTY]",
    "[AREA CODE] [TIME ZONE] [CITY]",
    "[ZIP] [AREA CODE] [TIME ZONE] [CITY]",
    "[ZIP] [AREA CODE] [TIME ZONE] [CITY] [STATE]",
    "[AREA CODE] [TIME ZONE]",
};

std::string BuildOutString(std::string_view format, const ZipDetails& d) {
    const std::pair<std::string_view, const std::string*> fields[] = {
        {"[STATE]", &d.state},   {"[CITY]", &d.city},          {"[LONG STATE]", &d.stateName},
        {"[ZIP]", &d.zip},       {"[AREA CODE]", &d.areaCode}, {"[TIME ZONE]", &d.timeZone},
        {"[COUNTY]", &d.county},
    };
    // Key tokens come from formats meant for typing into other programs; here they vanish.
    const std::pair<std::string_view, std::string_view> controls[] = {
        {"<TAB>", "\t"},      {"<CR>", "\r\n"},      {"<BACKTAB>", ""},  {"<BACKSPACE>", ""},
        {"<LEFT ARROW>", ""}, {"<RIGHT ARROW>", ""}, {"<DEL CHAR>", ""},
    };

    std::string out;
    std::string_view rest = format.substr(0, ShortMax);
    while (!rest.empty()) {
        std::size_t used = 1;
        bool matched = false;
        if (rest.front() == '[') {
            for (const auto& [token, field] : fields) {
                if (rest.starts_with(token)) {
                    appendCut(out, *field);
                    used = token.size();
                    matched = true;
                    break;
                }
            }
        } else if (rest.front() == '<') {
            for (const auto& [token, text] : controls) {
                if (rest.starts_with(token)) {
                    appendCut(out, text);
                    used = token.size();
                    matched = true;
                    break;
                }
            }
        }
        if (!matched)
            appendCut(out, rest.substr(0, 1));
        rest.remove_prefix(used);
    }
    return out;
}

} // namespace corvana
