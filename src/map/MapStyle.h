#pragma once

// How the map looks: the colours that follow the desktop's palette, the fixed colours of what a
// list adds (dots, listed areas, the circle, notes), the sizes of dots, and the fonts of names,
// of the legend and scale bar, and of a picture's title.

#include "map/Labels.h"

#include <QColor>
#include <QFont>

class QPalette;

namespace corvana::map {

// The colours of the map, from the desktop's palette: the land in its base colour, the water
// tinted with its highlight, lines and names in shades of its text colour.
struct MapColours {
    QColor water, plain, land, countyLine, stateLine, text, faintText, halo;

    static MapColours light();
    static MapColours fromPalette(const QPalette& palette);
    bool operator==(const MapColours&) const = default;
};

namespace style {

inline const QColor AreaFill(0xf5, 0xc0, 0x4a, 0x60);
inline const QColor AreaLine(0xb8, 0x6e, 0x00);
inline const QColor CircleFill(0x1f, 0x5f, 0xbf, 0x1c);
inline const QColor CircleLine(0x1f, 0x5f, 0xbf);
inline const QColor Dot(0x1f, 0x5f, 0xbf);
inline const QColor DotEdge(0xff, 0xff, 0xff);
inline const QColor Selected(0xe0, 0x30, 0x1e);
inline const QColor SelectedEdge(0x40, 0x10, 0x08);
inline const QColor NoteText(0x30, 0x30, 0x30);
inline const QColor NoteBack(0xff, 0xff, 0xff, 0xdd);

constexpr double DotRadius = 3.5;
constexpr double SelectedRadius = 5.0;

// The font of a kind of name, at the map's text size.
QFont labelFont(LabelKind kind, double pixels);
constexpr int LabelKinds = int(LabelKind::Zip) + 1;
// Names on a small pale box, so that they stay legible over lines and other marks; the names
// of areas lie on their land and go without.
bool boxed(LabelKind kind);
constexpr double BoxPad = 2;

// The legend's and the scale bar's font, a little smaller than the names'.
QFont smallFont(double fontPixels);
// Their distance from the picture's edges, and the padding inside them and the title band.
constexpr double Inset = 8;
constexpr double Pad = 5;
// The title band's font.
QFont titleFont(double fontPixels);

} // namespace style

} // namespace corvana::map
