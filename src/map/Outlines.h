#pragma once

// The outlines of the states and counties, read from OUTLINE.DAT (see OutlineFormat.h) into
// memory with every count, offset and reference checked: a damaged file is refused with a
// message, never read outside its bytes. Standard C++ only, so the fuzz build links it.

#include "data/FileNames.h"
#include "map/Geo.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvana::map {

namespace msg {
inline constexpr const char* OutlinesNotFound =
    "File containing state and county outlines could not be found.";
inline constexpr const char* OutlinesUnreadable =
    "File containing state and county outlines could not be read.";
// Followed by what was found wrong, in brackets.
inline constexpr const char* OutlinesCorrupt =
    "File containing state and county outlines is corrupt.";
} // namespace msg

inline constexpr const char* OutlineFileName = filenames::OutlineDat;

class Outlines {
public:
    // A line between two places (or a coast), drawn once whichever places it bounds.
    struct Arc {
        std::uint32_t firstPoint = 0;
        std::uint32_t pointCount = 0;
        GeoBox box;
        bool stateLine = false; // it bounds a state, not only counties
    };
    // A closed line of arcs. A place's rings hold it with the even-odd rule (lakes are holes).
    struct Ring {
        std::uint32_t firstRef = 0;
        std::uint32_t refCount = 0;
        GeoBox box;
    };
    struct Region {
        int fips = 0;       // state: 2 digits; county: state * 1000 + county code
        std::string name;   // UTF-8, as the Census Bureau named it about 2017
        std::string abbrev; // USPS abbreviation of a state; empty for a county
        std::uint32_t firstRing = 0;
        std::uint32_t ringCount = 0;
        GeoBox box;
    };

    const std::vector<Region>& states() const { return states_; }
    const std::vector<Region>& counties() const { return counties_; }
    const std::vector<Arc>& arcs() const { return arcs_; }
    const std::vector<Ring>& rings() const { return rings_; }

    // nullptr when there is no such place.
    const Region* state(int fips) const;
    const Region* stateByAbbrev(std::string_view abbrev) const;
    const Region* county(int fips) const;

    std::span<const GeoPoint> points(const Arc& arc) const {
        return {points_.data() + arc.firstPoint, arc.pointCount};
    }
    std::span<const std::int32_t> refs(const Ring& ring) const {
        return {refs_.data() + ring.firstRef, ring.refCount};
    }
    std::span<const Ring> rings(const Region& region) const {
        return {rings_.data() + region.firstRing, region.ringCount};
    }
    // The arc of a reference, and whether the ring runs along it backwards.
    const Arc& arcOf(std::int32_t ref) const { return arcs_[std::size_t(ref < 0 ? ~ref : ref)]; }

    // Whether the point lies inside the place (on its border: either).
    bool contains(const Region& region, GeoPoint p) const;
    // The state or county the point lies in; nullptr at sea or abroad.
    const Region* stateAt(GeoPoint p) const;
    const Region* countyAt(GeoPoint p) const;

    std::size_t pointCount() const { return points_.size(); }

    // All the states together.
    const GeoBox& bounds() const { return bounds_; }

private:
    friend class OutlineParser;

    std::vector<Region> states_;
    std::vector<Region> counties_;
    std::vector<Ring> rings_;
    std::vector<std::int32_t> refs_;
    std::vector<Arc> arcs_;
    std::vector<GeoPoint> points_;
    GeoBox bounds_;
};

// The outlines, or why there are none: error is one of the messages above (the corrupt one
// with its reason), empty when outlines is set.
struct OutlineLoad {
    std::shared_ptr<const Outlines> outlines;
    std::string error;
};

// The corrupt message with its reason: "... is corrupt (cut short: 10 of 60 bytes)."
std::string corruptMessage(std::string_view reason);

OutlineLoad parseOutlines(std::span<const std::uint8_t> bytes);
OutlineLoad loadOutlines(const std::string& path);

} // namespace corvana::map
