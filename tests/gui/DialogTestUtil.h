#pragma once

#include "GuiTestUtil.h"

#include <QApplication>
#include <QColor>
#include <QDialog>
#include <QPalette>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <functional>

using corvana::test::RecordingMessages;

// The recorded message boxes as "caption: text".
inline QStringList Shown(const RecordingMessages& messages) {
    QStringList out;
    for (const RecordingMessages::Box& b : messages.boxes)
        out << b.caption + ": " + b.text;
    return out;
}

// The contrast of two colours as WCAG reckons it, from 1 (none) to 21.
inline double Contrast(const QColor& a, const QColor& b) {
    auto luminance = [](const QColor& c) {
        auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A dark palette as a desktop theme would set it.
inline QPalette DarkPalette() {
    QPalette p;
    const QColor window(45, 45, 48), base(30, 30, 32), text(224, 224, 224);
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::Window, window);
        p.setColor(g, QPalette::WindowText, text);
        p.setColor(g, QPalette::Base, base);
        p.setColor(g, QPalette::AlternateBase, window);
        p.setColor(g, QPalette::Text, text);
        p.setColor(g, QPalette::Button, window);
        p.setColor(g, QPalette::ButtonText, text);
        p.setColor(g, QPalette::Highlight, QColor(42, 130, 218));
        p.setColor(g, QPalette::HighlightedText, Qt::white);
    }
    return p;
}

// Runs `act` on the modal dialog that the code under test opens next, then makes sure the
// dialog closes so that a failed check cannot leave the test waiting.
template <typename Dialog> void WhenModal(std::function<void(Dialog&)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) {
            WhenModal(act);
            return;
        }
        auto* d = qobject_cast<Dialog*>(w);
        if (d)
            act(*d);
        if (w->isVisible())
            qobject_cast<QDialog*>(w)->reject();
        QVERIFY2(d, w->metaObject()->className());
    });
}
