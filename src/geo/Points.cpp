#include "geo/Points.h"

#include "data/FileNames.h"
#include "data/FileWriters.h"
#include "data/MappedFile.h"
#include "data/ZipFile.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace corvana::geo {

namespace {

constexpr std::int32_t MaxLatitude = 90 * PointRecord::PerDegree;
constexpr std::int32_t MaxLongitude = 180 * PointRecord::PerDegree;

bool soundRecord(const PointRecord& r) {
    if (r.hasPosition() != (r.longitude != PointRecord::NoPosition))
        return false;
    if (r.hasPosition() &&
        (std::abs(r.latitude) > MaxLatitude || std::abs(r.longitude) > MaxLongitude))
        return false;
    return r.stateFips <= 99 && r.countyFips <= 999 && (r.stateFips != 0 || r.countyFips == 0);
}

bool samePosition(const PointRecord& a, const PointRecord& b) {
    return a.latitude == b.latitude && a.longitude == b.longitude;
}

} // namespace

std::optional<Points> Points::fromBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < PointsHeader::Size)
        return std::nullopt;
    const PointsHeader header = PointsHeader::decode(bytes.data());
    // Checked before multiplying, so that no count can overflow the expected size.
    if (header.recordCount > 65536 || header.listCount > header.recordCount ||
        header.leafSize == 0 ||
        bytes.size() != PointsHeader::Size + std::size_t(header.recordCount) * PointRecord::Size +
                            std::size_t(header.listCount) * 2)
        return std::nullopt;

    Points p;
    p.records_.reserve(header.recordCount);
    const std::uint8_t* at = bytes.data() + PointsHeader::Size;
    std::size_t positioned = 0;
    for (std::uint32_t i = 0; i < header.recordCount; ++i, at += PointRecord::Size) {
        p.records_.push_back(PointRecord::decode(at));
        if (!soundRecord(p.records_.back()))
            return std::nullopt;
        positioned += p.records_.back().hasPosition();
    }
    if (positioned != header.listCount)
        return std::nullopt;

    // Every record with a position exactly once; records of one place in ZIP order.
    p.list_.resize(header.listCount);
    std::vector<bool> listed(header.recordCount);
    std::vector<Place> places;
    for (std::uint32_t i = 0; i < header.listCount; ++i, at += 2) {
        const std::uint16_t r = loadU16(at);
        if (r >= header.recordCount || listed[r] || !p.records_[r].hasPosition())
            return std::nullopt;
        listed[r] = true;
        p.list_[i] = r;
        if (i > 0 && samePosition(p.records_[p.list_[i - 1]], p.records_[r])) {
            if (r < p.list_[i - 1])
                return std::nullopt;
            ++places.back().count;
            continue;
        }
        Place place;
        place.point = PointOf(p.records_[r]);
        place.first = i;
        place.count = 1;
        places.push_back(place);
    }
    p.tree_ = PlaceTree(std::move(places), header.leafSize);
    return p;
}

std::optional<GeoPoint> Points::position(std::uint32_t record) const {
    if (record >= records_.size() || !records_[record].hasPosition())
        return std::nullopt;
    return PointOf(records_[record]);
}

std::string Points::countyFips(std::uint32_t record) const {
    const std::uint32_t code = countyCode(record);
    if (code == 0)
        return {};
    std::string digits = std::to_string(code);
    return std::string(5 - digits.size(), '0') + digits;
}

PointsLoad LoadPoints(const DataSet& data) {
    const std::string path = data.path(filenames::PointsDat);
    PointsLoad load;
    auto [file, there] = MapOptionalFile(path);
    if (!file) {
        load.status = there ? PointsStatus::Damaged : PointsStatus::NoLocations;
        load.message = there ? msg::PointsUnreadable : msg::NoLocations;
        return load;
    }
    load.points = Points::fromBytes(file->bytes());
    load.status = load.points ? PointsStatus::Loaded : PointsStatus::Damaged;
    load.message = load.points ? "" : msg::PointsCorrupt;
    // Positions of other ZIP data would put every ZIP code in a wrong place, quietly.
    if (load.points)
        if (auto zips = ZipFile::open(data);
            zips && zips->recordCount() != load.points->recordCount()) {
            load.points.reset();
            load.status = PointsStatus::Damaged;
            load.message = msg::PointsOfOtherData;
        }
    return load;
}

std::string BuildPointsFile(const std::vector<PointRecord>& records, unsigned leafSize) {
    if (records.size() > 65536)
        throw std::length_error("more than 65,536 ZIP codes for POINTS.DAT");
    leafSize = std::clamp(leafSize, 1u, 255u);
    // Records at one position make one place, in ZIP order.
    std::vector<std::uint16_t> sorted;
    for (std::size_t r = 0; r < records.size(); ++r)
        if (records[r].hasPosition())
            sorted.push_back(std::uint16_t(r));
    std::sort(sorted.begin(), sorted.end(), [&](std::uint16_t a, std::uint16_t b) {
        const PointRecord &x = records[a], &y = records[b];
        if (x.latitude != y.latitude)
            return x.latitude < y.latitude;
        if (x.longitude != y.longitude)
            return x.longitude < y.longitude;
        return a < b;
    });
    std::vector<std::size_t> placeStart;
    std::vector<Vec3> vectors;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (i > 0 && samePosition(records[sorted[i - 1]], records[sorted[i]]))
            continue;
        placeStart.push_back(i);
        vectors.push_back(UnitVector(PointOf(records[sorted[i]])));
    }
    placeStart.push_back(sorted.size());
    std::vector<std::uint16_t> list;
    list.reserve(sorted.size());
    for (std::uint32_t place : TreeOrder(vectors, leafSize))
        for (std::size_t i = placeStart[place]; i < placeStart[place + 1]; ++i)
            list.push_back(sorted[i]);
    return WritePointsFile(records, list, std::uint8_t(leafSize));
}

} // namespace corvana::geo
