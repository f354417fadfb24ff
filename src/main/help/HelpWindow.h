#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QTextBrowser;

// Our help viewer: shows the HTML help file CORVA.HLP at its contents or at the topic that its
// keyword index gives for a keyword, and finds topics by the words they hold. The file is read
// afresh at every request, and a missing file is reported in the window itself; the program goes
// on. Escape closes the window.
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

    // The topics of the loaded file that hold every word of `words`, each as the beginning of a
    // word of theirs, in any case: those whose heading holds them first, then the others, each
    // in the order of the file. The contents page and the keyword index are pages to find
    // topics with, not topics. Their anchors.
    QStringList findTopics(const QString& words) const;
    QLineEdit* searchEdit() const { return search_; }
    // The topics found for the search field's words, above the topic; hidden while the field
    // is empty.
    QListWidget* searchResults() const { return found_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Topic {
        QString anchor;
        QString title;
        QString text; // heading and body
    };

    bool load();
    void go(const QString& anchor);
    // Follows a link or a found topic, so that Back returns.
    void follow(const QString& anchor);
    QList<Topic> topics() const;
    void searchChanged();

    QString helpFile_;
    QTextBrowser* browser_;
    QLineEdit* search_;
    QListWidget* found_;
    QString topic_;
    QStringList history_; // topics left by following a link, for Back
};
