#include "map/MapStyle.h"

#include <QPalette>

#include <algorithm>
#include <cmath>

namespace corvana::map {

namespace {

// a + (b - a) * t, channel by channel.
QColor mix(const QColor& a, const QColor& b, double t) {
    auto m = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return QColor(m(a.red(), b.red()), m(a.green(), b.green()), m(a.blue(), b.blue()));
}

} // namespace

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

namespace style {

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

bool boxed(LabelKind kind) {
    return kind == LabelKind::City || kind == LabelKind::Zip || kind == LabelKind::ListedCounty ||
           kind == LabelKind::Island;
}

QFont smallFont(double fontPixels) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(int(std::lround(std::max(7.0, fontPixels * 0.85))));
    return f;
}

QFont titleFont(double fontPixels) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(int(std::lround(fontPixels * 1.25)));
    f.setBold(true);
    return f;
}

} // namespace style

} // namespace corvana::map
