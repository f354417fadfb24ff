#include "map/LabelLayer.h"

#include "map/MarkLayer.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace corvana::map {

using namespace style;

LabelLayer::LabelLayer() = default;
LabelLayer::~LabelLayer() = default;

bool LabelLayer::current(const MapState& s) const {
    return view_ == s.view.revision() && places_ == s.placesRevision && style_ == s.styleRevision &&
           size_ == s.size;
}

// The names the view asks for, and the marks as circles that no name may cover.
std::vector<LabelRequest> LabelLayer::candidates(const MapState& s,
                                                 const std::vector<QPointF>& markPixels,
                                                 std::vector<DotMark>& dots) {
    if (anchorsOf_ != s.outlines) {
        anchorsOf_ = s.outlines;
        anchors_ = s.outlines ? std::make_unique<AreaAnchors>(*s.outlines) : nullptr;
    }
    std::vector<MarkName> marks;
    marks.reserve(s.marks.size());
    dots.reserve(s.marks.size());
    for (std::size_t i = 0; i < s.marks.size(); ++i) {
        const MapDot& first = s.content.dots[s.marks[i].front()];
        marks.push_back({first.at, first.zip, int(s.marks[i].size())});
        // Room for the larger look of a selected dot, whatever the selection.
        const double radius =
            std::max(MarkRadius(s.content, s.marks[i], s.fontPixels), SelectedRadius) + 1;
        dots.push_back({markPixels[i].x(), markPixels[i].y(), radius});
    }
    LabelScene scene;
    scene.outlines = s.outlines;
    scene.anchors = anchors_.get();
    if (s.content.countiesListed)
        scene.listedCounties = s.content.counties;
    scene.places = s.content.places;
    scene.marks = marks;
    scene.markRadius = SelectedRadius + 1;
    return LabelsFor(scene, s.view.projection());
}

void LabelLayer::place(const MapState& s, const std::vector<QPointF>& markPixels,
                       std::span<const PixelBox> reserved) {
    view_ = s.view.revision();
    places_ = s.placesRevision;
    style_ = s.styleRevision;
    size_ = s.size;
    std::vector<DotMark> dots;
    const std::vector<LabelRequest> requests = candidates(s, markPixels, dots);

    QFontMetricsF metrics[LabelKinds] = {
        QFontMetricsF(labelFont(LabelKind::City, s.fontPixels)),
        QFontMetricsF(labelFont(LabelKind::ListedCounty, s.fontPixels)),
        QFontMetricsF(labelFont(LabelKind::State, s.fontPixels)),
        QFontMetricsF(labelFont(LabelKind::Island, s.fontPixels)),
        QFontMetricsF(labelFont(LabelKind::County, s.fontPixels)),
        QFontMetricsF(labelFont(LabelKind::Zip, s.fontPixels))};
    // Digits are all of one width, so every ZIP code is measured once.
    const double zipWidth = metrics[int(LabelKind::Zip)].horizontalAdvance(QStringLiteral("00000"));
    if (widthsStyle_ != s.styleRevision) {
        widthsStyle_ = s.styleRevision;
        for (auto& w : widths_)
            w.clear();
    }
    auto measure = [&](const LabelRequest& r, bool shortForm) {
        const QFontMetricsF& fm = metrics[int(r.kind)];
        const std::string& text = shortForm ? r.shortText : r.text;
        const double pad = boxed(r.kind) ? 2 * BoxPad : 0;
        double width = zipWidth;
        if (r.kind != LabelKind::Zip || text.size() != 5) {
            const QString q = QString::fromStdString(text);
            auto& known = widths_[int(r.kind)];
            auto it = known.constFind(q);
            if (it == known.constEnd())
                it = known.insert(q, fm.horizontalAdvance(q));
            width = *it;
        }
        return TextSize{width + pad, fm.height() + (boxed(r.kind) ? 1 : 0)};
    };
    const Projection& view = s.view.projection();
    const OnArea onArea = [&](const LabelRequest& r, double x, double y) {
        return s.outlines && r.area && s.outlines->contains(*r.area, view.toGeo(x, y));
    };
    const auto placed =
        PlaceLabels(requests, dots, s.size.width(), s.size.height(), measure, reserved, onArea);
    labels_.clear();
    for (const PlacedLabel& p : placed) {
        const LabelRequest& r = requests[p.request];
        const QRectF box(p.box.left, p.box.top, p.box.width(), p.box.height());
        labels_.push_back({r.kind, QString::fromStdString(p.shortForm ? r.shortText : r.text), box,
                           p.leader ? QPointF(r.x, r.y) : box.center(), p.leader, r.area});
    }
}

namespace {

QColor inkOf(LabelKind k, const MapColours& colours) {
    return k == LabelKind::County || k == LabelKind::Island ? colours.faintText
           : k == LabelKind::State                          ? colours.stateLine
                                                            : colours.text;
}

} // namespace

void LabelLayer::drawLeaders(QPainter& painter, const MapState& s) const {
    for (const MapLabel& label : labels_) {
        if (!label.leader)
            continue;
        // From the anchor to the nearest point of the name's box.
        const QPointF end(std::clamp(label.anchor.x(), label.box.left(), label.box.right()),
                          std::clamp(label.anchor.y(), label.box.top(), label.box.bottom()));
        painter.setPen(QPen(inkOf(label.kind, s.colours), 1));
        painter.drawLine(label.anchor, end);
    }
}

void LabelLayer::draw(QPainter& painter, const MapState& s) const {
    QColor halo = s.colours.halo;
    halo.setAlpha(0xc8);
    // Each kind in its font, each name from its baseline: a text laid out in a rectangle costs
    // many times as much, and the box was made to fit the text.
    for (int kind = 0; kind < LabelKinds; ++kind) {
        const auto k = LabelKind(kind);
        if (std::none_of(labels_.begin(), labels_.end(),
                         [k](const MapLabel& l) { return l.kind == k; }))
            continue;
        const QFont font = labelFont(k, s.fontPixels);
        painter.setFont(font);
        const double ascent = QFontMetricsF(font).ascent();
        const double inset = boxed(k) ? BoxPad : 0;
        const QColor ink = inkOf(k, s.colours);
        painter.setPen(ink);
        for (const MapLabel& label : labels_) {
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

} // namespace corvana::map
