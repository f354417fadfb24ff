#pragma once

#include "main/Messages.h"

#include <QString>
#include <QStringList>

// Records every message box instead of showing it; questions get a preset answer.
class RecordingMessages : public Messages {
public:
    struct Box {
        QString caption;
        QString text;
    };
    QList<Box> boxes;
    bool answer = true;

    void message(QWidget*, const QString& caption, const QString& text) override {
        boxes.append({caption, text});
    }
    bool question(QWidget*, const QString& caption, const QString& text) override {
        boxes.append({caption, text});
        return answer;
    }
    QStringList texts() const {
        QStringList t;
        for (const Box& b : boxes)
            t << b.caption + ": " + b.text;
        return t;
    }
};
