// The reader of POINTS.DAT on arbitrary bytes: a file is either refused as corrupt or loaded, and
// a loaded file answers every radius and nearest query as a scan of its own positions does.
#include "FuzzUtil.h"

#include "data/DataSet.h"
#include "data/FileNames.h"
#include "data/Records.h"
#include "geo/Nearby.h"
#include "geo/Points.h"

#include <algorithm>

using namespace corvana;
using namespace corvana::geo;

namespace {

// Scans are slow on large files; those are checked for order and radius only.
constexpr std::size_t LargestScanned = 400;

void checkNear(const Points& points, GeoPoint centre, double radiusKm) {
    NearResult r = Near(points, centre, radiusKm);
    FUZZ_CHECK(r.error == NearError::None);
    for (std::size_t i = 0; i < r.zips.size(); ++i) {
        FUZZ_CHECK(r.zips[i].km <= radiusKm);
        FUZZ_CHECK(points.position(r.zips[i].record).has_value());
        if (i > 0) {
            const NearbyZip &a = r.zips[i - 1], &b = r.zips[i];
            FUZZ_CHECK(a.km < b.km || (a.km == b.km && a.record < b.record));
        }
    }
    if (points.recordCount() > LargestScanned)
        return;
    std::size_t inside = 0;
    for (std::uint32_t rec = 0; rec < points.recordCount(); ++rec)
        if (auto p = points.position(rec))
            inside += GeodesicKm(centre, *p) <= radiusKm;
    FUZZ_CHECK(inside == r.zips.size());
}

void checkNearest(const Points& points, GeoPoint at) {
    auto got = Nearest(points, at);
    if (points.recordCount() > LargestScanned)
        return;
    std::optional<NearbyZip> best;
    for (std::uint32_t rec = 0; rec < points.recordCount(); ++rec)
        if (auto p = points.position(rec)) {
            NearbyZip z{rec, GeodesicKm(at, *p)};
            if (!best || z.km < best->km)
                best = z;
        }
    FUZZ_CHECK(got == best);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    auto& scratch = fuzz::Scratch::get();
    scratch.put(filenames::PointsDat, std::string_view(reinterpret_cast<const char*>(bytes), size));
    DataSet data;
    data.dir = scratch.dir();
    PointsLoad load = LoadPoints(data);
    if (load.status != PointsStatus::Loaded) {
        FUZZ_CHECK(load.status == PointsStatus::Damaged && load.message == msg::PointsCorrupt);
        FUZZ_CHECK(!load.points);
        return 0;
    }
    const Points& points = *load.points;
    std::vector<GeoPoint> centres = {{40.7, -111.9}, {52, 179.9}, {-14.3, -170.7}, {90, 0}};
    for (std::uint32_t rec = 0; rec < points.recordCount() && centres.size() < 7; ++rec)
        if (auto p = points.position(rec))
            centres.push_back(*p);
    for (GeoPoint c : centres) {
        for (double km : {0.5, 150.0, 20000.0})
            checkNear(points, c, km);
        checkNearest(points, c);
    }
    return 0;
}
