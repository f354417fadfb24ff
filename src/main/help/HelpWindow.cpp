#include "main/help/HelpWindow.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {
const QString ContentsAnchor = "contents";
const QString IndexAnchor = "index";

QStringList Words(const QString& text) {
    static const QRegularExpression notWord("[^\\w]+");
    return text.toLower().split(notWord, Qt::SkipEmptyParts);
}

// Every word of `wanted` begins some word of `words`.
bool HoldsAll(const QStringList& words, const QStringList& wanted) {
    for (const QString& w : wanted) {
        bool found = false;
        for (const QString& word : words)
            if ((found = word.startsWith(w)))
                break;
        if (!found)
            return false;
    }
    return true;
}
} // namespace

THelpWindow::THelpWindow(QString helpFile, QWidget* parent)
    : QWidget(parent, Qt::Window), helpFile_(std::move(helpFile)), browser_(new QTextBrowser),
      search_(new QLineEdit), found_(new QListWidget) {
    // Like a help viewer of its own, it must not keep the program running once the main
    // window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle("Corvana Help");
    resize(620, 520);
    browser_->setOpenExternalLinks(false);
    browser_->setOpenLinks(false);
    browser_->setAccessibleName("Help topic");
    browser_->verticalScrollBar()->setAccessibleName("Scroll the topic up or down");
    browser_->horizontalScrollBar()->setAccessibleName("Scroll the topic sideways");
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.fragment().isEmpty() || !url.path().isEmpty())
            return;
        follow(url.fragment());
    });

    // Finding topics by word, beside the keyword index.
    auto* searchLabel = new QLabel("&Search:");
    searchLabel->setBuddy(search_);
    search_->setAccessibleName("Search topics for words");
    search_->setClearButtonEnabled(true);
    found_->setAccessibleName("Topics found");
    // Above the topic, not beside it: a narrower topic would flow anew and move away from
    // what the reader was reading.
    found_->setFixedHeight(6 * found_->fontMetrics().height() + 2 * found_->frameWidth() + 4);
    found_->hide();
    connect(search_, &QLineEdit::textChanged, this, &THelpWindow::searchChanged);
    // Enter opens the first topic found; the list's own items open on a click or Enter.
    connect(search_, &QLineEdit::returnPressed, this, [this] {
        if (found_->count() > 0 && found_->item(0)->flags() != Qt::NoItemFlags)
            follow(found_->item(0)->data(Qt::UserRole).toString());
    });
    connect(found_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const QString anchor = item->data(Qt::UserRole).toString();
        if (!anchor.isEmpty())
            follow(anchor);
    });
    connect(found_, &QListWidget::itemClicked, found_, &QListWidget::itemActivated);

    auto* contents = new QPushButton("&Contents");
    auto* index = new QPushButton("&Index");
    auto* back = new QPushButton("&Back");
    connect(contents, &QPushButton::clicked, this, [this] { showContents(); });
    connect(index, &QPushButton::clicked, this, [this] {
        if (load())
            go(IndexAnchor);
    });
    connect(back, &QPushButton::clicked, this, [this] {
        if (!history_.isEmpty())
            go(history_.takeLast());
    });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(index);
    buttons->addWidget(back);
    buttons->addStretch();
    buttons->addWidget(searchLabel);
    buttons->addWidget(search_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(found_);
    layout->addWidget(browser_);
}

bool THelpWindow::load() {
    // Opened again, it starts afresh: an old search would hide the topic asked for.
    if (!isVisible()) {
        search_->clear();
        search_->setFocus();
    }
    show();
    raise();
    activateWindow();
    QFile file(helpFile_);
    if (!file.open(QIODevice::ReadOnly)) {
        topic_.clear();
        browser_->setHtml(
            QString("<h3>Corvana Help</h3><p>The help file <b>%1</b> could not be opened.</p>"
                    "<p>Corvana goes on without it; reinstalling the program brings it back.</p>")
                .arg(helpFile_.toHtmlEscaped()));
        return false;
    }
    history_.clear();
    browser_->setSearchPaths({QFileInfo(helpFile_).absolutePath()});
    browser_->setHtml(QString::fromUtf8(file.readAll()));
    // The file may have changed since the words were looked up.
    searchChanged();
    return true;
}

void THelpWindow::keyPressEvent(QKeyEvent* event) {
    // Escape closes it, as it closes a dialog, from whichever part has the focus (each leaves
    // the key to its window); the window stays ready for the next request.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void THelpWindow::follow(const QString& anchor) {
    if (!topic_.isEmpty() && topic_ != anchor)
        history_.append(topic_);
    go(anchor);
}

void THelpWindow::go(const QString& anchor) {
    topic_ = anchor;
    // From the top, so the topic's heading lands at the top of the view.
    browser_->moveCursor(QTextCursor::Start);
    if (anchor == ContentsAnchor)
        browser_->verticalScrollBar()->setValue(0);
    else
        browser_->scrollToAnchor(anchor);
}

bool THelpWindow::showContents() {
    if (!load())
        return false;
    go(ContentsAnchor);
    return true;
}

bool THelpWindow::showKeyword(const QString& keyword) {
    if (!load())
        return false;
    const QString topic = keywordTopic(keyword);
    go(topic.isEmpty() ? IndexAnchor : topic);
    return true;
}

QString THelpWindow::keywordTopic(const QString& keyword) const {
    // Entries of the keyword index are the links that follow its anchor.
    bool inIndex = false;
    const QTextDocument* doc = browser_->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat cf = f.charFormat();
            if (cf.anchorNames().contains(IndexAnchor))
                inIndex = true;
            if (inIndex && cf.isAnchor() && cf.anchorHref().startsWith('#') &&
                f.text().trimmed().compare(keyword.trimmed(), Qt::CaseInsensitive) == 0)
                return cf.anchorHref().mid(1);
        }
    }
    return {};
}

QList<THelpWindow::Topic> THelpWindow::topics() const {
    // A topic begins at a heading that carries an anchor and runs to the next such heading.
    QList<Topic> out;
    const QTextDocument* doc = browser_->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        QString anchor;
        if (b.blockFormat().headingLevel() > 0)
            for (auto it = b.begin(); !it.atEnd() && anchor.isEmpty(); ++it)
                anchor = it.fragment().charFormat().anchorNames().value(0);
        if (!anchor.isEmpty())
            out.append({anchor, b.text(), QString()});
        if (!out.isEmpty())
            out.last().text += b.text() + '\n';
    }
    return out;
}

QStringList THelpWindow::findTopics(const QString& words) const {
    const QStringList wanted = Words(words);
    if (wanted.isEmpty())
        return {};
    QStringList byTitle, byText;
    for (const Topic& t : topics()) {
        if (t.anchor == ContentsAnchor || t.anchor == IndexAnchor)
            continue;
        if (HoldsAll(Words(t.title), wanted))
            byTitle << t.anchor;
        else if (HoldsAll(Words(t.text), wanted))
            byText << t.anchor;
    }
    return byTitle + byText;
}

void THelpWindow::searchChanged() {
    found_->clear();
    found_->setVisible(!search_->text().trimmed().isEmpty());
    if (found_->isHidden())
        return;
    QMap<QString, QString> titles;
    for (const Topic& t : topics())
        titles[t.anchor] = t.title;
    for (const QString& anchor : findTopics(search_->text())) {
        auto* item = new QListWidgetItem(titles[anchor], found_);
        item->setData(Qt::UserRole, anchor);
    }
    if (found_->count() == 0)
        (new QListWidgetItem("No topics found", found_))->setFlags(Qt::NoItemFlags);
}
