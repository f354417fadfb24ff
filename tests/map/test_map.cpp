// The map without a window: the projection and its round trips (the 180th meridian, Guam),
// fitting, zooming and panning, the dot under a pixel, what the keys do, and pixels of drawn
// pictures where a known border, dot, outlined place or circle lies; the plain map with its
// note when there are no outlines.
#include "OutlineBuilder.h"

#include "map/MapCanvas.h"
#include "map/MarkLayer.h"
#include "map/Overlays.h"

#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPicture>
#include <QtTest>

#include <cmath>
#include <numbers>
#include <numeric>

using namespace corvana::map;

namespace {

std::shared_ptr<const Outlines> realOutlines() {
    static OutlineLoad load = loadOutlines(std::string(CORVANA_BIN_DIR) + "/" + OutlineFileName);
    return load.outlines;
}

OutlineLoad handMade() {
    static const std::string bytes = corvana::test::twoStates().bytes();
    return parseOutlines({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

bool near(QPointF a, QPointF b, double tolerance = 1e-6) {
    return std::abs(a.x() - b.x()) <= tolerance && std::abs(a.y() - b.y()) <= tolerance;
}

// How far apart two colours are, the largest of the channels.
int distance(QColor a, QColor b) {
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                     std::abs(a.blue() - b.blue())});
}

QColor pixelAt(const QImage& image, const MapView& view, GeoPoint p) {
    QPointF px = view.toPixel(p);
    return image.pixelColor(int(std::floor(px.x())), int(std::floor(px.y())));
}

} // namespace

class TestMap : public QObject {
    Q_OBJECT

private slots:
    void namesLegendScaleBarAndStacks() {
        QVERIFY(realOutlines());
        MapCanvas c;
        c.setSize({800, 600});
        c.setOutlines({realOutlines(), ""});
        MapContent content;
        // Three ZIP codes at one point and two alone, a city among them, a hollow one.
        content.dots = {{{40.6681, -111.9083}, 0, false, "84119"},
                        {{40.76, -111.89}, 1, false, "84101"},
                        {{40.6681, -111.9083}, 2, true, "84120"},
                        {{40.70, -111.80}, 3, false, "84117", true},
                        {{40.6681, -111.9083}, 4, false, "84128"}};
        content.places = {{{40.72, -111.87}, "Salt Lake City", 4}};
        c.setContent(content);
        const QPointF stack = c.view().toPixel({40.6681, -111.9083});
        QCOMPARE(c.markAt(stack), (std::vector<int>{0, 2, 4}));
        QCOMPARE(c.dotAt(stack)->id, 2); // its selected dot
        QCOMPARE(c.markAt(c.view().toPixel({40.76, -111.89})), std::vector<int>{1});

        QStringList names;
        for (const auto& label : c.labels()) {
            names << label.text;
            // No name covers a dot, the legend or the scale bar, nor another name.
            for (const auto& dot : c.content().dots) {
                const QPointF at = c.view().toPixel(dot.at);
                QVERIFY2(!label.box.intersects(QRectF(at - QPointF(4, 4), QSizeF(8, 8))),
                         qPrintable(label.text));
            }
            QVERIFY(!label.box.intersects(c.legendRect()));
            QVERIFY(!label.box.intersects(c.scaleBarRect()));
            for (const auto& other : c.labels())
                QVERIFY(&other == &label || !other.box.intersects(label.box));
        }
        QVERIFY(names.contains("Salt Lake City"));
        QVERIFY(names.contains("84101") && names.contains("84117"));
        QVERIFY(!names.contains("84119")); // a stack shows its count, not one of its codes
        QVERIFY(names.contains("Salt Lake") || names.contains("Utah"));
        QCOMPARE(c.legendText(), QString("ZIP code: blue dot; Selected: red dot; "
                                         "ZIP codes at one point: blue disc with its count; "
                                         "Without an area: blue ring"));
        QVERIFY(c.scaleBarText().contains(" mi") && c.scaleBarText().contains(" km"));
        QVERIFY(c.scaleBarRect().right() <= 800 && c.scaleBarRect().bottom() <= 600);

        // The names' size follows the text size given, and the picture takes a title band.
        const QRectF before = c.labels().front().box;
        c.setFontPixels(24);
        QVERIFY(c.labels().front().box.height() > before.height() * 1.5);
        const QImage titled = c.image(1.0, "Possible Zip Codes");
        QCOMPARE(titled.width(), 800);
        QVERIFY(titled.height() > 600 + 24);
        // The count is drawn on the stack: white among the dot's blue.
        const QImage plain = c.image();
        bool white = false;
        for (int dx = -3; dx <= 3; ++dx)
            white = white || QColor(plain.pixel(stack.toPoint() + QPoint(dx, 0))).lightness() > 200;
        QVERIFY(white);
    }

    void areaNamesLieOnTheirAreas() {
        // Every state's and listed county's name on the real outlines, at the map's size and
        // text size for each of the six window sizes, on the empty map and the fitted views of
        // a few lists: its middle (or its leader line's end) lies on the area it names.
        const auto outlines = realOutlines();
        QVERIFY(outlines);
        auto countiesStarting = [&](const char* prefix) {
            MapContent content;
            for (const auto& county : outlines->counties())
                if (QString::fromStdString(county.name).startsWith(prefix, Qt::CaseInsensitive))
                    content.counties.push_back(county.fips);
            content.countiesListed = true;
            return content;
        };
        auto states = [&](std::initializer_list<const char*> abbrevs) {
            MapContent content;
            for (const char* abbrev : abbrevs)
                content.states.push_back(outlines->stateByAbbrev(abbrev)->fips);
            return content;
        };
        const std::pair<const char*, MapContent> lists[] = {
            {"empty", {}},
            {"County SA", countiesStarting("sa")},
            {"County SAN", countiesStarting("san")},
            {"Zip Code 0", states({"CT", "MA", "ME", "NH", "NJ", "RI", "VT", "PR", "VI"})},
            {"Zip Code 8", states({"AZ", "CO", "ID", "MT", "NM", "NV", "UT", "WY"})}};
        // The map window beside the main window at 400 ... 1280, and its names' pixels; last,
        // squeezed beside the main window at 1024 x 768 on a screen 1280 wide.
        const std::pair<QSize, double> windows[] = {
            {{640, 480}, 9},  {{640, 480}, 10}, {{640, 480}, 12}, {{640, 530}, 15},
            {{640, 670}, 19}, {{640, 830}, 24}, {{472, 480}, 24}};
        MapCanvas c;
        c.setOutlines({outlines, ""});
        int named = 0, leaders = 0;
        for (const auto& [list, content] : lists)
            for (const auto& [size, font] : windows) {
                c.setSize(size);
                c.setFontPixels(font);
                c.setContent(content);
                for (const auto& label : c.labels()) {
                    if (!label.area)
                        continue;
                    ++named;
                    leaders += label.leader;
                    const GeoPoint at = c.view().toGeo(label.anchor);
                    QVERIFY2(outlines->contains(*label.area, at),
                             qPrintable(QStringLiteral("%1 off %2 (%3 x %4, %5 px)")
                                            .arg(label.text, list)
                                            .arg(size.width())
                                            .arg(size.height())
                                            .arg(font)));
                    QVERIFY(label.leader || label.anchor == label.box.center());
                    // A leader is short: the name stays beside what it names.
                    if (label.leader) {
                        const QPointF d = label.box.center() - label.anchor;
                        QVERIFY(std::hypot(d.x(), d.y()) <
                                3 * label.box.height() + label.box.width());
                    }
                }
            }
        QVERIFY(named > 300);
        QVERIFY(leaders > 0);
    }

    void theCityOfMostZipCodesIsNamed() {
        // A nearby list: a city of 40 ZIP codes in a crowd of its dots, a town of one to the
        // north. The city is named, beside its dots, fitted and zoomed in.
        MapCanvas c;
        c.setSize({640, 480});
        MapContent content;
        int id = 0;
        for (int i = 0; i < 8; ++i)
            for (int j = 0; j < 5; ++j)
                content.dots.push_back(
                    {{40.70 + 0.02 * j, -112.0 + 0.02 * i}, id++, false, "84101"});
        content.dots.push_back({{41.40, -111.9}, id++, false, "84340"});
        content.places = {{{40.74, -111.93}, "Salt Lake City", 40},
                          {{41.40, -111.9}, "Willard", 1}};
        c.setContent(content);
        for (int zoom = 0; zoom < 2; ++zoom) {
            QStringList names;
            for (const auto& label : c.labels()) {
                names << label.text;
                if (label.text == "Salt Lake City")
                    QVERIFY(near(label.anchor, c.view().toPixel({40.74, -111.93})));
            }
            QVERIFY2(names.contains("Salt Lake City"), qPrintable(names.join(',')));
            QVERIFY(zoom || names.contains("Willard"));
            c.wheel(c.view().toPixel({40.74, -111.93}), {0, 240});
        }
    }

    void overlaysHideNoMark() {
        // Each overlay in the first corner of its order where it hides no mark.
        const QSize picture(400, 300);
        const QSizeF legend(100, 60), bar(120, 40);
        auto mark = [](QPointF at) { return DotMark{at.x(), at.y(), 4}; };
        std::vector<DotMark> marks;
        OverlayPlaces at = PlaceOverlays(legend, bar, picture, marks);
        QCOMPARE(at.legend.topLeft(), QPointF(style::Inset, style::Inset));
        QCOMPARE(at.scaleBar.bottomRight(), QPointF(400 - style::Inset, 300 - style::Inset));
        marks = {mark({30, 30}), mark({380, 280})};
        at = PlaceOverlays(legend, bar, picture, marks);
        QCOMPARE(at.legend.topRight(), QPointF(400 - style::Inset, style::Inset));
        QCOMPARE(at.scaleBar.bottomLeft(), QPointF(style::Inset, 300 - style::Inset));
        QVERIFY(!at.hides);
        marks = {mark({30, 30}), mark({380, 30}), mark({30, 280}), mark({380, 280}),
                 mark({20, 20})};
        at = PlaceOverlays(legend, bar, picture, marks);
        QVERIFY(at.hides);
        QVERIFY(!at.legend.intersects(at.scaleBar));
        QVERIFY(PlaceOverlays({}, bar, picture, {}).legend.isEmpty());

        // County "SAN": Puerto Rico at the bottom right, San Juan County, WA at the top left.
        MapCanvas c;
        c.setOutlines({realOutlines(), ""});
        MapContent san;
        int id = 0;
        for (GeoPoint p : {GeoPoint{18.4, -66.06}, GeoPoint{18.45, -66.1}, GeoPoint{48.53, -123.0},
                           GeoPoint{32.7, -117.1}, GeoPoint{37.3, -121.9}, GeoPoint{43.4, -82.6},
                           GeoPoint{29.4, -98.5}})
            san.dots.push_back({p, id++, false, "00901"});
        // A square of dots 20 by 20 all over its view: no corner is free.
        MapContent crowd;
        for (int i = 0; i < 20; ++i)
            for (int j = 0; j < 20; ++j)
                crowd.dots.push_back({{38 + 0.3 * j, -110 + 0.4 * i}, id++, false, ""});
        auto hidden = [&] {
            int n = 0;
            for (const auto& d : c.content().dots) {
                const QPointF at = c.view().toPixel(d.at);
                const QRectF dot(at - QPointF(5, 5), QSizeF(10, 10));
                n += dot.intersects(c.legendRect()) || dot.intersects(c.scaleBarRect());
            }
            return n;
        };
        for (QSize size : {QSize(640, 480), QSize(400, 300), QSize(1280, 1024), QSize(640, 830)})
            for (const MapContent* content : {&san, &crowd}) {
                c.setSize(size);
                c.setContent(*content);
                QCOMPARE(hidden(), 0);
                QVERIFY(!c.legendRect().isEmpty() && !c.scaleBarRect().isEmpty());
            }
        // Zoomed in, every corner has marks: those under the overlays are drawn over them.
        c.setSize({640, 480});
        c.key(Qt::Key_Plus);
        c.key(Qt::Key_Plus);
        QVERIFY(hidden() > 0);
        const QImage img = c.image();
        int shown = 0, under = 0;
        for (const auto& d : c.content().dots) {
            const QPointF at = c.view().toPixel(d.at);
            if (!c.legendRect().contains(at) && !c.scaleBarRect().contains(at))
                continue;
            ++under;
            shown += distance(img.pixelColor(at.toPoint()), style::Dot) < 40;
        }
        QVERIFY(under > 0);
        QCOMPARE(shown, under);
    }

    void scaleBarLengthsAndPrintedMarks() {
        // Each length is written at the end of its own bar: the miles above the line, the
        // kilometres below it.
        MapCanvas c;
        c.setSize({640, 480});
        const QImage img = c.image();
        const QRectF box = c.scaleBarRect();
        const ScaleBar bar =
            ScaleBarFor(c.view().projection().pixelsPerKm(), std::min(640.0 / 4, 12.0 * 10));
        QVERIFY(std::abs(bar.milesPixels - bar.kmPixels) > 10);
        const QFontMetricsF fm(style::smallFont(12));
        const double mid = box.top() + style::Pad + fm.height();
        // The first dark pixel right of the line's ticks in a row of each text.
        auto textStart = [&](double y) {
            for (int x = int(box.left() + style::Pad + 2); x < box.right(); ++x)
                if (qGray(img.pixel(x, int(y))) < 128)
                    return x - (box.left() + style::Pad);
            return -1.0;
        };
        const double miles = textStart(mid - fm.height() / 2 - 3);
        const double km = textStart(mid + fm.height() / 2 + 1);
        QVERIFY2(miles > bar.milesPixels && miles < bar.milesPixels + 10,
                 qPrintable(QString::number(miles)));
        QVERIFY2(km > bar.kmPixels && km < bar.kmPixels + 10, qPrintable(QString::number(km)));

        // Printed, the page scales the painter: the circle keeps its dashes, as wide and as
        // long as on the screen, and a stack's count is drawn over the dots drawn after it.
        MapContent nearby;
        nearby.circle = MapCircle{{40.0, -111.0}, 20};
        nearby.dots = {{{40.0, -111.0}, 0, false, ""},
                       {{40.0, -111.0}, 1, false, ""},
                       {{40.0, -111.0}, 2, false, ""},
                       {{40.0, -111.0005}, 3, false, "", true}};
        c.setContent(nearby);
        constexpr double scale = 4;
        QPicture picture;
        {
            QPainter p(&picture);
            p.scale(scale, scale);
            c.paint(p);
        }
        QImage page(c.size() * scale, QImage::Format_ARGB32_Premultiplied);
        page.fill(Qt::white);
        {
            QPainter p(&page);
            picture.play(&p);
        }
        // Along the circle's top, runs of its colour and of gaps, each several pixels long.
        const QPointF top = c.view().toPixel({40.0 + 20 / 111.2, -111.0}) * scale;
        int longestLine = 0, longestGap = 0, run = 0;
        bool onLine = false;
        for (int x = int(top.x()) - 150; x < int(top.x()) + 150; ++x) {
            bool line = false;
            for (int dy = -6; dy <= 6; ++dy)
                line =
                    line || distance(page.pixelColor(x, int(top.y()) + dy), style::CircleLine) < 60;
            run = line == onLine ? run + 1 : 1;
            onLine = line;
            (line ? longestLine : longestGap) = std::max(line ? longestLine : longestGap, run);
        }
        QVERIFY2(longestLine >= 4 * 1.5 * scale - 2, qPrintable(QString::number(longestLine)));
        QVERIFY2(longestGap >= 1.5 * scale, qPrintable(QString::number(longestGap)));
        const QPoint stack = (c.view().toPixel({40.0, -111.0}) * scale).toPoint();
        int white = 0;
        for (int dx = -8; dx <= 8; ++dx)
            for (int dy = -8; dy <= 8; ++dy)
                white += QColor(page.pixel(stack + QPoint(dx, dy))).lightness() > 230;
        QVERIFY2(white > 10, qPrintable(QString::number(white)));
    }

    void marksSteppedThroughFromTheKeyboard() {
        // Three marks: dots 0 and 2 share a point, 1 and 3 stand alone.
        MapCanvas c;
        c.setSize({400, 300});
        QCOMPARE(c.stepMark(std::nullopt, 1), -1);
        MapContent content;
        content.dots = {{{40.0, -111.0}, 0, false},
                        {{40.5, -111.5}, 1, false},
                        {{40.0, -111.0}, 2, false},
                        {{41.0, -110.0}, 3, false}};
        c.setContent(content);
        QCOMPARE(c.marks().size(), 3u);
        // From nothing to the first or the last mark; on, and back round the ends.
        QCOMPARE(c.stepMark(std::nullopt, 1), 0);
        QCOMPARE(c.stepMark(std::nullopt, -1), 3);
        QCOMPARE(c.stepMark(0, 1), 1);
        QCOMPARE(c.stepMark(2, 1), 1); // the next mark, whichever line of a stack
        QCOMPARE(c.stepMark(3, 1), 0);
        QCOMPARE(c.stepMark(0, -1), 3);
        // Within a stack, line by line and round; a mark alone stays.
        QCOMPARE(c.stepMark(0, 0), 2);
        QCOMPARE(c.stepMark(2, 0), 0);
        QCOMPARE(c.stepMark(1, 0), 1);
        QCOMPARE(c.stepMark(7, 1), 0); // a line without a mark: from the start
        QCOMPARE(c.markPosition(2), QString("Mark 1 of 3, ZIP code 2 of 2 at this point"));
        QCOMPARE(c.markPosition(3), QString("Mark 3 of 3"));
        QVERIFY(c.markPosition(7).isEmpty());
        // A mark out of view is brought into it; one in view leaves the view where it is.
        c.key(Qt::Key_Plus);
        c.key(Qt::Key_Plus);
        c.key(Qt::Key_Plus);
        const QRectF inside = QRectF(0, 0, 400, 300).adjusted(20, 20, -20, -20);
        QVERIFY(!inside.contains(c.view().toPixel({41.0, -110.0})));
        c.showDot(3);
        QVERIFY(inside.contains(c.view().toPixel({41.0, -110.0})));
        const GeoPoint centre = c.view().centre();
        c.showDot(3);
        QCOMPARE(c.view().centre().latitude, centre.latitude);
    }

    void marksWithoutAnAreaAreHollow() {
        MapCanvas c;
        c.setSize({400, 300});
        c.setOutlines(handMade());
        MapContent content;
        // A stack of two boxes, a stack of a box and a street ZIP code, a lone box, a lone
        // street ZIP code: in a row across the middle, clear of the legend and the scale bar.
        const GeoPoint boxes{40.0, -112.0}, mixed{40.0, -110.0}, box{40.0, -108.0},
            street{40.0, -106.0};
        content.dots = {{boxes, 0, false, "84110", true}, {boxes, 1, false, "84111", true},
                        {mixed, 2, false, "84112", true}, {mixed, 3, false, "84113"},
                        {box, 4, false, "84114", true},   {street, 5, false, "84115"}};
        c.setContent(content);
        // Inside a ring the land shows through (the count's white is not the land's colour);
        // a filled mark has none of it.
        auto landInside = [&](const QImage& image, GeoPoint p, int half) {
            const QPoint at = c.view().toPixel(p).toPoint();
            int n = 0;
            for (int dy = -half; dy <= half; ++dy)
                for (int dx = -half; dx <= half; ++dx)
                    n += distance(image.pixelColor(at + QPoint(dx, dy)), c.colours().land) < 8;
            return n;
        };
        QImage image = c.image();
        QVERIFY(landInside(image, boxes, 3) > 10);
        QCOMPARE(landInside(image, mixed, 3), 0);
        QVERIFY(landInside(image, box, 1) > 0);
        QCOMPARE(landInside(image, street, 1), 0);
        QVERIFY(c.legendText().contains("Without an area: blue ring"));
        QVERIFY(c.legendText().contains("ZIP codes at one point"));

        // A box only in stacks with a street ZIP code draws no ring, and the legend says none.
        content.dots = {{mixed, 0, false, "84112", true},
                        {mixed, 1, false, "84113"},
                        {street, 2, false, "84115"}};
        c.setContent(content);
        QVERIFY(!c.legendText().contains("Without an area"));
        QCOMPARE(landInside(c.image(), mixed, 3), 0);

        // Selected, a hollow mark keeps its ring, red, with the land inside.
        content.dots = {{box, 0, true, "84114", true}, {street, 1, false, "84115"}};
        c.setContent(content);
        image = c.image();
        QVERIFY(landInside(image, box, 1) > 0);
        const QPoint at = c.view().toPixel(box).toPoint();
        bool red = false;
        for (int dx = 3; dx <= 6; ++dx) {
            const QColor px = image.pixelColor(at + QPoint(dx, 0));
            red = red || (px.red() > 180 && px.blue() < 120);
        }
        QVERIFY(red);
    }

    void listedAreasFillAsOnePath() {
        // Many counties across the country, filled in strips on a raster image, against the
        // same drawing recorded and played back, where the path is filled whole: at both pixel
        // ratios, again, and after the colours and the view change.
        QVERIFY(realOutlines());
        MapCanvas c;
        c.setSize({640, 461});
        c.setOutlines({realOutlines(), ""});
        MapContent content;
        for (int state : {6, 48, 49, 36, 72, 2, 15})
            content.states.push_back(state);
        for (const auto& county : realOutlines()->counties())
            if (county.fips % 7 == 0)
                content.counties.push_back(county.fips);
        c.setContent(content);
        QPalette dark;
        dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
        dark.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
        dark.setColor(QPalette::Text, QColor(0xe0, 0xe0, 0xe0));
        for (int step = 0; step < 5; ++step) {
            const double ratio = step == 1 ? 2.0 : 1.0;
            if (step == 3)
                c.setColours(MapColours::fromPalette(dark));
            if (step == 4)
                c.key(Qt::Key_Plus);
            const QImage strips = c.image(ratio);
            QPicture picture;
            {
                QPainter p(&picture);
                c.paint(p);
            }
            QImage whole(strips.size(), strips.format());
            whole.setDevicePixelRatio(ratio);
            {
                QPainter p(&whole);
                picture.play(&p);
            }
            // Text played back from a recording is laid out anew: the names with their leader
            // lines, the legend and the scale bar are left out of the comparison.
            std::vector<QRectF> text{c.legendRect(), c.scaleBarRect()};
            for (const auto& label : c.labels())
                text.push_back(label.box.united(QRectF(label.anchor, QSizeF(1, 1))));
            int differ = 0, most = 0;
            for (int y = 0; y < whole.height(); ++y)
                for (int x = 0; x < whole.width(); ++x) {
                    const QPointF at(x / ratio, y / ratio);
                    if (std::any_of(text.begin(), text.end(), [&](const QRectF& r) {
                            return r.adjusted(-3, -3, 3, 3).contains(at);
                        }))
                        continue;
                    const int d = distance(strips.pixelColor(x, y), whole.pixelColor(x, y));
                    differ += d > 0;
                    most = std::max(most, d);
                }
            QVERIFY2(most <= 2, qPrintable(QString("step %1: %2").arg(step).arg(most)));
            QVERIFY2(differ < whole.width() * whole.height() / 1000,
                     qPrintable(QString::number(differ)));
        }
    }

    void projectionRoundTripsAndKeepsShapes() {
        MapView v;
        v.setSize({800, 600});
        const GeoBox utah{-114.05, -109.04, 37.0, 42.0};
        v.fit(utah, 0);
        for (GeoPoint p : {GeoPoint{40.76, -111.89}, GeoPoint{37.0, -114.05}, GeoPoint{25, -80},
                           GeoPoint{13.47, 144.75}}) {
            GeoPoint back = v.toGeo(v.toPixel(p));
            QVERIFY(std::abs(back.longitude - p.longitude) < 1e-9 &&
                    std::abs(back.latitude - p.latitude) < 1e-9);
        }
        // A degree of longitude is the cosine of the centre's latitude of a degree of latitude.
        QCOMPARE(v.xScale(), v.scale() * std::cos(39.5 * std::numbers::pi / 180));
        // Utah is 5 degrees tall and (times the cosine) 3.87 wide: the height fills the view.
        QVERIFY(std::abs(v.toPixel({37.0, -111.5}).y() - 600) < 1e-6);
        QVERIFY(std::abs(v.toPixel({42.0, -111.5}).y()) < 1e-6);
        QVERIFY(v.toPixel({40, -114.05}).x() > 0 && v.toPixel({40, -109.04}).x() < 800);
    }

    void the180thMeridianAndGuamLieBesideTheRest() {
        MapView v;
        v.setSize({1000, 500});
        const GeoPoint aleutians[] = {{52.9, 172.9}, {52.5, -169.5}};
        v.fit(GeoBox::around(aleutians), 10);
        QVERIFY(std::abs(v.centre().longitude - (-178.3)) < 1e-9);
        // Two degrees apart across the meridian, drawn two degrees apart.
        const double gap = v.toPixel({52, -179}).x() - v.toPixel({52, 179}).x();
        QVERIFY(std::abs(gap - 2 * v.xScale()) < 1e-6);
        QVERIFY(v.toPixel({52.9, 172.9}).x() >= 9.99 && v.toPixel({52, -169.5}).x() <= 990.01);
        // The whole country: Guam lies west of Hawaii, which lies west of Maine.
        const GeoPoint country[] = {{13.47, 144.75}, {21.31, -157.86}, {44.8, -68.8}};
        v.fit(GeoBox::around(country), 10);
        const double guam = v.toPixel(country[0]).x(), hawaii = v.toPixel(country[1]).x();
        QVERIFY(guam < hawaii && hawaii < v.toPixel(country[2]).x());
        QVERIFY(guam >= 9.99 && v.toPixel(country[2]).x() <= 990.01);
    }

    void fitZoomPanAndBack() {
        MapView v;
        v.setSize({640, 480});
        // One point: at least MinExtent degrees of latitude in view.
        const GeoPoint one[] = {{40.76, -111.89}};
        v.fit(GeoBox::around(one), 24);
        QVERIFY(std::abs(v.scale() - (480 - 48) / MapView::MinExtent) < 1e-9);
        QVERIFY(near(v.toPixel(one[0]), {320, 240}));
        QVERIFY(v.isFitted());
        const double fitted = v.scale();

        // The place under the pixel stays under it.
        const QPointF at(100, 400);
        const GeoPoint under = v.toGeo(at);
        v.zoomAt(at, 3);
        QVERIFY(near(v.toPixel(under), at, 1e-6));
        QVERIFY(std::abs(v.scale() - 3 * fitted) < 1e-9);
        QVERIFY(!v.isFitted());
        // A drag moves the place under the mouse to where the mouse went, north too.
        const GeoPoint grabbed = v.toGeo({300, 300});
        v.drag({300, 300}, {350, 100});
        QVERIFY(near(v.toPixel(grabbed), {350, 100}, 1e-6));
        v.zoomAt(at, 1e9);
        QCOMPARE(v.scale(), MapView::MaxScale);
        v.zoomAt(at, 1e-9);
        QCOMPARE(v.scale(), MapView::MinScale);

        v.refit();
        QVERIFY(v.isFitted());
        QVERIFY(near(v.toPixel(one[0]), {320, 240}));
        // A fitted view is fitted again when the size changes; a moved one keeps its centre.
        v.setSize({1280, 1024});
        QVERIFY(std::abs(v.scale() - (1024 - 48) / MapView::MinExtent) < 1e-9);
        v.panBy({40, 0});
        const GeoPoint centre = v.centre();
        const std::uint64_t before = v.revision();
        v.setSize({800, 600});
        QVERIFY(v.revision() != before);
        QCOMPARE(v.centre().longitude, centre.longitude);
        QVERIFY(!v.isFitted());
        // A fit that lands where the view is keeps what was drawn of it; another does not,
        // nor does the same fit at another size.
        const GeoBox box{-112.5, -111.5, 40.0, 41.0};
        v.fit(box, 24);
        const std::uint64_t atFit = v.revision();
        v.fit(box, 24);
        QCOMPARE(v.revision(), atFit);
        v.fit({-112.5, -111.0, 40.0, 41.0}, 24);
        QVERIFY(v.revision() != atFit);
        v.fit(box, 24);
        const std::uint64_t again = v.revision();
        v.setSize({801, 600});
        QVERIFY(v.revision() != again);
    }

    void keysAndWheelMoveTheView() {
        MapCanvas c;
        c.setSize({800, 600});
        MapContent content;
        content.dots = {{{40.76, -111.89}, 1, false}, {{39.74, -104.99}, 2, false}};
        c.setContent(content);
        const double fitted = c.view().scale();
        const GeoPoint middle = c.view().centre();
        QVERIFY(c.key(Qt::Key_Plus));
        QVERIFY(std::abs(c.view().scale() - fitted * MapCanvas::KeyZoom) < 1e-9);
        QVERIFY(c.key(Qt::Key_Minus));
        QVERIFY(std::abs(c.view().scale() - fitted) < 1e-9);
        QVERIFY(c.key(Qt::Key_Left));
        QVERIFY(c.view().centre().longitude < middle.longitude);
        QVERIFY(c.key(Qt::Key_Up));
        QVERIFY(c.view().centre().latitude > middle.latitude);
        QVERIFY(!c.key(Qt::Key_A));
        QVERIFY(c.key(Qt::Key_Home));
        QVERIFY(c.view().isFitted());
        const GeoPoint under = c.view().toGeo({200, 150});
        c.wheel({200, 150}, {0, 240});
        QVERIFY(std::abs(c.view().scale() - fitted * MapCanvas::WheelZoom * MapCanvas::WheelZoom) <
                1e-9);
        QVERIFY(near(c.view().toPixel(under), {200, 150}));
    }

    void dotUnderAPixel() {
        MapCanvas c;
        c.setSize({400, 400});
        MapContent content;
        content.dots = {
            {{40.0, -111.0}, 7, false}, {{40.0, -111.0}, 8, true}, {{40.0, -110.0}, 9, false}};
        c.setContent(content);
        const QPointF first = c.view().toPixel({40.0, -111.0});
        const QPointF third = c.view().toPixel({40.0, -110.0});
        // Two dots on one place: the selected one is drawn on top, and is the one hit.
        QCOMPARE(c.dotAt(first + QPointF(3, 3))->id, 8);
        QCOMPARE(c.dotAt(third - QPointF(0, 6))->id, 9);
        QCOMPARE(c.dotAt(third + QPointF(MapCanvas::HitRadius + 1, 0)), nullptr);
        const int none[] = {0};
        c.setSelection(none);
        QCOMPARE(c.dotAt(first)->id, 8); // of two alike, the later in the list is drawn on top
        c.key(Qt::Key_Plus);
        QCOMPARE(c.dotAt(c.view().toPixel({40.0, -110.0}))->id, 9);
    }

    void drawingPutsBordersDotsAndPlacesWhereTheyLie() {
        QVERIFY(realOutlines());
        MapCanvas c;
        c.setSize({800, 800});
        MapContent content;
        content.dots = {{{40.76, -111.89}, 1, false}, {{38.57, -109.55}, 2, true}};
        content.states = {49};
        c.setContent(content);
        // Utah's box is known once the outlines come: the view is fitted to it then.
        c.setOutlines({realOutlines(), ""});
        QVERIFY(std::abs(c.view().toPixel({42.0, -111.5}).y() - MapCanvas::FitMargin) < 1);
        QImage img = c.image();
        const QColor utah = pixelAt(img, c.view(), {39.0, -113.0});
        const QColor dot = pixelAt(img, c.view(), content.dots[0].at);
        const QColor selected = pixelAt(img, c.view(), content.dots[1].at);
        QVERIFY(distance(dot, QColor(0x1f, 0x5f, 0xbf)) < 20);
        QVERIFY(distance(selected, QColor(0xe0, 0x30, 0x1e)) < 20);
        // Utah is outlined: inside, the land is tinted; Nevada's land is not.
        const QColor nevada = pixelAt(img, c.view(), {39.0, -114.6});
        QVERIFY(distance(utah, nevada) > 20);
        QVERIFY(distance(nevada, QColor(0xfa, 0xf8, 0xf2)) < 8);
        // The Utah-Nevada line runs along 114.05 W: a dark line there, in some pixel of the row.
        const QPointF line = c.view().toPixel({38.5, -114.05});
        int darkest = 255;
        for (int dx = -2; dx <= 2; ++dx)
            darkest = std::min(darkest, qGray(img.pixel(int(line.x()) + dx, int(line.y()))));
        QVERIFY(darkest < 170);
        // A point in Utah away from the lines stays light.
        QVERIFY(qGray(utah.rgb()) > 190);

        // Zoomed out to the whole country: the Gulf of Mexico is water, Texas is land.
        c.view().fit(realOutlines()->bounds(), 0);
        img = c.image();
        const QColor gulf = pixelAt(img, c.view(), {26, -90});
        QVERIFY(distance(gulf, QColor(0xdd, 0xe8, 0xf0)) < 8);
        QVERIFY(distance(pixelAt(img, c.view(), {31.5, -100}), gulf) > 8);
    }

    void circleAndTheMeridianOnAHandMadeMap() {
        MapCanvas c;
        c.setSize({600, 600});
        c.setOutlines(handMade());
        MapContent content;
        content.circle = MapCircle{{11, 180}, 150};
        c.setContent(content);
        // The fit takes in the circle: 150 km north is 1.356 degrees of latitude there.
        const GeoPoint north{11 + 150 / 110.61, 180};
        QVERIFY(std::abs(c.view().toPixel(north).y() - MapCanvas::FitMargin) < 3);
        QImage img = c.image();
        // The island is drawn on both sides of the meridian, under the circle's tint.
        const QColor west = pixelAt(img, c.view(), {10.5, 179.5});
        const QColor east = pixelAt(img, c.view(), {10.5, -179.5});
        QVERIFY(distance(west, east) < 4);
        const QColor sea = pixelAt(img, c.view(), {9.8, 180}); // in the circle, off the island
        QVERIFY(distance(west, sea) > 10);
        // The circle's dashed line where it is farthest north.
        const QPointF top = c.view().toPixel(north);
        bool blue = false;
        for (int dx = -6; dx <= 6; ++dx)
            for (int dy = -3; dy <= 3; ++dy) {
                QColor p = img.pixelColor(int(top.x()) + dx, int(top.y()) + dy);
                blue |= p.blue() > p.red() + 60;
            }
        QVERIFY(blue);
    }

    void withoutOutlinesTheDotsStandAloneWithANote() {
        MapCanvas c;
        c.setSize({400, 300});
        c.setOutlines(loadOutlines("/nonexistent/OUTLINE.DAT"));
        QCOMPARE(c.note(), QString(msg::OutlinesNotFound));
        MapContent content;
        content.dots = {{{40.76, -111.89}, 1, false}};
        content.states = {49}; // nothing to outline it with
        c.setContent(content);
        QImage img = c.image();
        QCOMPARE(img.pixelColor(200, 20), QColor(0xf2, 0xf2, 0xf2));
        QVERIFY(distance(pixelAt(img, c.view(), content.dots[0].at), QColor(0x1f, 0x5f, 0xbf)) <
                20);
        // The note lies along the bottom left: dark text on a light box.
        int dark = 0;
        for (int y = 250; y < 300; ++y)
            for (int x = 0; x < 200; ++x)
                dark += qGray(img.pixel(x, y)) < 100;
        QVERIFY(dark > 30);
        QCOMPARE(qGray(img.pixel(399, 150)), qGray(QColor(0xf2, 0xf2, 0xf2).rgb()));
    }

    void dotsSizedByPopulation() {
        // Area follows the people: four times the people, twice the radius; the smallest
        // places keep the plain dot, the largest stop at the full radius.
        QCOMPARE(PeopleRadius(0), style::DotRadius);
        QCOMPARE(PeopleRadius(std::uint32_t(PeopleFull)), PeopleFullRadius);
        QCOMPARE(PeopleRadius(4'000'000), PeopleFullRadius);
        QVERIFY(std::abs(PeopleRadius(40000) / PeopleRadius(10000) - 2) < 1e-9);
        double last = 0;
        for (std::uint32_t people : {0u, 500u, 2000u, 7358u, 20000u, 45000u, 100000u}) {
            QVERIFY2(PeopleRadius(people) >= last, qPrintable(QString::number(people)));
            last = PeopleRadius(people);
        }

        MapContent content;
        content.dots = {
            {{40.76, -111.89}, 0, false, "84101"}, {{40.70, -111.80}, 1, false, "84121"},
            {{40.60, -111.70}, 2, true, "84092"},  {{40.50, -111.60}, 3, false, "84999"},
            {{40.40, -111.50}, 4, false, "84000"}, {{40.40, -111.50}, 5, false, "84001"}};
        content.dots[0].people = 7358;
        content.dots[1].people = 40000;
        content.dots[2].people = 500; // selected: never smaller than a selected dot
        content.dots[4].people = 90000;
        content.dots[5].people = 90000;
        // Off, every dot keeps its size.
        QCOMPARE(MarkRadius(content, {1}, 12), style::DotRadius);
        content.sizedByPeople = true;
        QCOMPARE(MarkRadius(content, {0}, 12), PeopleRadius(7358));
        QVERIFY(MarkRadius(content, {1}, 12) > MarkRadius(content, {0}, 12) + 4);
        QCOMPARE(MarkRadius(content, {2}, 12), style::SelectedRadius);
        QCOMPARE(MarkRadius(content, {3}, 12), style::DotRadius); // no figure
        QCOMPARE(MarkRadius(content, {4, 5}, 12), 7.0);           // a stack shows its count

        // Drawn and hit as large as they are, the large first; the legend says what size means.
        MapCanvas c;
        c.setSize({800, 600});
        c.setContent(content);
        const QPointF big = c.view().toPixel(content.dots[1].at);
        QCOMPARE(c.markAt(big + QPointF(PeopleRadius(40000) - 1, 0)), std::vector<int>{1});
        QImage img = c.image();
        QVERIFY(distance(img.pixelColor((big + QPointF(PeopleRadius(40000) - 2.5, 0)).toPoint()),
                         style::Dot) < 40);
        QVERIFY(c.legendText().contains("Dot size: people: blue dots as large as their people"));
        if (const QByteArray dir = qgetenv("CORVANA_SCREENSHOT_DIR"); !dir.isEmpty())
            img.save(QString::fromLocal8Bit(dir) + "/map-sized.png");
        content.sizedByPeople = false;
        c.setContent(content);
        QVERIFY(!c.legendText().contains("Dot size"));
    }

    void marksAndOverlaysOnTheirOwn() {
        // A mark of several dots grows with the digits of its count, at least 7 pixels; a dot
        // alone is small, larger when selected. The dot a mark stands for is its last selected
        // one, else its last; it is hollow only when none of its dots has an area.
        MapContent content;
        for (int i = 0; i < 120; ++i)
            content.dots.push_back({{40, -111}, i, i == 3 || i == 5, "", i != 7});
        std::vector<std::size_t> nine(9), hundred(100), all(120);
        std::iota(nine.begin(), nine.end(), 0);
        std::iota(hundred.begin(), hundred.end(), 0);
        std::iota(all.begin(), all.end(), 0);
        QCOMPARE(MarkRadius(content, {0}, 12), style::DotRadius);
        QCOMPARE(MarkRadius(content, {3}, 12), style::SelectedRadius);
        QCOMPARE(MarkRadius(content, nine, 12), 7.0);
        QVERIFY(MarkRadius(content, hundred, 12) > 11);
        QVERIFY(MarkRadius(content, hundred, 24) > MarkRadius(content, hundred, 12));
        QCOMPARE(&TopDot(content, all), &content.dots[5]);
        QCOMPARE(&TopDot(content, {0, 1, 2}), &content.dots[2]);
        QVERIFY(MarkHollow(content, {0, 1}));
        QVERIFY(!MarkHollow(content, {6, 7}));

        // The overlays each have their own rectangle: no legend for an empty map, the scale bar
        // at the bottom right, the title band above the map.
        MapCanvas c;
        c.setSize({800, 600});
        QVERIFY(c.legendRect().isEmpty());
        QVERIFY(c.legendText().isEmpty());
        QCOMPARE(c.scaleBarRect().right(), 800 - style::Inset);
        QCOMPARE(c.scaleBarRect().bottom(), 600 - style::Inset);
        const TitleBand none(QString(), 12, QSize(800, 600));
        QCOMPARE(none.height(), 0.0);
        QCOMPARE(none.pictureHeight(), 600.0);
        const TitleBand band(QStringLiteral("Zip Codes For 84101"), 12, QSize(800, 600));
        QVERIFY(band.height() > 15);
        QCOMPARE(band.pictureHeight(), 600 + band.height());
        QCOMPARE(c.titledSize(QStringLiteral("Zip Codes For 84101")).height(),
                 band.pictureHeight());

        // A legend that would take more than half the picture is left out, though names still
        // keep clear of its place; so is a scale bar wider than the picture.
        c.setOutlines({nullptr, ""});
        c.setContent(content);
        c.setSize({120, 90});
        QVERIFY(c.legendRect().width() > 60);
        const QImage small = c.image();
        const QPoint inLegend = c.legendRect().center().toPoint();
        QCOMPARE(small.pixelColor(inLegend), c.colours().plain);

        // The names are placed again for a new size, not kept from the last one.
        c.setSize({800, 600});
        content.dots.resize(1);
        content.dots[0].zip = "84101";
        c.setContent(content);
        const QRectF at800 = c.labels().at(0).box;
        c.setSize({400, 300});
        QVERIFY(c.labels().at(0).box != at800);
    }

    void description() {
        QCOMPARE(mapDescription(98, "Salt Lake City, UT"),
                 QString("Map of 98 ZIP codes around Salt Lake City, UT"));
        QCOMPARE(mapDescription(1, "84101"), QString("Map of 1 ZIP code around 84101"));
        QCOMPARE(mapDescription(5, ""), QString("Map of 5 ZIP codes"));
        QCOMPARE(mapDescription(0, "Utah"), QString("Map of Utah"));
        QCOMPARE(mapDescription(0, "", false),
                 QString("Map with no ZIP codes, without state and county outlines"));
    }
};

QTEST_MAIN(TestMap)
#include "test_map.moc"
