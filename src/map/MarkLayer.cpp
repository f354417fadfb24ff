#include "map/MarkLayer.h"

#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>

namespace corvana::map {

namespace {

struct Look {
    QColor edge, fill;
    double radius;
};

Look look(bool selected) {
    return selected ? Look{style::SelectedEdge, style::Selected, style::SelectedRadius}
                    : Look{style::DotEdge, style::Dot, style::DotRadius};
}

// A disc of radius r with an edge of the given width; a hollow one is a ring in the dot's
// colour around the land's.
void paintDisc(QPainter& p, const QColor& land, QPointF at, bool selected, bool hollow, double r,
               double edgeWidth) {
    const Look l = look(selected);
    if (hollow) {
        p.setPen(QPen(l.fill, 2.0));
        p.setBrush(land);
        p.drawEllipse(at, r - 0.5, r - 0.5);
    } else {
        p.setPen(QPen(l.edge, edgeWidth));
        p.setBrush(l.fill);
        p.drawEllipse(at, r, r);
    }
}

void paintDot(QPainter& p, const QColor& land, QPointF at, bool selected, bool hollow) {
    paintDisc(p, land, at, selected, hollow, look(selected).radius, 1.0);
}

} // namespace

const MapDot& TopDot(const MapContent& content, const std::vector<std::size_t>& mark) {
    for (auto it = mark.rbegin(); it != mark.rend(); ++it)
        if (content.dots[*it].selected)
            return content.dots[*it];
    return content.dots[mark.back()];
}

bool MarkHollow(const MapContent& content, const std::vector<std::size_t>& mark) {
    return std::all_of(mark.begin(), mark.end(),
                       [&](std::size_t dot) { return content.dots[dot].noArea; });
}

double PeopleRadius(std::uint32_t people) {
    const double r = PeopleFullRadius * std::sqrt(double(people) / PeopleFull);
    return std::clamp(r, style::DotRadius, PeopleFullRadius);
}

namespace {

// The people a lone dot is sized by; none when it keeps the plain size.
std::optional<std::uint32_t> sizedPeople(const MapContent& content,
                                         const std::vector<std::size_t>& mark) {
    if (!content.sizedByPeople || mark.size() != 1)
        return std::nullopt;
    return content.dots[mark.front()].people;
}

} // namespace

double MarkRadius(const MapContent& content, const std::vector<std::size_t>& mark,
                  double fontPixels) {
    const std::size_t n = mark.size();
    if (n == 1) {
        const double plain =
            TopDot(content, mark).selected ? style::SelectedRadius : style::DotRadius;
        const std::optional<std::uint32_t> people = sizedPeople(content, mark);
        return people ? std::max(plain, PeopleRadius(*people)) : plain;
    }
    const double digits = n < 10 ? 1 : n < 100 ? 2 : n < 1000 ? 3 : 4;
    return std::max(7.0, fontPixels * 0.78 * (0.35 + 0.3 * digits));
}

void MarkLayer::project(const MapState& s) {
    if (view_ == s.view.revision() && dotsRevision_ == s.dotsRevision)
        return;
    view_ = s.view.revision();
    dotsRevision_ = s.dotsRevision;
    // One pixel for each mark; the marks with a selected dot are drawn last, on top.
    dots_.clear();
    for (const auto& mark : s.marks)
        dots_.push_back(s.view.toPixel(s.content.dots[mark.front()].at));
    order_.clear();
    for (bool selected : {false, true})
        for (std::size_t i = 0; i < s.marks.size(); ++i)
            if (TopDot(s.content, s.marks[i]).selected == selected)
                order_.push_back(i);
    // Dots sized by their people: the large ones first, so that none hides a smaller one, and
    // the marks of several over them all, so that their counts stay readable.
    if (s.content.sizedByPeople) {
        auto key = [&](std::size_t i) {
            return std::tuple(TopDot(s.content, s.marks[i]).selected, s.marks[i].size() > 1,
                              -MarkRadius(s.content, s.marks[i], s.fontPixels));
        };
        std::stable_sort(order_.begin(), order_.end(),
                         [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
    }
    circle_.clear();
    for (const GeoPoint& p : s.circle)
        circle_.push_back(s.view.toPixel(p));
}

void MarkLayer::drawCircle(QPainter& painter, const MapState& s) const {
    if (circle_.empty())
        return;
    QPen pen(style::CircleLine, 1.5, Qt::DashLine);
    // On the screen a line of device pixels; on a printer, whose painter is scaled to the
    // page, as wide and as dashed as on the screen (a cosmetic pen there is a hairline of
    // dashes too fine to see).
    pen.setCosmetic(painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster);
    painter.setPen(pen);
    painter.setBrush(style::CircleFill);
    painter.drawPolygon(circle_.data(), int(circle_.size()));
    const QPointF centre = s.view.toPixel(s.content.circle->centre);
    painter.setPen(QPen(style::CircleLine, 1.5));
    painter.drawLine(centre - QPointF(5, 0), centre + QPointF(5, 0));
    painter.drawLine(centre - QPointF(0, 5), centre + QPointF(0, 5));
}

// A dot's look drawn once for each pixel ratio and style, for raster devices, where a thousand
// ellipses would cost milliseconds.
void MarkLayer::makeSprites(qreal ratio, const MapState& s) {
    spriteRatio_ = ratio;
    spriteStyle_ = s.styleRevision;
    for (bool selected : {false, true})
        for (bool hollow : {false, true}) {
            const double r = look(selected).radius;
            const int side = int(std::ceil(2 * r + 2));
            QImage sprite(QSize(side, side) * ratio, QImage::Format_ARGB32_Premultiplied);
            sprite.setDevicePixelRatio(ratio);
            sprite.fill(Qt::transparent);
            QPainter p(&sprite);
            p.setRenderHint(QPainter::Antialiasing);
            paintDot(p, s.colours.land, QPointF(side / 2.0, side / 2.0), selected, hollow);
            sprites_[selected][hollow] = sprite;
        }
}

// A dot as the painter draws it: through its sprite on raster devices; as an ellipse on others
// (a printer, a vector file). A mark of several dots is a larger disc with its count.
void MarkLayer::drawMarks(QPainter& painter, const MapState& s) {
    const bool raster =
        painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster;
    const qreal ratio = painter.device()->devicePixelRatioF();
    if (raster && (spriteRatio_ != ratio || spriteStyle_ != s.styleRevision))
        makeSprites(ratio, s);
    for (std::size_t i : order_) {
        const auto& mark = s.marks[i];
        const MapDot& dot = TopDot(s.content, mark);
        const QPointF at = dots_[i];
        const bool hollow = MarkHollow(s.content, mark);
        if (mark.size() > 1) {
            paintDisc(painter, s.colours.land, at, dot.selected, hollow,
                      MarkRadius(s.content, mark, s.fontPixels), 1.5);
        } else if (sizedPeople(s.content, mark)) {
            paintDisc(painter, s.colours.land, at, dot.selected, hollow,
                      MarkRadius(s.content, mark, s.fontPixels), 1.0);
        } else if (raster) {
            const QImage& sprite = sprites_[dot.selected][hollow];
            const QSizeF half = sprite.deviceIndependentSize() / 2;
            painter.drawImage(
                QPointF(std::round(at.x() - half.width()), std::round(at.y() - half.height())),
                sprite);
        } else {
            paintDot(painter, s.colours.land, at, dot.selected, hollow);
        }
    }
    // The counts after every mark, so that no ring or dot drawn later covers one.
    QFont countFont = style::labelFont(LabelKind::Zip, s.fontPixels);
    countFont.setBold(true);
    painter.setFont(countFont);
    for (std::size_t i : order_) {
        const auto& mark = s.marks[i];
        if (mark.size() < 2)
            continue;
        const double r = MarkRadius(s.content, mark, s.fontPixels);
        const QPointF at = dots_[i];
        painter.setPen(MarkHollow(s.content, mark) ? look(TopDot(s.content, mark).selected).fill
                                                   : QColor(Qt::white));
        painter.drawText(QRectF(at.x() - r, at.y() - r, 2 * r, 2 * r), Qt::AlignCenter,
                         QString::number(mark.size()));
    }
}

} // namespace corvana::map
