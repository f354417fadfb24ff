#include "main/printing/CopyOrPrint.h"

#include "data/Errors.h"
#include "main/app/Messages.h"
#include "main/printing/PrintFont.h"
#include "main/printing/PrintOutput.h"

#include <QClipboard>
#include <QFontDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStyleOptionFrame>

#include <algorithm>

namespace {

// The character height of the print font box at the design size.
constexpr int PrintFontPixels = 15;

bool RunPrintDialog(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<QFont> RunFontDialog(const QFont& font, QWidget* parent) {
    bool ok = false;
    const QFont chosen =
        QFontDialog::getFont(&ok, font, parent, QString(), QFontDialog::ScalableFonts);
    if (!ok)
        return std::nullopt;
    return chosen;
}

// The print font's size and name. The box is as wide as designed and a face name can be
// long: the text takes the largest font up to the box's own in which it fits whole, and is
// always shown from its start. The tool tip always has it whole.
class FontNameBox : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

    void showText(const QString& text, int designPixels) {
        QFont f = font();
        // Below about two thirds of its size the text is no longer easy to read; a name that
        // does not fit even then shows what fits and ends in an ellipsis, never cut in a letter.
        const int smallest = std::max(6, designPixels * 2 / 3);
        int pixels = designPixels;
        for (; pixels > smallest; --pixels) {
            f.setPixelSize(pixels);
            if (QFontMetrics(f).horizontalAdvance(text) < textRoom())
                break;
        }
        f.setPixelSize(pixels);
        setFont(f);
        const QFontMetrics metrics(f);
        const bool whole = metrics.horizontalAdvance(text) < textRoom();
        setText(whole ? text : metrics.elidedText(text, Qt::ElideRight, textRoom() - 1));
        setToolTip(text);
        setAccessibleDescription(whole ? QString() : text);
        setCursorPosition(0);
    }

private:
    // The width the line edit draws its text in: the style's contents rectangle less the text
    // margins and the edit's own margin of 2 pixels on either side.
    int textRoom() const {
        QStyleOptionFrame option;
        initStyleOption(&option);
        const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
        const QMargins margins = textMargins();
        return contents.width() - margins.left() - margins.right() - 2 * 2;
    }
};

class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

std::optional<bool> CopyOrPrintScope(const corvana::ResultLines& lines, bool printMode,
                                     Messages& messages, QWidget* parent) {
    const QString verb = printMode ? "Print" : "Copy";
    switch (corvana::ScopeOf(lines)) {
    case corvana::OutputScope::NoMatch:
        messages.message(parent, corvana::caption::Error,
                         "No matching data was found to " + verb + ".");
        return std::nullopt;
    case corvana::OutputScope::SingleLine:
        return true;
    case corvana::OutputScope::Selected:
        return false;
    case corvana::OutputScope::NoneSelected:
        break;
    }
    if (!messages.question(parent, corvana::caption::Notice,
                           "No items have been selected.  Would you like to " + verb +
                               " all items?"))
        return std::nullopt;
    return true;
}

TCopyOrPrint::TCopyOrPrint(CopyOrPrintContext context, QWidget* parent)
    : TScaledDialog(QString(), QSize(632, 392), context.scaleFactor, context.screen, parent),
      ctx_(std::move(context)) {
    if (!ctx_.printDialog)
        ctx_.printDialog = RunPrintDialog;
    if (!ctx_.fontDialog)
        ctx_.fontDialog = RunFontDialog;

    Label1 = new QLabel("Output Formats", this);
    Label1->setGeometry(124, 8, 381, 25);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(Arial(20));

    FormatList = new QListWidget(this);
    FormatList->setGeometry(10, 36, 615, 305);
    FormatList->setFont(Arial(13));
    FormatList->setSelectionMode(QAbstractItemView::SingleSelection);
    FormatList->setUniformItemSizes(true);
    FormatList->setAccessibleName(Label1->text());

    PrintButton = new QPushButton(this);
    PrintButton->setGeometry(256, 352, 180, 33);
    PrintButton->setDefault(true);
    CancelButton = new QPushButton("&Cancel", this);
    CancelButton->setGeometry(444, 352, 180, 33);
    CancelButton->setAutoDefault(false);

    PrintFontButton = new QPushButton("Print &Font", this);
    PrintFontButton->setGeometry(8, 352, 89, 29);
    PrintFontButton->setFont(Arial(15));
    PrintFontButton->setAutoDefault(false);
    PrintFont = new FontNameBox(this);
    PrintFont->setGeometry(104, 354, 125, 25);
    PrintFont->setFont(Arial(PrintFontPixels));
    PrintFont->setReadOnly(true);
    PrintFont->setAccessibleName("Print Font");
    PrintBevel = new QFrame(this);
    PrintBevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    PrintBevel->setGeometry(4, 348, 233, 37);
    PrintBevel->lower();

    connect(PrintButton, &QPushButton::clicked, this, &TCopyOrPrint::PrintButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(PrintFontButton, &QPushButton::clicked, this, &TCopyOrPrint::PrintFontButtonClick);
}

void TCopyOrPrint::LoadFormatList() {
    FormatList->clear();
    const QSize itemSize(0, scaled(16));
    for (std::string_view format : ctx_.formats) {
        auto* item = new QListWidgetItem(fromCore(std::string(format)), FormatList);
        item->setSizeHint(itemSize);
    }
}

void TCopyOrPrint::ShowPrintFont() {
    QPalette pal = PrintFont->palette();
    pal.setColor(QPalette::Text, WindowsColor(ctx_.settings.printFont.color));
    PrintFont->setPalette(pal);
    static_cast<FontNameBox*>(PrintFont)->showText(PrintFontText(ctx_.settings.printFont),
                                                   scaled(PrintFontPixels));
}

void TCopyOrPrint::FormShow() {
    LoadFormatList();
    int position;
    if (PrintMode) {
        PrintButton->setText("&Print");
        setWindowTitle("Print Zip Codes");
        position = ctx_.settings.lastPrintFormat;
        ShowPrintFont();
    } else {
        PrintButton->setText("Cop&y to Clipboard");
        setWindowTitle("Copy Zip Codes");
        position = ctx_.settings.lastCopyFormat;
    }
    for (QWidget* w : {static_cast<QWidget*>(PrintFont), static_cast<QWidget*>(PrintFontButton),
                       static_cast<QWidget*>(PrintBevel)}) {
        w->setVisible(PrintMode);
        w->setEnabled(PrintMode);
    }
    if (position >= 0 && position < FormatList->count()) {
        FormatList->setCurrentRow(position);
        FormatList->scrollToItem(FormatList->item(position));
    } else {
        FormatList->setCurrentRow(-1);
        FormatList->clearSelection();
    }
    FormatList->setFocus();
}

void TCopyOrPrint::PrintButtonClick() {
    const QList<QListWidgetItem*> selected = FormatList->selectedItems();
    if (selected.isEmpty()) {
        ctx_.messages.message(this, corvana::caption::Error, "No format has been selected.");
        return;
    }
    const int format = FormatList->row(selected.front());

    const corvana::CollectedOutput run = ctx_.collect(format, AllItems);
    for (const std::string& text : run.fatal)
        ctx_.messages.message(this, corvana::caption::Fatal, fromCore(text));
    if (run.ioError)
        ctx_.messages.message(this, corvana::caption::Error, fromCore(*run.ioError));

    if (run.deliver()) {
        if (!PrintMode) {
            ctx_.settings.lastCopyFormat = format;
            CopyItems(run.text);
            accept();
            return;
        }
        if (PrintItems(run.text, run.heading)) {
            ctx_.settings.lastPrintFormat = format;
            accept();
            return;
        }
    }
    // A damaged or missing data file closes the dialog once the command is over.
    if (run.closeDialog())
        reject();
}

void TCopyOrPrint::CopyItems(const std::string& text) {
    QGuiApplication::clipboard()->setText(fromCore(text));
}

bool TCopyOrPrint::PrintItems(const std::string& text, const std::string& heading) {
    if (ctx_.printer.printerState() == QPrinter::Active) {
        ctx_.messages.message(this, corvana::caption::Error,
                              "Other print job currently in progress.");
        return false;
    }
    if (!ctx_.printDialog(ctx_.printer, this))
        return false;
    bool printed;
    {
        WaitCursor wait;
        printed = PrintOutput(ctx_.printer, ctx_.settings.printFont, text, heading);
    }
    if (!printed) {
        ctx_.messages.message(this, corvana::caption::Error,
                              "The printer could not start the document.");
        return false;
    }
    return true;
}

void TCopyOrPrint::PrintFontButtonClick() {
    // The dialog lists the fonts by the names the system has: a name it maps to another
    // family ("Arial" to an Arial-metric one) would not be found there, and the dialog would
    // open on some other font. It opens on the family that actually prints.
    const QFont used = UsedFont(ctx_.settings.printFont);
    const std::optional<QFont> chosen = ctx_.fontDialog(used, this);
    if (!chosen)
        return;
    // Confirming the font it opened on is no choice: the stored name stays as it was.
    corvana::PrintFontData opened = ctx_.settings.printFont;
    TakeFont(opened, used);
    corvana::PrintFontData confirmed = ctx_.settings.printFont;
    TakeFont(confirmed, *chosen);
    if (confirmed == opened)
        return;
    ctx_.settings.printFont = confirmed;
    ShowPrintFont();
}
