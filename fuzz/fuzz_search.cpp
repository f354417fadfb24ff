// Every search mode over arbitrary CITY.DAT, CITY.IDX, COUNTY.IDX, AREA.IDX and ZIPCODE.DAT (and
// the resident files they lean on) with arbitrary search text and settings. A search may end in
// a fatal message or the read-past-end error, but never in a fault, and what it lists is
// sorted, within the line length, and names records that read back as the line's ZIP code.
// The listed lines are then collected through an output format as Copy would.
#include "FuzzUtil.h"
#include "TestClock.h"

#include "data/DataSet.h"
#include "data/Errors.h"
#include "data/ZipFile.h"
#include "output/CopyOutput.h"
#include "search/Search.h"
#include "text/Blanks.h"
#include "text/ShortString.h"

#include <set>

using namespace corvana;
using corvana::fuzz::FileSplit;

namespace {

const std::set<std::string_view>& searchMessages() {
    static const std::set<std::string_view> m = {
        msg::ZipFileNotFound,    msg::CityNotFound,      msg::CitySeekFailed,
        msg::CityCorrupt,        msg::CityIndexNotFound, msg::CountyIndexNotFound,
        msg::CountyIndexCorrupt, msg::AreaIndexNotFound, msg::AreaIndexCorrupt,
    };
    return m;
}

void checkResult(const SearchResult& r, const DataSet& data) {
    FUZZ_CHECK(r.fatal.size() <= 1);
    for (const auto& m : r.fatal)
        FUZZ_CHECK(searchMessages().count(m) == 1);
    FUZZ_CHECK(!r.ioError || *r.ioError == msg::ReadPastEnd);
    FUZZ_CHECK(!r.cleared || r.heading);
    FUZZ_CHECK(r.cleared || r.items.empty());
    for (std::size_t i = 0; i < r.items.size(); ++i) {
        FUZZ_CHECK(r.items[i].text.size() <= ShortMax);
        if (i > 0)
            FUZZ_CHECK(!ItemLess(r.items[i].text, r.items[i - 1].text));
    }
    auto zips = ZipFile::open(data);
    for (const auto& item : r.items) {
        // Every line is of the kind its heading names, but a no-match line, which stands alone.
        if (item.kind() == ItemKind::NoMatch)
            FUZZ_CHECK(r.items.size() == 1);
        else
            FUZZ_CHECK(r.heading && item.kind() == r.heading->holds);
        const std::optional<std::uint32_t> record = item.record();
        if (!record)
            continue;
        FUZZ_CHECK(zips && *record < zips->recordCount());
        FUZZ_CHECK(ListedZipCode(item) == zips->read(*record).zipText());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FileSplit in(bytes, size);
    const int mode = in.byte() % 5;
    const std::uint8_t flags = in.byte();
    const int format = in.byte() % 34;
    std::string text(trimBlanks(in.shortText(), Blanks::Spaces));
    const std::string state(in.shortText());
    in.putFiles({"STATE.DAT", "COUNTY.DAT", "ZIPCODE.IDX", "AREA.DAT", "CITY.DAT", "CITY.IDX",
                 "COUNTY.IDX", "AREA.IDX", "ZIPCODE.DAT"});

    DataSet data;
    data.dir = fuzz::Scratch::get().dir();
    if (!LoadInData(data).ok())
        return 0;

    Settings settings;
    settings.allState = flags & 1;
    settings.showCounty = flags & 2;
    settings.showAreaCode = flags & 4;
    settings.showTimeZone = flags & 8;
    settings.showCurrentTime = flags & 16;
    settings.citiesInCaps = flags & 32;
    settings.countiesInCaps = flags & 64;
    settings.statesInCaps = flags & 128;
    const test::TestClock clock(LocalDateTime{2026, 7, 4, 13, 5, 9, 0});
    SearchContext ctx{data, settings, TimeContext{bool(flags & 8), &clock, FormatTimeC}};

    SearchResult r;
    switch (mode) {
    case 0: {
        // The ZIP field takes digits only, five at most.
        std::string digits;
        for (char c : text)
            if (c >= '0' && c <= '9' && digits.size() < 5)
                digits += c;
        r = SearchTheZip(digits, ctx);
        break;
    }
    case 1:
        r = SearchTheCity(text, ctx, state);
        break;
    case 2: {
        auto chosen = ChooseStates(data, state.substr(0, 2));
        for (int s : chosen)
            FUZZ_CHECK(data.stateAbbrev(s) == state.substr(0, 2));
        r = SearchTheCityWithState(text, ctx, chosen);
        break;
    }
    case 3:
        r = SearchTheCounty(text, ctx, state);
        break;
    default:
        r = SearchTheArea(text.substr(0, 3), ctx);
        break;
    }
    checkResult(r, data);

    if (r.items.empty() || !r.fatal.empty())
        return 0;
    CollectedOutput out = CollectOutput(r.items, format, data, settings);
    for (const auto& m : out.fatal)
        FUZZ_CHECK(m == msg::CitySeekFailed || m == msg::CityCorrupt || out.missingFile);
    FUZZ_CHECK(!out.ioError || *out.ioError == msg::ReadPastEnd);
    FUZZ_CHECK(out.text.empty() || out.text.ends_with("\r\n"));
    return 0;
}
