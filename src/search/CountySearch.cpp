#include "search/detail/SearchCommon.h"

#include "data/FileNames.h"
#include "text/ShortString.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace corvana {

using namespace detail;

namespace {

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

        ListLines lines(ctx);
        if (n <= 2) {
            StartList(res, heading::PossibleCounties);
            for (std::size_t i = 0; i < data.counties.size(); ++i) {
                const CountyEntry& entry = data.counties[i];
                if (CountyMatches(entry, upper) && passes(entry.stateNumber()))
                    res.items.push_back(lines.county(int(i)));
            }
        } else {
            StartList(res, heading::PossibleZipCodes);
            DataFile idx = OpenDataFile(data, filenames::CountyIdx, msg::CountyIndexNotFound);
            CityFile city = OpenCityFile(data);
            ZipFile zip = OpenZipFile(data);
            CityHeaders cities(city, ctx);
            // A ZIP code in several matching counties is listed once, through the first of them.
            std::vector<bool> listed(std::size_t(UINT16_MAX) + 1);
            // The county itself is not filtered by state here: the ZIP codes are, by their
            // city's state, so of two counties of one name only the chosen state's ZIP codes show.
            for (const CountyEntry& entry : data.counties) {
                if (!CountyMatches(entry, upper))
                    continue;
                // Its number, worked out for the few counties that match rather than counted
                // through the thousands that do not.
                const std::size_t i = std::size_t(&entry - data.counties.data());
                const auto add = [&](std::uint16_t record) {
                    if (listed[record])
                        return;
                    ZipRecord rec = zip.read(record);
                    const CityHeader& c = cities.at(rec.cityOffset);
                    if (!passes(c.state))
                        return;
                    listed[record] = true;
                    // The line names the county it was found through, which may be another than
                    // the record's own: the user sees why it is listed. (A record cannot name an
                    // entry from NoCounty on, which only a damaged file has.)
                    if (i < NoCounty)
                        rec.county = std::uint16_t(i);
                    res.items.push_back(lines.zip(record, rec, c, true));
                };
                ForEachListedZip(idx, entry.zipListOffset, msg::CountyIndexCorrupt, add);
            }
        }
        if (res.items.empty())
            res.items.push_back(ListLines::noMatch(ListLines::Nothing::Counties));
    });
}

} // namespace corvana
