#include "map/OutlineLayer.h"

#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <span>

namespace corvana::map {

namespace {

// Points closer together than this many pixels are drawn as one.
constexpr double Simplify = 1.0;

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

constexpr double Strip = 16;

// Whether fillRings may cut the rings into strips on this painter.
bool strips(QPainter& painter, const Polygons& rings) {
    const QTransform t = painter.deviceTransform();
    const bool raster =
        painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster;
    auto whole = [](double v) { return std::abs(v - std::round(v)) < 1e-9; };
    return raster && t.type() <= QTransform::TxScale && t.m11() > 0 && t.m22() > 0 &&
           whole(t.m22() * Strip) && whole(t.dy()) && rings.sizes.size() >= 2;
}

// Fills the rings (even-odd) as fillPath would, in strips of whole device pixel rows. Qt's
// antialiasing rasterizer walks the whole path once for each band its small memory pool allows,
// so a path of hundreds of counties costs bands times points; each strip's path holds only
// the pieces of rings inside it. A pixel lies in one strip alone, so it is covered as before.
// Only where strip edges fall on pixel rows of a raster device; elsewhere the path whole.
void fillRings(QPainter& painter, const Polygons& rings, const QPainterPath& path,
               const QColor& colour, double height) {
    if (!strips(painter, rings)) {
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

} // namespace

BoxInView placeBox(const Projection& view, const GeoBox& box, double pad) {
    const double width = box.east - box.west;
    double base = view.relativeLon(box.west);
    if (base + width / 2 > 180)
        base -= 360;
    const GeoBox visible = view.visible();
    const double halfWidth = visible.width() / 2 + pad / view.xScale;
    const double margin = pad / view.scale;
    bool inView = base <= halfWidth && base + width >= -halfWidth &&
                  box.south <= visible.north + margin && box.north >= visible.south - margin;
    return {base, inView};
}

// Projects arcs into the layer's points on first use and joins them into lines and rings.
class ArcProjector {
public:
    ArcProjector(const Outlines& outlines, const Projection& view, OutlineLayer& layer)
        : o_(outlines), view_(view), c_(layer) {}

    // The arc's pixels, projected on first use.
    std::span<const QPointF> arc(std::size_t index) {
        if (c_.first_[index] == OutlineLayer::Unprojected)
            project(index);
        return {c_.points_.data() + c_.first_[index], c_.count_[index]};
    }

    void addLine(QPainterPath& path, std::size_t index) {
        auto pts = arc(index);
        path.moveTo(pts[0]);
        for (std::size_t i = 1; i < pts.size(); ++i)
            path.lineTo(pts[i]);
    }

    // The region's rings in view, each as one polygon.
    void addRings(Polygons& out, const Outlines::Region& region) {
        if (!placeBox(view_, region.box, 0).inView)
            return;
        for (const auto& ring : o_.rings(region)) {
            if (!placeBox(view_, ring.box, 0).inView)
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
        const double xScale = view_.xScale, yScale = view_.scale;
        const double x0 = view_.xOf(placeBox(view_, a.box, 0).base) - a.box.west * xScale;
        const double y0 = view_.yOf(0);
        auto pixel = [&](const GeoPoint& p) {
            return QPointF(x0 + p.longitude * xScale, y0 - p.latitude * yScale);
        };
        c_.first_[index] = std::uint32_t(c_.points_.size());
        QPointF last = pixel(pts[0]);
        c_.points_.push_back(last);
        for (std::size_t i = 1; i + 1 < pts.size(); ++i) {
            QPointF p = pixel(pts[i]);
            QPointF d = p - last;
            if (d.x() * d.x() + d.y() * d.y() >= Simplify * Simplify) {
                c_.points_.push_back(p);
                last = p;
            }
        }
        c_.points_.push_back(pixel(pts.back()));
        c_.count_[index] = std::uint32_t(c_.points_.size() - c_.first_[index]);
    }

    const Outlines& o_;
    const Projection& view_;
    OutlineLayer& c_;
};

// Projects the outlines in view and builds what is drawn of them, when the view or the
// outlined places changed since the last picture.
void OutlineLayer::prepare(const MapState& s) {
    const Outlines& o = *s.outlines;
    const Projection& view = s.view.projection();
    const bool newView = outlines_ != &o || view_ != s.view.revision();
    if (newView) {
        const auto& arcs = o.arcs();
        outlines_ = &o;
        view_ = s.view.revision();
        points_.clear();
        points_.reserve(o.pointCount());
        first_.assign(arcs.size(), Unprojected);
        count_.assign(arcs.size(), 0);
        land_.clear();
        for (QPainterPath* path : {&countyLines_, &stateLines_}) {
            path->clear();
            path->reserve(int(arcs.size()));
        }
        ArcProjector projector(o, view, *this);
        for (const auto& state : o.states())
            projector.addRings(land_, state);
        for (std::size_t i = 0; i < arcs.size(); ++i)
            if (placeBox(view, arcs[i].box, 2).inView)
                projector.addLine(arcs[i].stateLine ? stateLines_ : countyLines_, i);
    }
    if (newView || places_ != s.placesRevision) {
        places_ = s.placesRevision;
        Polygons areas;
        ArcProjector projector(o, view, *this);
        for (int fips : s.content.states)
            if (const auto* r = o.state(fips))
                projector.addRings(areas, *r);
        for (int fips : s.content.counties)
            if (const auto* r = o.county(fips))
                projector.addRings(areas, *r);
        // A county may lie inside another (an independent city): even-odd leaves it out.
        areaRings_ = areas;
        areas_.clear();
        areas_.setFillRule(Qt::OddEvenFill);
        const QPointF* p = areas.points.data();
        for (int n : areas.sizes) {
            areas_.addPolygon(QPolygonF(QList<QPointF>(p, p + n)));
            areas_.closeSubpath();
            p += n;
        }
    }
}

void OutlineLayer::draw(QPainter& painter, const MapState& s) {
    prepare(s);
    // States have no holes, so each ring is a polygon of its own. The land's edge lies under
    // the state lines, which hide that it is drawn without antialiasing (at a third of the
    // cost).
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(s.colours.land);
    const QPointF* ring = land_.points.data();
    for (int n : land_.sizes) {
        painter.drawPolygon(ring, n);
        ring += n;
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    fillRings(painter, areaRings_, areas_, style::AreaFill, s.size.height());
    painter.strokePath(countyLines_, QPen(s.colours.countyLine, 0));
    strokeBold(painter, stateLines_, s.colours.stateLine);
    strokeBold(painter, areas_, style::AreaLine);
}

} // namespace corvana::map
