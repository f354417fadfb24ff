// Per-keystroke cost of every search mode on the real data set, from the text to the sorted
// lines, against an SQLite database of the same table answering the same query.
//
//   build/bench/bench_search [--benchmark_filter=...]
//
// After the runs it prints a table of medians and our time as a ratio of SQLite's.

#include "SqlitePeer.h"
#include "TestClock.h"

#include "search/Search.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>

using namespace corvana;

namespace {

struct Query {
    const char* mode;
    const char* state; // State mode only
    const char* text;
};

const Query Queries[] = {
    {"zip", "", "8"},      {"zip", "", "84"},      {"zip", "", "841"},    {"zip", "", "84101"},
    {"zip", "", "770"},    {"city", "", "SA"},     {"city", "", "NEW"},   {"city", "", "SAN"},
    {"state", "TX", "S"},  {"state", "CA", "SAN"}, {"county", "", "WA"},  {"county", "", "SAN"},
    {"county", "", "WAS"}, {"area", "", "304"},    {"area", "", "212"},
};

struct World {
    DataSet data;
    Settings settings;
    // A fixed summer noon, so that every run shows the same times.
    test::TestClock clock{LocalDateTime{2026, 7, 1, 12, 0, 0, 0}};
    TimeContext time;
    std::unique_ptr<SqlitePeer> peer;

    World() {
        data.dir = CORVANA_BIN_DIR;
        auto r = LoadInData(data);
        if (!r.ok()) {
            std::fprintf(stderr, "cannot load the data files in %s\n", CORVANA_BIN_DIR);
            std::exit(1);
        }
        time.daylightInEffect = IsDaylightPeriod(clock.now());
        time.clock = &clock;
        peer = std::make_unique<SqlitePeer>(data, settings, time);
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
        benchmark::RegisterBenchmark(("ours/" + nameOf(q)).c_str(), [q](benchmark::State& s) {
            std::size_t n = 0;
            for (auto _ : s)
                benchmark::DoNotOptimize(n = ours(q));
            s.counters["lines"] = double(n);
        })->Repetitions(7)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("sqlite/" + nameOf(q)).c_str(), [q](benchmark::State& s) {
            std::size_t n = 0;
            for (auto _ : s)
                benchmark::DoNotOptimize(n = theirs(q));
            s.counters["lines"] = double(n);
        })->Repetitions(7)->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    world();
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n| query | lines | ours (median, us) | SQLite (median, us) | ours / SQLite |\n");
    std::printf("|---|---|---|---|---|\n");
    for (const Query& q : Queries) {
        std::string n = nameOf(q);
        auto a = reporter.medians.find("ours/" + n);
        auto b = reporter.medians.find("sqlite/" + n);
        if (a == reporter.medians.end() || b == reporter.medians.end())
            continue;
        std::printf("| %s | %.0f | %.2f | %.2f | %.3f |\n", n.c_str(), reporter.items["ours/" + n],
                    a->second, b->second, a->second / b->second);
    }
    benchmark::Shutdown();
    return 0;
}
