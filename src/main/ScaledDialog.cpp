#include "main/ScaledDialog.h"

#include <QFont>
#include <QFrame>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// a x p / 100 as one integer product and division, rounded to nearest, halves away from zero.
int MulDiv100(int a, int p) {
    const std::int64_t n = std::int64_t(a) * p;
    return static_cast<int>((n + (n >= 0 ? 50 : -50)) / 100);
}

void ScaleFont(QWidget* w, int p) {
    QFont f = w->font();
    if (f.pixelSize() > 0)
        f.setPixelSize(std::max(1, MulDiv100(f.pixelSize(), p)));
    else if (f.pointSize() > 0)
        f.setPointSize(std::max(1, MulDiv100(f.pointSize(), p)));
    w->setFont(f);
}

// Plain frames are the panels and bevels of a dialog: what is placed in them is scaled too.
// Compound controls (lists, combo boxes) lay out their own inner widgets.
bool IsPanel(const QWidget* w) {
    return w->metaObject() == &QFrame::staticMetaObject;
}

// Edges are scaled rather than sizes, so that controls that touched still touch.
void ScaleChildren(QWidget* parent, int p) {
    for (QObject* o : parent->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->isWindow())
            continue;
        const QRect g = w->geometry();
        const int left = MulDiv100(g.x(), p);
        const int top = MulDiv100(g.y(), p);
        w->setGeometry(left, top, MulDiv100(g.x() + g.width(), p) - left,
                       MulDiv100(g.y() + g.height(), p) - top);
        // Only fonts set on the control itself: inherited ones follow the dialog's font.
        if (w->testAttribute(Qt::WA_SetFont))
            ScaleFont(w, p);
        if (IsPanel(w))
            ScaleChildren(w, p);
    }
}

} // namespace

TScaledDialog::TScaledDialog(const QString& caption, QSize designClient, double scaleFactor,
                             QSize screen, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      scaleFactor_(scaleFactor), screen_(screen) {
    setWindowTitle(caption);
    // Modal to the main window only, so that a help window opened from a dialog stays usable.
    setWindowModality(Qt::WindowModal);
    setFont(Arial(17));
    setFixedSize(designClient);
}

QFont TScaledDialog::Arial(int pixels, bool bold) {
    QFont f("Arial");
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

int TScaledDialog::percent() const {
    return static_cast<int>(std::trunc(scaleFactor_ * 100));
}

int TScaledDialog::scaled(int length) const {
    return MulDiv100(length, percent());
}

void TScaledDialog::showEvent(QShowEvent* event) {
    if (!shown_) {
        shown_ = true;
        const int p = percent();
        const QSize design = size();
        ScaleFont(this, p);
        ScaleChildren(this, p);
        setFixedSize(MulDiv100(design.width(), p), MulDiv100(design.height(), p));
        // Integer division truncates toward zero: a dialog larger than the screen goes negative.
        move((screen_.width() - width()) / 2, (screen_.height() - height()) / 2);
        FormShow();
    }
    QDialog::showEvent(event);
}
