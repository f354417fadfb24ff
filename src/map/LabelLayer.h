#pragma once

// The names on the map: asking Labels for the candidates of the view, measuring them in their
// fonts, placing them clear of the marks and the overlays, keeping the result until the view,
// the content or the style change, and drawing it.

#include "map/Labels.h"
#include "map/MapState.h"

#include <QHash>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class QPainter;

namespace corvana::map {

// A name as placed: its text (or short form), the box it takes and the point it names: the
// box's middle, or the end of its leader line when it lies beside its area.
struct MapLabel {
    LabelKind kind;
    QString text;
    QRectF box;
    QPointF anchor;
    bool leader = false;
    const Outlines::Region* area = nullptr; // the state or county named, if any
};

class LabelLayer {
public:
    LabelLayer();
    ~LabelLayer();

    // Whether the names last placed are those of s.
    bool current(const MapState& s) const;
    // Places the names of s, clear of the marks (at their pixels, in the marks' order) and of
    // the reserved boxes.
    void place(const MapState& s, const std::vector<QPointF>& markPixels,
               std::span<const PixelBox> reserved);
    const std::vector<MapLabel>& labels() const { return labels_; }
    // Draws the names last placed, and before the marks, their leader lines.
    void draw(QPainter& painter, const MapState& s) const;
    void drawLeaders(QPainter& painter, const MapState& s) const;

private:
    std::vector<LabelRequest> candidates(const MapState& s, const std::vector<QPointF>& markPixels,
                                         std::vector<DotMark>& dots);

    std::uint64_t view_ = 0, places_ = 0, style_ = 0;
    QSize size_;
    std::vector<MapLabel> labels_;
    std::unique_ptr<AreaAnchors> anchors_;
    const Outlines* anchorsOf_ = nullptr;
    QHash<QString, double> widths_[style::LabelKinds]; // of the names measured, by kind
    std::uint64_t widthsStyle_ = 0;                    // the style they were measured in
};

} // namespace corvana::map
