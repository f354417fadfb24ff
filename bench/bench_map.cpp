// Cost of the map at 1280 x 1024 on the real outlines, with the 1,035 ZIP codes of County
// "SAN" as dots: opening it (reading the outline file and drawing the first picture), and one
// repaint with the whole country and with one state in view, both right after the view changed
// and with the view as it was.
//
//   build/bench/bench_map [--table=FILE] [--benchmark_filter=...]
//
// The dots' places come from the latitude and longitude columns of the ZIP table
// (dataset/zipcodes.csv unless --table names another).

#include "geo/Points.h"
#include "map/ListMap.h"
#include "map/MapCanvas.h"
#include "search/Search.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

using namespace corvana;
using namespace corvana::map;

namespace {

const QSize Size(1280, 1024);
std::string table = CORVANA_TABLE;

std::string outlinePath() {
    return std::string(CORVANA_BIN_DIR) + "/" + OutlineFileName;
}

std::vector<std::string> splitCsv(const std::string& line) {
    std::vector<std::string> out(1);
    bool quoted = false;
    for (char c : line) {
        if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            out.emplace_back();
        else
            out.back() += c;
    }
    return out;
}

// ZIP code -> place, from the table's columns.
std::map<std::string, GeoPoint> places() {
    std::map<std::string, GeoPoint> out;
    std::ifstream in(table);
    std::string line;
    if (!std::getline(in, line))
        return out;
    auto head = splitCsv(line);
    auto column = [&](const char* name) {
        for (std::size_t i = 0; i < head.size(); ++i)
            if (head[i] == name)
                return int(i);
        return -1;
    };
    const int zip = column("zip"), lat = column("latitude"), lon = column("longitude");
    if (zip < 0 || lat < 0 || lon < 0)
        return out;
    while (std::getline(in, line)) {
        auto f = splitCsv(line);
        if (int(f.size()) > std::max({zip, lat, lon}) && !f[lat].empty() && !f[lon].empty())
            out[f[zip]] = {std::atof(f[lat].c_str()), std::atof(f[lon].c_str())};
    }
    return out;
}

// The ZIP lines of County "SAN", as the window lists them, with their places.
const MapContent& sanDots() {
    static const MapContent content = [] {
        DataSet data;
        data.dir = CORVANA_BIN_DIR;
        Settings settings;
        SystemClock clock;
        TimeContext time;
        time.clock = &clock;
        MapContent c;
        if (!LoadInData(data).ok())
            return c;
        auto where = places();
        SearchResult r = SearchTheCounty("SAN", SearchContext{data, settings, time}, "");
        for (const auto& item : r.items) {
            auto it = where.find(item.text.substr(0, 5));
            if (item.record() && it != where.end())
                c.dots.push_back({it->second, int(c.dots.size()), c.dots.size() % 50 == 0});
        }
        return c;
    }();
    return content;
}

bool ready(benchmark::State& state) {
    if (sanDots().dots.empty()) {
        state.SkipWithError("no dots: the data files or the table's latitude and longitude "
                            "columns are missing");
        return false;
    }
    return true;
}

void fitWhole(MapCanvas& c) {
    c.view().fit(c.outlines()->bounds(), MapCanvas::FitMargin);
}

void fitUtah(MapCanvas& c) {
    c.view().fit(c.outlines()->state(49)->box, MapCanvas::FitMargin);
}

// Opening the map: reading the outline file, taking the list and drawing the first picture.
void BM_OpenMap(benchmark::State& state) {
    if (!ready(state))
        return;
    QImage image(Size, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        MapCanvas c;
        c.setSize(Size);
        c.setOutlines(loadOutlines(outlinePath()));
        c.setContent(sanDots());
        QPainter p(&image);
        c.paint(p);
    }
}

// One repaint; `moved`: the view changed just before, so nothing of the last picture is kept.
void repaint(benchmark::State& state, void (*fit)(MapCanvas&), bool moved) {
    if (!ready(state))
        return;
    MapCanvas c;
    c.setSize(Size);
    c.setOutlines(loadOutlines(outlinePath()));
    c.setContent(sanDots());
    fit(c);
    QImage image(Size, QImage::Format_ARGB32_Premultiplied);
    const QPointF middle(Size.width() / 2.0, Size.height() / 2.0);
    bool in = true;
    for (auto _ : state) {
        if (moved) {
            // In and out by a hair: the same picture, but a new view each time.
            c.view().zoomAt(middle, in ? 1.001 : 1 / 1.001);
            in = !in;
        }
        QPainter p(&image);
        c.paint(p);
    }
    state.counters["dots"] = double(sanDots().dots.size());
}

// The names alone for County "S": its 342 counties, each named where it fits, placed again for
// a view changed by a hair (the names' widths are measured once, as while typing).
void BM_PlaceCountyNames(benchmark::State& state) {
    DataSet data;
    data.dir = CORVANA_BIN_DIR;
    Settings settings;
    SystemClock clock;
    TimeContext time;
    time.clock = &clock;
    if (!LoadInData(data).ok()) {
        state.SkipWithError("no data files");
        return;
    }
    MapCanvas c;
    c.setSize(Size);
    c.setOutlines(loadOutlines(outlinePath()));
    const geo::PointsLoad points = geo::LoadPoints(data);
    const SearchResult r = SearchTheCounty("S", SearchContext{data, settings, time}, "");
    c.setContent(MapOfList(r.items, data, points.points ? &*points.points : nullptr, c.outlines(),
                           std::nullopt)
                     .content);
    const QPointF middle(Size.width() / 2.0, Size.height() / 2.0);
    bool in = true;
    std::size_t named = 0;
    for (auto _ : state) {
        c.view().zoomAt(middle, in ? 1.001 : 1 / 1.001);
        in = !in;
        named = c.labels().size();
    }
    state.counters["counties"] = double(c.content().counties.size());
    state.counters["named"] = double(named);
}

void BM_RepaintWholeAfterZoom(benchmark::State& s) {
    repaint(s, fitWhole, true);
}
void BM_RepaintWhole(benchmark::State& s) {
    repaint(s, fitWhole, false);
}
void BM_RepaintStateAfterZoom(benchmark::State& s) {
    repaint(s, fitUtah, true);
}
void BM_RepaintState(benchmark::State& s) {
    repaint(s, fitUtah, false);
}

BENCHMARK(BM_OpenMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlaceCountyNames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintWholeAfterZoom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintWhole)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintStateAfterZoom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintState)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // Drawing needs a GUI application (fonts), not a screen.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--table=", 8) == 0)
            table = argv[i] + 8;
        else
            args.push_back(argv[i]);
    }
    int n = int(args.size());
    benchmark::Initialize(&n, args.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
