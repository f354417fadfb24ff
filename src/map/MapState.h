#pragma once

// What the map's layers draw from: the canvas's state, lent for one picture or one question,
// with the revisions that say when a layer's kept drawing is out of date.

#include "map/MapContent.h"
#include "map/MapStyle.h"
#include "map/MapView.h"
#include "map/Outlines.h"

#include <QSize>

#include <cstdint>
#include <vector>

namespace corvana::map {

struct MapState {
    const Outlines* outlines; // null: the dots alone on a plain background
    const MapContent& content;
    const Marks& marks;
    const std::vector<GeoPoint>& circle; // the circle's points around its centre
    const MapView& view;
    const MapColours& colours;
    double fontPixels;
    QSize size;
    std::uint64_t styleRevision;  // of the colours and fonts
    std::uint64_t placesRevision; // of the outlines and the outlined places
    std::uint64_t dotsRevision;   // of the dots and the selection
};

} // namespace corvana::map
