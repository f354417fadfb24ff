// Telephone numbers on the real data set: reading one number, the whole answer for one number
// (place, zones, their times and the calling hours), opening EXCHANGE.DAT, and the fields the
// batch look-up appends, over a million generated cells as people write them.
//
//   build/bench/bench_phone [--benchmark_filter=...]
//
// CORVANA_BENCH_DATA=DIR reads the data files of DIR instead of the build's own.

#include "TestClock.h"

#include "data/Exchanges.h"
#include "search/Phone.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <random>

using namespace corvana;

namespace {

struct World {
    DataSet data;
    Settings settings;
    test::TestClock clock{LocalDateTime{2026, 7, 1, 12, 0, 0, 0}};
    ExchangesLoad exchanges;

    World() {
        const char* dir = std::getenv("CORVANA_BENCH_DATA");
        data.dir = dir ? dir : CORVANA_BIN_DIR;
        exchanges = LoadExchanges(data);
        if (!exchanges.exchanges) {
            std::fprintf(stderr, "%s: %s\n", data.dir.c_str(), exchanges.message.c_str());
            std::exit(1);
        }
    }
    PhoneContext ctx() const {
        return PhoneContext{exchanges, settings, TimeContext{true, &clock}, CallWindow{}};
    }
};

const World& world() {
    static const World w;
    return w;
}

// Placed, unplaced in a split area code, toll-free, in Canada and the Caribbean, in each of the
// usual forms.
const char* const Numbers[] = {"(208) 334-1234",  "208-999-1234",       "850.432.1234",
                               "+1 850 222 1234", "1-907-555-1234",     "2125551234",
                               "800-555-1234",    "(928) 871-0000 x12", "416-979-1234",
                               "+1 709 722 1234", "876 922 1234"};

// A million cells: real area codes with any exchange, written the ways people write them, and
// a few that are toll-free, empty or not numbers at all.
std::vector<std::string> Cells(std::size_t n) {
    const std::uint16_t areas[] = {208, 212, 213, 305, 312, 415, 423, 541, 602, 702,
                                   775, 801, 850, 907, 928, 206, 404, 617, 713, 919,
                                   605, 701, 416, 604, 709, 306, 867, 876, 441, 242};
    std::mt19937 random(7);
    std::vector<std::string> cells;
    cells.reserve(n);
    char buf[40];
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned pick = random() % 100;
        const unsigned area = areas[random() % std::size(areas)];
        const unsigned x = 200 + random() % 800, line = random() % 10000;
        if (pick < 2) {
            cells.emplace_back(pick == 0 ? "" : "n/a");
            continue;
        }
        const unsigned code = pick < 5 ? 800 : area;
        switch (pick % 4) {
        case 0:
            std::snprintf(buf, sizeof buf, "(%03u) %03u-%04u", code, x, line);
            break;
        case 1:
            std::snprintf(buf, sizeof buf, "%03u-%03u-%04u", code, x, line);
            break;
        case 2:
            std::snprintf(buf, sizeof buf, "+1 %03u %03u %04u", code, x, line);
            break;
        default:
            std::snprintf(buf, sizeof buf, "%03u%03u%04u", code, x, line);
            break;
        }
        cells.emplace_back(buf);
    }
    return cells;
}

void BM_Parse(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(ParsePhoneNumber(Numbers[i++ % std::size(Numbers)]));
}
BENCHMARK(BM_Parse);

// One number's whole answer, from the text as typed.
void BM_Answer(benchmark::State& state) {
    const PhoneContext ctx = world().ctx();
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(AnswerPhone(Numbers[i++ % std::size(Numbers)], ctx));
}
BENCHMARK(BM_Answer);

void BM_OpenExchanges(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadExchanges(world().data));
}
BENCHMARK(BM_OpenExchanges)->Unit(benchmark::kMicrosecond);

// The batch look-up's fields for a million cells, one annotator per run as the look-up makes
// one per file.
void BM_BatchMillion(benchmark::State& state) {
    static const std::vector<std::string> cells = Cells(1000000);
    const PhoneContext ctx = world().ctx();
    std::size_t bytes = 0;
    for (auto _ : state) {
        PhoneAnnotator annotate(ctx);
        for (const std::string& cell : cells)
            bytes += annotate.fields(cell).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(std::int64_t(state.iterations() * cells.size()));
}
BENCHMARK(BM_BatchMillion)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace

BENCHMARK_MAIN();
