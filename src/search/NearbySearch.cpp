#include "search/SearchCommon.h"

#include "geo/Distance.h"
#include "geo/Nearby.h"

#include <cmath>
#include <cstdio>

namespace corvana {

using namespace detail;

std::string NearbyHeading(double radiusMiles, std::string_view zipCode) {
    // The radius as the user typed it: "10", "2.5"; never "10.000000".
    char number[32];
    std::snprintf(number, sizeof number, "%.6g", radiusMiles);
    return std::string("Zip Codes Within ") + number + (radiusMiles == 1 ? " Mile Of " : " Miles Of ") +
           std::string(zipCode);
}

SearchResult SearchNearby(const geo::Points& points, std::uint32_t centre, double radiusMiles,
                          const SearchContext& ctx) {
    SearchResult r;
    SetDisplay(r, true, true);
    r.nearby = NearbyCentre{centre, radiusMiles};
    try {
        ZipFile zip = OpenZipFile(ctx.data);
        CityFile city = OpenCityFile(ctx.data);
        const std::string centreZip = zip.read(centre).zipText();
        StartList(r, ListHeading{ItemKind::Zip, NearbyHeading(radiusMiles, centreZip)});
        const geo::NearResult near =
            geo::Near(points, centre, radiusMiles * geo::KmPerMile, geo::NoLimit);
        ListLines lines(ctx);
        CityHeaders cities(city, ctx);
        for (const geo::NearbyZip& n : near.zips) {
            const ZipRecord rec = zip.read(n.record);
            ResultItem item = lines.zip(n.record, rec, cities.at(rec.cityOffset), false);
            std::get<ZipItem>(item.what).km = n.km;
            r.items.push_back(std::move(item));
        }
        if (r.items.empty())
            r.items.push_back(ListLines::noMatch(ListLines::Nothing::ZipCodes));
    } catch (const FatalError& e) {
        r.fatal.emplace_back(e.what());
    } catch (const IoError& e) {
        r.ioError = e.what();
    }
    return r; // nearest first: this list is not sorted by name
}

} // namespace corvana
