#include "DialogTestUtil.h"

#include "data/DataSet.h"
#include "main/AboutBox.h"
#include "main/CopyOrPrint.h"
#include "main/DialogCommands.h"
#include "main/HelpWindow.h"
#include "main/Preferences.h"
#include "main/SetTimeZone.h"
#include "search/Search.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPageSetupDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

const QString HelpFile = QString(CORVANA_BIN_DIR) + "/CORVA.HLP";

corvana::CollectedOutput Output(std::string text) {
    corvana::CollectedOutput out;
    out.text = std::move(text);
    return out;
}

struct Window {
    corvana::Settings settings;
    RecordingMessages messages;
    QWidget owner;
    DialogCommands commands{settings, messages, HelpFile};
    DialogCommands::Frame frame{1.25, QSize(1280, 1024), &owner};
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
    void printerSetupWorksOnThePrintingPrinter();
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

void TestCommands::printerSetupWorksOnThePrintingPrinter() {
    Window w;
    QPrinter* shown = nullptr;
    WhenModal<QPageSetupDialog>([&](QPageSetupDialog& d) { shown = d.printer(); });
    w.commands.PrinterSetup(&w.owner);
    QCOMPARE(shown, &w.commands.printer());

    // And printing then hands the same printer to the print dialog.
    QListWidget box(&w.owner);
    box.addItem("84101 Salt Lake City, UT");
    const std::vector<corvana::ResultItem> items = {
        {"84101 Salt Lake City, UT", corvana::ZipItem{0}}};
    QPrinter* printed = nullptr;
    w.commands.printDialog = [&](QPrinter& p, QWidget*) {
        printed = &p;
        return false;
    };
    WhenModal<TCopyOrPrint>([](TCopyOrPrint& d) {
        QTest::mouseClick(d.PrintButton, Qt::LeftButton);
        QVERIFY(d.isVisible()); // the cancelled print dialog leaves it open
    });
    w.commands.CopyOrPrint(
        true, box, items, [](int, bool) { return Output("x\r\n"); }, w.frame);
    QCOMPARE(printed, &w.commands.printer());
}

void TestCommands::copyOrPrintAsksBeforeOpeningTheDialog() {
    Window w;
    QListWidget box(&w.owner);
    box.setSelectionMode(QAbstractItemView::MultiSelection);
    QList<QPair<int, bool>> calls;
    auto collect = [&](int format, bool all) {
        calls.append({format, all});
        return Output("84101\r\n");
    };
    auto press = [](TCopyOrPrint& d) { QTest::mouseClick(d.PrintButton, Qt::LeftButton); };

    // A no-result line: the message and no dialog (a dialog would block until the time-out).
    box.addItem("No matching zip codes found.");
    std::vector<corvana::ResultItem> items = {
        {"No matching zip codes found.", corvana::NoMatchItem{}}};
    w.commands.CopyOrPrint(false, box, items, collect, w.frame);
    QCOMPARE(Shown(w.messages), QStringList{"Error: No matching data was found to Copy."});

    // Nothing selected and No: nothing happens.
    box.clear();
    box.addItems({"84101 A", "84102 B"});
    items = {{"84101 A", corvana::ZipItem{0}}, {"84102 B", corvana::ZipItem{1}}};
    w.messages.boxes.clear();
    w.messages.answer = false;
    w.commands.CopyOrPrint(false, box, items, collect, w.frame);
    QCOMPARE(int(w.messages.boxes.size()), 1);
    QVERIFY(calls.isEmpty());

    // Yes: every line.
    w.messages.answer = true;
    WhenModal<TCopyOrPrint>(press);
    w.commands.CopyOrPrint(false, box, items, collect, w.frame);
    // A selection: the selected lines only.
    box.item(1)->setSelected(true);
    WhenModal<TCopyOrPrint>(press);
    w.commands.CopyOrPrint(false, box, items, collect, w.frame);
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
    QListWidget box(&w.owner);
    box.setSelectionMode(QAbstractItemView::MultiSelection);
    for (const corvana::ResultItem& item : found.items)
        box.addItem(fromCore(item.text));
    QVERIFY(box.count() >= 3);
    QVERIFY(box.item(0)->text().startsWith("97005"));
    box.item(0)->setSelected(true);
    box.item(1)->setSelected(true);

    auto collect = [&](int format, bool all) {
        return corvana::CollectOutput(OutputItems(box, found.items, all), format, data, w.settings);
    };
    WhenModal<TCopyOrPrint>([](TCopyOrPrint& d) {
        d.FormatList->setCurrentRow(4);
        QTest::mouseClick(d.PrintButton, Qt::LeftButton);
    });
    w.commands.CopyOrPrint(false, box, found.items, collect, w.frame);
    // Format 4 puts city, state, county and ZIP code on lines of their own: eight lines.
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QString("Beaverton\r\nOR\r\nWashington\r\n97005\r\n"
                     "Aloha\r\nOR\r\nWashington\r\n97006\r\n"));
    QCOMPARE(w.settings.lastCopyFormat, 4);
    QVERIFY(w.messages.boxes.empty());
}

QTEST_MAIN(TestCommands)
#include "test_commands.moc"
