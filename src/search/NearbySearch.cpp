#include "search/detail/SearchCommon.h"

#include "search/DetailsText.h"

#include "geo/Distance.h"
#include "geo/Nearby.h"

#include <cmath>
#include <cstdio>

namespace corvana {

using namespace detail;

std::string NearbyHeading(const NearbyRadius& radius, std::string_view centre) {
    // The radius as the user typed it: "10", "2.5"; never "10.000000".
    char number[32];
    std::snprintf(number, sizeof number, "%.6g", radius.value);
    const bool one = radius.value == 1;
    const char* unit = radius.unit == geo::LengthUnit::Km
                           ? (one ? " Kilometer Of " : " Kilometers Of ")
                           : (one ? " Mile Of " : " Miles Of ");
    return std::string("Zip Codes Within ") + number + unit + std::string(centre);
}

std::string NearbyHeading(double radiusMiles, std::string_view zipCode) {
    return NearbyHeading(NearbyRadius{radiusMiles, geo::LengthUnit::Miles}, zipCode);
}

namespace {

// Appends the ZIP line of each of `zips`, with the distance it carries.
void AppendZipLines(SearchResult& r, const std::vector<ZipItem>& zips, ZipFile& zip,
                    const CityFile& city, const SearchContext& ctx) {
    ListLines lines(ctx);
    CityHeaders cities(city, ctx);
    for (const ZipItem& z : zips) {
        const ZipRecord rec = zip.read(z.record);
        ResultItem item = lines.zip(z.record, rec, cities.at(rec.cityOffset), false);
        std::get<ZipItem>(item.what).km = z.km;
        r.items.push_back(std::move(item));
    }
}

// A list of nearby ZIP codes shows each line's distance after it, as corvana-query near prints
// it. Copy and print take the ZIP code and the record, not the text: their formats stay.
void ShowDistances(SearchResult& r) {
    for (ResultItem& item : r.items)
        if (const ZipItem* z = item.as<ZipItem>(); z && z->km)
            item.text += "  " + geo::DistanceText(*z->km);
}

// The list items of a near or a reach result: each ZIP code's record and distance.
template <typename Result> std::vector<ZipItem> Items(const Result& result) {
    std::vector<ZipItem> zips;
    zips.reserve(result.zips.size());
    for (const auto& z : result.zips)
        zips.emplace_back(z.record, z.km);
    return zips;
}

// The radius a reach names in its heading: the one asked for, else the one found, to 0.1 mile.
NearbyRadius HeadingRadius(const ReachRequest& request, const geo::ReachResult& reach) {
    if (request.radius)
        return *request.radius;
    return NearbyRadius{std::round(reach.radiusKm / geo::KmPerMile * 10) / 10,
                        geo::LengthUnit::Miles};
}

geo::ReachResult Reach(const geo::Points& points, const People& people, std::uint32_t centre,
                       const ReachRequest& request, const KindChoice& kinds) {
    return request.radius ? geo::ReachWithin(points, people, centre, request.radius->km(), kinds)
                          : geo::ReachPeople(points, people, centre, request.people, kinds);
}

geo::ReachResult Reach(const geo::Points& points, const People& people, geo::GeoPoint centre,
                       const ReachRequest& request, const KindChoice& kinds) {
    return request.radius ? geo::ReachWithin(points, people, centre, request.radius->km(), kinds)
                          : geo::ReachPeople(points, people, centre, request.people, kinds);
}

} // namespace

SearchResult SearchNearby(const geo::Points& points, std::uint32_t centre,
                          const NearbyRadius& radius, const SearchContext& ctx,
                          const KindChoice& kinds) {
    SearchResult r;
    SetDisplay(r, true, true);
    r.nearby = NearbyCentre{centre, radius.miles()};
    try {
        ZipFile zip = OpenZipFile(ctx.data);
        CityFile city = OpenCityFile(ctx.data);
        const std::string centreZip = zip.read(centre).zipText();
        StartList(r, ListHeading{ItemKind::Zip, NearbyHeading(radius, centreZip)});
        const geo::NearResult near = geo::Near(points, centre, radius.km(), geo::NoLimit, kinds);
        AppendZipLines(r, Items(near), zip, city, ctx);
        ShowDistances(r);
        if (r.items.empty())
            r.items.push_back(ListLines::noMatch(ListLines::Nothing::ZipCodes));
    } catch (const FatalError& e) {
        r.fatal.emplace_back(e.what());
    } catch (const IoError& e) {
        r.ioError = e.what();
    }
    return r; // nearest first: this list is not sorted by name
}

SearchResult SearchNearby(const geo::Points& points, std::uint32_t centre, double radiusMiles,
                          const SearchContext& ctx, const KindChoice& kinds) {
    return SearchNearby(points, centre, NearbyRadius{radiusMiles, geo::LengthUnit::Miles}, ctx,
                        kinds);
}

SearchResult SearchNearby(const geo::Points& points, geo::GeoPoint centre,
                          std::string_view centreText, const NearbyRadius& radius,
                          const SearchContext& ctx, const KindChoice& kinds) {
    const geo::NearResult near = geo::Near(points, centre, radius.km(), geo::NoLimit, kinds);
    SearchResult r =
        ZipLinesOf(Items(near), ListHeading{ItemKind::Zip, NearbyHeading(radius, centreText)}, ctx);
    ShowDistances(r);
    if (r.fatal.empty() && !r.ioError && r.items.empty())
        r.items.push_back(ListLines::noMatch(ListLines::Nothing::ZipCodes));
    return r;
}

SearchResult SearchNearby(const geo::Points& points, geo::GeoPoint centre,
                          std::string_view centreText, double radiusMiles, const SearchContext& ctx,
                          const KindChoice& kinds) {
    return SearchNearby(points, centre, centreText,
                        NearbyRadius{radiusMiles, geo::LengthUnit::Miles}, ctx, kinds);
}

ReachSearchResult SearchReach(const geo::Points& points, const People& people, std::uint32_t centre,
                              const ReachRequest& request, const SearchContext& ctx,
                              const KindChoice& kinds) {
    ReachSearchResult r{{}, Reach(points, people, centre, request, kinds)};
    const NearbyRadius radius = HeadingRadius(request, r.reach);
    SetDisplay(r.list, true, true);
    r.list.nearby = NearbyCentre{centre, r.reach.radiusKm / geo::KmPerMile};
    try {
        ZipFile zip = OpenZipFile(ctx.data);
        CityFile city = OpenCityFile(ctx.data);
        StartList(r.list,
                  ListHeading{ItemKind::Zip, NearbyHeading(radius, zip.read(centre).zipText())});
        AppendZipLines(r.list, Items(r.reach), zip, city, ctx);
        ShowDistances(r.list);
        if (r.list.items.empty())
            r.list.items.push_back(ListLines::noMatch(ListLines::Nothing::ZipCodes));
    } catch (const FatalError& e) {
        r.list.fatal.emplace_back(e.what());
    } catch (const IoError& e) {
        r.list.ioError = e.what();
    }
    return r;
}

ReachSearchResult SearchReach(const geo::Points& points, const People& people, geo::GeoPoint centre,
                              std::string_view centreText, const ReachRequest& request,
                              const SearchContext& ctx, const KindChoice& kinds) {
    ReachSearchResult r{{}, Reach(points, people, centre, request, kinds)};
    const NearbyRadius radius = HeadingRadius(request, r.reach);
    r.list = ZipLinesOf(Items(r.reach),
                        ListHeading{ItemKind::Zip, NearbyHeading(radius, centreText)}, ctx);
    ShowDistances(r.list);
    if (r.list.fatal.empty() && !r.list.ioError && r.list.items.empty())
        r.list.items.push_back(ListLines::noMatch(ListLines::Nothing::ZipCodes));
    return r;
}

std::string ReachHeading(const ReachSearchResult& r) {
    const std::string heading = r.list.heading ? r.list.heading->text : std::string();
    const bool one = r.reach.people == 1;
    return heading + " (" + GroupedNumber(r.reach.people) + (one ? " Person)" : " People)");
}

std::string ReachShortfall(const ReachSearchResult& r) {
    return "The Zip Codes of this data hold only " + GroupedNumber(r.reach.people) + " people.";
}

SearchResult ZipLinesOf(const std::vector<ZipItem>& zips, ListHeading heading,
                        const SearchContext& ctx) {
    SearchResult r;
    SetDisplay(r, true, true);
    try {
        ZipFile zip = OpenZipFile(ctx.data);
        CityFile city = OpenCityFile(ctx.data);
        r.cleared = true;
        r.heading = std::move(heading);
        AppendZipLines(r, zips, zip, city, ctx);
    } catch (const FatalError& e) {
        r.fatal.emplace_back(e.what());
    } catch (const IoError& e) {
        r.ioError = e.what();
    }
    return r;
}

} // namespace corvana
