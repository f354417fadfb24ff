#include "search/detail/SearchCommon.h"

#include "data/FileNames.h"
#include "text/ShortString.h"

namespace corvana {

using namespace detail;

SearchResult SearchTheArea(std::string_view text, const SearchContext& ctx) {
    text = text.substr(0, ShortMax);
    SearchResult r;
    SetDisplay(r, text.size() == 3, text.size() == 3);
    if (text.size() != 3)
        return r;
    return Guarded(std::move(r), [&](SearchResult& res) {
        const DataSet& data = ctx.data;
        StartList(res, heading::PossibleZipCodes);
        // Only three decimal digits name an entry of the table; letters or a sign name none.
        int code = 0;
        for (char c : text) {
            if (c < '0' || c > '9') {
                res.items.push_back(ListLines::noMatch(ListLines::Nothing::AreaCodes));
                return;
            }
            code = code * 10 + (c - '0');
        }
        const std::int32_t offset = data.areaTable[std::size_t(code)];
        if (offset == -1) {
            res.items.push_back(ListLines::noMatch(ListLines::Nothing::AreaCodes));
            return;
        }
        ZipFile zip = OpenZipFile(data);
        DataFile idx = OpenDataFile(data, filenames::AreaIdx, msg::AreaIndexNotFound);
        CityFile city = OpenCityFile(data);
        ListLines lines(ctx);
        CityHeaders cities(city, ctx);
        ForEachListedZip(idx, offset, msg::AreaIndexCorrupt, [&](std::uint16_t record) {
            ZipRecord rec = zip.read(record);
            res.items.push_back(lines.zip(record, rec, cities.at(rec.cityOffset), false));
        });
        if (res.items.empty())
            res.items.push_back(ListLines::noMatch(ListLines::Nothing::AreaCodes));
    });
}

} // namespace corvana
