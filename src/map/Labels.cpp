#include "map/Labels.h"

#include "map/Outlines.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <sstream>
#include <utility>

namespace corvana::map {

namespace {

// Names keep this far from the picture's edges.
constexpr double EdgeMargin = 3;
// Above this many marks in view their ZIP codes are not asked for: they would not be read.
constexpr std::size_t MaxZipNames = 300;
// The cities with most ZIP codes in view are named; the rest would crowd them out anyway.
constexpr std::size_t MaxCityNames = 60;
// Of those, the few with most ZIP codes may go beside the crowd of their dots with a leader
// line; more leaders would hide the map under their lines.
constexpr std::size_t MaxCityLeaders = 8;
// A state's or county's name is asked for when its area is at least this many pixels wide;
// the painter's measure then says whether the name fits.
constexpr double MinRoom = 14;
// Counties not listed are named in views of a few states at most: at a view of the nation the
// states are what a reader looks for.
constexpr double MaxCountyView = 16; // degrees of longitude

// The territories, named as islands whatever their size on screen.
bool isTerritory(int fips) {
    return fips == 60 || fips == 66 || fips == 69 || fips == 72 || fips == 78;
}

// Boxes in cells of a fixed size, so that a new box is tested only against its neighbours.
class BoxGrid {
public:
    BoxGrid(double width, double height)
        : cols_(std::max(1, int(std::ceil(width / Cell)))),
          rows_(std::max(1, int(std::ceil(height / Cell)))), cells_(std::size_t(cols_ * rows_)) {}

    void add(const PixelBox& box) {
        const auto index = std::uint32_t(boxes_.size());
        boxes_.push_back(box);
        forCells(box, [&](std::vector<std::uint32_t>& cell) {
            cell.push_back(index);
            return false;
        });
    }

    bool hits(const PixelBox& box) {
        return forCells(box, [&](std::vector<std::uint32_t>& cell) {
            return std::any_of(cell.begin(), cell.end(),
                               [&](std::uint32_t i) { return boxes_[i].overlaps(box); });
        });
    }

private:
    static constexpr double Cell = 64;

    // Calls f on each cell the box touches until f returns true.
    template <class F> bool forCells(const PixelBox& box, F&& f) {
        const int c0 = std::clamp(int(std::floor(box.left / Cell)), 0, cols_ - 1);
        const int c1 = std::clamp(int(std::floor(box.right / Cell)), 0, cols_ - 1);
        const int r0 = std::clamp(int(std::floor(box.top / Cell)), 0, rows_ - 1);
        const int r1 = std::clamp(int(std::floor(box.bottom / Cell)), 0, rows_ - 1);
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                if (f(cells_[std::size_t(r * cols_ + c)]))
                    return true;
        return false;
    }

    int cols_, rows_;
    std::vector<std::vector<std::uint32_t>> cells_;
    std::vector<PixelBox> boxes_;
};

// Where a centred name may go, in the order tried: offsets from its anchor in widths and
// heights of the name.
constexpr std::pair<double, double> CentredOffsets[] = {
    {0, 0},   {0, -0.9},    {0, 0.9},    {-0.5, 0},   {0.5, 0},   {0, -1.8},
    {0, 1.8}, {-0.5, -0.9}, {0.5, -0.9}, {-0.5, 0.9}, {0.5, 0.9}, {-1.2, 0},
    {1.2, 0}, {-1.2, -1.8}, {1.2, -1.8}, {-1.2, 1.8}, {1.2, 1.8}};
constexpr std::size_t MaxPositions = std::size(CentredOffsets);
constexpr std::size_t NearPositions = 11; // those within half a width and two heights

// Where a name of the given size may go, in the order tried, as its top left corner; the count.
std::size_t positions(const LabelRequest& r, TextSize s,
                      std::pair<double, double> (&out)[MaxPositions]) {
    const double w = s.width, h = s.height;
    if (r.gap >= 0) {
        const double g = r.gap + 1;
        out[0] = {r.x + g, r.y - h / 2};
        out[1] = {r.x - g - w, r.y - h / 2};
        out[2] = {r.x - w / 2, r.y - g - h};
        out[3] = {r.x - w / 2, r.y + g};
        return 4;
    }
    const double left = r.x - w / 2, top = r.y - h / 2;
    // A city's name stays near its place; an area's may go further within the area.
    const std::size_t n = r.kind == LabelKind::City ? NearPositions : MaxPositions;
    for (std::size_t i = 0; i < n; ++i)
        out[i] = {left + CentredOffsets[i].first * w, top + CentredOffsets[i].second * h};
    return n;
}

// Where a name may go beside its anchor when no place on its area (or, for a city, near its
// place) is free, as its top left corner, nearest first: to the right and left, on the
// diagonals, above and below, at one and two heights of the name from the anchor, a city's
// out to five, past the crowd of its dots. The count.
constexpr std::size_t LeaderPositions = 40;
std::size_t besidePositions(const LabelRequest& r, TextSize s,
                            std::pair<double, double> (&out)[LeaderPositions]) {
    const double w = s.width, h = s.height;
    const int rings = r.kind == LabelKind::City ? 5 : 1;
    std::size_t n = 0;
    for (int ring = 1; ring <= rings; ++ring) {
        const double d = ring * h, e = d * 0.7;
        out[n++] = {r.x + d, r.y - h / 2};
        out[n++] = {r.x - d - w, r.y - h / 2};
        out[n++] = {r.x + e, r.y + e};
        out[n++] = {r.x + e, r.y - e - h};
        out[n++] = {r.x - e - w, r.y + e};
        out[n++] = {r.x - e - w, r.y - e - h};
        out[n++] = {r.x - w / 2, r.y + d};
        out[n++] = {r.x - w / 2, r.y - d - h};
    }
    return n;
}

} // namespace

std::vector<PlacedLabel> PlaceLabels(std::span<const LabelRequest> requests,
                                     std::span<const DotMark> dots, double width, double height,
                                     const MeasureLabel& measure,
                                     std::span<const PixelBox> reserved, const OnArea& onArea) {
    std::vector<PlacedLabel> placed;
    if (width <= 2 * EdgeMargin || height <= 2 * EdgeMargin)
        return placed;
    BoxGrid taken(width, height);
    for (const DotMark& d : dots)
        if (d.x >= -d.radius && d.x <= width + d.radius && d.y >= -d.radius &&
            d.y <= height + d.radius)
            taken.add({d.x - d.radius, d.y - d.radius, d.x + d.radius, d.y + d.radius});
    for (const PixelBox& box : reserved)
        taken.add(box);
    auto isFree = [&](const PixelBox& box) {
        return box.left >= EdgeMargin && box.top >= EdgeMargin && box.right <= width - EdgeMargin &&
               box.bottom <= height - EdgeMargin && !taken.hits(box);
    };

    for (std::size_t i = 0; i < requests.size(); ++i) {
        const LabelRequest& r = requests[i];
        bool shortForm = false;
        TextSize size = measure(r, false);
        if (r.room > 0 && size.width > r.room) {
            if (r.shortText.empty())
                continue;
            shortForm = true;
            size = measure(r, true);
        }
        // An area's name lies on its land: the middle of its box on the area.
        const bool onLand = r.area && onArea;
        auto place = [&](double left, double top, bool leader) {
            const PixelBox box{left, top, left + size.width, top + size.height};
            if (!isFree(box) ||
                (onLand && !leader && !onArea(r, left + size.width / 2, top + size.height / 2)))
                return false;
            taken.add(box);
            placed.push_back({i, shortForm, box, leader});
            return true;
        };
        std::pair<double, double> tries[MaxPositions];
        const std::size_t n = positions(r, size, tries);
        bool done = false;
        for (std::size_t k = 0; k < n && !done; ++k)
            done = place(tries[k].first, tries[k].second, false);
        // An area with room for its name that lost it to its neighbours' names is left out: a
        // leader is for an area too small for even its abbreviation, or one always named.
        const bool tooSmall = r.room <= 0 || size.width > r.room;
        if (done || !r.leader || (r.area && !tooSmall) || (onLand && !onArea(r, r.x, r.y)))
            continue;
        std::pair<double, double> beside[LeaderPositions];
        const std::size_t m = besidePositions(r, size, beside);
        for (std::size_t k = 0; k < m && !done; ++k)
            done = place(beside[k].first, beside[k].second, true);
    }
    return placed;
}

namespace {

// The middle of the widest stretch inside the area along the latitude `at`, and its width in
// degrees of longitude; nothing when that latitude crosses no part of it.
// With a clip (west and east in degrees), only the part of each stretch between them counts.
std::optional<std::pair<GeoPoint, double>>
stretchAt(const Outlines& o, const Outlines::Region& r, double at,
          std::optional<std::pair<double, double>> clip = std::nullopt) {
    // Longitudes relative to the area's west, so that an area across the 180th meridian is
    // measured in one piece.
    std::vector<double> crossings;
    for (const auto& ring : o.rings(r)) {
        if (at < ring.box.south || at > ring.box.north)
            continue;
        for (std::int32_t ref : o.refs(ring)) {
            auto pts = o.points(o.arcOf(ref));
            for (std::size_t k = 1; k < pts.size(); ++k) {
                const GeoPoint& a = pts[k - 1];
                const GeoPoint& b = pts[k];
                if ((a.latitude > at) == (b.latitude > at))
                    continue;
                const double ax = wrapLongitude(a.longitude - r.box.west + 180) + 180;
                const double bx = wrapLongitude(b.longitude - r.box.west + 180) + 180;
                crossings.push_back(ax + (at - a.latitude) * (bx - ax) / (b.latitude - a.latitude));
            }
        }
    }
    std::sort(crossings.begin(), crossings.end());
    double best = 0, middle = 0;
    double lo = -1e9, hi = 1e9;
    if (clip) {
        lo = wrapLongitude(clip->first - r.box.west + 180) + 180;
        hi = lo + (clip->second - clip->first);
    }
    for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
        crossings[k] = std::max(crossings[k], lo);
        crossings[k + 1] = std::min(crossings[k + 1], hi);
        const double w = crossings[k + 1] - crossings[k];
        if (w > best) {
            best = w;
            middle = (crossings[k] + crossings[k + 1]) / 2;
        }
    }
    if (best <= 0)
        return std::nullopt;
    return std::pair{GeoPoint{at, wrapLongitude(r.box.west + middle)}, best};
}

} // namespace

AreaAnchor AreaAnchorOf(const Outlines& outlines, const Outlines::Region& region) {
    const GeoBox& box = region.box;
    std::vector<double> tries{(box.south + box.north) / 2};
    // The largest ring's middle, for an area whose middle latitude crosses only water.
    const Outlines::Ring* largest = nullptr;
    for (const auto& ring : outlines.rings(region))
        if (!largest ||
            ring.box.width() * ring.box.height() > largest->box.width() * largest->box.height())
            largest = &ring;
    if (largest) {
        const double mid = (largest->box.south + largest->box.north) / 2;
        tries.push_back(mid);
        tries.push_back(mid + largest->box.height() / 4);
        tries.push_back(mid - largest->box.height() / 4);
    }
    std::optional<std::pair<GeoPoint, double>> best;
    for (double lat : tries)
        if (auto s = stretchAt(outlines, region, lat); s && (!best || s->second > best->second))
            best = s;
    if (best)
        return {best->first, best->second};
    return {box.centre(), box.width()};
}

AreaAnchors::AreaAnchors(const Outlines& outlines)
    : outlines_(&outlines), states_(outlines.states().size()),
      counties_(outlines.counties().size()) {}

const AreaAnchor& AreaAnchors::of(const Outlines::Region& region) {
    const bool county = region.abbrev.empty();
    const auto& all = county ? outlines_->counties() : outlines_->states();
    auto& cache = county ? counties_ : states_;
    const auto index = std::size_t(&region - all.data());
    if (!cache[index])
        cache[index] = AreaAnchorOf(*outlines_, region);
    return *cache[index];
}

std::span<const IslandName> PacificIslands() {
    // The freely associated states, whose ZIP codes the outlines hold no land for.
    static const IslandName islands[] = {
        {"Palau", {7.50, 134.58}},
        {"Micronesia", {6.92, 158.16}},
        {"Marshall Islands", {7.10, 171.38}},
    };
    return islands;
}

namespace {

bool inView(const Projection& view, double x, double y) {
    return x >= 0 && x <= view.width && y >= 0 && y <= view.height;
}

// Larger areas first: they are the ones a reader looks for.
bool wider(const Outlines::Region* a, const Outlines::Region* b) {
    return a->box.width() * a->box.height() > b->box.width() * b->box.height();
}

std::vector<const Outlines::Region*> statesWiderFirst(const Outlines& o) {
    std::vector<const Outlines::Region*> states;
    for (const auto& s : o.states())
        states.push_back(&s);
    std::stable_sort(states.begin(), states.end(), wider);
    return states;
}

// The name of an area, where it is in view and, unless always named, has room enough.
void addArea(std::vector<LabelRequest>& out, const LabelScene& scene, const Projection& view,
             const Outlines::Region& r, LabelKind kind, bool always) {
    const GeoBox visible = view.visible();
    AreaAnchor a = scene.anchors->of(r);
    if (!inView(view, view.x(a.at.longitude), view.y(a.at.latitude)) &&
        r.box.south < visible.north && r.box.north > visible.south) {
        // Seen in part: named in the widest stretch of that part, along the latitude in view
        // nearest its own anchor's, or the view's middle.
        const double margin = visible.height() / 8;
        const double near =
            std::clamp(a.at.latitude, visible.south + margin, visible.north - margin);
        std::optional<std::pair<GeoPoint, double>> best;
        for (double lat : {near, view.centre.latitude})
            if (auto s = stretchAt(*scene.outlines, r, lat, std::pair{visible.west, visible.east});
                s && (!best || s->second > best->second))
                best = s;
        if (best)
            a = {best->first, best->second};
    }
    const double x = view.x(a.at.longitude), y = view.y(a.at.latitude);
    const double room = a.widthDegrees * view.xScale;
    const double least = kind == LabelKind::State ? 3 : MinRoom;
    if (!inView(view, x, y) || (!always && room < least))
        return;
    out.push_back({kind, r.name, kind == LabelKind::State ? r.abbrev : std::string(), x, y,
                   always ? 0 : room, -1, &r, kind != LabelKind::County});
}

bool hasAreas(const LabelScene& scene) {
    return scene.outlines && scene.anchors;
}

} // namespace

std::vector<LabelRequest> IslandLabels(const LabelScene& scene, const Projection& view) {
    std::vector<LabelRequest> out;
    if (!hasAreas(scene))
        return out;
    for (const auto* s : statesWiderFirst(*scene.outlines))
        if (isTerritory(s->fips))
            addArea(out, scene, view, *s, LabelKind::Island, true);
    for (const IslandName& island : PacificIslands()) {
        const double x = view.x(island.at.longitude), y = view.y(island.at.latitude);
        if (inView(view, x, y))
            out.push_back({LabelKind::Island, island.name, {}, x, y, 0, -1});
    }
    return out;
}

std::vector<LabelRequest> CityLabels(const LabelScene& scene, const Projection& view) {
    std::vector<LabelRequest> out;
    std::vector<const NamedPlace*> places;
    for (const NamedPlace& p : scene.places)
        places.push_back(&p);
    std::stable_sort(places.begin(), places.end(), [](const NamedPlace* a, const NamedPlace* b) {
        return a->zipCodes > b->zipCodes;
    });
    std::size_t cities = 0;
    for (const NamedPlace* p : places) {
        const double x = view.x(p->at.longitude), y = view.y(p->at.latitude);
        if (!inView(view, x, y) || p->name.empty() || cities >= MaxCityNames)
            continue;
        const bool leader = p->zipCodes > 1 && cities < MaxCityLeaders;
        out.push_back({LabelKind::City, p->name, {}, x, y, 0, -1, nullptr, leader});
        ++cities;
    }
    return out;
}

std::vector<LabelRequest> ListedCountyLabels(const LabelScene& scene, const Projection& view) {
    std::vector<LabelRequest> out;
    if (!hasAreas(scene))
        return out;
    for (int fips : scene.listedCounties)
        if (const auto* r = scene.outlines->county(fips))
            addArea(out, scene, view, *r, LabelKind::ListedCounty, true);
    return out;
}

std::vector<LabelRequest> StateLabels(const LabelScene& scene, const Projection& view) {
    std::vector<LabelRequest> out;
    if (!hasAreas(scene))
        return out;
    for (const auto* s : statesWiderFirst(*scene.outlines))
        if (!isTerritory(s->fips))
            addArea(out, scene, view, *s, LabelKind::State, false);
    return out;
}

std::vector<LabelRequest> CountyLabels(const LabelScene& scene, const Projection& view) {
    std::vector<LabelRequest> out;
    const GeoBox visible = view.visible();
    if (!hasAreas(scene) || visible.width() > MaxCountyView)
        return out;
    auto overlaps = [&](const GeoBox& b) {
        if (b.south > visible.north || b.north < visible.south)
            return false;
        const double lat = std::clamp(view.centre.latitude, std::max(b.south, visible.south),
                                      std::min(b.north, visible.north));
        return visible.contains({lat, b.west}) || visible.contains({lat, b.east}) ||
               b.contains({lat, visible.west});
    };
    const auto& listed = scene.listedCounties;
    std::vector<const Outlines::Region*> counties;
    for (const auto& c : scene.outlines->counties())
        if (c.box.width() * view.xScale >= MinRoom &&
            std::find(listed.begin(), listed.end(), c.fips) == listed.end() && overlaps(c.box))
            counties.push_back(&c);
    std::stable_sort(counties.begin(), counties.end(), wider);
    for (const auto* c : counties)
        addArea(out, scene, view, *c, LabelKind::County, false);
    return out;
}

std::vector<LabelRequest> ZipLabels(const LabelScene& scene, const Projection& view) {
    std::vector<LabelRequest> out;
    std::size_t shown = 0;
    for (const MarkName& m : scene.marks)
        if (inView(view, view.x(m.at.longitude), view.y(m.at.latitude)))
            ++shown;
    if (shown > MaxZipNames)
        return out;
    for (const MarkName& m : scene.marks) {
        const double x = view.x(m.at.longitude), y = view.y(m.at.latitude);
        if (!m.zip.empty() && m.count == 1 && inView(view, x, y))
            out.push_back({LabelKind::Zip, m.zip, {}, x, y, 0, scene.markRadius});
    }
    return out;
}

std::vector<LabelRequest> LabelsFor(const LabelScene& scene, const Projection& view) {
    std::vector<LabelRequest> out;
    for (auto candidates :
         {IslandLabels, CityLabels, ListedCountyLabels, StateLabels, CountyLabels, ZipLabels}) {
        std::vector<LabelRequest> more = candidates(scene, view);
        out.insert(out.end(), std::make_move_iterator(more.begin()),
                   std::make_move_iterator(more.end()));
    }
    return out;
}

ScaleBar ScaleBarFor(double pixelsPerKm, double maxPixels) {
    auto nice = [](double most) {
        if (!(most > 0) || !std::isfinite(most))
            return 0.0;
        const double power = std::pow(10.0, std::floor(std::log10(most)));
        for (double step : {5.0, 2.0, 1.0})
            if (step * power <= most * (1 + 1e-12))
                return step * power;
        return power;
    };
    ScaleBar bar;
    if (!(pixelsPerKm > 0))
        return bar;
    bar.km = nice(maxPixels / pixelsPerKm);
    bar.kmPixels = bar.km * pixelsPerKm;
    const double pixelsPerMile = pixelsPerKm * 1.609344;
    bar.miles = nice(maxPixels / pixelsPerMile);
    bar.milesPixels = bar.miles * pixelsPerMile;
    return bar;
}

std::string LengthText(double value, const char* unit) {
    std::ostringstream text;
    if (value >= 1)
        text << std::llround(value);
    else {
        text.precision(3);
        text << value;
    }
    text << ' ' << unit;
    return text.str();
}

std::vector<std::vector<std::size_t>> StackPoints(std::span<const GeoPoint> points) {
    std::vector<std::vector<std::size_t>> groups;
    std::map<std::pair<double, double>, std::size_t> at;
    for (std::size_t i = 0; i < points.size(); ++i) {
        auto [it, added] = at.try_emplace({points[i].latitude, points[i].longitude}, groups.size());
        if (added)
            groups.emplace_back();
        groups[it->second].push_back(i);
    }
    return groups;
}

} // namespace corvana::map
