#include "map/MapCanvas.h"

#include "geo/Distance.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPainter>

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
const QColor Water(0xdd, 0xe8, 0xf0);
const QColor Plain(0xf2, 0xf2, 0xf2);
const QColor Land(0xfa, 0xf8, 0xf2);
const QColor CountyLine(0xc8, 0xc3, 0xb6);
const QColor StateLine(0x6e, 0x69, 0x5e);
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
    QPainterPath countyLines, stateLines, areas;
    std::vector<QPointF> dots;       // pixel of each dot, in content order
    std::vector<std::size_t> order;  // the order in which the dots are drawn
    std::vector<QPointF> circle;
    std::uint64_t dotsView = 0, dotsContent = 0;
    QImage sprites[2]; // a dot, a selected dot
    qreal spriteRatio = 0;
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
        circle_ = geo::GeodesicCircle(content_.circle->centre, content_.circle->radiusKm,
                                      CirclePoints);
    ++placesRevision_;
    ++dotsRevision_;
    fitToContent();
}

void MapCanvas::setSelection(std::span<const int> ids) {
    for (auto& dot : content_.dots)
        dot.selected = std::find(ids.begin(), ids.end(), dot.id) != ids.end();
    ++dotsRevision_;
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
    c.dots.clear();
    for (const auto& dot : content_.dots)
        c.dots.push_back(view_.toPixel(dot.at));
    c.order.clear();
    for (bool selected : {false, true})
        for (std::size_t i = 0; i < content_.dots.size(); ++i)
            if (content_.dots[i].selected == selected)
                c.order.push_back(i);
    c.circle.clear();
    for (const GeoPoint& p : circle_)
        c.circle.push_back(view_.toPixel(p));
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
    painter.setBrush(colour::Land);
    const QPointF* ring = c.land.points.data();
    for (int n : c.land.sizes) {
        painter.drawPolygon(ring, n);
        ring += n;
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillPath(c.areas, colour::AreaFill);
    painter.strokePath(c.countyLines, QPen(colour::CountyLine, 0));
    strokeBold(painter, c.stateLines, colour::StateLine);
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
    painter.fillRect(rect, outlines_ ? colour::Water : colour::Plain);
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (outlines_)
        drawOutlines(painter);
    projectDots();
    drawCircle(painter);
    drawDots(painter);
    if (!note_.isEmpty())
        drawNote(painter);
    painter.restore();
}

// A dot as the painter draws it: through a small image made once for each look and pixel
// ratio on raster devices, where a thousand ellipses would cost milliseconds; as an ellipse on
// others (a printer, a vector file).
void MapCanvas::drawDots(QPainter& painter) {
    MapCanvasCache& c = *cache_;
    auto look = [](bool selected) {
        return std::tuple(selected ? colour::SelectedEdge : colour::DotEdge,
                          selected ? colour::Selected : colour::Dot,
                          selected ? SelectedRadius : DotRadius);
    };
    const bool raster = painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster;
    const qreal ratio = painter.device()->devicePixelRatioF();
    if (raster && c.spriteRatio != ratio) {
        c.spriteRatio = ratio;
        for (bool selected : {false, true}) {
            auto [edge, fill, r] = look(selected);
            const int side = int(std::ceil(2 * r + 2));
            QImage sprite(QSize(side, side) * ratio, QImage::Format_ARGB32_Premultiplied);
            sprite.setDevicePixelRatio(ratio);
            sprite.fill(Qt::transparent);
            QPainter p(&sprite);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(edge, 1.0));
            p.setBrush(fill);
            p.drawEllipse(QPointF(side / 2.0, side / 2.0), r, r);
            c.sprites[selected] = sprite;
        }
    }
    for (std::size_t i : c.order) {
        const bool selected = content_.dots[i].selected;
        const QPointF at = c.dots[i];
        if (raster) {
            const QImage& sprite = c.sprites[selected];
            const QSizeF half = sprite.deviceIndependentSize() / 2;
            painter.drawImage(QPointF(std::round(at.x() - half.width()),
                                      std::round(at.y() - half.height())),
                              sprite);
        } else {
            auto [edge, fill, r] = look(selected);
            painter.setPen(QPen(edge, 1.0));
            painter.setBrush(fill);
            painter.drawEllipse(at, r, r);
        }
    }
}

QImage MapCanvas::image(qreal devicePixelRatio) {
    QImage img(size_ * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&img);
    paint(painter);
    return img;
}

const MapDot* MapCanvas::dotAt(QPointF pixel) {
    projectDots();
    const MapDot* best = nullptr;
    double bestDistance = HitRadius * HitRadius;
    for (std::size_t i : cache_->order) {
        const QPointF d = cache_->dots[i] - pixel;
        const double distance = d.x() * d.x() + d.y() * d.y();
        if (distance <= bestDistance) {
            bestDistance = distance;
            best = &content_.dots[i];
        }
    }
    return best;
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
