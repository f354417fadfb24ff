#include "main/printing/PrintFont.h"

#include "main/app/Messages.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <cmath>

QFont ToQFont(const corvana::PrintFontData& data) {
    QFont f(fromCore(data.faceName));
    // A size of 0 or less is not a font; the settings pass it on unchanged and we print in
    // the smallest size rather than in whatever the platform makes of it.
    f.setPointSize(std::max(1, data.size));
    f.setBold(data.bold);
    f.setItalic(data.italic);
    f.setUnderline(data.underline);
    f.setStrikeOut(data.strikeout);
    return f;
}

QFont UsedFont(const corvana::PrintFontData& data) {
    QFont f = ToQFont(data);
    f.setFamily(QFontInfo(f).family());
    return f;
}

void TakeFont(corvana::PrintFontData& data, const QFont& font) {
    data.faceName = toCore(font.family());
    const double points = font.pointSizeF();
    if (points > 0)
        data.size = static_cast<std::int32_t>(std::lround(points));
    data.bold = font.bold();
    data.italic = font.italic();
    data.underline = font.underline();
    data.strikeout = font.strikeOut();
}

QColor WindowsColor(std::int32_t color) {
    if (color >= 0)
        return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    const QPalette pal = QGuiApplication::palette();
    switch (color & 0xFF) {
    case 5: // window background
        return pal.color(QPalette::Base);
    case 13: // highlight
        return pal.color(QPalette::Highlight);
    case 14: // highlighted text
        return pal.color(QPalette::HighlightedText);
    case 15: // button face
        return pal.color(QPalette::Button);
    case 17: // grey text
        return pal.color(QPalette::Disabled, QPalette::Text);
    case 18: // button text
        return pal.color(QPalette::ButtonText);
    default: // window text and the rest
        return pal.color(QPalette::WindowText);
    }
}

QString PrintFontText(const corvana::PrintFontData& data) {
    return QString::number(data.size) + "pt " + fromCore(data.faceName);
}
