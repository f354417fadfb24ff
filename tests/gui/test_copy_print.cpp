#include "DialogTestUtil.h"

#include "format/OutputFormats.h"
#include "main/printing/CopyOrPrint.h"
#include "main/printing/PrintOutput.h"
#include "main/window/ResultsView.h"
#include "settings/Settings.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using corvana::Settings;

namespace {

const QSize Screen(1024, 768);

// n output lines as the collector builds them, each ended by CR LF.
std::string Lines(int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += "Salt Lake City, UT " + std::to_string(84101 + i) + "\r\n";
    return s;
}

int PdfPages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QString pdf = QString::fromLatin1(f.readAll());
    return int(pdf.count(QRegularExpression("/Type\\s*/Page(?![s\\w])")));
}

// A results list as the window shows it: the window's own view of its lines, the list box
// behind it and the items, row for row.
struct ShownList {
    std::shared_ptr<ResultsView> view;
    QListWidget* box;
    std::vector<corvana::ResultItem> items;

    std::optional<bool> scope(bool printMode, Messages& m, QWidget* parent) const {
        return CopyOrPrintScope(*view, printMode, m, parent);
    }
};

ShownList List(QWidget* parent, std::vector<corvana::ResultItem> items, QList<int> selected = {}) {
    std::vector<LayoutComponent> components;
    auto view = std::make_shared<ResultsView>(parent, components, nullptr);
    view->setListShown(true);
    view->showItems(items);
    for (int i : selected)
        view->list()->item(i)->setSelected(true);
    return {view, view->list(), std::move(items)};
}

corvana::ResultItem ZipLine(const char* text, std::uint32_t record) {
    return {text, corvana::ZipItem{record}};
}

// One dialog with its surroundings: settings, a recording message box, a PDF printer and a
// collector that hands out `output` and remembers how it was called.
struct Fixture {
    Settings settings;
    RecordingMessages messages;
    QTemporaryDir dir;
    QPrinter printer{QPrinter::HighResolution};
    corvana::CollectedOutput output;
    QList<QPair<int, bool>> collected;
    int printDialogs = 0;
    bool printDialogAnswer = true;
    int copies = 1;
    std::optional<QFont> fontChoice;
    std::unique_ptr<TCopyOrPrint> dialog;

    Fixture() {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf());
        printer.setPageSize(QPageSize(QPageSize::A4));
    }
    QString pdf() const { return dir.filePath("out.pdf"); }

    TCopyOrPrint& open(bool printMode, bool allItems = false) {
        CopyOrPrintContext ctx{settings,
                               1.0,
                               Screen,
                               messages,
                               printer,
                               corvana::OutputFormats,
                               [this](int format, bool all) {
                                   collected.append({format, all});
                                   return output;
                               },
                               [this](QPrinter& p, QWidget*) {
                                   ++printDialogs;
                                   p.setCopyCount(copies);
                                   return printDialogAnswer;
                               },
                               [this](const QFont&, QWidget*) { return fontChoice; }};
        dialog = std::make_unique<TCopyOrPrint>(ctx);
        dialog->PrintMode = printMode;
        dialog->AllItems = allItems;
        dialog->show();
        return *dialog;
    }
    void press() { QTest::mouseClick(dialog->PrintButton, Qt::LeftButton); }
};

} // namespace

class TestCopyPrint : public QObject {
    Q_OBJECT
private slots:
    void checksBeforeTheDialog();
    void copyModeListsTheRawFormats();
    void noFormatSelectedKeepsTheDialogOpen();
    void copyPutsTheOutputOnTheClipboardInOnePiece();
    void damagedDataIsReportedAndTheDialogCloses();
    void missingFileOrIoErrorCopiesNothing();
    void printModeShowsThePrintFont();
    void fontDialogChoiceIsKeptEvenOnCancel();
    void cancelledPrintDialogKeepsTheFormatDialogOpen();
    void printerInTheMiddleOfADocumentRefuses();
    void printsPagesAndCopiesToPdf();
    void nothingMeasurablePrintsNothing();
};

void TestCopyPrint::checksBeforeTheDialog() {
    QWidget parent;
    RecordingMessages m;

    // The only line is a no-result line: the verb follows the command.
    const ShownList noMatch =
        List(&parent, {{"No matching cities found.", corvana::NoMatchItem{}}});
    QCOMPARE(noMatch.scope(false, m, &parent), std::nullopt);
    QCOMPARE(noMatch.scope(true, m, &parent), std::nullopt);
    QCOMPARE(Shown(m), (QStringList{"Error: No matching data was found to Copy.",
                                    "Error: No matching data was found to Print."}));

    // One ZIP line goes out whether or not it is selected, without a question.
    m.boxes.clear();
    const ShownList one = List(&parent, {ZipLine("84101 Salt Lake City, UT", 0)});
    QCOMPARE(one.scope(false, m, &parent), std::optional<bool>(true));
    // The no-result line is known by its kind, not by its text.
    const ShownList named = List(&parent, {ZipLine("No match 84101", 0)});
    QCOMPARE(named.scope(true, m, &parent), std::optional<bool>(true));
    QVERIFY(m.boxes.empty());

    // A selection: only the selected lines, no question.
    const ShownList three =
        List(&parent, {ZipLine("84101 A", 0), ZipLine("84102 B", 1), ZipLine("84103 C", 2)}, {1});
    QCOMPARE(three.scope(false, m, &parent), std::optional<bool>(false));
    QVERIFY(m.boxes.empty());
    QCOMPARE(corvana::OutputItems(*three.view, false),
             (std::vector<corvana::ResultItem>{three.items[1]}));
    QCOMPARE(corvana::OutputItems(*three.view, true), three.items);

    // Nothing selected: the question, two blanks after its first full stop.
    three.box->clearSelection();
    m.answer = false;
    QCOMPARE(three.scope(true, m, &parent), std::nullopt);
    m.answer = true;
    QCOMPARE(three.scope(false, m, &parent), std::optional<bool>(true));
    QCOMPARE(
        Shown(m),
        (QStringList{"Notice: No items have been selected.  Would you like to Print all items?",
                     "Notice: No items have been selected.  Would you like to Copy all items?"}));

    // An empty list asks too.
    m.boxes.clear();
    const ShownList empty = List(&parent, {});
    QCOMPARE(empty.scope(false, m, &parent), std::optional<bool>(true));
    QCOMPARE(int(m.boxes.size()), 1);
}

void TestCopyPrint::copyModeListsTheRawFormats() {
    Fixture f;
    f.settings.lastCopyFormat = 5;
    f.settings.lastPrintFormat = 9;
    TCopyOrPrint& d = f.open(false);
    QCOMPARE(d.windowTitle(), QString("Copy Zip Codes"));
    QCOMPARE(d.PrintButton->text(), QString("Cop&y to Clipboard"));
    QCOMPARE(d.CancelButton->text(), QString("&Cancel"));
    QCOMPARE(d.Label1->text(), QString("Output Formats"));
    QCOMPARE(d.size(), QSize(632, 392));
    QCOMPARE(d.pos(), QPoint((1024 - 632) / 2, (768 - 392) / 2));
    for (QWidget* w : {(QWidget*)d.PrintFont, (QWidget*)d.PrintFontButton, (QWidget*)d.PrintBevel})
        QVERIFY(!w->isVisible() && !w->isEnabled());
    QCOMPARE(d.FormatList->count(), 33);
    QCOMPARE(d.FormatList->item(4)->text(), QString("[CITY]<CR>[STATE]<CR>[COUNTY]<CR>[ZIP]"));
    QCOMPARE(d.FormatList->item(32)->text(), QString("[AREA CODE] [TIME ZONE]"));
    QCOMPARE(d.FormatList->currentRow(), 5);
    QVERIFY(d.FormatList->item(5)->isSelected());
}

void TestCopyPrint::noFormatSelectedKeepsTheDialogOpen() {
    for (int stored : {33, -1}) {
        Fixture f;
        f.settings.lastCopyFormat = stored;
        TCopyOrPrint& d = f.open(false);
        QVERIFY(d.FormatList->selectedItems().isEmpty());
        f.press();
        QCOMPARE(Shown(f.messages), QStringList{"Error: No format has been selected."});
        QVERIFY(d.isVisible());
        QVERIFY(f.collected.isEmpty());
        QCOMPARE(f.settings.lastCopyFormat, stored);
    }
}

void TestCopyPrint::copyPutsTheOutputOnTheClipboardInOnePiece() {
    Fixture f;
    QGuiApplication::clipboard()->setText("before");
    // A format's own line breaks and tabs stay as they are.
    f.output.text = "Provo\r\nUT\r\n84601\r\nOrem\tUT\r\n";
    TCopyOrPrint& d = f.open(false, true);
    d.FormatList->setCurrentRow(3);
    f.press();
    QCOMPARE(f.collected, (QList<QPair<int, bool>>{{3, true}}));
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("Provo\r\nUT\r\n84601\r\nOrem\tUT\r\n"));
    QCOMPARE(f.settings.lastCopyFormat, 3);
    QCOMPARE(f.settings.lastPrintFormat, 0);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QVERIFY(f.messages.boxes.empty());

    // Windows-1252 bytes reach the clipboard as the characters they stand for.
    Fixture g;
    g.output.text = "Ca\xF1on City\x96\r\n";
    g.open(false);
    g.press();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8("Cañon City–\r\n"));
}

void TestCopyPrint::damagedDataIsReportedAndTheDialogCloses() {
    Fixture f;
    f.output.text = "Provo, UT 84601\r\n";
    f.output.fatal = {"Seek in City File failed.", "File containing city definitions is corrupt."};
    TCopyOrPrint& d = f.open(false);
    f.press();
    QCOMPARE(Shown(f.messages),
             (QStringList{"FATAL ERROR: Seek in City File failed.",
                          "FATAL ERROR: File containing city definitions is corrupt."}));
    // The lines that were built still go out.
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("Provo, UT 84601\r\n"));
    QVERIFY(!d.isVisible());
}

void TestCopyPrint::missingFileOrIoErrorCopiesNothing() {
    {
        Fixture f;
        QGuiApplication::clipboard()->setText("kept");
        f.settings.lastCopyFormat = 2;
        f.output.fatal = {"Zip Code File could not be found."};
        f.output.missingFile = true;
        TCopyOrPrint& d = f.open(false);
        d.FormatList->setCurrentRow(7);
        f.press();
        QCOMPARE(Shown(f.messages), QStringList{"FATAL ERROR: Zip Code File could not be found."});
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("kept"));
        QCOMPARE(f.settings.lastCopyFormat, 2);
        QVERIFY(!d.isVisible());
    }
    {
        Fixture f;
        f.settings.lastPrintFormat = 2;
        f.output.text = "Provo, UT 84601\r\n";
        f.output.ioError = "I/O error 100: read beyond the end of the file.";
        TCopyOrPrint& d = f.open(true);
        f.press();
        QCOMPARE(Shown(f.messages),
                 QStringList{"Error: I/O error 100: read beyond the end of the file."});
        QCOMPARE(f.printDialogs, 0);
        QCOMPARE(f.settings.lastPrintFormat, 2);
        QVERIFY(d.isVisible());
    }
}

void TestCopyPrint::printModeShowsThePrintFont() {
    Fixture f;
    f.settings.lastPrintFormat = 9;
    f.settings.lastCopyFormat = 5;
    f.settings.printFont.color = 0x0000FF; // red in 0x00BBGGRR
    TCopyOrPrint& d = f.open(true);
    QCOMPARE(d.windowTitle(), QString("Print Zip Codes"));
    QCOMPARE(d.PrintButton->text(), QString("&Print"));
    QCOMPARE(d.FormatList->currentRow(), 9);
    for (QWidget* w : {(QWidget*)d.PrintFont, (QWidget*)d.PrintFontButton, (QWidget*)d.PrintBevel})
        QVERIFY(w->isVisible() && w->isEnabled());
    QVERIFY(d.PrintFont->isReadOnly());
    QCOMPARE(d.PrintFont->text(), QString("11pt Arial"));
    QCOMPARE(d.PrintFont->palette().color(QPalette::Text), QColor(255, 0, 0));

    Fixture g;
    g.settings.printFont = {"Times New Roman", 9, 0x00FF8000, true, false, false, false};
    g.open(true);
    QCOMPARE(g.dialog->PrintFont->text(), QString("9pt Times New Roman"));
    QCOMPARE(g.dialog->PrintFont->palette().color(QPalette::Text), QColor(0, 0x80, 0xFF));
}

void TestCopyPrint::fontDialogChoiceIsKeptEvenOnCancel() {
    Fixture f;
    f.settings.printFont.color = -2147483640; // a system colour, kept as it is
    TCopyOrPrint& d = f.open(true);

    // Cancelling the font dialog changes nothing.
    QTest::mouseClick(d.PrintFontButton, Qt::LeftButton);
    QCOMPARE(f.settings.printFont, corvana::PrintFontData({"Arial", 11, -2147483640}));

    QFont chosen("Liberation Serif");
    chosen.setPointSize(14);
    chosen.setItalic(true);
    chosen.setStrikeOut(true);
    f.fontChoice = chosen;
    QTest::mouseClick(d.PrintFontButton, Qt::LeftButton);
    QCOMPARE(d.PrintFont->text(), QString("14pt Liberation Serif"));
    QTest::mouseClick(d.CancelButton, Qt::LeftButton);
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QCOMPARE(f.settings.printFont, corvana::PrintFontData({"Liberation Serif", 14, -2147483640,
                                                           false, true, false, true}));
    QVERIFY(f.collected.isEmpty());
}

void TestCopyPrint::cancelledPrintDialogKeepsTheFormatDialogOpen() {
    Fixture f;
    f.settings.lastPrintFormat = 4;
    f.output.text = Lines(3);
    f.printDialogAnswer = false;
    TCopyOrPrint& d = f.open(true);
    d.FormatList->setCurrentRow(12);
    f.press();
    QCOMPARE(f.printDialogs, 1);
    QVERIFY(d.isVisible());
    QCOMPARE(f.settings.lastPrintFormat, 4);
    QVERIFY(!QFile::exists(f.pdf()));
    QVERIFY(f.messages.boxes.empty());

    // The user can try again from the same dialog.
    f.printDialogAnswer = true;
    f.press();
    QVERIFY(!d.isVisible());
    QCOMPARE(f.settings.lastPrintFormat, 12);
    QCOMPARE(PdfPages(f.pdf()), 1);
}

void TestCopyPrint::printerInTheMiddleOfADocumentRefuses() {
    Fixture f;
    f.output.text = Lines(3);
    TCopyOrPrint& d = f.open(true);
    QPainter busy(&f.printer);
    QCOMPARE(f.printer.printerState(), QPrinter::Active);
    f.press();
    QCOMPARE(Shown(f.messages), QStringList{"Error: Other print job currently in progress."});
    QCOMPARE(f.printDialogs, 0);
    QVERIFY(d.isVisible());
    busy.end();
}

void TestCopyPrint::printsPagesAndCopiesToPdf() {
    // 11pt Arial on A4 takes 55 lines a page: 120 lines make pages of 55, 55 and 10.
    Fixture f;
    f.output.text = Lines(120);
    f.open(true);
    f.press();
    QVERIFY(!f.dialog->isVisible());
    QCOMPARE(PdfPages(f.pdf()), 3);
    QCOMPARE(f.printer.docName(), QString("Corvex"));

    Fixture two;
    two.output.text = Lines(120);
    two.copies = 2;
    two.open(true);
    two.press();
    QCOMPARE(PdfPages(two.pdf()), 6);
    // The printer did not repeat the document itself, and keeps the copies asked for.
    QCOMPARE(two.printer.copyCount(), 2);
}

void TestCopyPrint::nothingMeasurablePrintsNothing() {
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("empty.pdf"));
    QVERIFY(PrintOutput(printer, corvana::PrintFontData{}, ""));
    QVERIFY(!QFile::exists(dir.filePath("empty.pdf")));
}

QTEST_MAIN(TestCopyPrint)
#include "test_copy_print.moc"
