#include "map/Geo.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

namespace corvana::map {

double wrapLongitude(double lon) {
    return lon - 360.0 * std::floor((lon + 180.0) / 360.0);
}

bool GeoBox::contains(GeoPoint p) const {
    if (empty() || p.latitude < south || p.latitude > north)
        return false;
    double d = p.longitude - west;
    d -= 360.0 * std::floor(d / 360.0);
    return d <= east - west || east - west >= 360.0;
}

namespace {

// The shortest stretch of longitude that holds every stretch [west, east]: the whole circle
// less the widest gap between them.
std::pair<double, double> coverLongitudes(std::vector<std::pair<double, double>> spans) {
    for (auto& [w, e] : spans) {
        double width = e - w;
        if (width >= 360.0)
            return {-180.0, 180.0};
        w = wrapLongitude(w);
        e = w + width;
    }
    std::sort(spans.begin(), spans.end());
    // Merge the overlapping stretches in order; ends only grow, so the last end is the largest.
    std::vector<std::pair<double, double>> blocks;
    for (const auto& s : spans) {
        if (!blocks.empty() && s.first <= blocks.back().second)
            blocks.back().second = std::max(blocks.back().second, s.second);
        else
            blocks.push_back(s);
    }
    // The last block may reach around past the first ones.
    const double wrapped = blocks.back().second - 360.0;
    double bestGap = blocks.front().first + 360.0 - blocks.back().second;
    double gapEnd = blocks.front().first + 360.0;
    for (std::size_t i = 0; i + 1 < blocks.size(); ++i) {
        double gap = blocks[i + 1].first - std::max(blocks[i].second, wrapped);
        if (gap > bestGap) {
            bestGap = gap;
            gapEnd = blocks[i + 1].first;
        }
    }
    if (bestGap <= 0)
        return {-180.0, 180.0};
    double west = wrapLongitude(gapEnd);
    return {west, west + 360.0 - bestGap};
}

} // namespace

GeoBox GeoBox::around(std::span<const GeoPoint> points) {
    GeoBox box;
    if (points.empty())
        return box;
    std::vector<std::pair<double, double>> spans;
    spans.reserve(points.size());
    box.south = box.north = points.front().latitude;
    for (const GeoPoint& p : points) {
        spans.emplace_back(p.longitude, p.longitude);
        box.south = std::min(box.south, p.latitude);
        box.north = std::max(box.north, p.latitude);
    }
    std::tie(box.west, box.east) = coverLongitudes(std::move(spans));
    return box;
}

GeoBox GeoBox::around(std::span<const GeoBox> boxes) {
    GeoBox box;
    std::vector<std::pair<double, double>> spans;
    for (const GeoBox& b : boxes) {
        if (b.empty())
            continue;
        if (spans.empty()) {
            box.south = b.south;
            box.north = b.north;
        }
        spans.emplace_back(b.west, b.east);
        box.south = std::min(box.south, b.south);
        box.north = std::max(box.north, b.north);
    }
    if (!spans.empty())
        std::tie(box.west, box.east) = coverLongitudes(std::move(spans));
    return box;
}

} // namespace corvana::map
