#include "map/Overlays.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace corvana::map {

using namespace style;

Legend::Legend(const MapState& s) {
    const MapContent& content = s.content;
    if (!content.dots.empty()) {
        entries_.push_back({Entry::Dot, QStringLiteral("ZIP code")});
        entries_.push_back({Entry::Selected, QStringLiteral("Selected")});
    }
    if (s.marks.size() < content.dots.size())
        entries_.push_back({Entry::Stack, QStringLiteral("ZIP codes at one point")});
    const bool hollow =
        std::any_of(s.marks.begin(), s.marks.end(), [&](const std::vector<std::size_t>& mark) {
            return std::all_of(mark.begin(), mark.end(),
                               [&](std::size_t dot) { return content.dots[dot].noArea; });
        });
    if (hollow)
        entries_.push_back({Entry::Hollow, QStringLiteral("Without an area")});
    if (content.sizedByPeople && std::any_of(content.dots.begin(), content.dots.end(),
                                             [](const MapDot& d) { return d.people.has_value(); }))
        entries_.push_back({Entry::People, QStringLiteral("Dot size: people")});
    if (content.circle)
        entries_.push_back({Entry::Circle, QStringLiteral("Centre and radius")});
    if (s.outlines && (!content.states.empty() || !content.counties.empty()))
        entries_.push_back({Entry::Area, QStringLiteral("Listed area")});
    if (entries_.empty())
        return;
    const QFontMetricsF fm(smallFont(s.fontPixels));
    double width = 0;
    for (const auto& e : entries_)
        width = std::max(width, fm.horizontalAdvance(e.text));
    const double line = std::max(fm.height(), 14.0);
    rect_ = {Inset, Inset, 2 * Pad + 18 + width, 2 * Pad + line * double(entries_.size())};
}

void Legend::drawSymbol(QPainter& painter, const MapState& s, Entry::Symbol symbol,
                        QPointF at) const {
    switch (symbol) {
    case Entry::Dot:
    case Entry::Selected:
    case Entry::Hollow: {
        const bool selected = symbol == Entry::Selected;
        const double r = selected ? SelectedRadius : DotRadius;
        if (symbol == Entry::Hollow) {
            painter.setPen(QPen(style::Dot, 2.0));
            painter.setBrush(s.colours.land);
            painter.drawEllipse(at, r - 0.5, r - 0.5);
        } else {
            painter.setPen(QPen(selected ? SelectedEdge : DotEdge, 1));
            painter.setBrush(selected ? style::Selected : style::Dot);
            painter.drawEllipse(at, r, r);
        }
        break;
    }
    case Entry::Stack:
        painter.setPen(QPen(DotEdge, 1));
        painter.setBrush(style::Dot);
        painter.drawEllipse(at, 6.5, 6.5);
        break;
    case Entry::People:
        // A large dot with a small one on it: the sizes differ by the people.
        painter.setPen(QPen(DotEdge, 1));
        painter.setBrush(style::Dot);
        painter.drawEllipse(at + QPointF(1, -1), 6, 6);
        painter.drawEllipse(at + QPointF(-4, 4), 2.5, 2.5);
        break;
    case Entry::Circle: {
        QPen pen(CircleLine, 1.5, Qt::DashLine);
        painter.setPen(pen);
        painter.setBrush(CircleFill);
        painter.drawEllipse(at, 6, 6);
        break;
    }
    case Entry::Area:
        painter.setPen(QPen(AreaLine, 1.5));
        painter.setBrush(AreaFill);
        painter.drawRect(QRectF(at - QPointF(6, 5), QSizeF(12, 10)));
        break;
    }
}

void Legend::draw(QPainter& painter, const MapState& s) const {
    const QRectF box = rect_;
    if (entries_.empty() || box.width() > s.size.width() / 2.0 ||
        box.height() > s.size.height() / 2.0)
        return;
    const QFont f = smallFont(s.fontPixels);
    const QFontMetricsF fm(f);
    const double line = std::max(fm.height(), 14.0);
    QColor back = s.colours.halo;
    back.setAlpha(0xe0);
    painter.setPen(QPen(s.colours.countyLine, 1));
    painter.setBrush(back);
    painter.drawRoundedRect(box, 3, 3);
    painter.setFont(f);
    double y = box.top() + Pad;
    for (const auto& e : entries_) {
        drawSymbol(painter, s, e.symbol, QPointF(box.left() + Pad + 7, y + line / 2));
        painter.setPen(s.colours.text);
        painter.drawText(QRectF(box.left() + Pad + 18, y, box.width(), line),
                         Qt::AlignLeft | Qt::AlignVCenter, e.text);
        y += line;
    }
}

QString Legend::text() const {
    static const char* const symbols[] = {
        "blue dot",      "red dot",     "blue disc with its count",          "blue ring",
        "dashed circle", "orange area", "blue dots as large as their people"};
    QStringList parts;
    for (const auto& e : entries_)
        parts << QStringLiteral("%1: %2").arg(e.text, symbols[e.symbol]);
    return parts.join(QStringLiteral("; "));
}

ScaleBarItem::ScaleBarItem(const Projection& view, double fontPixels, QSize size)
    : bar_(ScaleBarFor(view.pixelsPerKm(), std::min(view.width / 4, fontPixels * 10))),
      fontPixels_(fontPixels), size_(size) {
    if (bar_.km <= 0)
        return;
    const QFontMetricsF fm(smallFont(fontPixels));
    // Each length is written at the end of its own bar.
    const double width =
        2 * Pad + 6 +
        std::max(bar_.milesPixels +
                     fm.horizontalAdvance(QString::fromStdString(LengthText(bar_.miles, "mi"))),
                 bar_.kmPixels +
                     fm.horizontalAdvance(QString::fromStdString(LengthText(bar_.km, "km"))));
    const double height = 2 * Pad + 2 * fm.height();
    rect_ = {size.width() - Inset - width, size.height() - Inset - height, width, height};
}

QString ScaleBarItem::text() const {
    if (bar_.km <= 0)
        return {};
    return QStringLiteral("Scale: the upper bar is %1, the lower %2")
        .arg(QString::fromStdString(LengthText(bar_.miles, "mi")),
             QString::fromStdString(LengthText(bar_.km, "km")));
}

void ScaleBarItem::draw(QPainter& painter, const MapState& s) const {
    const QRectF box = rect_;
    if (bar_.km <= 0 || box.width() > size_.width() - 2 * Inset)
        return;
    QColor back = s.colours.halo;
    back.setAlpha(0xe0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(back);
    painter.drawRoundedRect(box, 3, 3);
    const QFont f = smallFont(fontPixels_);
    painter.setFont(f);
    const QFontMetricsF fm(f);
    const double x = box.left() + Pad;
    const double mid = box.top() + Pad + fm.height();
    const double longest = std::max(bar_.milesPixels, bar_.kmPixels);
    painter.setPen(QPen(s.colours.text, 1.5));
    // Miles above the line, kilometres below it, both from its left end, each written at its end.
    painter.drawLine(QPointF(x, mid), QPointF(x + longest, mid));
    painter.drawLine(QPointF(x, mid - 5), QPointF(x, mid + 5));
    painter.drawLine(QPointF(x + bar_.milesPixels, mid - 5), QPointF(x + bar_.milesPixels, mid));
    painter.drawLine(QPointF(x + bar_.kmPixels, mid), QPointF(x + bar_.kmPixels, mid + 5));
    const double milesX = x + bar_.milesPixels + 6, kmX = x + bar_.kmPixels + 6;
    painter.drawText(QRectF(milesX, mid - fm.height(), box.right() - milesX, fm.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromStdString(LengthText(bar_.miles, "mi")));
    painter.drawText(QRectF(kmX, mid, box.right() - kmX, fm.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromStdString(LengthText(bar_.km, "km")));
}

namespace {

bool covers(const QRectF& box, const DotMark& mark) {
    const double dx = mark.x - std::clamp(mark.x, box.left(), box.right());
    const double dy = mark.y - std::clamp(mark.y, box.top(), box.bottom());
    return dx * dx + dy * dy < mark.radius * mark.radius;
}

enum Corner { TopLeft, TopRight, BottomLeft, BottomRight };

QRectF atCorner(QSizeF box, QSize picture, Corner corner) {
    const bool right = corner == TopRight || corner == BottomRight;
    const bool bottom = corner == BottomLeft || corner == BottomRight;
    return {right ? picture.width() - Inset - box.width() : Inset,
            bottom ? picture.height() - Inset - box.height() : Inset, box.width(), box.height()};
}

// The first corner of the order where a box of that size hides no mark and keeps clear of
// `other`, else the one that hides fewest; hides is set then.
QRectF placeAt(QSizeF box, QSize picture, const Corner (&order)[4], std::span<const DotMark> marks,
               const QRectF& other, bool& hides) {
    if (box.isEmpty())
        return {};
    QRectF best;
    std::size_t fewest = SIZE_MAX;
    for (Corner corner : order) {
        const QRectF rect = atCorner(box, picture, corner);
        if (!other.isEmpty() && rect.intersects(other))
            continue;
        const auto hidden = std::size_t(std::count_if(
            marks.begin(), marks.end(), [&](const DotMark& m) { return covers(rect, m); }));
        if (hidden < fewest) {
            fewest = hidden;
            best = rect;
        }
        if (hidden == 0)
            return rect;
    }
    if (best.isEmpty())
        best = atCorner(box, picture, order[0]);
    hides = true;
    return best;
}

} // namespace

OverlayPlaces PlaceOverlays(QSizeF legend, QSizeF scaleBar, QSize picture,
                            std::span<const DotMark> marks) {
    static constexpr Corner LegendCorners[] = {TopLeft, TopRight, BottomLeft, BottomRight};
    static constexpr Corner ScaleBarCorners[] = {BottomRight, BottomLeft, TopRight, TopLeft};
    OverlayPlaces at;
    at.legend = placeAt(legend, picture, LegendCorners, marks, {}, at.hides);
    at.scaleBar = placeAt(scaleBar, picture, ScaleBarCorners, marks, at.legend, at.hides);
    return at;
}

void drawNote(QPainter& painter, const QString& note, QSize size) {
    QFont font = painter.font();
    font.setPointSizeF(9);
    painter.setFont(font);
    const double pad = 6;
    const double width = size.width() - 4 * pad;
    QRectF box = QFontMetricsF(font).boundingRect(QRectF(0, 0, width, size.height()),
                                                  Qt::TextWordWrap, note);
    box.moveBottomLeft(QPointF(2 * pad, size.height() - 2 * pad));
    painter.setPen(Qt::NoPen);
    painter.setBrush(NoteBack);
    painter.drawRoundedRect(box.adjusted(-pad, -pad / 2, pad, pad / 2), 3, 3);
    painter.setPen(NoteText);
    painter.drawText(box, Qt::TextWordWrap, note);
}

TitleBand::TitleBand(QString title, double fontPixels, QSize map)
    : title_(std::move(title)), fontPixels_(fontPixels), map_(map), picture_(map.height()) {
    if (title_.isEmpty())
        return;
    // The band is what the title adds to the map's height, to the last bit.
    picture_ = map.height() + QFontMetricsF(titleFont(fontPixels)).height() + 2 * Pad;
    height_ = picture_ - map.height();
}

void TitleBand::draw(QPainter& painter, const MapColours& colours) const {
    if (height_ <= 0)
        return;
    const QFont f = titleFont(fontPixels_);
    const QRectF rect(0, 0, map_.width(), height_);
    painter.fillRect(rect, colours.halo);
    painter.setFont(f);
    painter.setPen(colours.text);
    painter.drawText(rect.adjusted(Pad, 0, -Pad, 0), Qt::AlignCenter | Qt::TextSingleLine,
                     QFontMetricsF(f).elidedText(title_, Qt::ElideRight, map_.width() - 2 * Pad));
}

} // namespace corvana::map
