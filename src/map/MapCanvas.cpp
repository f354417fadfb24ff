#include "map/MapCanvas.h"

#include "geo/Distance.h"
#include "map/MarkLayer.h"
#include "map/OutlineLayer.h"
#include "map/Overlays.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace corvana::map {

using style::Inset;
using style::SelectedRadius;

namespace {

// The 48 contiguous states, shown when there is nothing to fit.
const GeoBox Lower48{-124.8, -66.9, 24.5, 49.4};

constexpr int CirclePoints = 360;

QString joinNotes(const QString& a, const QString& b) {
    return a.isEmpty() ? b : b.isEmpty() ? a : a + '\n' + b;
}

} // namespace

MapCanvas::MapCanvas()
    : outlineLayer_(std::make_unique<OutlineLayer>()), markLayer_(std::make_unique<MarkLayer>()),
      labelLayer_(std::make_unique<LabelLayer>()) {
    view_.setSize(QSizeF(size_));
    fitToContent();
}

MapCanvas::~MapCanvas() = default;

MapState MapCanvas::state() const {
    return {outlines_.get(), content_, marks_,         circle_,         view_,        colours_,
            fontPixels_,     size_,    styleRevision_, placesRevision_, dotsRevision_};
}
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
        // The legend and the scale bar take another size.
        if (view_.isFitted())
            fitToContent();
    }
}

void MapCanvas::setSize(QSize size) {
    size_ = size;
    view_.setSize(QSizeF(size));
    if (view_.isFitted())
        fitToContent();
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
    const GeoBox box = boxes.empty() ? Lower48 : GeoBox::around(boxes);
    view_.fit(box, FitMargin);
    // Where the legend or the scale bar would hide a mark in every corner, the view leaves them
    // a margin of their height on every side: the marks then lie clear of the corners.
    if (overlayPlaces().hides) {
        double radius = SelectedRadius;
        for (const auto& mark : marks_)
            radius = std::max(radius, MarkRadius(content_, mark, fontPixels_));
        const double room =
            Inset + std::max(legendRect().height(), scaleBarRect().height()) + radius + 1;
        view_.fit(box, std::max(FitMargin, room));
    }
}

const OverlayPlaces& MapCanvas::overlayPlaces() const {
    if (overlays_ && overlaysView_ == view_.revision() && overlaysDots_ == dotsRevision_ &&
        overlaysStyle_ == styleRevision_ && overlaysPlaces_ == placesRevision_ &&
        overlaysSize_ == size_)
        return *overlays_;
    overlaysView_ = view_.revision();
    overlaysDots_ = dotsRevision_;
    overlaysStyle_ = styleRevision_;
    overlaysPlaces_ = placesRevision_;
    overlaysSize_ = size_;
    const MapState s = state();
    std::vector<DotMark> marks;
    marks.reserve(marks_.size());
    for (const auto& mark : marks_) {
        const QPointF at = view_.toPixel(content_.dots[mark.front()].at);
        // The larger look of a selected dot, whatever the selection: the overlays stay put
        // while the selection changes.
        marks.push_back(
            {at.x(), at.y(), std::max(MarkRadius(content_, mark, fontPixels_), SelectedRadius)});
    }
    overlays_ = std::make_unique<OverlayPlaces>(PlaceOverlays(
        Legend(s).rect().size(), ScaleBarItem(view_.projection(), fontPixels_, size_).rect().size(),
        size_, marks));
    return *overlays_;
}

void MapCanvas::projectDots() {
    markLayer_->project(state());
}

const MapDot& MapCanvas::topDot(std::size_t mark) const {
    return TopDot(content_, marks_[mark]);
}

// The outlines, the circle, the names' leader lines, the marks and the names, then the
// overlays over them.
void MapCanvas::paint(QPainter& painter) {
    const QRectF rect(QPointF(0, 0), QSizeF(size_));
    painter.save();
    painter.setClipRect(rect);
    painter.fillRect(rect, outlines_ ? colours_.water : colours_.plain);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const MapState s = state();
    if (outlines_)
        outlineLayer_->draw(painter, s);
    markLayer_->project(s);
    prepareLabels();
    markLayer_->drawCircle(painter, s);
    labelLayer_->drawLeaders(painter, s);
    markLayer_->drawMarks(painter, s);
    labelLayer_->draw(painter, s);
    const OverlayPlaces& at = overlayPlaces();
    Legend legend(s);
    legend.moveTo(at.legend.topLeft());
    legend.draw(painter, s);
    ScaleBarItem bar(view_.projection(), fontPixels_, size_);
    bar.moveTo(at.scaleBar.topLeft());
    bar.draw(painter, s);
    // Where no corner is free of marks, the marks under the overlays are drawn over them.
    if (at.hides) {
        painter.save();
        QPainterPath under;
        under.addRect(at.legend);
        under.addRect(at.scaleBar);
        painter.setClipPath(under, Qt::IntersectClip);
        markLayer_->drawMarks(painter, s);
        painter.restore();
    }
    if (!note_.isEmpty())
        drawNote(painter, note_, size_);
    painter.restore();
}

QString MapCanvas::legendText() const {
    return Legend(state()).text();
}

QRectF MapCanvas::legendRect() const {
    return overlayPlaces().legend;
}

QRectF MapCanvas::scaleBarRect() const {
    return overlayPlaces().scaleBar;
}

QString MapCanvas::scaleBarText() const {
    return ScaleBarItem(view_.projection(), fontPixels_, size_).text();
}

// Places the names when the view, the content or the style changed since they were placed,
// clear of the marks, the legend and the scale bar.
void MapCanvas::prepareLabels() {
    const MapState s = state();
    if (labelLayer_->current(s))
        return;
    markLayer_->project(s);
    std::vector<PixelBox> reserved;
    for (const QRectF& r : {legendRect(), scaleBarRect()})
        if (!r.isEmpty())
            reserved.push_back({r.left(), r.top(), r.right(), r.bottom()});
    labelLayer_->place(s, markLayer_->pixels(), reserved);
}

const std::vector<MapCanvas::Label>& MapCanvas::labels() {
    prepareLabels();
    return labelLayer_->labels();
}

QSizeF MapCanvas::titledSize(const QString& title) const {
    return {double(size_.width()), TitleBand(title, fontPixels_, size_).pictureHeight()};
}

void MapCanvas::paintTitled(QPainter& painter, const QString& title) {
    const TitleBand band(title, fontPixels_, size_);
    band.draw(painter, colours_);
    painter.save();
    painter.translate(0, band.height());
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
    for (std::size_t i : markLayer_->order()) {
        const QPointF d = markLayer_->pixels()[i] - pixel;
        const double distance = d.x() * d.x() + d.y() * d.y();
        const double reach = std::max(HitRadius, MarkRadius(content_, marks_[i], fontPixels_));
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

namespace {

// The mark and the place in it of the dot with that id.
std::optional<std::pair<std::size_t, std::size_t>> findDot(const MapContent& content,
                                                           const Marks& marks, int id) {
    for (std::size_t m = 0; m < marks.size(); ++m)
        for (std::size_t k = 0; k < marks[m].size(); ++k)
            if (content.dots[marks[m][k]].id == id)
                return std::pair{m, k};
    return std::nullopt;
}

} // namespace

int MapCanvas::stepMark(std::optional<int> from, int step) const {
    if (marks_.empty())
        return -1;
    const std::size_t n = marks_.size();
    const auto at = from ? findDot(content_, marks_, *from) : std::nullopt;
    std::size_t mark = step < 0 ? n - 1 : 0, dot = 0;
    if (at && step == 0) {
        mark = at->first;
        dot = (at->second + 1) % marks_[mark].size();
    } else if (at) {
        mark = (at->first + (step < 0 ? n - 1 : 1)) % n;
    }
    return content_.dots[marks_[mark][dot]].id;
}

QString MapCanvas::markPosition(int id) const {
    const auto at = findDot(content_, marks_, id);
    if (!at)
        return {};
    QString text = QStringLiteral("Mark %1 of %2").arg(at->first + 1).arg(marks_.size());
    if (marks_[at->first].size() > 1)
        text += QStringLiteral(", ZIP code %1 of %2 at this point")
                    .arg(at->second + 1)
                    .arg(marks_[at->first].size());
    return text;
}

void MapCanvas::showDot(int id) {
    const auto at = findDot(content_, marks_, id);
    if (!at)
        return;
    const QPointF pixel = view_.toPixel(content_.dots[marks_[at->first].front()].at);
    const QRectF inView =
        QRectF(QPointF(0, 0), QSizeF(size_)).adjusted(FitMargin, FitMargin, -FitMargin, -FitMargin);
    if (inView.contains(pixel) && !legendRect().contains(pixel) && !scaleBarRect().contains(pixel))
        return;
    view_.panBy(QPointF(size_.width() / 2.0, size_.height() / 2.0) - pixel);
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
