#pragma once

#include "data/DataSet.h"
#include "data/Records.h"
#include "geo/GeoPoint.h"
#include "geo/PlaceTree.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvana::msg {
inline constexpr const char* NoLocations = "This data has no locations.";
inline constexpr const char* PointsCorrupt = "File containing ZIP code locations is corrupt.";
inline constexpr const char* PointsUnreadable =
    "File containing ZIP code locations could not be read.";
// Left from an earlier data set: its record count is not ZIPCODE.DAT's.
inline constexpr const char* PointsOfOtherData =
    "File containing ZIP code locations belongs to other ZIP code data: build the data files "
    "again together with corvana-mkdata, or remove POINTS.DAT.";
} // namespace corvana::msg

namespace corvana::geo {

// The positions and county codes of one data set, read whole from POINTS.DAT and read-only
// afterwards (about 3 MB in memory for 42,000 ZIP codes).
class Points {
public:
    Points() = default;
    // Checks the bytes of a POINTS.DAT and builds the tree; nothing when they are damaged.
    static std::optional<Points> fromBytes(std::span<const std::uint8_t> bytes);

    std::size_t recordCount() const { return records_.size(); }

    // Where the ZIP code of ZIPCODE.DAT record `record` lies; nothing when it has no position
    // (a military post office) or the record is not in the file.
    std::optional<GeoPoint> position(std::uint32_t record) const;

    // Its county FIPS code as a number (49035), 0 when it has none; and as five digits
    // ("49035"), empty when it has none.
    std::uint32_t countyCode(std::uint32_t record) const {
        return record < records_.size() ? records_[record].fips() : 0;
    }
    std::string countyFips(std::uint32_t record) const;

    // The records of the ZIP codes of place `p` of the tree, in ZIP order.
    std::span<const std::uint16_t> recordsAt(const Place& p) const {
        return std::span<const std::uint16_t>(list_).subspan(p.first, p.count);
    }
    const PlaceTree& tree() const { return tree_; }

private:
    std::vector<PointRecord> records_;
    std::vector<std::uint16_t> list_;
    PlaceTree tree_;
};

enum class PointsStatus {
    Loaded,
    NoLocations, // no POINTS.DAT: a data set built from a table without positions
    Damaged      // present but unreadable, corrupt, or made for other ZIP data
};

struct PointsLoad {
    std::optional<Points> points; // set when Loaded
    PointsStatus status = PointsStatus::NoLocations;
    // msg::NoLocations, msg::PointsCorrupt, msg::PointsOfOtherData or msg::PointsUnreadable
    std::string message;
};

// Loads POINTS.DAT from the data directory. A file whose record count differs from
// ZIPCODE.DAT's belongs to other data and is Damaged too, with msg::PointsOfOtherData.
PointsLoad LoadPoints(const DataSet& data);

// The leaf size of the tree that corvana-mkdata writes; bench/bench_points_index measures others.
inline constexpr unsigned DefaultLeafSize = 16;

// The whole of POINTS.DAT for the ZIP codes of `records` (in ZIPCODE.DAT order): the records,
// then every record with a position in tree order. Throws std::length_error beyond 65,536
// records, the most that the 16-bit list can name.
std::string BuildPointsFile(const std::vector<PointRecord>& records,
                            unsigned leafSize = DefaultLeafSize);

// The point of a record's fixed-point position.
inline GeoPoint PointOf(const PointRecord& r) {
    return GeoPoint{double(r.latitude) / PointRecord::PerDegree,
                    double(r.longitude) / PointRecord::PerDegree};
}

} // namespace corvana::geo
