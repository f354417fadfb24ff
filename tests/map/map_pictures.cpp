// Draws the map of a fixed set of lists on the real data set into PNG files, so that two builds
// of the map can be compared pixel for pixel (scripts/compare_map_pictures.sh), and compares two
// folders of them.
//
//   map_pictures draw DATA_DIR OUT_DIR     one PNG per case
//   map_pictures compare DIR_A DIR_B       exit 0 when every picture of A is in B, pixel for pixel
//
// The cases: an empty list; lists of states, cities, counties and ZIP lines; a nearby list with
// its circle (at 10 and 50 miles); ZIP codes that share a point, selected and hollow dots; several
// window sizes, text sizes and a dark palette; zooms, drags and views across the 180th meridian;
// the titled picture at two pixel ratios; the picture as a printer gets it (a paint device other
// than the raster engine, replayed into an image); and the map without outlines or without
// locations.

#include "geo/Points.h"
#include "map/ListMap.h"
#include "map/MapCanvas.h"
#include "search/Search.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPicture>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace corvana;
using namespace corvana::map;

namespace {

struct World {
    DataSet data;
    Settings settings;
    SystemClock clock;
    TimeContext time;
    geo::PointsLoad points;
    std::shared_ptr<const Outlines> outlines;
    std::unique_ptr<LazyFacts> facts;

    SearchContext context() const { return SearchContext{data, settings, time}; }
    const geo::Points* pointsOrNull() const { return points.points ? &*points.points : nullptr; }

    MapContent mapOf(const SearchResult& r) const {
        return MapOfList(r.items, data, pointsOrNull(), outlines.get(), r.nearby, facts.get())
            .content;
    }
};

// One case: a canvas set up, then drawn by `draw` into the image saved as NAME.png.
struct Case {
    std::string name;
    std::function<void(MapCanvas&)> setUp;
    std::function<QImage(MapCanvas&)> draw;
};

QImage plain(MapCanvas& c) {
    return c.image();
}

QImage titled(MapCanvas& c) {
    return c.image(1.0, QStringLiteral("Zip Codes For \"SALT LAKE\" And A Long Heading That Ends"));
}

QImage titledHighDpi(MapCanvas& c) {
    return c.image(2.0, QStringLiteral("Zip Codes Within 10 Miles Of 84101"));
}

// As a printer or a PDF file gets it: through a paint engine that is not the raster one, which
// takes the paths for vector devices (dots as ellipses, fills unstripped).
QImage printed(MapCanvas& c) {
    const QString title = QStringLiteral("A Printed Map");
    QPicture picture;
    {
        QPainter p(&picture);
        c.paintTitled(p, title);
    }
    QImage img(c.titledSize(title).toSize(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    QPainter p(&img);
    picture.play(&p);
    return img;
}

// As a printer at a higher resolution gets it: the painter scaled to the page.
QImage printedScaled(MapCanvas& c) {
    const QString title = QStringLiteral("A Printed Map");
    constexpr double scale = 3;
    QPicture picture;
    {
        QPainter p(&picture);
        p.scale(scale, scale);
        c.paintTitled(p, title);
    }
    QImage img((c.titledSize(title) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    QPainter p(&img);
    picture.play(&p);
    return img;
}

void selectEvery(MapCanvas& c, int step) {
    std::vector<int> ids;
    for (const MapDot& d : c.content().dots)
        if (d.id % step == 0)
            ids.push_back(d.id);
    c.setSelection(ids);
}

MapColours dark() {
    QPalette p;
    p.setColor(QPalette::Base, QColor(0x20, 0x20, 0x24));
    p.setColor(QPalette::Text, QColor(0xe8, 0xe8, 0xe8));
    p.setColor(QPalette::Window, QColor(0x30, 0x30, 0x34));
    p.setColor(QPalette::Highlight, QColor(0x3d, 0x7a, 0xd6));
    return MapColours::fromPalette(p);
}

std::vector<Case> cases(const World& w) {
    const SearchContext ctx = w.context();
    const auto zip = [&](const char* t) { return w.mapOf(SearchTheZip(t, ctx)); };
    const auto city = [&](const char* t) { return w.mapOf(SearchTheCity(t, ctx, "")); };
    const auto county = [&](const char* t) { return w.mapOf(SearchTheCounty(t, ctx, "")); };
    const auto area = [&](const char* t) { return w.mapOf(SearchTheArea(t, ctx)); };
    MapContent nearby;
    const SearchResult centre = SearchTheZip("84101", ctx);
    if (w.pointsOrNull() && !centre.items.empty() && centre.items.front().record())
        nearby =
            w.mapOf(SearchNearby(*w.pointsOrNull(), *centre.items.front().record(), 10.0, ctx));
    MapContent nearby50;
    if (w.pointsOrNull() && !centre.items.empty() && centre.items.front().record())
        nearby50 =
            w.mapOf(SearchNearby(*w.pointsOrNull(), *centre.items.front().record(), 50.0, ctx));
    const MapContent saltLake = city("salt lake");
    const MapContent san = county("san");
    const MapContent sa = county("sa");
    const auto outlines = w.outlines;

    auto with = [&](QSize size, MapContent content, double font = 12) {
        return [=](MapCanvas& c) {
            c.setSize(size);
            c.setFontPixels(font);
            c.setContent(content);
        };
    };
    auto then = [](std::function<void(MapCanvas&)> first, std::function<void(MapCanvas&)> next) {
        return [=](MapCanvas& c) {
            first(c);
            next(c);
        };
    };
    const QSize small(400, 300), normal(640, 480), large(1280, 1024), wide(1024, 400);
    std::vector<Case> out = {
        {"empty-640", with(normal, {}), plain},
        {"empty-400", with(small, {}, 9), plain},
        {"empty-1024", with({640, 670}, {}, 19), plain},
        {"zip-8-states", with(normal, zip("8")), plain},
        {"zip-9-states-large", with(large, zip("9"), 16), plain},
        {"zip-84-areas", with(normal, zip("84")), plain},
        {"zip-841-lines", with(normal, zip("841")), plain},
        {"zip-996-alaska", with(wide, zip("996")), plain},
        {"zip-969-pacific", with(large, zip("969"), 14), plain},
        {"zip-009-caribbean", with(normal, zip("009")), plain},
        {"city-sa-cities", with(normal, city("sa")), plain},
        {"city-salt-lake", with(normal, saltLake), plain},
        {"city-salt-lake-small", with(small, saltLake, 9), plain},
        {"city-salt-lake-large", with(large, saltLake, 16), plain},
        {"city-salt-lake-selected",
         then(with(normal, saltLake), [](MapCanvas& c) { selectEvery(c, 3); }), plain},
        {"city-new-york-stacks", with(large, city("new york"), 14), plain},
        {"county-sa-counties", with(normal, sa), plain},
        {"county-san-counties-large", with(large, san, 16), plain},
        {"county-san-counties", with(normal, san), plain},
        {"county-s-counties", with(large, county("s")), plain},
        {"county-salt-lines", with(normal, county("salt")), plain},
        {"area-801-lines", with(normal, area("801")), plain},
        {"area-907-alaska", with(wide, area("907")), plain},
        {"nearby-84101-circle", with(normal, nearby), plain},
        {"nearby-84101-selected-large",
         then(with(large, nearby, 15), [](MapCanvas& c) { selectEvery(c, 2); }), plain},
        {"nearby-84101-50-miles", with(normal, nearby50), plain},
        {"nearby-84101-50-miles-zoomed",
         then(with(normal, nearby50), [](MapCanvas& c) { c.key(Qt::Key_Plus); }), plain},
        {"dark-salt-lake", then(with(normal, saltLake), [](MapCanvas& c) { c.setColours(dark()); }),
         plain},
        {"dark-nearby", then(with(normal, nearby), [](MapCanvas& c) { c.setColours(dark()); }),
         plain},
        {"zoomed-in-salt-lake",
         then(with(normal, saltLake),
              [](MapCanvas& c) {
                  c.key(Qt::Key_Plus);
                  c.key(Qt::Key_Plus);
                  c.wheel({200, 150}, {0, 240});
              }),
         plain},
        {"zoomed-out-panned",
         then(with(normal, san),
              [](MapCanvas& c) {
                  c.wheel({320, 240}, {0, -1200});
                  c.key(Qt::Key_Left);
                  c.key(Qt::Key_Up);
                  c.drag({300, 200}, {340, 260});
              }),
         plain},
        {"world-zoomed-out",
         then(with(large, {}),
              [](MapCanvas& c) {
                  c.wheel({640, 512}, {0, -3600});
              }),
         plain},
        {"across-180th-meridian",
         then(with(wide, area("907")),
              [](MapCanvas& c) {
                  c.view().fit({172, 230, 50, 56}, MapCanvas::FitMargin);
              }),
         plain},
        {"resized-after-fit",
         then(with(normal, sa),
              [](MapCanvas& c) {
                  c.setSize({800, 600});
              }),
         plain},
        {"titled-salt-lake", with(normal, saltLake), titled},
        {"titled-nearby-2x", with(normal, nearby), titledHighDpi},
        {"titled-empty", with(small, {}, 9), titled},
        {"printed-san", with(normal, san), printed},
        {"printed-nearby-scaled", with(normal, nearby), printedScaled},
        {"printed-salt-lake-selected",
         then(with(large, saltLake, 16), [](MapCanvas& c) { selectEvery(c, 4); }), printed},
    };
    for (Case& c : out) {
        const auto setUp = c.setUp;
        c.setUp = [=](MapCanvas& m) {
            m.setOutlines({outlines, ""});
            setUp(m);
        };
    }
    // Without outlines: the dots alone with a note; without locations: the second note.
    const MapContent states = zip("8");
    out.push_back({"no-outlines",
                   [=](MapCanvas& c) {
                       c.setOutlines({nullptr, "The map's outlines could not be read."});
                       with(normal, saltLake)(c);
                   },
                   plain});
    out.push_back({"no-locations",
                   [=](MapCanvas& c) {
                       c.setOutlines({outlines, ""});
                       c.setDotsNote(QStringLiteral("This data has no locations."));
                       with(normal, states)(c);
                   },
                   titled});
    return out;
}

int draw(const char* dataDir, const char* outDir) {
    World w;
    w.data.dir = dataDir;
    w.time.clock = &w.clock;
    if (!LoadInData(w.data).ok()) {
        std::fprintf(stderr, "map_pictures: cannot read the data files in %s\n", dataDir);
        return 2;
    }
    w.points = geo::LoadPoints(w.data);
    w.facts = std::make_unique<LazyFacts>(w.data);
    w.outlines = loadOutlines(std::string(dataDir) + "/" + OutlineFileName).outlines;
    if (!w.outlines || !w.points.points) {
        std::fprintf(stderr, "map_pictures: %s has no outlines or no locations\n", dataDir);
        return 2;
    }
    QDir().mkpath(outDir);
    for (const Case& c : cases(w)) {
        MapCanvas canvas;
        c.setUp(canvas);
        const QString path = QString("%1/%2.png").arg(outDir, QString::fromStdString(c.name));
        if (!c.draw(canvas).save(path)) {
            std::fprintf(stderr, "map_pictures: cannot write %s\n", qPrintable(path));
            return 2;
        }
    }
    return 0;
}

int compare(const char* a, const char* b) {
    const QStringList names = QDir(a).entryList({QStringLiteral("*.png")}, QDir::Files);
    int differ = 0;
    for (const QString& name : names) {
        const QImage x(QString("%1/%2").arg(a, name)), y(QString("%1/%2").arg(b, name));
        QString why;
        if (y.isNull())
            why = QStringLiteral("missing");
        else if (x.size() != y.size())
            why = QStringLiteral("size %1x%2 against %3x%4")
                      .arg(x.width())
                      .arg(x.height())
                      .arg(y.width())
                      .arg(y.height());
        else {
            const QImage p = x.convertToFormat(QImage::Format_ARGB32);
            const QImage q = y.convertToFormat(QImage::Format_ARGB32);
            qsizetype pixels = 0;
            for (int row = 0; row < p.height(); ++row) {
                const auto* s = reinterpret_cast<const QRgb*>(p.constScanLine(row));
                const auto* t = reinterpret_cast<const QRgb*>(q.constScanLine(row));
                for (int col = 0; col < p.width(); ++col)
                    pixels += s[col] != t[col];
            }
            if (pixels)
                why = QStringLiteral("%1 pixels differ").arg(pixels);
        }
        std::printf("%-40s %s\n", qPrintable(name), why.isEmpty() ? "same" : qPrintable(why));
        differ += !why.isEmpty();
    }
    std::printf("%lld pictures, %d differ\n", static_cast<long long>(names.size()), differ);
    return names.isEmpty() || differ ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    // Drawing needs a GUI application (fonts), not a screen.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    const std::string what = argc == 4 ? argv[1] : "";
    if (what == "draw")
        return draw(argv[2], argv[3]);
    if (what == "compare")
        return compare(argv[2], argv[3]);
    std::fprintf(stderr, "usage: map_pictures draw DATA_DIR OUT_DIR | compare DIR_A DIR_B\n");
    return 2;
}
