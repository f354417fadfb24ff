#pragma once

#include "geo/Nearby.h"
#include "geo/Points.h"

#include <sqlite3.h>

#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

// The radius search as a program built on SQLite would make it: the points in an R*Tree table
// (with their latitude and longitude beside each box), the bounding box of the circle from the
// R*Tree, then the geodesic of every point in the box, kept when within the radius and sorted
// as ours are.
class RtreePeer {
public:
    explicit RtreePeer(const corvana::geo::Points& points);
    ~RtreePeer();
    RtreePeer(const RtreePeer&) = delete;
    RtreePeer& operator=(const RtreePeer&) = delete;

    std::vector<corvana::geo::NearbyZip> near(corvana::geo::GeoPoint centre, double radiusKm,
                                              std::optional<std::uint32_t> centreRecord);

    // The R*Tree's part alone: the rows of the bounding box, each with its position.
    std::vector<std::pair<std::uint32_t, corvana::geo::GeoPoint>>
    inBox(corvana::geo::GeoPoint centre, double radiusKm);

private:
    std::filesystem::path path_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* inBox_ = nullptr;
};
