// People within a radius and the radius that reaches N people, on the real data set, beside a
// brute force that measures every point and adds up the people in order:
//   - reach --people 1000000 from 84101;
//   - the same from 1,000 ZIP codes picked at random (fixed seed): the mean and the worst, as
//     the counters mean_us and worst_us (a ZIP code in Alaska or the Pacific reaches far);
//   - reach --miles 50 against near --miles 50, from 84101 and from the random ZIP codes.
//
//   build/bench/bench_reach [--benchmark_filter=...]
//
// CORVANA_BENCH_DATA=DIR reads the data files of DIR instead of the build's own.

#include "data/People.h"
#include "data/ZipFile.h"
#include "geo/Nearby.h"
#include "geo/Reach.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

using namespace corvana;
using namespace corvana::geo;

namespace {

constexpr std::uint64_t Million = 1'000'000;
constexpr double FiftyMilesKm = 50 * KmPerMile;

struct World {
    DataSet data;
    Points points;
    People people;
    std::uint32_t saltLake = 0;        // 84101
    std::vector<std::uint32_t> random; // 1,000 ZIP codes with a position

    World() {
        const char* dir = std::getenv("CORVANA_BENCH_DATA");
        data.dir = dir ? dir : CORVANA_BIN_DIR;
        PointsLoad p = LoadPoints(data);
        PeopleLoad q = LoadPeople(data);
        if (!LoadInData(data).ok() || !p.points || !q.people) {
            std::fprintf(stderr, "no sound data with positions and people in %s\n",
                         data.dir.c_str());
            std::exit(1);
        }
        points = std::move(*p.points);
        people = std::move(*q.people);
        ForEachZipRecord(data, OpenZipFile(data), "84101", [&](std::uint32_t n, const ZipRecord&) {
            saltLake = n;
            return false;
        });
        std::mt19937 pick(1);
        while (random.size() < 1000) {
            const std::uint32_t r = std::uint32_t(pick() % points.recordCount());
            if (points.position(r))
                random.push_back(r);
        }
    }
};

const World& world() {
    static const World w;
    return w;
}

// Every positioned ZIP code measured and sorted, the people added up until they reach target.
std::size_t BruteReach(const World& w, std::uint32_t centre, std::uint64_t target) {
    const GeoPoint at = *w.points.position(centre);
    std::vector<NearbyZip> all;
    all.reserve(w.points.recordCount());
    for (std::uint32_t r = 0; r < w.points.recordCount(); ++r)
        if (auto p = w.points.position(r))
            all.push_back({r, GeodesicKm(at, *p)});
    std::sort(all.begin(), all.end(), NearerFirst{centre});
    std::uint64_t sum = 0;
    std::size_t n = 0;
    while (n < all.size() && sum < target) {
        const auto f = w.people.ofRecord(all[n].record);
        sum += f && f->population ? *f->population : 0;
        ++n;
    }
    return n;
}

std::size_t BruteNear(const World& w, std::uint32_t centre, double km) {
    const GeoPoint at = *w.points.position(centre);
    std::vector<NearbyZip> all;
    for (std::uint32_t r = 0; r < w.points.recordCount(); ++r)
        if (auto p = w.points.position(r))
            if (const double d = GeodesicKm(at, *p); d <= km)
                all.push_back({r, d});
    std::sort(all.begin(), all.end(), NearerFirst{centre});
    return all.size();
}

void ReachMillionFromSaltLakeCity(benchmark::State& state) {
    const World& w = world();
    for (auto _ : state) {
        ReachResult r = ReachPeople(w.points, w.people, w.saltLake, Million);
        benchmark::DoNotOptimize(r);
    }
    const ReachResult r = ReachPeople(w.points, w.people, w.saltLake, Million);
    state.counters["zips"] = double(r.zips.size());
    state.counters["miles"] = r.radiusKm / KmPerMile;
}
BENCHMARK(ReachMillionFromSaltLakeCity)->Unit(benchmark::kMicrosecond);

void BruteReachMillionFromSaltLakeCity(benchmark::State& state) {
    const World& w = world();
    for (auto _ : state)
        benchmark::DoNotOptimize(BruteReach(w, w.saltLake, Million));
}
BENCHMARK(BruteReachMillionFromSaltLakeCity)->Unit(benchmark::kMicrosecond);

// Each iteration answers the 1,000 ZIP codes, each timed on its own; a ZIP code's time is the
// best of its iterations, so that the worst is the slowest answer rather than the moment the
// machine was busiest.
void ReachMillionFromRandomZips(benchmark::State& state) {
    const World& w = world();
    std::vector<double> best(w.random.size(), 1e300);
    for (auto _ : state) {
        for (std::size_t i = 0; i < w.random.size(); ++i) {
            const auto start = std::chrono::steady_clock::now();
            ReachResult got = ReachPeople(w.points, w.people, w.random[i], Million);
            benchmark::DoNotOptimize(got);
            best[i] = std::min(best[i], std::chrono::duration<double, std::micro>(
                                            std::chrono::steady_clock::now() - start)
                                            .count());
        }
    }
    const auto worst = std::max_element(best.begin(), best.end());
    double total = 0;
    for (double us : best)
        total += us;
    state.counters["mean_us"] = total / double(best.size());
    state.counters["worst_us"] = *worst;
    state.counters["worst_record"] = w.random[std::size_t(worst - best.begin())];
    const ReachResult r =
        ReachPeople(w.points, w.people, w.random[std::size_t(worst - best.begin())], Million);
    state.counters["worst_zips"] = double(r.zips.size());
    state.counters["worst_miles"] = r.radiusKm / KmPerMile;
}
BENCHMARK(ReachMillionFromRandomZips)->Unit(benchmark::kMillisecond)->Iterations(5);

void BruteReachMillionFromRandomZips(benchmark::State& state) {
    const World& w = world();
    for (auto _ : state)
        for (std::size_t i = 0; i < 20; ++i)
            benchmark::DoNotOptimize(BruteReach(w, w.random[i], Million));
    state.counters["per_zip_us"] = benchmark::Counter(
        20, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BruteReachMillionFromRandomZips)->Unit(benchmark::kMillisecond)->Iterations(3);

// range(0): 0 from 84101, 1 from each of the random ZIP codes in turn.
void NearFifty(benchmark::State& state) {
    const World& w = world();
    std::size_t i = 0;
    for (auto _ : state) {
        const std::uint32_t c = state.range(0) ? w.random[i++ % w.random.size()] : w.saltLake;
        NearResult r = Near(w.points, c, FiftyMilesKm);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(NearFifty)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void ReachFifty(benchmark::State& state) {
    const World& w = world();
    std::size_t i = 0;
    for (auto _ : state) {
        const std::uint32_t c = state.range(0) ? w.random[i++ % w.random.size()] : w.saltLake;
        ReachResult r = ReachWithin(w.points, w.people, c, FiftyMilesKm);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(ReachFifty)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BruteNearFifty(benchmark::State& state) {
    const World& w = world();
    for (auto _ : state)
        benchmark::DoNotOptimize(BruteNear(w, w.saltLake, FiftyMilesKm));
}
BENCHMARK(BruteNearFifty)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
