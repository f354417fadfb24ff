#pragma once

#include <QTextBrowser>

// The details window's text: a table on the screen, so that the values of a group line up, but
// lines to a screen reader ("Zip Code: 84101"), in the order shown and read-only. A text browser
// would offer the table's markup as one editable text run.
class TDetailsView : public QTextBrowser {
    Q_OBJECT
public:
    explicit TDetailsView(QWidget* parent = nullptr);

    // The text as assistive technology reads it, one line per title or field.
    const QString& readableText() const { return readable_; }
    void setReadableText(const QString& text);

private:
    QString readable_;
};
