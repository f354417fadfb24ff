#pragma once

#include "format/LocalTime.h"
#include "main/Messages.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace corvana::test {

// Records every message box instead of showing it.
class RecordingMessages : public Messages {
public:
    struct Box {
        QString caption;
        QString text;
    };
    std::vector<Box> boxes;
    bool answer = true;

    void message(QWidget*, const QString& caption, const QString& text) override {
        boxes.push_back({caption, text});
    }
    bool question(QWidget*, const QString& caption, const QString& text) override {
        boxes.push_back({caption, text});
        return answer;
    }
    QStringList texts() const;
};

class FixedClock : public Clock {
public:
    LocalDateTime time;
    LocalDateTime now() const override { return time; }
};

} // namespace corvana::test
