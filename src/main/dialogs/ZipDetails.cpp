#include "main/dialogs/ZipDetails.h"

#include "main/dialogs/DetailsView.h"
#include "search/DetailsText.h"
#include "search/PeopleDetails.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>

namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

constexpr const char* LocalTimeLabel = "Local time";

// One record as HTML: one table, so that the values of every group line up, each group a bold
// title row over its labels and values.
// The local time's value of record n carries this anchor, so that the time can tick in place.
QString timeAnchor(std::size_t n) {
    return QString("time%1").arg(n);
}

// One record as HTML: one table, so that the values of every group line up, each group a bold
// title row over its labels and values.
QString recordHtml(const std::vector<corvana::DetailsGroup>& groups, std::size_t n,
                   const QColor& labels) {
    QString html = "<table cellspacing='0' cellpadding='1'>";
    bool first = true;
    for (const corvana::DetailsGroup& g : groups) {
        html += QString("<tr><td colspan='2' style='padding-top:%1px'><b>").arg(first ? 0 : 8) +
                fromUtf8(g.title).toHtmlEscaped() + "</b></td></tr>";
        first = false;
        for (const corvana::DetailsField& f : g.fields) {
            QString value = fromUtf8(f.value).toHtmlEscaped();
            if (f.label == LocalTimeLabel)
                value = "<a name='" + timeAnchor(n) + "'>" + value + "</a>";
            html += "<tr><td style='padding-left:12px; padding-right:12px; color:" + labels.name() +
                    "'>" + fromUtf8(f.label).toHtmlEscaped() + "</td><td>" + value + "</td></tr>";
        }
    }
    return html + "</table>";
}

// The labels' colour: the text's, a little toward the background, so that the values stand out
// and the labels still read well on a light or a dark palette.
QColor labelColour(const QPalette& palette) {
    const QColor text = palette.color(QPalette::Text), base = palette.color(QPalette::Base);
    constexpr double TextShare = 0.7;
    auto mix = [&](int a, int b) { return int(a * TextShare + b * (1 - TextShare) + 0.5); };
    return QColor(mix(text.red(), base.red()), mix(text.green(), base.green()),
                  mix(text.blue(), base.blue()));
}

// The result with every local time left out: two results that agree on it differ in time only.
std::string withoutTimes(corvana::ZipDetailsResult result) {
    for (corvana::RecordDetails& r : result.records)
        r.localTime.clear();
    return result.zip + "\n" + result.reason + "\n" + corvana::DetailsPlainText(result);
}

// Replaces the text that begins at the anchor `anchor` of `document` and runs to the end of its
// table cell; false when there is no such anchor.
bool replaceAnchored(QTextDocument& document, const QString& anchor, const QString& text) {
    for (QTextBlock b = document.begin(); b != document.end(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.charFormat().anchorNames().contains(anchor))
                continue;
            QTextCursor c(&document);
            c.setPosition(f.position());
            c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            c.insertText(text, f.charFormat());
            return true;
        }
    return false;
}

// The same as lines, as a screen reader reads them: "Zip Code: 84101", a title alone.
QString readableText(const corvana::ZipDetailsResult& result,
                     const std::vector<std::vector<corvana::DetailsGroup>>& groups) {
    QStringList lines;
    if (!result.found() && !result.reason.empty())
        lines << fromUtf8(result.reason);
    for (std::size_t i = 0; i < result.records.size() && i < groups.size(); ++i) {
        const corvana::RecordDetails& r = result.records[i];
        if (result.records.size() > 1)
            lines << fromUtf8(r.city + ", " + r.state);
        for (const corvana::DetailsGroup& g : groups[i]) {
            lines << fromUtf8(g.title);
            for (const corvana::DetailsField& f : g.fields)
                lines << fromUtf8(f.label.empty() ? f.value : f.label + ": " + f.value);
        }
    }
    return lines.join('\n');
}

} // namespace

TZipDetails::TZipDetails(double scaleFactor, QSize screen, QWidget* parent)
    : TScaledDialog("Zip Code Details", QSize(420, 430), scaleFactor, screen, parent) {
    // It stays open while the user goes on choosing lines in the main window.
    setWindowModality(Qt::NonModal);
    setAttribute(Qt::WA_DeleteOnClose);

    Heading = new QLabel(this);
    Heading->setGeometry(8, 6, 404, 25);
    Heading->setAlignment(Qt::AlignCenter);
    Heading->setFont(Arial(20, true));

    Details = new TDetailsView(this);
    Details->setGeometry(8, 36, 404, 352);
    Details->setFont(Arial(15));
    Details->setOpenLinks(false);
    // The times tick by edits to the document, which nobody should be able to undo.
    Details->document()->setUndoRedoEnabled(false);
    Details->setFocusPolicy(Qt::StrongFocus);
    Details->installEventFilter(this);
    Heading->setBuddy(Details);
    Details->verticalScrollBar()->setAccessibleName("Scroll the details up or down");
    Details->horizontalScrollBar()->setAccessibleName("Scroll the details sideways");

    CopyButton = new QPushButton("&Copy", this);
    CopyButton->setGeometry(118, 398, 85, 25);
    CopyButton->setAutoDefault(false);
    CopyButton->setToolTip("Copy the details to the clipboard (Ctrl+C)");
    CloseButton = new QPushButton("Close", this);
    CloseButton->setGeometry(217, 398, 85, 25);
    CloseButton->setDefault(true);

    Heading->setObjectName("Heading");
    Details->setObjectName("Details");
    // "Local time now" stays true while the window is open: each second the command answers
    // again, and a result that differs in its times alone changes just them.
    ticker_.setInterval(1000);
    connect(&ticker_, &QTimer::timeout, this, [this] {
        if (tick_ && shown_ && isVisible())
            tick_();
    });

    CopyButton->setObjectName("CopyButton");
    CloseButton->setObjectName("CloseButton");
    Heading->setAccessibleName("Zip Code Details");
    CopyButton->setAccessibleName("Copy");
    CloseButton->setAccessibleName("Close");

    connect(CopyButton, &QPushButton::clicked, this, &TZipDetails::copyText);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::close);
}

void TZipDetails::showDetails(const corvana::ZipDetailsResult& result) {
    if (shown_ && result.records.size() == shown_->records.size() &&
        withoutTimes(result) == withoutTimes(*shown_) && showTimes(result))
        return;
    shown_ = result;
    render();
}

void TZipDetails::render() {
    const corvana::ZipDetailsResult& result = *shown_;
    zip_ = fromUtf8(result.zip);
    const QString title = zip_.isEmpty() ? QString("Zip Code Details") : "Zip Code " + zip_;
    Heading->setText(title);
    // The window's own: its text learns of a new palette after the window does.
    const QColor labels = labelColour(palette());
    const std::vector<std::vector<corvana::DetailsGroup>> groups = groupsOf(result);
    QString html;
    if (!result.records.empty()) {
        const std::size_t n = result.records.size();
        for (std::size_t i = 0; i < n; ++i) {
            if (n > 1) {
                const auto& r = result.records[i];
                html += QString("<p style='margin-top:%1px'><b><u>%2, %3</u></b></p>")
                            .arg(i == 0 ? 0 : 14)
                            .arg(fromUtf8(r.city).toHtmlEscaped(), fromUtf8(r.state));
            }
            html += recordHtml(groups[i], i, labels);
        }
    }
    QString text = fromUtf8(corvana::GroupsPlainText(groups));
    if (!result.found() && !result.reason.empty()) {
        html = "<p>" + fromUtf8(result.reason).toHtmlEscaped() + "</p>" + html;
        text = fromUtf8(result.reason) + "\n" + (text.isEmpty() ? "" : "\n" + text);
    }
    Details->setHtml(html);
    Details->setReadableText(readableText(result, groups));
    text_ = title + "\n\n" + text;
    Details->setAccessibleName("Details of " + title);
    setWindowTitle("Zip Code Details");
    CopyButton->setEnabled(true);
}

bool TZipDetails::showTimes(const corvana::ZipDetailsResult& result) {
    // Only the times' own text changes: the scroll position, the selection and the focus stay,
    // and nothing else is drawn again.
    QTextDocument& document = *Details->document();
    for (std::size_t i = 0; i < result.records.size(); ++i) {
        const std::string& time = result.records[i].localTime;
        if (time != shown_->records[i].localTime &&
            !replaceAnchored(document, timeAnchor(i), fromUtf8(time)))
            return false;
    }
    shown_ = result;
    const std::vector<std::vector<corvana::DetailsGroup>> groups = groupsOf(result);
    text_ = Heading->text() + "\n\n" + fromUtf8(corvana::GroupsPlainText(groups));
    Details->setReadableText(readableText(result, groups));
    return true;
}

std::vector<std::vector<corvana::DetailsGroup>>
TZipDetails::groupsOf(const corvana::ZipDetailsResult& result) const {
    std::vector<std::vector<corvana::DetailsGroup>> groups;
    for (const corvana::RecordDetails& r : result.records)
        groups.push_back(people_ ? corvana::DetailsGroupsWithPeople(r, *people_)
                                 : corvana::DetailsGroups(r));
    return groups;
}

void TZipDetails::setPeople(const corvana::PeopleLoad* people) {
    people_ = people;
}

void TZipDetails::startTicking(std::function<void()> tick) {
    tick_ = std::move(tick);
    if (!ticker_.isActive())
        ticker_.start();
}

void TZipDetails::showNothing(const QString& why) {
    if (zip_.isEmpty() && text_.isEmpty() && Details->toPlainText() == why)
        return;
    shown_.reset();
    zip_.clear();
    text_.clear();
    Heading->setText("Zip Code Details");
    Details->setPlainText(why);
    Details->setReadableText(why);
    Details->setAccessibleName("Zip Code Details");
    CopyButton->setEnabled(false);
}

void TZipDetails::changeEvent(QEvent* event) {
    TScaledDialog::changeEvent(event);
    // The labels' colour is written into the text: a new palette draws it again.
    if (event->type() == QEvent::PaletteChange && shown_)
        render();
}

void TZipDetails::copyText() {
    if (!text_.isEmpty())
        QApplication::clipboard()->setText(text_);
}

void TZipDetails::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copyText();
        return;
    }
    TScaledDialog::keyPressEvent(event);
}

bool TZipDetails::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl+C in the text copies what is selected there, or else the whole of it.
    if (watched == Details && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy) &&
        !Details->textCursor().hasSelection()) {
        copyText();
        return true;
    }
    return TScaledDialog::eventFilter(watched, event);
}
