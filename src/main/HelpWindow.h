#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QTextBrowser;

// Our help viewer: shows the HTML help file CORVA.HLP at its contents or at the topic that its
// keyword index gives for a keyword. The file is read afresh at every request, and a missing
// file is reported in the window itself; the program goes on.
class THelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit THelpWindow(QString helpFile, QWidget* parent = nullptr);

    // Each shows and raises the window; false when the help file cannot be read.
    bool showContents();
    // A keyword the index does not know opens the index.
    bool showKeyword(const QString& keyword);

    // The anchor of the topic last opened; empty when no file is shown.
    QString currentTopic() const { return topic_; }
    // Where the keyword index of the loaded file sends the keyword; empty when it has no entry.
    QString keywordTopic(const QString& keyword) const;
    QTextBrowser* browser() const { return browser_; }

private:
    bool load();
    void go(const QString& anchor);

    QString helpFile_;
    QTextBrowser* browser_;
    QString topic_;
    QStringList history_; // topics left by following a link, for Back
};
