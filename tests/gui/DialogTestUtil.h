#pragma once

#include "GuiTestUtil.h"

#include <QApplication>
#include <QDialog>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <functional>

using corvana::test::RecordingMessages;

// The recorded message boxes as "caption: text".
inline QStringList Shown(const RecordingMessages& messages) {
    QStringList out;
    for (const RecordingMessages::Box& b : messages.boxes)
        out << b.caption + ": " + b.text;
    return out;
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
