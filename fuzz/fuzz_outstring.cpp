// BuildOutString on arbitrary templates and field texts, against a plain model of the template
// language: tokens in their order of precedence, anything else copied, the line cut at 255.
#include "FuzzUtil.h"

#include "format/OutputFormats.h"

#include <utility>

using namespace corvana;
using corvana::fuzz::FileSplit;

namespace {

std::string model(std::string_view format, const ZipDetails& d) {
    const std::pair<std::string_view, std::string_view> tokens[] = {
        {"[STATE]", d.state},
        {"[CITY]", d.city},
        {"[LONG STATE]", d.stateName},
        {"[ZIP]", d.zip},
        {"[AREA CODE]", d.areaCode},
        {"[TIME ZONE]", d.timeZone},
        {"[COUNTY]", d.county},
        {"<TAB>", "\t"},
        {"<CR>", "\r\n"},
        {"<BACKTAB>", ""},
        {"<BACKSPACE>", ""},
        {"<LEFT ARROW>", ""},
        {"<RIGHT ARROW>", ""},
        {"<DEL CHAR>", ""},
    };
    std::string out;
    auto put = [&](std::string_view s) {
        for (char c : s)
            if (out.size() < 255)
                out += c;
    };
    std::size_t i = 0;
    while (i < format.size()) {
        bool matched = false;
        for (const auto& [token, text] : tokens) {
            if (format.substr(i, token.size()) == token) {
                put(text);
                i += token.size();
                matched = true;
                break;
            }
        }
        if (!matched)
            put(format.substr(i++, 1));
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FileSplit in(bytes, size);
    ZipDetails d;
    for (std::string* field :
         {&d.state, &d.stateName, &d.county, &d.areaCode, &d.zip, &d.city, &d.timeZone})
        *field = std::string(in.shortText());
    std::string_view format = in.next().bytes.substr(0, 255);

    std::string out = BuildOutString(format, d);
    FUZZ_CHECK(out.size() <= 255);
    FUZZ_CHECK(out == model(format, d));
    return 0;
}
