#pragma once

// What a map shows of one list: its ZIP codes as dots, outlined states and counties, named
// places and a circle.

#include "map/Geo.h"
#include "map/Labels.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace corvana::map {

// One listed ZIP code. id is the caller's (its line in the list, say). Dots at one point are
// drawn as one mark with their count.
struct MapDot {
    GeoPoint at;
    int id = 0;
    bool selected = false;
    std::string zip;     // shown beside the dot where there is room; empty: never
    bool noArea = false; // a ZIP code without an area of its own (a box, one address): hollow
    std::optional<std::uint32_t> people; // how many live there; none: no figure

    MapDot() = default;
    MapDot(GeoPoint at, int id, bool selected, std::string zip = {}, bool noArea = false)
        : at(at), id(id), selected(selected), zip(std::move(zip)), noArea(noArea) {}
};

// A centre and a radius, drawn as the circle of places at that distance on the WGS84 ellipsoid.
struct MapCircle {
    GeoPoint centre;
    double radiusKm = 0;
};

struct MapContent {
    std::vector<MapDot> dots;
    std::vector<int> states;     // FIPS codes of states to outline, e.g. 49 for Utah
    std::vector<int> counties;   // FIPS codes of counties to outline, e.g. 49035
    bool countiesListed = false; // the counties are a list's own lines: each is named
    std::optional<MapCircle> circle;
    std::vector<NamedPlace> places; // listed cities, named at the middle of their ZIP codes
    // A dot of one ZIP code with a population figure is as large as its people (Size By
    // Population); the others keep their size.
    bool sizedByPeople = false;
};

// The dots of each point (from StackPoints), drawn as one mark.
using Marks = std::vector<std::vector<std::size_t>>;

} // namespace corvana::map
