#include "main/HelpWindow.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {
const QString ContentsAnchor = "contents";
const QString IndexAnchor = "index";
} // namespace

THelpWindow::THelpWindow(QString helpFile, QWidget* parent)
    : QWidget(parent, Qt::Window), helpFile_(std::move(helpFile)), browser_(new QTextBrowser) {
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
        if (!topic_.isEmpty())
            history_.append(topic_);
        go(url.fragment());
    });

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
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);
}

bool THelpWindow::load() {
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
    return true;
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
