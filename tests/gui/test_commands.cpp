#include "DialogTestUtil.h"

#include "data/DataSet.h"
#include "main/dialogs/AboutBox.h"
#include "main/dialogs/DialogCommands.h"
#include "main/dialogs/Preferences.h"
#include "main/dialogs/SetTimeZone.h"
#include "main/help/HelpWindow.h"
#include "main/printing/CopyOrPrint.h"
#include "main/printing/PrinterSetup.h"
#include "main/window/ResultsView.h"
#include "search/Search.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPageLayout>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <clocale>
#include <functional>

namespace {

const QString HelpFile = QString(CORVANA_BIN_DIR) + "/CORVA.HLP";

corvana::CollectedOutput Output(std::string text) {
    corvana::CollectedOutput out;
    out.text = std::move(text);
    return out;
}

// Two printers of a machine that these tests do not have.
PrinterList StandInPrinters() {
    const QPageSize card(QSizeF(4, 6), QPageSize::Inch, "4 x 6");
    PrinterList list;
    list.printers = {
        {"Office Laser",
         {QPageSize(QPageSize::Letter), QPageSize(QPageSize::Legal), QPageSize(QPageSize::A5)},
         QPageSize(QPageSize::Legal)},
        {"Label Printer", {card}, card}};
    list.defaultPrinter = "Label Printer";
    return list;
}

QString Paper(QPageSize::PageSizeId id) {
    return QPageSize(id).name();
}

QStringList Items(const QComboBox* combo) {
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out << combo->itemText(i);
    return out;
}

struct Window {
    corvana::Settings settings;
    RecordingMessages messages;
    QWidget owner;
    DialogCommands commands{settings, messages, HelpFile};
    DialogCommands::Frame frame{1.25, QSize(1280, 1024), &owner};
};

// The window's results list, shown, with lines of its own.
struct Lines {
    std::vector<LayoutComponent> components;
    ResultsView view;
    explicit Lines(QWidget* owner) : view(owner, components, nullptr) { view.setListShown(true); }
    void show(std::vector<corvana::ResultItem> items) { view.showItems(std::move(items)); }
};

} // namespace

class TestCommands : public QObject {
    Q_OBJECT
private slots:
    void preferencesRunModallyAndOpenHelp();
    void timeZoneRunsModally();
    void aboutBoxRunsModally();
    void zipVersionMessage();
    void helpCommandsOpenTheirTopics();
    void paperOfTheLocale();
    void printerSetupChoosesThePrinterAndPaper();
    void copyOrPrintAsksBeforeOpeningTheDialog();
    void copiesListedZipCodesFromTheDataFiles();
};

void TestCommands::preferencesRunModallyAndOpenHelp() {
    Window w;
    bool seen = false;
    WhenModal<TPreferences>([&](TPreferences& d) {
        seen = true;
        // Scaled by 1.25 and centred on the 1280 x 1024 screen.
        QCOMPARE(d.size(), QSize(596, 365));
        QCOMPARE(d.pos(), QPoint((1280 - 596) / 2, (1024 - 365) / 2));
        QCOMPARE(d.parentWidget(), &w.owner);
        QTest::mouseClick(d.HelpButton, Qt::LeftButton);
        QVERIFY(w.commands.helpWindow() && w.commands.helpWindow()->isVisible());
        QCOMPARE(w.commands.helpWindow()->currentTopic(), QString("preferences"));
        QVERIFY(d.isVisible());
        d.ShowTimeZone->setChecked(true);
        QTest::mouseClick(d.OkButton, Qt::LeftButton);
    });
    w.commands.Preferences(w.frame);
    QVERIFY(seen);
    QVERIFY(w.settings.showTimeZone);
}

void TestCommands::timeZoneRunsModally() {
    Window w;
    w.settings.timeZone = 30;
    WhenModal<TSetTimeZone>([](TSetTimeZone& d) {
        QCOMPARE(d.TZone->currentIndex(), -1);
        QCOMPARE(d.TZone->count(), 25);
        QTest::mouseClick(d.OkButton, Qt::LeftButton);
    });
    w.commands.TimeZone(w.frame);
    QCOMPARE(w.settings.timeZone, -1);
}

void TestCommands::aboutBoxRunsModally() {
    Window w;
    bool seen = false;
    WhenModal<TAboutBox>([&](TAboutBox& d) {
        seen = true;
        QCOMPARE(d.windowTitle(), QString("About"));
        QCOMPARE(d.Version->text(), QString("Version 1.2d"));
        QTest::mouseClick(d.Button1, Qt::LeftButton);
    });
    w.commands.About(w.frame);
    QVERIFY(seen);
}

void TestCommands::zipVersionMessage() {
    Window w;
    QTemporaryDir dir;
    corvana::DataSet data;
    data.dir = dir.path().toStdString();
    w.commands.ZipVersion(data, &w.owner);
    QFile f(dir.filePath("ZIPVER.DAT"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("June 1996\r\nignored\r\n");
    f.close();
    w.commands.ZipVersion(data, &w.owner);
    QCOMPARE(
        Shown(w.messages),
        (QStringList{"Version: Unable to locate file containing version date of Zip Code Data.",
                     "Version: This version of the Zip Code Data was updated in June 1996."}));
}

void TestCommands::helpCommandsOpenTheirTopics() {
    Window w;
    w.commands.Updates();
    THelpWindow* help = w.commands.helpWindow();
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->currentTopic(), QString("updates"));
    // One help window for the whole run.
    w.commands.Contents();
    QCOMPARE(w.commands.helpWindow(), help);
    QCOMPARE(help->currentTopic(), QString("contents"));
    // It does not keep the program running after the main window has closed.
    QVERIFY(!help->testAttribute(Qt::WA_QuitOnClose));
}

void TestCommands::paperOfTheLocale() {
    QCOMPARE(LocalePaper("de_DE.UTF-8", 210, 297).id(), QPageSize::A4);
    QCOMPARE(LocalePaper("en_US.UTF-8", 216, 279).id(), QPageSize::Letter);
    // The C locale names A4 for want of anything better: that is no choice of the user's.
    for (const char* c : {"C", "C.UTF-8", "POSIX", ""})
        QCOMPARE(LocalePaper(c, 210, 297).id(), QPageSize::Letter);
    QCOMPARE(LocalePaper("en_CA.UTF-8", 0, 0).id(), QPageSize::Letter);

    const std::string was = std::setlocale(LC_PAPER, nullptr);
    std::setlocale(LC_PAPER, "C");
    QCOMPARE(LocalePaper().id(), QPageSize::Letter);
    Window w;
    if (w.commands.printer().outputFormat() == QPrinter::PdfFormat)
        QCOMPARE(w.commands.printer().pageLayout().pageSize().id(), QPageSize::Letter);
    std::setlocale(LC_PAPER, was.c_str());
}

void TestCommands::printerSetupChoosesThePrinterAndPaper() {
    // Qt's page set-up complained on standard error where only the PDF printer exists. (The
    // offscreen platform's own notes about what it cannot do are no complaint.)
    QTest::failOnWarning(QRegularExpression("^(?!This plugin does not support)"));
    Window w;
    w.commands.printerList = StandInPrinters;
    QPrinter& printer = w.commands.printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString());
    printer.setPageSize(QPageSize(QPageSize::Letter));
    QTemporaryDir dir;
    const QString file = dir.filePath("setup.pdf");

    bool seen = false;
    WhenModal<TPrinterSetup>([&](TPrinterSetup& d) {
        seen = true;
        QCOMPARE(d.windowTitle(), QString("Printer Setup"));
        QCOMPARE(d.parentWidget(), &w.owner);
        QCOMPARE(Items(d.PrinterCombo),
                 (QStringList{"Office Laser", "Label Printer", TPrinterSetup::PdfEntry}));
        // The printer writes a file so far: that entry, with the paper it holds.
        QCOMPARE(d.PrinterCombo->currentText(), TPrinterSetup::PdfEntry);
        QCOMPARE(d.PaperCombo->currentText(), Paper(QPageSize::Letter));
        QVERIFY(d.FileEdit->isEnabled() && !d.FileEdit->text().isEmpty());
        // A printer offers its own paper, keeping the paper chosen where it can and taking
        // the printer's own where it cannot.
        d.PrinterCombo->setCurrentIndex(0);
        QCOMPARE(Items(d.PaperCombo), (QStringList{Paper(QPageSize::Letter),
                                                   Paper(QPageSize::Legal), Paper(QPageSize::A5)}));
        QCOMPARE(d.PaperCombo->currentText(), Paper(QPageSize::Letter));
        QVERIFY(!d.FileEdit->isEnabled() && !d.BrowseButton->isEnabled());
        d.PrinterCombo->setCurrentIndex(1);
        QCOMPARE(Items(d.PaperCombo), QStringList{"4 x 6"});
        d.PrinterCombo->setCurrentIndex(0);
        QCOMPARE(d.PaperCombo->currentText(), Paper(QPageSize::Legal));
        // A file needs a name.
        d.PrinterCombo->setCurrentIndex(2);
        QCOMPARE(d.PaperCombo->currentText(), Paper(QPageSize::Legal));
        d.FileEdit->clear();
        QVERIFY(!d.OkButton->isEnabled());
        QTest::keyClicks(d.FileEdit, file);
        QVERIFY(d.OkButton->isEnabled());
        d.Landscape->click();
        QTest::mouseClick(d.OkButton, Qt::LeftButton);
    });
    w.commands.PrinterSetup(w.frame);
    QVERIFY(seen);
    auto chosen = [&] {
        QCOMPARE(printer.outputFormat(), QPrinter::PdfFormat);
        QCOMPARE(printer.outputFileName(), file);
        QCOMPARE(printer.pageLayout().pageSize().id(), QPageSize::Legal);
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
    };
    chosen();

    // It opens on the choice made; Cancel changes nothing.
    seen = false;
    WhenModal<TPrinterSetup>([&](TPrinterSetup& d) {
        seen = true;
        QCOMPARE(d.PrinterCombo->currentText(), TPrinterSetup::PdfEntry);
        QCOMPARE(d.FileEdit->text(), file);
        QCOMPARE(d.PaperCombo->currentText(), Paper(QPageSize::Legal));
        QVERIFY(d.Landscape->isChecked());
        d.PrinterCombo->setCurrentIndex(1);
        d.Portrait->click();
        QTest::mouseClick(d.CancelButton, Qt::LeftButton);
    });
    w.commands.PrinterSetup(w.frame);
    QVERIFY(seen);
    chosen();

    // Printing hands that printer to the print dialog and prints on what was chosen there.
    Lines box(&w.owner);
    box.show({{"84101 Salt Lake City, UT", corvana::ZipItem{0}}});
    QPrinter* printed = nullptr;
    w.commands.printDialog = [&](QPrinter& p, QWidget*) {
        printed = &p;
        return true;
    };
    WhenModal<TCopyOrPrint>(
        [](TCopyOrPrint& d) { QTest::mouseClick(d.PrintButton, Qt::LeftButton); });
    w.commands.CopyOrPrint(
        true, box.view, [](int, bool) { return Output("84101\r\n"); }, w.frame);
    QCOMPARE(printed, &printer);
    QFile pdf(file);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    // Legal paper across: 14 by 8.5 inches.
    QVERIFY(QString::fromLatin1(pdf.readAll())
                .contains(QRegularExpression("/MediaBox \\[0 0 1008(\\.0+)? 612(\\.0+)?\\]")));
}

void TestCommands::copyOrPrintAsksBeforeOpeningTheDialog() {
    Window w;
    Lines box(&w.owner);
    QList<QPair<int, bool>> calls;
    auto collect = [&](int format, bool all) {
        calls.append({format, all});
        return Output("84101\r\n");
    };
    auto press = [](TCopyOrPrint& d) { QTest::mouseClick(d.PrintButton, Qt::LeftButton); };

    // A no-result line: the message and no dialog (a dialog would block until the time-out).
    box.show({{"No matching zip codes found.", corvana::NoMatchItem{}}});
    w.commands.CopyOrPrint(false, box.view, collect, w.frame);
    QCOMPARE(Shown(w.messages), QStringList{"Error: No matching data was found to Copy."});

    // Nothing selected and No: nothing happens.
    box.show({{"84101 A", corvana::ZipItem{0}}, {"84102 B", corvana::ZipItem{1}}});
    w.messages.boxes.clear();
    w.messages.answer = false;
    w.commands.CopyOrPrint(false, box.view, collect, w.frame);
    QCOMPARE(int(w.messages.boxes.size()), 1);
    QVERIFY(calls.isEmpty());

    // Yes: every line.
    w.messages.answer = true;
    WhenModal<TCopyOrPrint>(press);
    w.commands.CopyOrPrint(false, box.view, collect, w.frame);
    // A selection: the selected lines only.
    box.view.list()->item(1)->setSelected(true);
    WhenModal<TCopyOrPrint>(press);
    w.commands.CopyOrPrint(false, box.view, collect, w.frame);
    QCOMPARE(calls, (QList<QPair<int, bool>>{{0, true}, {0, false}}));
}

void TestCommands::copiesListedZipCodesFromTheDataFiles() {
    Window w;
    corvana::DataSet data;
    data.dir = corvana::test::fixtureDir("small");
    QVERIFY(corvana::LoadInData(data).ok());
    corvana::SystemClock clock;
    const corvana::SearchResult found =
        corvana::SearchTheZip("970", {data, w.settings, {false, &clock}});
    Lines lines(&w.owner);
    lines.show(found.items);
    QListWidget& box = *lines.view.list();
    QVERIFY(box.count() >= 3);
    QVERIFY(box.item(0)->text().startsWith("97005"));
    box.item(0)->setSelected(true);
    box.item(1)->setSelected(true);

    auto collect = [&](int format, bool all) {
        return corvana::CollectOutput(corvana::OutputItems(lines.view, all), format, data,
                                      w.settings);
    };
    WhenModal<TCopyOrPrint>([](TCopyOrPrint& d) {
        d.FormatList->setCurrentRow(4);
        QTest::mouseClick(d.PrintButton, Qt::LeftButton);
    });
    w.commands.CopyOrPrint(false, lines.view, collect, w.frame);
    // Format 4 puts city, state, county and ZIP code on lines of their own: eight lines.
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QString("Beaverton\r\nOR\r\nWashington\r\n97005\r\n"
                     "Aloha\r\nOR\r\nWashington\r\n97006\r\n"));
    QCOMPARE(w.settings.lastCopyFormat, 4);
    QVERIFY(w.messages.boxes.empty());
}

QTEST_MAIN(TestCommands)
#include "test_commands.moc"
