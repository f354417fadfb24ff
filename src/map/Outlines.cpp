#include "map/Outlines.h"

#include "data/MappedFile.h"
#include "map/OutlineFormat.h"
#include "text/Utf8.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace corvana::map {

namespace {

struct Corrupt {
    std::string detail;
};

[[noreturn]] void corrupt(std::string detail) {
    throw Corrupt{std::move(detail)};
}

std::string bytesLeft(std::size_t n) {
    return std::to_string(n) + (n == 1 ? " byte" : " bytes");
}

std::string recordName(bool county, std::size_t index) {
    return std::string(county ? "county" : "state") + " record " + std::to_string(index);
}

} // namespace

class OutlineParser {
public:
    explicit OutlineParser(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::shared_ptr<Outlines> parse() {
        out_ = std::make_shared<Outlines>();
        readHeader();
        readRecords();
        readRings();
        readArcs();
        measure();
        return std::move(out_);
    }

private:
    void readHeader() {
        using format::Header;
        if (bytes_.size() < Header::Size)
            corrupt("cut short in its header: " + std::to_string(bytes_.size()) + " of " +
                    std::to_string(Header::Size) + " bytes");
        h_ = Header::decode(bytes_.data());
        if (!std::equal(std::begin(h_.magic), std::end(h_.magic), format::Magic))
            corrupt("not an outline file");
        if (h_.version != format::Version)
            corrupt("format version " + std::to_string(h_.version) + "; this program reads " +
                    std::to_string(format::Version));
        if (h_.headerSize != Header::Size)
            corrupt("header of " + std::to_string(h_.headerSize) + " bytes");
        // Grid points must convert to doubles exactly and fit the arithmetic below.
        if (h_.steps < 2 || h_.steps > (1u << 24))
            corrupt("grid steps: " + std::to_string(h_.steps));
        constexpr std::int32_t Lon = 1800000000, Lat = 900000000;
        if (!(-Lon <= h_.west && h_.west < h_.east && h_.east <= Lon && -Lat <= h_.south &&
              h_.south < h_.north && h_.north <= Lat))
            corrupt("box off the globe");
        if (h_.stateCount == 0)
            corrupt("no states");

        std::uint64_t records = std::uint64_t(h_.stateCount) + h_.countyCount;
        std::uint64_t total = Header::Size + records * format::PlaceRecord::Size +
                              std::uint64_t(h_.ringBytes) + h_.arcBytes + h_.nameBytes;
        if (bytes_.size() < total)
            corrupt("cut short: " + std::to_string(bytes_.size()) + " of " + std::to_string(total) +
                    " bytes");
        if (bytes_.size() > total)
            corrupt(bytesLeft(bytes_.size() - total) + " past its end");
        // Every ring takes at least two bytes, every arc five, every point two: the counts
        // cannot ask for more memory than the file's size allows.
        if (h_.ringCount > h_.ringBytes / 2 || h_.arcCount > h_.arcBytes / 5 ||
            h_.pointCount > h_.arcBytes / 2)
            corrupt("more rings, arcs or points than their bytes hold");

        recordsAt_ = Header::Size;
        ringsAt_ = recordsAt_ + std::size_t(records) * format::PlaceRecord::Size;
        arcsAt_ = ringsAt_ + h_.ringBytes;
        namesAt_ = arcsAt_ + h_.arcBytes;
    }

    std::string name(bool county, std::size_t index, std::uint32_t offset, std::uint8_t length) {
        if (length == 0)
            corrupt(recordName(county, index) + ": no name");
        if (offset > h_.nameBytes || length > h_.nameBytes - offset)
            corrupt(recordName(county, index) + ": name outside the names");
        std::string text(reinterpret_cast<const char*>(bytes_.data() + namesAt_ + offset), length);
        if (!IsPlainUtf8(text))
            corrupt(recordName(county, index) + ": name is not UTF-8 text");
        return text;
    }

    // A place of a record; its rings follow those of the places before it.
    Outlines::Region region(bool county, std::size_t i, const format::PlaceRecord& r, int fips,
                            std::uint64_t& rings) {
        Outlines::Region region;
        region.fips = fips;
        region.name = name(county, i, r.nameOffset, r.nameLength);
        region.firstRing = std::uint32_t(rings);
        region.ringCount = r.ringCount;
        rings += r.ringCount;
        return region;
    }

    void readRecords() {
        std::uint64_t rings = 0;
        const std::uint8_t* p = bytes_.data() + recordsAt_;
        for (std::size_t i = 0; i < h_.stateCount; ++i, p += format::PlaceRecord::Size) {
            auto r = format::PlaceRecord::decode(p);
            if (r.state == 0 || r.state > 99 || (i > 0 && r.state <= out_->states_.back().fips))
                corrupt(recordName(false, i) + ": FIPS code " + std::to_string(r.state) +
                        " out of order");
            const std::string abbrev = r.abbrev();
            for (char c : abbrev)
                if (c < 'A' || c > 'Z')
                    corrupt(recordName(false, i) + ": abbreviation is not two capital letters");
            if (out_->stateByAbbrev(abbrev))
                corrupt(recordName(false, i) + ": abbreviation " + abbrev + " twice");
            out_->states_.push_back(region(false, i, r, r.state, rings));
            out_->states_.back().abbrev = abbrev;
        }
        for (std::size_t i = 0; i < h_.countyCount; ++i, p += format::PlaceRecord::Size) {
            auto r = format::PlaceRecord::decode(p);
            const int code = r.countyCode();
            const int fips = r.state * 1000 + code;
            if (code > 999)
                corrupt(recordName(true, i) + ": county code " + std::to_string(code));
            if (i > 0 && fips <= out_->counties_.back().fips)
                corrupt(recordName(true, i) + ": FIPS code " + std::to_string(fips) +
                        " out of order");
            if (!out_->state(r.state))
                corrupt(recordName(true, i) + ": state " + std::to_string(r.state) +
                        " has no state record");
            out_->counties_.push_back(region(true, i, r, fips, rings));
        }
        if (rings != h_.ringCount)
            corrupt("the records' rings add up to " + std::to_string(rings) + ", not " +
                    std::to_string(h_.ringCount));
        for (bool county : {false, true}) {
            const auto& table = county ? out_->counties_ : out_->states_;
            for (std::size_t i = 0; i < table.size(); ++i)
                if (table[i].ringCount == 0)
                    corrupt(recordName(county, i) + ": no rings");
        }
    }

    void readRings() {
        const std::uint8_t* p = bytes_.data() + ringsAt_;
        const std::uint8_t* end = p + h_.ringBytes;
        const std::int64_t arcs = h_.arcCount;
        out_->rings_.reserve(h_.ringCount);
        for (std::uint32_t i = 0; i < h_.ringCount; ++i) {
            const std::string ring = "ring " + std::to_string(i);
            std::uint32_t count = 0;
            if (!format::readVarint(p, end, count))
                corrupt(ring + ": runs past the ring bytes");
            if (count == 0)
                corrupt(ring + ": no arcs");
            if (count > std::size_t(end - p))
                corrupt(ring + ": runs past the ring bytes");
            Outlines::Ring r;
            r.firstRef = std::uint32_t(out_->refs_.size());
            r.refCount = count;
            std::int64_t ref = 0;
            for (std::uint32_t k = 0; k < count; ++k) {
                std::uint32_t v = 0;
                if (!format::readVarint(p, end, v))
                    corrupt(ring + ": runs past the ring bytes");
                ref += format::unzigzag(v);
                if (ref < -arcs || ref >= arcs)
                    corrupt(ring + ": refers to arc " + std::to_string(ref) + " of " +
                            std::to_string(arcs));
                out_->refs_.push_back(std::int32_t(ref));
            }
            out_->rings_.push_back(r);
        }
        if (p != end)
            corrupt(bytesLeft(end - p) + " left after the last ring");
    }

    void readArcs() {
        const std::uint8_t* p = bytes_.data() + arcsAt_;
        const std::uint8_t* end = p + h_.arcBytes;
        const std::int64_t top = std::int64_t(h_.steps) - 1;
        // In whole units first, exact at both ends of the grid, so that no point lies a
        // rounding past the box (180.00000000000003 degrees east).
        const std::int64_t width = std::int64_t(h_.east) - h_.west;
        const std::int64_t height = std::int64_t(h_.north) - h_.south;
        auto degrees = [top](std::int32_t start, std::int64_t extent, std::int64_t step) {
            return (start + double(extent * step) / double(top)) / format::UnitsPerDegree;
        };
        auto& points = out_->points_;
        points.reserve(h_.pointCount);
        out_->arcs_.reserve(h_.arcCount);
        for (std::uint32_t i = 0; i < h_.arcCount; ++i) {
            const std::string arc = "arc " + std::to_string(i);
            std::uint32_t count = 0;
            if (!format::readVarint(p, end, count) || count > std::size_t(end - p) / 2)
                corrupt(arc + ": runs past the arc bytes");
            if (count < 2)
                corrupt(arc + ": fewer than two points");
            if (count > h_.pointCount - points.size())
                corrupt("more points than the header's " + std::to_string(h_.pointCount));
            Outlines::Arc a;
            a.firstPoint = std::uint32_t(points.size());
            a.pointCount = count;
            std::int64_t x = 0, y = 0;
            for (std::uint32_t k = 0; k < count; ++k) {
                std::uint32_t vx = 0, vy = 0;
                if (!format::readVarint(p, end, vx) || !format::readVarint(p, end, vy))
                    corrupt(arc + ": runs past the arc bytes");
                x = k == 0 ? std::int64_t(vx) : x + format::unzigzag(vx);
                y = k == 0 ? std::int64_t(vy) : y + format::unzigzag(vy);
                if (x < 0 || x > top || y < 0 || y > top)
                    corrupt(arc + ": leaves the grid");
                points.push_back({degrees(h_.south, height, y), degrees(h_.west, width, x)});
            }
            out_->arcs_.push_back(a);
        }
        if (points.size() != h_.pointCount)
            corrupt(std::to_string(points.size()) + " points, not the header's " +
                    std::to_string(h_.pointCount));
        if (p != end)
            corrupt(bytesLeft(end - p) + " left after the last arc");
    }

    // Boxes of every arc, ring and place, and which arcs are state lines.
    void measure() {
        for (auto& arc : out_->arcs_) {
            GeoBox& b = arc.box;
            auto pts = out_->points(arc);
            b.west = b.east = pts[0].longitude;
            b.south = b.north = pts[0].latitude;
            for (const GeoPoint& q : pts) {
                b.west = std::min(b.west, q.longitude);
                b.east = std::max(b.east, q.longitude);
                b.south = std::min(b.south, q.latitude);
                b.north = std::max(b.north, q.latitude);
            }
        }
        std::vector<GeoBox> boxes;
        for (auto& ring : out_->rings_) {
            boxes.clear();
            for (std::int32_t ref : out_->refs(ring))
                boxes.push_back(out_->arcOf(ref).box);
            ring.box = GeoBox::around(boxes);
        }
        for (auto* table : {&out_->states_, &out_->counties_}) {
            for (auto& region : *table) {
                boxes.clear();
                for (const auto& ring : out_->rings(region))
                    boxes.push_back(ring.box);
                region.box = GeoBox::around(boxes);
            }
        }
        boxes.clear();
        for (const auto& state : out_->states_) {
            boxes.push_back(state.box);
            for (const auto& ring : out_->rings(state))
                for (std::int32_t ref : out_->refs(ring))
                    out_->arcs_[std::size_t(ref < 0 ? ~ref : ref)].stateLine = true;
        }
        out_->bounds_ = GeoBox::around(boxes);
    }

    std::span<const std::uint8_t> bytes_;
    format::Header h_;
    std::size_t recordsAt_ = 0, ringsAt_ = 0, arcsAt_ = 0, namesAt_ = 0;
    std::shared_ptr<Outlines> out_;
};

namespace {

template <class T, class Key> const T* findSorted(const std::vector<T>& table, Key key) {
    auto it = std::lower_bound(table.begin(), table.end(), key,
                               [](const T& r, Key k) { return r.fips < k; });
    return it != table.end() && it->fips == key ? &*it : nullptr;
}

} // namespace

const Outlines::Region* Outlines::state(int fips) const {
    return findSorted(states_, fips);
}

const Outlines::Region* Outlines::county(int fips) const {
    return findSorted(counties_, fips);
}

const Outlines::Region* Outlines::stateByAbbrev(std::string_view abbrev) const {
    for (const auto& s : states_)
        if (s.abbrev == abbrev)
            return &s;
    return nullptr;
}

bool Outlines::contains(const Region& region, GeoPoint p) const {
    if (!region.box.contains(p))
        return false;
    // Even-odd rule: count the edges that a ray from the point eastwards crosses. Longitudes
    // are taken relative to the point, so a ring across the 180th meridian counts right.
    bool inside = false;
    auto edge = [&](GeoPoint a, GeoPoint b) {
        if ((a.latitude > p.latitude) == (b.latitude > p.latitude))
            return;
        double ax = wrapLongitude(a.longitude - p.longitude),
               bx = wrapLongitude(b.longitude - p.longitude);
        if (ax + (p.latitude - a.latitude) * (bx - ax) / (b.latitude - a.latitude) > 0)
            inside = !inside;
    };
    for (const Ring& ring : rings(region)) {
        if (!ring.box.contains(p))
            continue;
        GeoPoint first{}, last{};
        bool started = false;
        for (std::int32_t ref : refs(ring)) {
            auto pts = points(arcOf(ref));
            for (std::size_t i = 1; i < pts.size(); ++i)
                edge(pts[i - 1], pts[i]);
            GeoPoint from = ref < 0 ? pts.back() : pts.front();
            if (!started)
                first = from;
            started = true;
            last = ref < 0 ? pts.front() : pts.back();
        }
        // A ring may close a grid step short of its start.
        edge(last, first);
    }
    return inside;
}

const Outlines::Region* Outlines::stateAt(GeoPoint p) const {
    for (const auto& s : states_)
        if (contains(s, p))
            return &s;
    return nullptr;
}

const Outlines::Region* Outlines::countyAt(GeoPoint p) const {
    for (const auto& c : counties_)
        if (contains(c, p))
            return &c;
    return nullptr;
}

std::string corruptMessage(std::string_view reason) {
    std::string text = msg::OutlinesCorrupt;
    return text.insert(text.size() - 1, " (" + std::string(reason) + ")");
}

OutlineLoad parseOutlines(std::span<const std::uint8_t> bytes) {
    OutlineLoad load;
    try {
        load.outlines = OutlineParser(bytes).parse();
    } catch (const Corrupt& c) {
        load.error = corruptMessage(c.detail);
    }
    return load;
}

OutlineLoad loadOutlines(const std::string& path) {
    const OptionalMapping mapping = MapOptionalFile(path);
    if (!mapping.file)
        return {nullptr, mapping.there ? msg::OutlinesUnreadable : msg::OutlinesNotFound};
    // Far more than any outline file: refused before its bytes are read.
    constexpr std::size_t Largest = 64u << 20;
    if (mapping.file->size() > Largest)
        return {nullptr, corruptMessage("larger than any outline file")};
    return parseOutlines(mapping.file->bytes());
}

} // namespace corvana::map
