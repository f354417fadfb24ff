#pragma once

#include <QAbstractButton>
#include <QFont>
#include <QRadioButton>
#include <QWidget>

#include <algorithm>
#include <initializer_list>

// What the parts of the main window share in building their controls: the window's fonts,
// places in design pixels, and labels that may outgrow their scaled width.

inline QFont Arial(int pixels, bool bold = false) {
    QFont f("Arial");
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

template <typename W> W* Placed(W* w, int left, int top, int width, int height) {
    w->setGeometry(left, top, width, height);
    return w;
}

// Text scales by whole pixels of font height and its width does not follow the factor exactly,
// so at the small sizes a label such as "Single State" may need a little more than its scaled
// width. Such a control may take the room its text needs up to `rightEdge` (its parent's width,
// or the client area's for a control on the client area itself).
inline void FitButtonText(QAbstractButton* b, int rightEdge) {
    const int room = rightEdge - b->x();
    const int need = b->sizeHint().width();
    if (need > b->width())
        b->resize(std::max(b->width(), std::min(need, room)), b->height());
}

// Tab enters a group of choices at its checked one, whichever of them had the focus last.
inline void TabStopOnChecked(std::initializer_list<QRadioButton*> group) {
    for (QRadioButton* b : group)
        b->setFocusPolicy(b->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}
