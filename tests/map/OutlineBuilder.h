#pragma once

// Outline files made by hand for the tests, written with an encoder of their own (not the
// reader's header), so that a fault shared by the format's encode and decode shows.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace corvana::test {

struct OutlineBuilder {
    struct Place {
        int fips = 0; // state: 2 digits; county: 5
        std::string name;
        std::string abbrev;                  // states only
        std::vector<std::vector<int>> rings; // arc references, ~arc for backwards
    };

    std::uint32_t steps = 1001;
    // The grid's box in degrees: x = 0 is west, x = steps - 1 east.
    double west = -180, south = -90, east = 180, north = 90;
    std::vector<std::vector<std::pair<int, int>>> arcs; // grid points
    std::vector<Place> states;
    std::vector<Place> counties;

    // The grid point nearest a longitude and latitude.
    std::pair<int, int> at(double lon, double lat) const;
    // Adds an arc through the given (lon, lat) points and returns its number.
    int arc(std::vector<std::pair<double, double>> lonLat);

    // Where each part starts in the file, and the whole file.
    struct Layout {
        std::size_t records = 0, rings = 0, arcs = 0, names = 0, size = 0;
    };
    Layout layout() const;
    std::string bytes() const;
};

// Two states side by side, sharing their middle line, each of one county; the west county
// holds a small county inside it (a hole of the west county), and the east state has an
// island across the 180th meridian.
OutlineBuilder twoStates();

} // namespace corvana::test
