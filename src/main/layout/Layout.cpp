#include "main/layout/Layout.h"

#include "data/Errors.h"
#include "main/app/Messages.h"

#include <QFrame>
#include <QGroupBox>
#include <QWidget>

#include <algorithm>

LayoutRect ScaleRect(const LayoutRect& r, int p) {
    LayoutRect s;
    s.left = ScaleValue(r.left, p);
    s.top = ScaleValue(r.top, p);
    s.width = ScaleValue(r.left + r.width, p) - s.left;
    s.height = ScaleValue(r.top + r.height, p) - s.top;
    return s;
}

QPoint PlaceWindow(int placement, QSize windowSize, QPoint current, QRect reference, QSize screen) {
    // Integer division truncates toward zero in C++, as the placement rule asks.
    if (placement == 1)
        return {(screen.width() - windowSize.width()) / 2,
                (screen.height() - windowSize.height()) / 2};
    if (placement == 2) {
        // The reference is given by its edges: right and bottom are one past the last pixel.
        int refWidth = reference.right() + 1 - reference.left();
        int refHeight = reference.bottom() + 1 - reference.top();
        int left = reference.left() + (refWidth - windowSize.width()) / 2;
        int top = reference.top() + (refHeight - windowSize.height()) / 2;
        return {std::max(left, 0), std::max(top, 0)};
    }
    return current;
}

namespace {

LayoutRect rectOf(const QWidget* w) {
    QRect g = w->geometry();
    return {g.left(), g.top(), g.width(), g.height()};
}

void setRect(QWidget* w, const LayoutRect& r) {
    w->setGeometry(r.left, r.top, r.width, r.height);
}

// A font given in pixels is scaled in pixels, one given in points in points.
QFont scaledFont(QFont f, int p) {
    if (f.pixelSize() > 0)
        f.setPixelSize(std::max(1, ScaleValue(f.pixelSize(), p)));
    else if (f.pointSize() > 0)
        f.setPointSize(std::max(1, ScaleValue(f.pointSize(), p)));
    return f;
}

} // namespace

void SaveFormLayout(const std::vector<LayoutComponent>& components, QSize client,
                    DesignLayout& layout, Messages& messages, QWidget* messageParent) {
    layout.clientWidth = client.width();
    layout.clientHeight = client.height();
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (i >= layout.entries.size()) {
            messages.message(messageParent, corvana::caption::Error,
                             "Too many compenents to save dimensions.");
            return;
        }
        const LayoutComponent& c = components[i];
        if (c.kind == LayoutKind::None || !c.widget)
            continue;
        LayoutRect r = rectOf(c.widget);
        LayoutSlot& slot = layout.entries[i];
        slot.left = r.left;
        slot.top = r.top;
        slot.width = r.width;
        slot.height = r.height;
        if (c.kind == LayoutKind::GeometryAndFont)
            slot.fontSize = c.widget->font().pixelSize();
    }
}

QSize RestoreFormLayout(const std::vector<LayoutComponent>& components, const DesignLayout& layout,
                        int p) {
    std::size_t n = std::min(components.size(), layout.entries.size());
    for (std::size_t i = 0; i < n; ++i) {
        const LayoutComponent& c = components[i];
        if (c.kind == LayoutKind::None || !c.widget)
            continue;
        const LayoutSlot& slot = layout.entries[i];
        setRect(c.widget, ScaleRect({slot.left, slot.top, slot.width, slot.height}, p));
        if (c.kind == LayoutKind::GeometryAndFont && slot.fontSize > 0) {
            QFont f = c.widget->font();
            f.setPixelSize(std::max(1, ScaleValue(slot.fontSize, p)));
            c.widget->setFont(f);
        }
    }
    return {ScaleValue(layout.clientWidth, p), ScaleValue(layout.clientHeight, p)};
}

namespace {

// Controls placed by their own geometry; the inner parts of composite controls (the edit of a
// combo box, the viewport of a list) follow their owner and are left alone.
bool holdsControls(const QWidget* w) {
    const char* name = w->metaObject()->className();
    return !w->layout() && (qstrcmp(name, "QWidget") == 0 || qstrcmp(name, "QFrame") == 0 ||
                            qstrcmp(name, "QGroupBox") == 0);
}

void collectControls(QWidget* parent, std::vector<QWidget*>& out) {
    for (QObject* o : parent->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->isWindow())
            continue;
        out.push_back(w);
        if (holdsControls(w))
            collectControls(w, out);
    }
}

} // namespace

void ScaleAndCentreDialog(QWidget* dialog, double scaleFactor, QSize screen) {
    int p = ScalePercent(scaleFactor);
    std::vector<QWidget*> controls;
    collectControls(dialog, controls);

    // Read everything before changing anything: a font set on a panel would otherwise reach the
    // controls inside it before their own turn and be scaled twice.
    std::vector<LayoutRect> rects;
    std::vector<QFont> fonts;
    for (QWidget* w : controls) {
        rects.push_back(rectOf(w));
        fonts.push_back(w->font());
    }
    QFont dialogFont = dialog->font();
    QSize design = dialog->size();

    dialog->setFont(scaledFont(dialogFont, p));
    for (std::size_t i = 0; i < controls.size(); ++i) {
        setRect(controls[i], ScaleRect(rects[i], p));
        controls[i]->setFont(scaledFont(fonts[i], p));
    }
    QSize size(ScaleValue(design.width(), p), ScaleValue(design.height(), p));
    dialog->setFixedSize(size);
    dialog->move(PlaceWindow(1, size, dialog->pos(), {}, screen));
}
