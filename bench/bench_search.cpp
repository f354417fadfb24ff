// Per-keystroke cost of every search mode on the real data set, from the text to the sorted
// lines, against an SQLite database of the same table answering the same query; and the radius
// search around a ZIP code against SQLite's R*Tree module, and the nearest ZIP code to a point,
// when the data set has positions; and everything about one ZIP code (its details).
//
//   build/bench/bench_search [--benchmark_filter=...]
//
// CORVANA_BENCH_DATA=DIR reads the data files of DIR instead of the build's own. After the runs
// it prints a table of medians and our time as a ratio of SQLite's.

#include "RtreePeer.h"
#include "SqlitePeer.h"
#include "TestClock.h"

#include "data/ZipFile.h"
#include "geo/Nearby.h"
#include "geo/Points.h"
#include "search/Search.h"
#include "search/ZipDetails.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>

using namespace corvana;

namespace {

struct Query {
    const char* mode;
    const char* state; // State mode only
    const char* text;
};

const Query Queries[] = {
    {"zip", "", "8"},      {"zip", "", "84"},      {"zip", "", "841"},   {"zip", "", "84101"},
    {"zip", "", "770"},    {"city", "", "SA"},     {"city", "", "NEW"},  {"city", "", "SAN"},
    {"state", "TX", "S"},  {"state", "CA", "SAN"}, {"county", "", "WA"}, {"county", "", "SAN"},
    {"county", "", "WAS"}, {"area", "", "304"},    {"area", "", "212"},
};

struct World {
    DataSet data;
    Settings settings;
    // A fixed summer noon, so that every run shows the same times.
    test::TestClock clock{LocalDateTime{2026, 7, 1, 12, 0, 0, 0}};
    TimeContext time;
    std::unique_ptr<SqlitePeer> peer;
    geo::PointsLoad points;
    std::unique_ptr<RtreePeer> rtree;
    std::unique_ptr<LazyFacts> facts;

    World() {
        const char* dir = std::getenv("CORVANA_BENCH_DATA");
        data.dir = dir ? dir : CORVANA_BIN_DIR;
        auto r = LoadInData(data);
        if (!r.ok()) {
            std::fprintf(stderr, "cannot load the data files in %s\n", data.dir.c_str());
            std::exit(1);
        }
        time.daylightInEffect = IsDaylightPeriod(clock.now());
        time.clock = &clock;
        peer = std::make_unique<SqlitePeer>(data, settings, time);
        points = geo::LoadPoints(data);
        if (points.points)
            rtree = std::make_unique<RtreePeer>(*points.points);
        facts = std::make_unique<LazyFacts>(data);
    }
};

World& world() {
    static World w;
    return w;
}

std::size_t ours(const Query& q) {
    World& w = world();
    SearchContext ctx{w.data, w.settings, w.time};
    std::string mode = q.mode;
    SearchResult r;
    if (mode == "zip")
        r = SearchTheZip(q.text, ctx);
    else if (mode == "city")
        r = SearchTheCity(q.text, ctx, "");
    else if (mode == "state")
        r = SearchTheCityWithState(q.text, ctx, ChooseStates(w.data, q.state));
    else if (mode == "county")
        r = SearchTheCounty(q.text, ctx, "");
    else
        r = SearchTheArea(q.text, ctx);
    return r.items.size();
}

std::size_t theirs(const Query& q) {
    SqlitePeer& p = *world().peer;
    std::string mode = q.mode;
    if (mode == "zip")
        return p.zip(q.text).size();
    if (mode == "city")
        return p.city(q.text).size();
    if (mode == "state")
        return p.cityInState(q.state, q.text).size();
    if (mode == "county")
        return p.county(q.text).size();
    return p.area(q.text).size();
}

// The record of a ZIP code, found through the ZIP index.
std::uint32_t recordOf(std::uint32_t zip) {
    const DataSet& data = world().data;
    const ZipIndexEntry& e = data.zipIndex[zip / 100];
    auto zips = ZipFile::open(data);
    for (std::uint32_t k = 0; zips && e.first >= 0 && k < e.count; ++k)
        if (zips->read(e.first + k).zipValue() == zip)
            return std::uint32_t(e.first) + k;
    std::fprintf(stderr, "no ZIP code %05u in the data\n", zip);
    std::exit(1);
}

struct RadiusQuery {
    std::uint32_t zip;
    double miles;
    std::string name() const {
        return "near/" + std::to_string(zip) + "/" + std::to_string(int(miles)) + "mi";
    }
};
const RadiusQuery RadiusQueries[] = {{84101, 10}, {84101, 50}};

struct PointQuery {
    const char* name;
    geo::GeoPoint at;
};
const PointQuery PointQueries[] = {{"nearest/40.7128,-74.0060", {40.7128, -74.0060}},
                                   {"nearest/40.76,-111.89", {40.76, -111.89}}};

// Ours and the R*Tree peer give the same ZIP codes in the same order around the bench's
// centres and around ZIP codes picked at random; stops the run when they do not.
void checkRadiusPeer() {
    World& w = world();
    const geo::Points& points = *w.points.points;
    std::vector<std::pair<std::uint32_t, double>> cases;
    for (const RadiusQuery& q : RadiusQueries)
        cases.emplace_back(recordOf(q.zip), q.miles);
    std::mt19937 random(9);
    std::uniform_int_distribution<std::uint32_t> pick(0, std::uint32_t(points.recordCount() - 1));
    std::uniform_real_distribution<double> miles(0.1, 300);
    while (cases.size() < 200) {
        const std::uint32_t r = pick(random);
        if (points.position(r))
            cases.emplace_back(r, miles(random));
    }
    for (const auto& [record, radius] : cases) {
        const double km = radius * geo::KmPerMile;
        if (geo::Near(points, record, km).zips !=
            w.rtree->near(*points.position(record), km, record)) {
            std::fprintf(stderr, "R*Tree peer differs around record %u at %.1f miles\n", record,
                         radius);
            std::exit(1);
        }
    }
}

void registerGeo() {
    const geo::Points& points = *world().points.points;
    for (const RadiusQuery& q : RadiusQueries) {
        const std::uint32_t record = recordOf(q.zip);
        const double km = q.miles * geo::KmPerMile;
        const std::string name = q.name();
        benchmark::RegisterBenchmark(("ours/" + name).c_str(),
                                     [=, &points](benchmark::State& s) {
                                         std::size_t n = 0;
                                         for (auto _ : s)
                                             benchmark::DoNotOptimize(
                                                 n = geo::Near(points, record, km).zips.size());
                                         s.counters["lines"] = double(n);
                                     })
            ->Repetitions(7)
            ->Unit(benchmark::kMicrosecond);
        const geo::GeoPoint centre = *points.position(record);
        benchmark::RegisterBenchmark(
            ("sqlite/" + name).c_str(),
            [=](benchmark::State& s) {
                std::size_t n = 0;
                for (auto _ : s)
                    benchmark::DoNotOptimize(n = world().rtree->near(centre, km, record).size());
                s.counters["lines"] = double(n);
            })
            ->Repetitions(7)
            ->Unit(benchmark::kMicrosecond);
        // The indexes alone, without the geodesics: the places the sphere cannot rule out
        // against the rows of the R*Tree's box.
        const std::string index = "index/" + name.substr(5);
        benchmark::RegisterBenchmark(("ours/" + index).c_str(),
                                     [=, &points](benchmark::State& s) {
                                         const geo::Vec3 q = geo::UnitVector(centre);
                                         const double c2 = geo::ChordSquaredWithin(km);
                                         std::size_t n = 0;
                                         for (auto _ : s) {
                                             n = 0;
                                             points.tree().visitBall(q, c2,
                                                                     [&](std::uint32_t) { ++n; });
                                             benchmark::DoNotOptimize(n);
                                         }
                                         s.counters["lines"] = double(n);
                                     })
            ->Repetitions(7)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("sqlite/" + index).c_str(),
                                     [=](benchmark::State& s) {
                                         std::size_t n = 0;
                                         for (auto _ : s)
                                             benchmark::DoNotOptimize(
                                                 n = world().rtree->inBox(centre, km).size());
                                         s.counters["lines"] = double(n);
                                     })
            ->Repetitions(7)
            ->Unit(benchmark::kMicrosecond);
    }
    for (const PointQuery& q : PointQueries) {
        const std::string name = std::string("ours/") + q.name;
        benchmark::RegisterBenchmark(name.c_str(),
                                     [&, q](benchmark::State& s) {
                                         for (auto _ : s)
                                             benchmark::DoNotOptimize(geo::Nearest(points, q.at));
                                         s.counters["lines"] = 1;
                                     })
            ->Repetitions(7)
            ->Unit(benchmark::kMicrosecond);
    }
}

// Everything about one ZIP code, as `show` and the details window ask for it: in a city, on a
// island far from its neighbours, and a post-office box. The facts file is read before the
// runs, as the first look-up of a session reads it.
const char* const DetailsQueries[] = {"84101", "00601", "96799", "99546", "10043"};

std::string detailsName(const char* zip) {
    return std::string("details/") + zip;
}

void registerDetails() {
    World& w = world();
    if (w.facts->get().status != FactsStatus::Loaded)
        std::printf("No facts in %s (%s): the details are read from the ZIP records alone.\n",
                    w.data.dir.c_str(), w.facts->get().message.c_str());
    for (const char* zip : DetailsQueries) {
        benchmark::RegisterBenchmark(
            ("ours/" + detailsName(zip)).c_str(),
            [zip](benchmark::State& s) {
                World& w = world();
                const DetailsContext ctx{w.data, w.settings, w.time,
                                         w.points.points ? &*w.points.points : nullptr,
                                         w.facts.get()};
                std::size_t n = 0;
                for (auto _ : s)
                    benchmark::DoNotOptimize(n = DetailsOfZip(zip, ctx).records.size());
                s.counters["lines"] = double(n);
            })
            ->Repetitions(7)
            ->Unit(benchmark::kMicrosecond);
    }
}

std::string nameOf(const Query& q) {
    std::string n = std::string(q.mode) + "/";
    if (*q.state)
        n += std::string(q.state) + "+";
    return n + q.text;
}

// Keeps the medians of the repeated runs for the closing table.
class TableReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> medians; // run name -> microseconds
    std::map<std::string, double> items;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& r : runs) {
            if (r.aggregate_name == "median") {
                medians[r.run_name.function_name] = r.GetAdjustedRealTime();
                auto it = r.counters.find("lines");
                if (it != r.counters.end())
                    items[r.run_name.function_name] = it->second;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    for (const Query& q : Queries) {
        benchmark::RegisterBenchmark(("ours/" + nameOf(q)).c_str(),
                                     [q](benchmark::State& s) {
                                         std::size_t n = 0;
                                         for (auto _ : s)
                                             benchmark::DoNotOptimize(n = ours(q));
                                         s.counters["lines"] = double(n);
                                     })
            ->Repetitions(7)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("sqlite/" + nameOf(q)).c_str(),
                                     [q](benchmark::State& s) {
                                         std::size_t n = 0;
                                         for (auto _ : s)
                                             benchmark::DoNotOptimize(n = theirs(q));
                                         s.counters["lines"] = double(n);
                                     })
            ->Repetitions(7)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    world();
    if (world().points.points) {
        checkRadiusPeer();
        registerGeo();
    } else {
        std::printf("No positions in %s (%s): the radius and nearest searches are left out.\n",
                    world().data.dir.c_str(), world().points.message.c_str());
    }
    registerDetails();
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n| query | lines | ours (median, us) | SQLite (median, us) | ours / SQLite |\n");
    std::printf("|---|---|---|---|---|\n");
    std::vector<std::string> names;
    for (const Query& q : Queries)
        names.push_back(nameOf(q));
    for (const RadiusQuery& q : RadiusQueries)
        names.push_back(q.name());
    for (const RadiusQuery& q : RadiusQueries)
        names.push_back("index/" + q.name().substr(5));
    for (const PointQuery& q : PointQueries)
        names.push_back(q.name);
    for (const char* zip : DetailsQueries)
        names.push_back(detailsName(zip));
    for (const std::string& n : names) {
        auto a = reporter.medians.find("ours/" + n);
        auto b = reporter.medians.find("sqlite/" + n);
        if (a == reporter.medians.end())
            continue;
        if (b == reporter.medians.end())
            std::printf("| %s | %.0f | %.2f | | |\n", n.c_str(), reporter.items["ours/" + n],
                        a->second);
        else
            std::printf("| %s | %.0f | %.2f | %.2f | %.3f |\n", n.c_str(),
                        reporter.items["ours/" + n], a->second, b->second, a->second / b->second);
    }
    benchmark::Shutdown();
    return 0;
}
