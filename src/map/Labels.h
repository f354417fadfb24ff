#pragma once

// The words on the map, in pixels and without a painter: which names a view shows, where each
// goes so that none overlaps another or hides a listed dot, the lengths of the scale bar, and
// the ZIP codes that share a point. The map's painter measures the texts and draws the result.

#include "map/Geo.h"
#include "map/Outlines.h"
#include "map/Projection.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace corvana::map {

// A rectangle in pixels; right and bottom lie outside it.
struct PixelBox {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;

    double width() const { return right - left; }
    double height() const { return bottom - top; }
    bool overlaps(const PixelBox& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
};

// What a name names; the painter chooses its font by it.
enum class LabelKind : std::uint8_t { City, ListedCounty, State, Island, County, Zip };

struct LabelRequest {
    LabelKind kind = LabelKind::State;
    std::string text;      // UTF-8
    std::string shortText; // taken when text is wider than room ("UT" for "Utah"); may be empty
    double x = 0;          // anchor: the middle of an area's name, or a dot's centre
    double y = 0;
    double room = 0; // the widest an area's name may be, in pixels; 0: any width
    double gap = -1; // >= 0: the name goes beside the anchor, this far from it; < 0: centred
    // The state or county named: the name's middle lies on its land, or it is left out.
    const Outlines::Region* area = nullptr;
    // Where no place on its area, or near its anchor, is free, the name may go beside the
    // anchor with a leader line to it: an area too small for its name (or always named), a
    // city among the crowd of its own dots.
    bool leader = false;
};

struct TextSize {
    double width = 0;
    double height = 0;
};

// The size of a request's text, or of its short text when shortForm is set.
using MeasureLabel = std::function<TextSize(const LabelRequest&, bool shortForm)>;

struct PlacedLabel {
    std::size_t request = 0; // index into the requests
    bool shortForm = false;
    PixelBox box;
    bool leader = false; // beside its area, with a line from the box to the request's anchor
};

// Whether a pixel lies on the land of a request's area.
using OnArea = std::function<bool(const LabelRequest&, double x, double y)>;

// A listed dot as a circle that no name may cover.
struct DotMark {
    double x = 0;
    double y = 0;
    double radius = 0;
};

// Places the requests in their order, the first the most wanted: each at the first of its
// positions that lies inside the picture with a margin, overlaps no name placed before it, no
// dot and no reserved box (the legend, the scale bar). A name wider than its room is left out,
// or given in its short form where it has one (an abbreviation is read in any room). A
// centred name tries its anchor, then a little above, below and to either side; a name beside
// a dot tries right, left, above and below it. With onArea, an area's name takes only a
// position whose middle lies on its area. A request that allows it then goes a little beside
// its anchor with a leader line. What finds no place is left out.
std::vector<PlacedLabel> PlaceLabels(std::span<const LabelRequest> requests,
                                     std::span<const DotMark> dots, double width, double height,
                                     const MeasureLabel& measure,
                                     std::span<const PixelBox> reserved = {},
                                     const OnArea& onArea = {});

// A listed place that is no outlined area: a city at the middle of its listed ZIP codes.
struct NamedPlace {
    GeoPoint at;
    std::string name;
    int zipCodes = 0; // how many of the list's ZIP codes it has; more are named first
};

// One mark on the map: the dots at one point, with the ZIP code to show beside it (the
// first's) when it stands alone.
struct MarkName {
    GeoPoint at;
    std::string zip; // empty: none
    int count = 1;
};

// Where an area's name goes: the middle of the widest stretch of land along a latitude near
// the area's middle (a box's centre may lie at sea: Florida's does, Michigan's is in the lake),
// and that stretch's width in degrees of longitude, the room the name has.
struct AreaAnchor {
    GeoPoint at;
    double widthDegrees = 0;
};
AreaAnchor AreaAnchorOf(const Outlines& outlines, const Outlines::Region& region);

// The anchors of one set of outlines, each found on first use.
class AreaAnchors {
public:
    explicit AreaAnchors(const Outlines& outlines);
    // region is one of the outlines' states or counties.
    const AreaAnchor& of(const Outlines::Region& region);

private:
    const Outlines* outlines_;
    std::vector<std::optional<AreaAnchor>> states_;
    std::vector<std::optional<AreaAnchor>> counties_;
};

// What the view shows, for the names' candidates.
struct LabelScene {
    const Outlines* outlines = nullptr;  // null: no state, county or island names
    AreaAnchors* anchors = nullptr;      // of those outlines
    std::span<const int> listedCounties; // FIPS codes of a list's counties: always named
    std::span<const NamedPlace> places;
    std::span<const MarkName> marks;
    double markRadius = 4; // the gap between a mark and its ZIP code
};

// The candidates of each kind of name in view, most wanted first. Areas are named at their
// anchors, or where only part of one is in view, in the widest stretch of that part, and all
// but the unlisted counties may go beside it with a leader line.
// The islands and territories of the Pacific and the Caribbean, whatever their size.
std::vector<LabelRequest> IslandLabels(const LabelScene& scene, const Projection& view);
// The listed cities, more ZIP codes first, only those with most; the first few, of several ZIP
// codes each, may go beside their places with a leader line.
std::vector<LabelRequest> CityLabels(const LabelScene& scene, const Projection& view);
// The counties of a county list, whatever their size.
std::vector<LabelRequest> ListedCountyLabels(const LabelScene& scene, const Projection& view);
// The states wide enough in view for a name or its abbreviation, larger first.
std::vector<LabelRequest> StateLabels(const LabelScene& scene, const Projection& view);
// The other counties, in a view of a few states at most, where they are large enough; larger
// first.
std::vector<LabelRequest> CountyLabels(const LabelScene& scene, const Projection& view);
// The ZIP code beside each mark of one ZIP code, when there are few enough marks in view for
// them to be read.
std::vector<LabelRequest> ZipLabels(const LabelScene& scene, const Projection& view);

// The names a view asks for, most wanted first: the islands (a reader of the ocean looks for
// them first, and their towns would crowd them out), the cities, the listed counties, the
// states, the other counties and the ZIP codes.
std::vector<LabelRequest> LabelsFor(const LabelScene& scene, const Projection& view);

// An island group the outlines do not hold, named where it lies.
struct IslandName {
    const char* name;
    GeoPoint at;
};
std::span<const IslandName> PacificIslands();

// The scale bar's two lengths: a round number of miles and of kilometres (1, 2 or 5 times a
// power of ten) each at most maxPixels long, with their lengths in pixels.
struct ScaleBar {
    double miles = 0;
    double milesPixels = 0;
    double km = 0;
    double kmPixels = 0;
};
ScaleBar ScaleBarFor(double pixelsPerKm, double maxPixels);
// "50 mi", "0.5 mi", "200 km".
std::string LengthText(double value, const char* unit);

// The points that several entries share: for each distinct point, the indices of the entries
// at it, in their order; the groups in the order of their first entries.
std::vector<std::vector<std::size_t>> StackPoints(std::span<const GeoPoint> points);

} // namespace corvana::map
