#include "search/SearchCommon.h"

#include "text/ShortString.h"

#include <optional>

namespace corvana {

using namespace detail;

namespace {

constexpr const char* NoCounties = "No matching counties found.";

// The first n characters of the entry, upper-cased, against the typed text; the entry ends in
// its state byte, which takes part when the text is longer than the name.
bool CountyMatches(const CountyEntry& entry, std::string_view upperText) {
    return startsWithUpper(entry.text, upperText);
}

} // namespace

SearchResult SearchTheCounty(std::string_view text, const SearchContext& ctx,
                             std::string_view stateComboText) {
    text = text.substr(0, ShortMax);
    const std::size_t n = text.size();
    SearchResult r;
    SetDisplay(r, n >= 1, n >= 3);
    if (n == 0)
        return r;
    return Guarded(std::move(r), [&](SearchResult& res) {
        const DataSet& data = ctx.data;
        std::optional<std::string> singleState;
        if (!ctx.settings.allState)
            singleState = cutTo(stateComboText, 5);
        auto passes = [&](int state) {
            return !singleState || *singleState == data.stateAbbrev(state);
        };
        const std::string upper = upperAscii(text);

        if (n <= 2) {
            StartList(res, "Possible Counties");
            for (const CountyEntry& entry : data.counties) {
                if (!CountyMatches(entry, upper) || !passes(entry.stateNumber()))
                    continue;
                std::string line = ctx.settings.countiesInCaps ? upperAscii(entry.name())
                                                               : std::string(entry.name());
                appendCut(line, ", ");
                appendCut(line, data.stateAbbrev(entry.stateNumber()));
                AddItem(res, std::move(line));
            }
        } else {
            StartList(res, "Possible Zip Codes");
            DataFile idx = OpenDataFile(data, "COUNTY.IDX", msg::CountyIndexNotFound);
            CityFile city = OpenCityFile(data);
            ZipFile zip = OpenZipFile(data);
            ZipLineMaker zipLine(ctx);
            CityTexts cities(city, ctx);
            // The county itself is not filtered by state here: the ZIP codes are, by their
            // city's state, so of two counties of one name only the chosen state's ZIP codes show.
            for (const CountyEntry& entry : data.counties) {
                if (!CountyMatches(entry, upper))
                    continue;
                ForEachListedZip(
                    idx, entry.zipListOffset, msg::CountyIndexCorrupt, [&](std::uint16_t record) {
                        ZipRecord rec = zip.read(record);
                        const CityTexts::Entry& c = cities.at(rec.cityOffset);
                        if (!passes(c.state))
                            return;
                        AddZipItem(res, zipLine(rec, c.text, true),
                                   record);
                    });
            }
        }
        if (res.items.empty())
            AddItem(res, NoCounties);
    });
}

} // namespace corvana
