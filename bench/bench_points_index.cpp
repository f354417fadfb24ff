// The spatial index of POINTS.DAT: the static k-d tree the file holds against a uniform grid, on
// the positions of the real data set. Each is asked for the places within 10 and 50 miles of
// ZIP codes picked at random, and for the place nearest to points near them; the tree also at
// several leaf sizes, and the load of the file.
//
//   build/bench/bench_points_index [--benchmark_filter=...]
//
// CORVANA_BENCH_DATA=DIR reads the data files of DIR instead of the build's own.

#include "GridIndex.h"

#include "geo/Nearby.h"
#include "geo/Points.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <numbers>
#include <random>
#include <sstream>

using namespace corvana;
using namespace corvana::geo;

namespace {

struct Probe {
    GeoPoint point;
    Vec3 v;
};

struct World {
    std::string bytes;
    std::vector<PointRecord> records;
    Points points;
    std::map<unsigned, Points> byLeaf;
    std::map<double, std::unique_ptr<GridIndex>> grids;
    std::vector<Probe> centres;  // ZIP codes' own positions
    std::vector<Probe> near;     // points up to about 20 km from a ZIP code
    std::vector<Probe> anywhere; // points anywhere on the globe, most far from any ZIP code

    World() {
        const char* dir = std::getenv("CORVANA_BENCH_DATA");
        const std::string path = std::string(dir ? dir : CORVANA_BIN_DIR) + "/POINTS.DAT";
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        bytes = text.str();
        auto loaded = Points::fromBytes(span());
        if (!loaded) {
            std::fprintf(stderr, "no sound POINTS.DAT at %s\n", path.c_str());
            std::exit(1);
        }
        points = std::move(*loaded);
        const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data()) + PointsHeader::Size;
        for (std::size_t r = 0; r < points.recordCount(); ++r)
            records.push_back(PointRecord::decode(p + r * PointRecord::Size));
        for (unsigned leaf : {2u, 4u, 8u, 16u, 32u}) {
            std::string file = BuildPointsFile(records, leaf);
            const auto* at = reinterpret_cast<const std::uint8_t*>(file.data());
            byLeaf.emplace(leaf, *Points::fromBytes(std::span(at, file.size())));
        }
        for (double cell : {0.1, 0.25, 0.5, 1.0})
            grids.emplace(cell, std::make_unique<GridIndex>(points.tree(), cell));
        std::mt19937 random(5);
        std::uniform_real_distribution<double> offset(-0.2, 0.2), unit(0, 1);
        const auto& places = points.tree().places();
        std::uniform_int_distribution<std::size_t> pick(0, places.size() - 1);
        for (int i = 0; i < 256; ++i) {
            GeoPoint c = places[pick(random)].point;
            centres.push_back({c, UnitVector(c)});
            GeoPoint n{std::clamp(c.latitude + offset(random), -90.0, 90.0),
                       c.longitude + offset(random)};
            if (n.longitude > 180 || n.longitude < -180)
                n.longitude -= std::copysign(360.0, n.longitude);
            near.push_back({n, UnitVector(n)});
            // Even over the sphere's area.
            GeoPoint a{std::asin(2 * unit(random) - 1) * 180 / std::numbers::pi,
                       360 * unit(random) - 180};
            anywhere.push_back({a, UnitVector(a)});
        }
    }

    std::span<const std::uint8_t> span() const {
        return std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
};

World& world() {
    static World w;
    return w;
}

// The whole radius query and nearest query over the grid, as Near and Nearest make them over
// the tree: the geodesic of each place the sphere cannot rule out.
std::size_t gridNear(const GridIndex& grid, const Probe& c, double km) {
    std::vector<NearbyZip> zips;
    grid.visitBall(c.point, c.v, ChordSquaredWithin(km), [&](const Place& p, double) {
        if (const double d = GeodesicKm(c.point, p.point); d <= km)
            for (std::uint16_t r : world().points.recordsAt(p))
                zips.push_back({r, d});
    });
    std::sort(zips.begin(), zips.end(), NearerFirst{});
    return zips.size();
}

NearbyZip gridNearest(const GridIndex& grid, const Probe& n) {
    const Place* first = grid.nearest(n.point, n.v);
    NearbyZip best{world().points.recordsAt(*first)[0], GeodesicKm(n.point, first->point)};
    grid.visitBall(n.point, n.v, ChordSquaredWithin(best.km), [&](const Place& p, double) {
        if (&p == first)
            return;
        NearbyZip other{world().points.recordsAt(p)[0], GeodesicKm(n.point, p.point)};
        if (other.km < best.km || (other.km == best.km && other.record < best.record))
            best = other;
    });
    return best;
}

// The grid and the tree find the same places; stops the run when they do not.
void checkAgree() {
    World& w = world();
    for (const Probe& c : w.centres) {
        for (double miles : {10.0, 50.0}) {
            const double c2 = ChordSquaredWithin(miles * KmPerMile);
            std::vector<std::pair<double, double>> a, b;
            w.points.tree().visitBall(c.v, c2, [&](std::uint32_t i) {
                const GeoPoint& p = w.points.tree().places()[i].point;
                a.emplace_back(p.latitude, p.longitude);
            });
            for (const auto& [cell, grid] : w.grids) {
                b.clear();
                grid->visitBall(c.point, c.v, c2, [&](const Place& p, double) {
                    b.emplace_back(p.point.latitude, p.point.longitude);
                });
                std::sort(a.begin(), a.end());
                std::sort(b.begin(), b.end());
                if (a != b) {
                    std::fprintf(stderr, "grid %.2f and tree disagree at %f,%f\n", cell,
                                 c.point.latitude, c.point.longitude);
                    std::exit(1);
                }
            }
        }
    }
    for (const Probe& n : w.near) {
        const auto& vectors = w.points.tree().vectors();
        const double tree = ChordSquared(vectors[std::size_t(w.points.tree().nearest(n.v))], n.v);
        for (const auto& [cell, grid] : w.grids)
            if (ChordSquared(UnitVector(grid->nearest(n.point, n.v)->point), n.v) != tree ||
                gridNearest(*grid, n) != *Nearest(w.points, n.point)) {
                std::fprintf(stderr, "grid %.2f finds another nearest place\n", cell);
                std::exit(1);
            }
    }
}

template <class Search> void RegisterBall(const std::string& name, double miles, Search search) {
    benchmark::RegisterBenchmark(name.c_str(),
                                 [miles, search](benchmark::State& s) {
                                     const World& w = world();
                                     const double km = miles * KmPerMile,
                                                  c2 = ChordSquaredWithin(km);
                                     std::size_t i = 0, found = 0;
                                     for (auto _ : s) {
                                         const Probe& c = w.centres[i++ % w.centres.size()];
                                         found += search(c, c2, km);
                                     }
                                     s.counters["places"] = double(found) / double(s.iterations());
                                 })
        ->Repetitions(5)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMicrosecond);
}

// Near ZIP codes, or with "-anywhere" in the name at points all over the globe.
template <class Search> void RegisterNearest(const std::string& name, Search search) {
    const bool anywhere = name.find("-anywhere") != std::string::npos;
    benchmark::RegisterBenchmark(name.c_str(),
                                 [search, anywhere](benchmark::State& s) {
                                     const World& w = world();
                                     const auto& probes = anywhere ? w.anywhere : w.near;
                                     std::size_t i = 0;
                                     for (auto _ : s)
                                         benchmark::DoNotOptimize(
                                             search(probes[i++ % probes.size()]));
                                 })
        ->Repetitions(5)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMicrosecond);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    world();
    checkAgree();
    for (double miles : {10.0, 50.0}) {
        const std::string r = "/" + std::to_string(int(miles)) + "mi";
        for (unsigned leaf : {2u, 4u, 8u, 16u, 32u})
            RegisterBall("ball/tree-leaf" + std::to_string(leaf) + r, miles,
                         [leaf](const Probe& c, double c2, double) {
                             std::size_t n = 0;
                             world().byLeaf.at(leaf).tree().visitBall(c.v, c2,
                                                                      [&](std::uint32_t) { ++n; });
                             return n;
                         });
        for (const auto& [cell, grid] : world().grids) {
            const GridIndex* g = grid.get();
            char label[32];
            std::snprintf(label, sizeof label, "ball/grid-%.2f", cell);
            RegisterBall(label + r, miles, [g](const Probe& c, double c2, double) {
                std::size_t n = 0;
                g->visitBall(c.point, c.v, c2, [&](const Place&, double) { ++n; });
                return n;
            });
        }
        // The whole query, geodesics and order included.
        RegisterBall("near/tree" + r, miles, [](const Probe& c, double, double km) {
            return Near(world().points, c.point, km).zips.size();
        });
        RegisterBall("near/grid-0.25" + r, miles, [](const Probe& c, double, double km) {
            return gridNear(*world().grids.at(0.25), c, km);
        });
    }
    for (const char* where : {"", "-anywhere"}) {
        for (unsigned leaf : {2u, 4u, 8u, 16u, 32u})
            RegisterNearest(
                "nearest" + std::string(where) + "/tree-leaf" + std::to_string(leaf),
                [leaf](const Probe& n) { return world().byLeaf.at(leaf).tree().nearest(n.v); });
        for (const auto& [cell, grid] : world().grids) {
            const GridIndex* g = grid.get();
            char label[48];
            std::snprintf(label, sizeof label, "nearest%s/grid-%.2f", where, cell);
            RegisterNearest(label, [g](const Probe& n) { return g->nearest(n.point, n.v); });
        }
    }
    RegisterNearest("nearest-whole/tree",
                    [](const Probe& n) { return Nearest(world().points, n.point)->record; });
    RegisterNearest("nearest-whole/grid-0.25",
                    [](const Probe& n) { return gridNearest(*world().grids.at(0.25), n).record; });
    benchmark::RegisterBenchmark("load/POINTS.DAT",
                                 [](benchmark::State& s) {
                                     for (auto _ : s)
                                         benchmark::DoNotOptimize(
                                             Points::fromBytes(world().span()));
                                 })
        ->Repetitions(5)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
