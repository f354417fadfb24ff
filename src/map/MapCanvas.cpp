#include "map/MapCanvas.h"

#include "geo/Distance.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

namespace corvana::map {

namespace {

// The 48 contiguous states, shown when there is nothing to fit.
const GeoBox Lower48{-124.8, -66.9, 24.5, 49.4};

// Points closer together than this many pixels are drawn as one.
constexpr double Simplify = 1.0;
constexpr int CirclePoints = 360;

namespace colour {
const QColor AreaFill(0xf5, 0xc0, 0x4a, 0x60);
const QColor AreaLine(0xb8, 0x6e, 0x00);
const QColor CircleFill(0x1f, 0x5f, 0xbf, 0x1c);
const QColor CircleLine(0x1f, 0x5f, 0xbf);
const QColor Dot(0x1f, 0x5f, 0xbf);
const QColor DotEdge(0xff, 0xff, 0xff);
const QColor Selected(0xe0, 0x30, 0x1e);
const QColor SelectedEdge(0x40, 0x10, 0x08);
const QColor NoteText(0x30, 0x30, 0x30);
const QColor NoteBack(0xff, 0xff, 0xff, 0xdd);
} // namespace colour

constexpr double DotRadius = 3.5;

// a + (b - a) * t, channel by channel.
QColor mix(const QColor& a, const QColor& b, double t) {
    auto m = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return QColor(m(a.red(), b.red()), m(a.green(), b.green()), m(a.blue(), b.blue()));
}

// The font of a kind of name, at the map's text size.
QFont labelFont(LabelKind kind, double pixels) {
    QFont f(QStringLiteral("Arial"));
    double size = pixels;
    switch (kind) {
    case LabelKind::City:
        f.setBold(true);
        break;
    case LabelKind::ListedCounty:
        f.setBold(true);
        size *= 0.92;
        break;
    case LabelKind::State:
        f.setBold(true);
        f.setLetterSpacing(QFont::PercentageSpacing, 106);
        size *= 1.08;
        break;
    case LabelKind::Island:
        f.setItalic(true);
        break;
    case LabelKind::County:
        f.setItalic(true);
        size *= 0.88;
        break;
    case LabelKind::Zip:
        size *= 0.82;
        break;
    }
    f.setPixelSize(std::max(6, int(std::lround(size))));
    return f;
}

// Names on a small pale box, so that they stay legible over lines and other marks; the names
// of areas lie on their land and go without.
bool boxed(LabelKind kind) {
    return kind == LabelKind::City || kind == LabelKind::Zip || kind == LabelKind::ListedCounty ||
           kind == LabelKind::Island;
}
constexpr double BoxPad = 2;
constexpr int LabelKinds = int(LabelKind::Zip) + 1;

QString joinNotes(const QString& a, const QString& b) {
    return a.isEmpty() ? b : b.isEmpty() ? a : a + '\n' + b;
}
constexpr double SelectedRadius = 5.0;

} // namespace

// Closed polygons, their points one after the other.
struct Polygons {
    std::vector<QPointF> points;
    std::vector<int> sizes;

    void clear() {
        points.clear();
        sizes.clear();
    }
};

// What one view of the outlines and the content look like in pixels, kept until either
// changes: every arc in view projected once and thinned to the pixel, and the paths built of
// them.
struct MapCanvasCache {
    static constexpr std::uint32_t Unprojected = std::numeric_limits<std::uint32_t>::max();

    const Outlines* outlines = nullptr;
    std::uint64_t view = 0;
    std::uint64_t places = 0; // the outlined places' revision
    std::vector<QPointF> points;
    std::vector<std::uint32_t> first; // per arc: where its points start, or Unprojected
    std::vector<std::uint32_t> count;
    Polygons land;
    Polygons areaRings; // the outlined places' rings, as the areas path holds them
    QPainterPath countyLines, stateLines, areas;
    std::vector<QPointF> dots;      // pixel of each dot, in content order
    std::vector<std::size_t> order; // the order in which the dots are drawn
    std::vector<QPointF> circle;
    std::uint64_t dotsView = 0, dotsContent = 0;
    QImage sprites[2][2]; // [selected][hollow]
    qreal spriteRatio = 0;
    std::uint64_t spriteStyle = 0;

    // The names, placed for one view, content and style.
    std::uint64_t labelsView = 0, labelsContent = 0, labelsStyle = 0;
    QSize labelsSize;
    std::vector<MapCanvas::Label> labels;
    std::unique_ptr<AreaAnchors> anchors;
    QHash<QString, double> widths[6]; // of the names measured at the present style, by kind
    std::uint64_t widthsStyle = 0;
    const Outlines* anchorsOf = nullptr;
};

namespace {

// The copy of a box (west, width) nearest the view's centre, in longitudes relative to it, and
// whether that copy lies in view with pad pixels to spare.
struct Placed {
    double base = 0; // relative longitude of the box's west
    bool inView = false;
};

Placed place(const MapView& view, const GeoBox& box, double pad) {
    const double width = box.east - box.west;
    double base = view.relativeLon(box.west);
    if (base + width / 2 > 180)
        base -= 360;
    const GeoBox visible = view.visible();
    const double halfWidth = visible.width() / 2 + pad / view.xScale();
    const double margin = pad / view.scale();
    bool inView = base <= halfWidth && base + width >= -halfWidth &&
                  box.south <= visible.north + margin && box.north >= visible.south - margin;
    return {base, inView};
}

// A line about two pixels wide: a one-pixel line twice, half a pixel apart. The raster engine
// draws one-pixel lines on a fast path of its own; wider ones it turns into shapes to fill,
// which costs ten times as much on the country's borders.
void strokeBold(QPainter& painter, const QPainterPath& path, const QColor& colour) {
    const QPen pen(colour, 0);
    painter.strokePath(path, pen);
    painter.translate(0.5, 0.5);
    painter.strokePath(path, pen);
    painter.translate(-0.5, -0.5);
}

// The part of a ring with y0 <= y <= y1, closed along those lines where it was cut. The lines
// added along the cut are horizontal and give no coverage to a scanline fill.
void clipRingRows(const QPointF* ring, int n, double y0, double y1, std::vector<QPointF>& out) {
    std::vector<QPointF> upper;
    auto clip = [](const QPointF* in, std::size_t m, double edge, bool keepBelow,
                   std::vector<QPointF>& result) {
        result.clear();
        auto inside = [&](const QPointF& p) { return keepBelow ? p.y() <= edge : p.y() >= edge; };
        for (std::size_t i = 0; i < m; ++i) {
            const QPointF& a = in[i];
            const QPointF& b = in[(i + 1) % m];
            const bool ia = inside(a), ib = inside(b);
            if (ia)
                result.push_back(a);
            if (ia != ib) {
                const double t = (edge - a.y()) / (b.y() - a.y());
                result.emplace_back(a.x() + t * (b.x() - a.x()), edge);
            }
        }
    };
    clip(ring, std::size_t(n), y0, false, upper);
    clip(upper.data(), upper.size(), y1, true, out);
}

// Fills the rings (even-odd) as fillPath would, in strips of whole device pixel rows. Qt's
// antialiasing rasterizer walks the whole path once for each band its small memory pool allows,
// so a path of hundreds of counties costs bands times points; each strip's path holds only
// the pieces of rings inside it. A pixel lies in one strip alone, so it is covered as before.
// Only where strip edges fall on pixel rows of a raster device; elsewhere the path whole.
void fillRings(QPainter& painter, const Polygons& rings, const QPainterPath& path,
               const QColor& colour, double height) {
    constexpr double Strip = 16;
    const QTransform t = painter.deviceTransform();
    const bool raster =
        painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster;
    auto whole = [](double v) { return std::abs(v - std::round(v)) < 1e-9; };
    if (!raster || t.type() > QTransform::TxScale || t.m11() <= 0 || t.m22() <= 0 ||
        !whole(t.m22() * Strip) || !whole(t.dy()) || rings.sizes.size() < 2) {
        painter.fillPath(path, colour);
        return;
    }
    struct Span {
        const QPointF* at;
        int n;
        double top, bottom;
    };
    std::vector<Span> spans;
    const QPointF* p = rings.points.data();
    for (int n : rings.sizes) {
        auto [lo, hi] = std::minmax_element(
            p, p + n, [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
        spans.push_back({p, n, lo->y(), hi->y()});
        p += n;
    }
    std::vector<QPointF> piece;
    for (double y0 = 0; y0 < height; y0 += Strip) {
        const double y1 = y0 + Strip;
        QPainterPath strip;
        strip.setFillRule(Qt::OddEvenFill);
        for (const Span& s : spans) {
            if (s.bottom <= y0 || s.top >= y1)
                continue;
            if (s.top >= y0 && s.bottom <= y1) {
                strip.addPolygon(QPolygonF(QList<QPointF>(s.at, s.at + s.n)));
            } else {
                clipRingRows(s.at, s.n, y0, y1, piece);
                if (piece.size() < 3)
                    continue;
                strip.addPolygon(QPolygonF(QList<QPointF>(piece.begin(), piece.end())));
            }
            strip.closeSubpath();
        }
        if (!strip.isEmpty())
            painter.fillPath(strip, colour);
    }
}

class Projector {
public:
    Projector(const Outlines& outlines, const MapView& view, MapCanvasCache& cache)
        : o_(outlines), view_(view), c_(cache) {}

    // The arc's pixels, projected on first use.
    std::span<const QPointF> arc(std::size_t index) {
        if (c_.first[index] == MapCanvasCache::Unprojected)
            project(index);
        return {c_.points.data() + c_.first[index], c_.count[index]};
    }

    void addLine(QPainterPath& path, std::size_t index) {
        auto pts = arc(index);
        path.moveTo(pts[0]);
        for (std::size_t i = 1; i < pts.size(); ++i)
            path.lineTo(pts[i]);
    }

    // The region's rings in view, each as one polygon.
    void addRings(Polygons& out, const Outlines::Region& region) {
        if (!place(view_, region.box, 0).inView)
            return;
        for (const auto& ring : o_.rings(region)) {
            if (!place(view_, ring.box, 0).inView)
                continue;
            const std::size_t start = out.points.size();
            for (std::int32_t ref : o_.refs(ring)) {
                auto pts = arc(std::size_t(ref < 0 ? ~ref : ref));
                // Each arc starts where the one before ends: that point is there already.
                const std::size_t skip = out.points.size() > start ? 1 : 0;
                if (ref < 0)
                    out.points.insert(out.points.end(), pts.rbegin() + skip, pts.rend());
                else
                    out.points.insert(out.points.end(), pts.begin() + skip, pts.end());
            }
            out.sizes.push_back(int(out.points.size() - start));
        }
    }

private:
    void project(std::size_t index) {
        const auto& a = o_.arcs()[index];
        auto pts = o_.points(a);
        // Longitudes run on from the arc's west, so an arc is never cut at the 180th meridian:
        // x = x0 + lon * xScale, y = y0 - lat * scale.
        const double xScale = view_.xScale(), yScale = view_.scale();
        const double x0 = view_.xOf(place(view_, a.box, 0).base) - a.box.west * xScale;
        const double y0 = view_.yOf(0);
        auto pixel = [&](const GeoPoint& p) {
            return QPointF(x0 + p.longitude * xScale, y0 - p.latitude * yScale);
        };
        c_.first[index] = std::uint32_t(c_.points.size());
        QPointF last = pixel(pts[0]);
        c_.points.push_back(last);
        for (std::size_t i = 1; i + 1 < pts.size(); ++i) {
            QPointF p = pixel(pts[i]);
            QPointF d = p - last;
            if (d.x() * d.x() + d.y() * d.y() >= Simplify * Simplify) {
                c_.points.push_back(p);
                last = p;
            }
        }
        c_.points.push_back(pixel(pts.back()));
        c_.count[index] = std::uint32_t(c_.points.size() - c_.first[index]);
    }

    const Outlines& o_;
    const MapView& view_;
    MapCanvasCache& c_;
};

} // namespace

MapCanvas::MapCanvas() : cache_(std::make_unique<MapCanvasCache>()) {
    view_.setSize(QSizeF(size_));
    fitToContent();
}

MapCanvas::~MapCanvas() = default;

void MapCanvas::setOutlines(OutlineLoad load) {
    outlines_ = std::move(load.outlines);
    outlinesNote_ = QString::fromStdString(load.error);
    note_ = joinNotes(outlinesNote_, dotsNote_);
    ++placesRevision_;
    // The outlined places' own boxes are known now.
    if (view_.isFitted())
        fitToContent();
}

void MapCanvas::setDotsNote(QString note) {
    dotsNote_ = std::move(note);
    note_ = joinNotes(outlinesNote_, dotsNote_);
}

void MapCanvas::setContent(MapContent content) {
    content_ = std::move(content);
    circle_.clear();
    if (content_.circle && content_.circle->radiusKm > 0)
        circle_ =
            geo::GeodesicCircle(content_.circle->centre, content_.circle->radiusKm, CirclePoints);
    std::vector<GeoPoint> at;
    at.reserve(content_.dots.size());
    for (const auto& dot : content_.dots)
        at.push_back(dot.at);
    marks_ = StackPoints(at);
    ++placesRevision_;
    ++dotsRevision_;
    fitToContent();
}

void MapCanvas::setSelection(std::span<const int> ids) {
    for (auto& dot : content_.dots)
        dot.selected = std::find(ids.begin(), ids.end(), dot.id) != ids.end();
    ++dotsRevision_;
}

void MapCanvas::setColours(const MapColours& colours) {
    if (colours == colours_)
        return;
    colours_ = colours;
    ++styleRevision_;
}

void MapCanvas::setFontPixels(double pixels) {
    if (pixels > 0 && pixels != fontPixels_) {
        fontPixels_ = pixels;
        ++styleRevision_;
    }
}

MapColours MapColours::light() {
    return {QColor(0xdd, 0xe8, 0xf0), QColor(0xf2, 0xf2, 0xf2), QColor(0xfa, 0xf8, 0xf2),
            QColor(0xc8, 0xc3, 0xb6), QColor(0x6e, 0x69, 0x5e), QColor(0x20, 0x20, 0x20),
            QColor(0x6e, 0x69, 0x5e), QColor(0xff, 0xff, 0xff)};
}

MapColours MapColours::fromPalette(const QPalette& palette) {
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    const QColor window = palette.color(QPalette::Window);
    const QColor highlight = palette.color(QPalette::Highlight);
    const bool dark = base.lightness() < text.lightness();
    MapColours c;
    c.land = mix(base, window, 0.35);
    c.water = mix(mix(base, highlight, dark ? 0.30 : 0.18), window, 0.25);
    c.plain = window;
    c.countyLine = mix(c.land, text, dark ? 0.30 : 0.22);
    c.stateLine = mix(c.land, text, 0.60);
    c.text = text;
    c.faintText = mix(c.land, text, 0.62);
    c.halo = base;
    return c;
}

void MapCanvas::setSize(QSize size) {
    size_ = size;
    view_.setSize(QSizeF(size));
}

void MapCanvas::fitToContent() {
    std::vector<GeoBox> boxes;
    std::vector<GeoPoint> points;
    for (const auto& dot : content_.dots)
        points.push_back(dot.at);
    points.insert(points.end(), circle_.begin(), circle_.end());
    if (content_.circle)
        points.push_back(content_.circle->centre);
    if (!points.empty())
        boxes.push_back(GeoBox::around(points));
    if (outlines_) {
        for (int fips : content_.states)
            if (const auto* r = outlines_->state(fips))
                boxes.push_back(r->box);
        for (int fips : content_.counties)
            if (const auto* r = outlines_->county(fips))
                boxes.push_back(r->box);
    }
    view_.fit(boxes.empty() ? Lower48 : GeoBox::around(boxes), FitMargin);
}

void MapCanvas::projectDots() {
    MapCanvasCache& c = *cache_;
    if (c.dotsView == view_.revision() && c.dotsContent == dotsRevision_)
        return;
    c.dotsView = view_.revision();
    c.dotsContent = dotsRevision_;
    // One pixel for each mark; the marks with a selected dot are drawn last, on top.
    c.dots.clear();
    for (const auto& mark : marks_)
        c.dots.push_back(view_.toPixel(content_.dots[mark.front()].at));
    c.order.clear();
    for (bool selected : {false, true})
        for (std::size_t i = 0; i < marks_.size(); ++i)
            if (topDot(i).selected == selected)
                c.order.push_back(i);
    c.circle.clear();
    for (const GeoPoint& p : circle_)
        c.circle.push_back(view_.toPixel(p));
}

// The dot a mark stands for when one is wanted: its last selected dot, else its last one, as
// the dots were drawn one over the other before.
const MapDot& MapCanvas::topDot(std::size_t mark) const {
    const auto& dots = marks_[mark];
    for (auto it = dots.rbegin(); it != dots.rend(); ++it)
        if (content_.dots[*it].selected)
            return content_.dots[*it];
    return content_.dots[dots.back()];
}

// A mark is hollow when none of its ZIP codes has an area: one with an area fills it.
bool MapCanvas::markHollow(std::size_t mark) const {
    return std::all_of(marks_[mark].begin(), marks_[mark].end(),
                       [this](std::size_t dot) { return content_.dots[dot].noArea; });
}

// A mark of several dots is a disc large enough for its count.
double MapCanvas::markRadius(std::size_t mark) const {
    const std::size_t n = marks_[mark].size();
    if (n == 1)
        return topDot(mark).selected ? SelectedRadius : DotRadius;
    const double digits = n < 10 ? 1 : n < 100 ? 2 : n < 1000 ? 3 : 4;
    return std::max(7.0, fontPixels_ * 0.78 * (0.35 + 0.3 * digits));
}

// Projects the outlines in view and builds what is drawn of them, when the view or the
// outlined places changed since the last picture.
void MapCanvas::prepareOutlines() {
    MapCanvasCache& c = *cache_;
    const bool newView = c.outlines != outlines_.get() || c.view != view_.revision();
    if (newView) {
        const auto& arcs = outlines_->arcs();
        c.outlines = outlines_.get();
        c.view = view_.revision();
        c.points.clear();
        c.points.reserve(outlines_->pointCount());
        c.first.assign(arcs.size(), MapCanvasCache::Unprojected);
        c.count.assign(arcs.size(), 0);
        c.land.clear();
        for (QPainterPath* path : {&c.countyLines, &c.stateLines}) {
            path->clear();
            path->reserve(int(arcs.size()));
        }
        Projector projector(*outlines_, view_, c);
        for (const auto& state : outlines_->states())
            projector.addRings(c.land, state);
        for (std::size_t i = 0; i < arcs.size(); ++i)
            if (place(view_, arcs[i].box, 2).inView)
                projector.addLine(arcs[i].stateLine ? c.stateLines : c.countyLines, i);
    }
    if (newView || c.places != placesRevision_) {
        c.places = placesRevision_;
        Polygons areas;
        Projector projector(*outlines_, view_, c);
        for (int fips : content_.states)
            if (const auto* r = outlines_->state(fips))
                projector.addRings(areas, *r);
        for (int fips : content_.counties)
            if (const auto* r = outlines_->county(fips))
                projector.addRings(areas, *r);
        // A county may lie inside another (an independent city): even-odd leaves it out.
        c.areaRings = areas;
        c.areas.clear();
        c.areas.setFillRule(Qt::OddEvenFill);
        const QPointF* p = areas.points.data();
        for (int n : areas.sizes) {
            c.areas.addPolygon(QPolygonF(QList<QPointF>(p, p + n)));
            c.areas.closeSubpath();
            p += n;
        }
    }
}

void MapCanvas::drawOutlines(QPainter& painter) {
    prepareOutlines();
    const MapCanvasCache& c = *cache_;
    // States have no holes, so each ring is a polygon of its own. The land's edge lies under
    // the state lines, which hide that it is drawn without antialiasing (at a third of the
    // cost).
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colours_.land);
    const QPointF* ring = c.land.points.data();
    for (int n : c.land.sizes) {
        painter.drawPolygon(ring, n);
        ring += n;
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    fillRings(painter, c.areaRings, c.areas, colour::AreaFill, size_.height());
    painter.strokePath(c.countyLines, QPen(colours_.countyLine, 0));
    strokeBold(painter, c.stateLines, colours_.stateLine);
    strokeBold(painter, c.areas, colour::AreaLine);
}

void MapCanvas::drawCircle(QPainter& painter) {
    const MapCanvasCache& c = *cache_;
    if (c.circle.empty())
        return;
    QPen pen(colour::CircleLine, 1.5, Qt::DashLine);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setBrush(colour::CircleFill);
    painter.drawPolygon(c.circle.data(), int(c.circle.size()));
    const QPointF centre = view_.toPixel(content_.circle->centre);
    painter.setPen(QPen(colour::CircleLine, 1.5));
    painter.drawLine(centre - QPointF(5, 0), centre + QPointF(5, 0));
    painter.drawLine(centre - QPointF(0, 5), centre + QPointF(0, 5));
}

void MapCanvas::drawNote(QPainter& painter) {
    QFont font = painter.font();
    font.setPointSizeF(9);
    painter.setFont(font);
    const double pad = 6;
    const double width = size_.width() - 4 * pad;
    QRectF box = QFontMetricsF(font).boundingRect(QRectF(0, 0, width, size_.height()),
                                                  Qt::TextWordWrap, note_);
    box.moveBottomLeft(QPointF(2 * pad, size_.height() - 2 * pad));
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour::NoteBack);
    painter.drawRoundedRect(box.adjusted(-pad, -pad / 2, pad, pad / 2), 3, 3);
    painter.setPen(colour::NoteText);
    painter.drawText(box, Qt::TextWordWrap, note_);
}

void MapCanvas::paint(QPainter& painter) {
    const QRectF rect(QPointF(0, 0), QSizeF(size_));
    painter.save();
    painter.setClipRect(rect);
    painter.fillRect(rect, outlines_ ? colours_.water : colours_.plain);
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (outlines_)
        drawOutlines(painter);
    projectDots();
    drawCircle(painter);
    drawDots(painter);
    drawLabels(painter);
    drawLegend(painter);
    drawScaleBar(painter);
    if (!note_.isEmpty())
        drawNote(painter);
    painter.restore();
}

// A dot as the painter draws it: through a small image made once for each look and pixel
// ratio on raster devices, where a thousand ellipses would cost milliseconds; as an ellipse on
// others (a printer, a vector file). A mark of several dots is a larger disc with its count.
void MapCanvas::drawDots(QPainter& painter) {
    MapCanvasCache& c = *cache_;
    auto look = [](bool selected) {
        return std::tuple(selected ? colour::SelectedEdge : colour::DotEdge,
                          selected ? colour::Selected : colour::Dot,
                          selected ? SelectedRadius : DotRadius);
    };
    // A disc of radius r with an edge of the given width; a hollow one is a ring in the dot's
    // colour around the land's.
    auto paintDisc = [&](QPainter& p, QPointF at, bool selected, bool hollow, double r,
                         double edgeWidth) {
        auto [edge, fill, unused] = look(selected);
        if (hollow) {
            p.setPen(QPen(fill, 2.0));
            p.setBrush(colours_.land);
            p.drawEllipse(at, r - 0.5, r - 0.5);
        } else {
            p.setPen(QPen(edge, edgeWidth));
            p.setBrush(fill);
            p.drawEllipse(at, r, r);
        }
    };
    auto paintDot = [&](QPainter& p, QPointF at, bool selected, bool hollow) {
        paintDisc(p, at, selected, hollow, std::get<2>(look(selected)), 1.0);
    };
    const bool raster =
        painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster;
    const qreal ratio = painter.device()->devicePixelRatioF();
    if (raster && (c.spriteRatio != ratio || c.spriteStyle != styleRevision_)) {
        c.spriteRatio = ratio;
        c.spriteStyle = styleRevision_;
        for (bool selected : {false, true})
            for (bool hollow : {false, true}) {
                const double r = std::get<2>(look(selected));
                const int side = int(std::ceil(2 * r + 2));
                QImage sprite(QSize(side, side) * ratio, QImage::Format_ARGB32_Premultiplied);
                sprite.setDevicePixelRatio(ratio);
                sprite.fill(Qt::transparent);
                QPainter p(&sprite);
                p.setRenderHint(QPainter::Antialiasing);
                paintDot(p, QPointF(side / 2.0, side / 2.0), selected, hollow);
                c.sprites[selected][hollow] = sprite;
            }
    }
    QFont countFont = labelFont(LabelKind::Zip, fontPixels_);
    countFont.setBold(true);
    for (std::size_t i : c.order) {
        const MapDot& dot = topDot(i);
        const QPointF at = c.dots[i];
        const std::size_t n = marks_[i].size();
        const bool hollow = markHollow(i);
        if (n > 1) {
            const double r = markRadius(i);
            paintDisc(painter, at, dot.selected, hollow, r, 1.5);
            painter.setFont(countFont);
            painter.setPen(hollow ? std::get<1>(look(dot.selected)) : QColor(Qt::white));
            painter.drawText(QRectF(at.x() - r, at.y() - r, 2 * r, 2 * r), Qt::AlignCenter,
                             QString::number(n));
        } else if (raster) {
            const QImage& sprite = c.sprites[dot.selected][hollow];
            const QSizeF half = sprite.deviceIndependentSize() / 2;
            painter.drawImage(
                QPointF(std::round(at.x() - half.width()), std::round(at.y() - half.height())),
                sprite);
        } else {
            paintDot(painter, at, dot.selected, hollow);
        }
    }
}

// What the legend shows: only what the map draws.
struct MapCanvas::LegendEntry {
    enum Symbol { Dot, Selected, Stack, Hollow, Circle, Area } symbol;
    QString text;
};

std::vector<MapCanvas::LegendEntry> MapCanvas::legendEntries() const {
    std::vector<LegendEntry> out;
    if (!content_.dots.empty()) {
        out.push_back({LegendEntry::Dot, QStringLiteral("ZIP code")});
        out.push_back({LegendEntry::Selected, QStringLiteral("Selected")});
    }
    if (marks_.size() < content_.dots.size())
        out.push_back({LegendEntry::Stack, QStringLiteral("ZIP codes at one point")});
    bool hollow = false;
    for (std::size_t i = 0; i < marks_.size() && !hollow; ++i)
        hollow = markHollow(i);
    if (hollow)
        out.push_back({LegendEntry::Hollow, QStringLiteral("Without an area")});
    if (content_.circle)
        out.push_back({LegendEntry::Circle, QStringLiteral("Centre and radius")});
    if (outlines_ && (!content_.states.empty() || !content_.counties.empty()))
        out.push_back({LegendEntry::Area, QStringLiteral("Listed area")});
    return out;
}

namespace {

// The legend's and the scale bar's text size and spacing, from the names' text size.
double smallPixels(double fontPixels) {
    return std::max(7.0, fontPixels * 0.85);
}
constexpr double Inset = 8; // from the picture's edges
constexpr double Pad = 5;

} // namespace

QRectF MapCanvas::legendRect() const {
    const auto entries = legendEntries();
    if (entries.empty())
        return {};
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(int(std::lround(smallPixels(fontPixels_))));
    const QFontMetricsF fm(f);
    double width = 0;
    for (const auto& e : entries)
        width = std::max(width, fm.horizontalAdvance(e.text));
    const double line = std::max(fm.height(), 14.0);
    return {Inset, Inset, 2 * Pad + 18 + width, 2 * Pad + line * double(entries.size())};
}

void MapCanvas::drawLegend(QPainter& painter) {
    const auto entries = legendEntries();
    const QRectF box = legendRect();
    if (entries.empty() || box.width() > size_.width() / 2.0 || box.height() > size_.height() / 2.0)
        return;
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(int(std::lround(smallPixels(fontPixels_))));
    const QFontMetricsF fm(f);
    const double line = std::max(fm.height(), 14.0);
    QColor back = colours_.halo;
    back.setAlpha(0xe0);
    painter.setPen(QPen(colours_.countyLine, 1));
    painter.setBrush(back);
    painter.drawRoundedRect(box, 3, 3);
    painter.setFont(f);
    double y = box.top() + Pad;
    for (const auto& e : entries) {
        const QPointF symbol(box.left() + Pad + 7, y + line / 2);
        switch (e.symbol) {
        case LegendEntry::Dot:
        case LegendEntry::Selected:
        case LegendEntry::Hollow: {
            const bool selected = e.symbol == LegendEntry::Selected;
            const double r = selected ? SelectedRadius : DotRadius;
            if (e.symbol == LegendEntry::Hollow) {
                painter.setPen(QPen(colour::Dot, 2.0));
                painter.setBrush(colours_.land);
                painter.drawEllipse(symbol, r - 0.5, r - 0.5);
            } else {
                painter.setPen(QPen(selected ? colour::SelectedEdge : colour::DotEdge, 1));
                painter.setBrush(selected ? colour::Selected : colour::Dot);
                painter.drawEllipse(symbol, r, r);
            }
            break;
        }
        case LegendEntry::Stack:
            painter.setPen(QPen(colour::DotEdge, 1));
            painter.setBrush(colour::Dot);
            painter.drawEllipse(symbol, 6.5, 6.5);
            break;
        case LegendEntry::Circle: {
            QPen pen(colour::CircleLine, 1.5, Qt::DashLine);
            painter.setPen(pen);
            painter.setBrush(colour::CircleFill);
            painter.drawEllipse(symbol, 6, 6);
            break;
        }
        case LegendEntry::Area:
            painter.setPen(QPen(colour::AreaLine, 1.5));
            painter.setBrush(colour::AreaFill);
            painter.drawRect(QRectF(symbol - QPointF(6, 5), QSizeF(12, 10)));
            break;
        }
        painter.setPen(colours_.text);
        painter.drawText(QRectF(box.left() + Pad + 18, y, box.width(), line),
                         Qt::AlignLeft | Qt::AlignVCenter, e.text);
        y += line;
    }
}

QString MapCanvas::legendText() const {
    static const char* const symbols[] = {"blue dot",  "red dot",       "blue disc with its count",
                                          "blue ring", "dashed circle", "orange area"};
    QStringList parts;
    for (const auto& e : legendEntries())
        parts << QStringLiteral("%1: %2").arg(e.text, symbols[e.symbol]);
    return parts.join(QStringLiteral("; "));
}

namespace {

ScaleBar scaleBarOf(const MapView& view, double fontPixels) {
    return ScaleBarFor(view.projection().pixelsPerKm(),
                       std::min(view.size().width() / 4, fontPixels * 10));
}

} // namespace

QRectF MapCanvas::scaleBarRect() const {
    const ScaleBar bar = scaleBarOf(view_, fontPixels_);
    if (bar.km <= 0)
        return {};
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(int(std::lround(smallPixels(fontPixels_))));
    const QFontMetricsF fm(f);
    const double text =
        std::max(fm.horizontalAdvance(QString::fromStdString(LengthText(bar.miles, "mi"))),
                 fm.horizontalAdvance(QString::fromStdString(LengthText(bar.km, "km"))));
    const double width = 2 * Pad + std::max(bar.kmPixels, bar.milesPixels) + 6 + text;
    const double height = 2 * Pad + 2 * fm.height();
    return {size_.width() - Inset - width, size_.height() - Inset - height, width, height};
}

QString MapCanvas::scaleBarText() const {
    const ScaleBar bar = scaleBarOf(view_, fontPixels_);
    if (bar.km <= 0)
        return {};
    return QStringLiteral("Scale: the upper bar is %1, the lower %2")
        .arg(QString::fromStdString(LengthText(bar.miles, "mi")),
             QString::fromStdString(LengthText(bar.km, "km")));
}

void MapCanvas::drawScaleBar(QPainter& painter) {
    const ScaleBar bar = scaleBarOf(view_, fontPixels_);
    const QRectF box = scaleBarRect();
    if (bar.km <= 0 || box.width() > size_.width() - 2 * Inset)
        return;
    QColor back = colours_.halo;
    back.setAlpha(0xe0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(back);
    painter.drawRoundedRect(box, 3, 3);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(int(std::lround(smallPixels(fontPixels_))));
    painter.setFont(f);
    const QFontMetricsF fm(f);
    const double x = box.left() + Pad;
    const double mid = box.top() + Pad + fm.height();
    painter.setPen(QPen(colours_.text, 1.5));
    // Miles above the line, kilometres below it, both from its left end.
    painter.drawLine(QPointF(x, mid), QPointF(x + std::max(bar.milesPixels, bar.kmPixels), mid));
    painter.drawLine(QPointF(x, mid - 5), QPointF(x, mid + 5));
    painter.drawLine(QPointF(x + bar.milesPixels, mid - 5), QPointF(x + bar.milesPixels, mid));
    painter.drawLine(QPointF(x + bar.kmPixels, mid), QPointF(x + bar.kmPixels, mid + 5));
    const double textX = x + std::max(bar.milesPixels, bar.kmPixels) + 6;
    painter.drawText(QRectF(textX, mid - fm.height(), box.right() - textX, fm.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromStdString(LengthText(bar.miles, "mi")));
    painter.drawText(QRectF(textX, mid, box.right() - textX, fm.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromStdString(LengthText(bar.km, "km")));
}

// Places the names when the view, the content or the style changed since they were placed.
void MapCanvas::prepareLabels() {
    MapCanvasCache& c = *cache_;
    if (c.labelsView == view_.revision() && c.labelsContent == placesRevision_ &&
        c.labelsStyle == styleRevision_ && c.labelsSize == size_)
        return;
    c.labelsView = view_.revision();
    c.labelsContent = placesRevision_;
    c.labelsStyle = styleRevision_;
    c.labelsSize = size_;
    projectDots();
    if (c.anchorsOf != outlines_.get()) {
        c.anchorsOf = outlines_.get();
        c.anchors = outlines_ ? std::make_unique<AreaAnchors>(*outlines_) : nullptr;
    }
    std::vector<MarkName> marks;
    std::vector<DotMark> dots;
    marks.reserve(marks_.size());
    dots.reserve(marks_.size());
    for (std::size_t i = 0; i < marks_.size(); ++i) {
        const MapDot& first = content_.dots[marks_[i].front()];
        marks.push_back({first.at, first.zip, int(marks_[i].size())});
        // Room for the larger look of a selected dot, whatever the selection.
        dots.push_back({c.dots[i].x(), c.dots[i].y(), std::max(markRadius(i), SelectedRadius) + 1});
    }
    LabelScene scene;
    scene.outlines = outlines_.get();
    scene.anchors = c.anchors.get();
    if (content_.countiesListed)
        scene.listedCounties = content_.counties;
    scene.places = content_.places;
    scene.marks = marks;
    scene.markRadius = SelectedRadius + 1;
    const std::vector<LabelRequest> requests = LabelsFor(scene, view_.projection());

    QFontMetricsF metrics[LabelKinds] = {
        QFontMetricsF(labelFont(LabelKind::City, fontPixels_)),
        QFontMetricsF(labelFont(LabelKind::ListedCounty, fontPixels_)),
        QFontMetricsF(labelFont(LabelKind::State, fontPixels_)),
        QFontMetricsF(labelFont(LabelKind::Island, fontPixels_)),
        QFontMetricsF(labelFont(LabelKind::County, fontPixels_)),
        QFontMetricsF(labelFont(LabelKind::Zip, fontPixels_))};
    // Digits are all of one width, so every ZIP code is measured once.
    const double zipWidth = metrics[int(LabelKind::Zip)].horizontalAdvance(QStringLiteral("00000"));
    if (c.widthsStyle != styleRevision_) {
        c.widthsStyle = styleRevision_;
        for (auto& w : c.widths)
            w.clear();
    }
    auto measure = [&](const LabelRequest& r, bool shortForm) {
        const QFontMetricsF& fm = metrics[int(r.kind)];
        const std::string& text = shortForm ? r.shortText : r.text;
        const double pad = boxed(r.kind) ? 2 * BoxPad : 0;
        double width = zipWidth;
        if (r.kind != LabelKind::Zip || text.size() != 5) {
            const QString q = QString::fromStdString(text);
            auto& known = c.widths[int(r.kind)];
            auto it = known.constFind(q);
            if (it == known.constEnd())
                it = known.insert(q, fm.horizontalAdvance(q));
            width = *it;
        }
        return TextSize{width + pad, fm.height() + (boxed(r.kind) ? 1 : 0)};
    };
    std::vector<PixelBox> reserved;
    for (const QRectF& r : {legendRect(), scaleBarRect()})
        if (!r.isEmpty())
            reserved.push_back({r.left(), r.top(), r.right(), r.bottom()});
    const auto placed =
        PlaceLabels(requests, dots, size_.width(), size_.height(), measure, reserved);
    c.labels.clear();
    for (const PlacedLabel& p : placed) {
        const LabelRequest& r = requests[p.request];
        c.labels.push_back({r.kind, QString::fromStdString(p.shortForm ? r.shortText : r.text),
                            QRectF(p.box.left, p.box.top, p.box.width(), p.box.height())});
    }
}

const std::vector<MapCanvas::Label>& MapCanvas::labels() {
    prepareLabels();
    return cache_->labels;
}

void MapCanvas::drawLabels(QPainter& painter) {
    prepareLabels();
    const MapCanvasCache& c = *cache_;
    QColor halo = colours_.halo;
    halo.setAlpha(0xc8);
    // Each kind in its font, each name from its baseline: a text laid out in a rectangle costs
    // many times as much, and the box was made to fit the text.
    for (int kind = 0; kind < LabelKinds; ++kind) {
        const auto k = LabelKind(kind);
        if (std::none_of(c.labels.begin(), c.labels.end(),
                         [k](const Label& l) { return l.kind == k; }))
            continue;
        const QFont font = labelFont(k, fontPixels_);
        painter.setFont(font);
        const double ascent = QFontMetricsF(font).ascent();
        const double inset = boxed(k) ? BoxPad : 0;
        const QColor ink = k == LabelKind::County || k == LabelKind::Island ? colours_.faintText
                           : k == LabelKind::State                          ? colours_.stateLine
                                                                            : colours_.text;
        painter.setPen(ink);
        for (const Label& label : c.labels) {
            if (label.kind != k)
                continue;
            if (boxed(k))
                painter.fillRect(label.box, halo);
            painter.drawText(
                QPointF(label.box.left() + inset, label.box.top() + (boxed(k) ? 0.5 : 0) + ascent),
                label.text);
        }
    }
}

QSizeF MapCanvas::titledSize(const QString& title) const {
    if (title.isEmpty())
        return QSizeF(size_);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(int(std::lround(fontPixels_ * 1.25)));
    f.setBold(true);
    return {double(size_.width()), size_.height() + QFontMetricsF(f).height() + 2 * Pad};
}

void MapCanvas::paintTitled(QPainter& painter, const QString& title) {
    const double band = titledSize(title).height() - size_.height();
    if (band > 0) {
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(int(std::lround(fontPixels_ * 1.25)));
        f.setBold(true);
        const QRectF rect(0, 0, size_.width(), band);
        painter.fillRect(rect, colours_.halo);
        painter.setFont(f);
        painter.setPen(colours_.text);
        painter.drawText(
            rect.adjusted(Pad, 0, -Pad, 0), Qt::AlignCenter | Qt::TextSingleLine,
            QFontMetricsF(f).elidedText(title, Qt::ElideRight, size_.width() - 2 * Pad));
    }
    painter.save();
    painter.translate(0, band);
    paint(painter);
    painter.restore();
}

QImage MapCanvas::image(qreal devicePixelRatio, const QString& title) {
    const QSize size = titledSize(title).toSize();
    QImage img(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&img);
    paintTitled(painter, title);
    return img;
}

const MapDot* MapCanvas::dotAt(QPointF pixel) {
    const auto ids = markAt(pixel);
    if (ids.empty())
        return nullptr;
    for (std::size_t i = 0; i < marks_.size(); ++i)
        if (content_.dots[marks_[i].front()].id == ids.front())
            return &topDot(i);
    return nullptr;
}

std::vector<int> MapCanvas::markAt(QPointF pixel) {
    projectDots();
    const std::size_t none = marks_.size();
    std::size_t best = none;
    double bestDistance = 0;
    for (std::size_t i : cache_->order) {
        const QPointF d = cache_->dots[i] - pixel;
        const double distance = d.x() * d.x() + d.y() * d.y();
        const double reach = std::max(HitRadius, markRadius(i));
        if (distance <= reach * reach && (best == none || distance <= bestDistance)) {
            bestDistance = distance;
            best = i;
        }
    }
    std::vector<int> ids;
    if (best != none)
        for (std::size_t dot : marks_[best])
            ids.push_back(content_.dots[dot].id);
    return ids;
}

bool MapCanvas::key(int qtKey) {
    const QPointF middle(size_.width() / 2.0, size_.height() / 2.0);
    const double dx = size_.width() / 8.0, dy = size_.height() / 8.0;
    switch (qtKey) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        view_.zoomAt(middle, KeyZoom);
        return true;
    case Qt::Key_Minus:
        view_.zoomAt(middle, 1 / KeyZoom);
        return true;
    case Qt::Key_Left:
        view_.panBy({dx, 0});
        return true;
    case Qt::Key_Right:
        view_.panBy({-dx, 0});
        return true;
    case Qt::Key_Up:
        view_.panBy({0, dy});
        return true;
    case Qt::Key_Down:
        view_.panBy({0, -dy});
        return true;
    case Qt::Key_Home:
        view_.refit();
        return true;
    default:
        return false;
    }
}

void MapCanvas::wheel(QPointF pixel, QPoint angleDelta) {
    if (angleDelta.y() != 0)
        view_.zoomAt(pixel, std::pow(WheelZoom, angleDelta.y() / 120.0));
}

void MapCanvas::drag(QPointF from, QPointF to) {
    view_.drag(from, to);
}

QString mapDescription(qsizetype dots, const QString& place, bool outlines) {
    QString text;
    if (dots == 0)
        text = place.isEmpty() ? QStringLiteral("Map with no ZIP codes")
                               : QStringLiteral("Map of %1").arg(place);
    else
        text = QStringLiteral("Map of %1 ZIP %2").arg(dots).arg(dots == 1 ? "code" : "codes");
    if (dots != 0 && !place.isEmpty())
        text += QStringLiteral(" around %1").arg(place);
    if (!outlines)
        text += QStringLiteral(", without state and county outlines");
    return text;
}

} // namespace corvana::map
