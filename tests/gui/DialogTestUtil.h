#pragma once

#include "GuiTestUtil.h"

#include <QStringList>

using corvana::test::RecordingMessages;

// The recorded message boxes as "caption: text".
inline QStringList Shown(const RecordingMessages& messages) {
    QStringList out;
    for (const RecordingMessages::Box& b : messages.boxes)
        out << b.caption + ": " + b.text;
    return out;
}
