#include "DialogTestUtil.h"

#include "main/dialogs/DialogCommands.h"
#include "main/dialogs/Preferences.h"
#include "main/help/HelpWindow.h"
#include "main/printing/CopyOrPrint.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>

using namespace corvana::test;

class TestWindowCommands : public QObject {
    Q_OBJECT
private slots:
    void copyFromTheResultsList();
    void printFromTheMenu();
    void menuCommandsOpenTheirDialogs();
};

void TestWindowCommands::copyFromTheResultsList() {
    TestWindow t;
    TMainWin& w = t.open();

    // A single ZIP line goes out unselected, without a question.
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "97006");
    QCOMPARE(Find<QListWidget>(w, "AnswerBox")->count(), 1);
    QVERIFY(Find<QListWidget>(w, "AnswerBox")->selectedItems().isEmpty());
    WhenModal<TCopyOrPrint>([](TCopyOrPrint& d) {
        QCOMPARE(d.windowTitle(), QString("Copy Zip Codes"));
        d.FormatList->setCurrentRow(0);
        QTest::mouseClick(d.PrintButton, Qt::LeftButton);
    });
    QTest::mouseClick(Find<QPushButton>(w, "ButtonCopy"), Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("Aloha, OR 97006\r\n"));
    QVERIFY(t.messages.boxes.empty());

    // Several lines, none selected: No does nothing, Yes copies them all in list order.
    Find<QLineEdit>(w, "SearchFirstEdit")->setText("9700");
    QVERIFY(Find<QListWidget>(w, "AnswerBox")->count() > 2);
    QGuiApplication::clipboard()->setText("kept");
    t.messages.answer = false;
    Find<QAction>(w, "MenuCopy")->trigger();
    QCOMPARE(
        Shown(t.messages),
        QStringList{"Notice: No items have been selected.  Would you like to Copy all items?"});
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("kept"));

    t.messages.answer = true;
    WhenModal<TCopyOrPrint>([](TCopyOrPrint& d) {
        QCOMPARE(d.FormatList->currentRow(), 0); // remembered from the last copy
        d.FormatList->setCurrentRow(19);         // "[ZIP]"
        QTest::mouseClick(d.PrintButton, Qt::LeftButton);
    });
    Find<QAction>(w, "MenuCopy")->trigger();
    QStringList zips;
    for (int i = 0; i < Find<QListWidget>(w, "AnswerBox")->count(); ++i)
        zips << Find<QListWidget>(w, "AnswerBox")->item(i)->text().left(5) + "\r\n";
    QCOMPARE(QGuiApplication::clipboard()->text(), zips.join(QString()));
    QCOMPARE(w.settings().lastCopyFormat, 19);

    // A ZIP prefix without ZIP codes lists the no-result line only.
    t.messages.boxes.clear();
    Find<QLineEdit>(w, "SearchFirstEdit")->setText("999");
    QCOMPARE(Find<QListWidget>(w, "AnswerBox")->count(), 1);
    w.DoCopyOrPrint(false);
    w.DoCopyOrPrint(true);
    QCOMPARE(Shown(t.messages), (QStringList{"Error: No matching data was found to Copy.",
                                             "Error: No matching data was found to Print."}));
}

void TestWindowCommands::printFromTheMenu() {
    TestWindow t;
    TMainWin& w = t.open();
    QTemporaryDir dir;
    QPrinter& printer = w.dialogs().printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("zips.pdf"));
    int asked = 0;
    w.dialogs().printDialog = [&](QPrinter&, QWidget*) { return ++asked > 0; };

    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "9700");
    Find<QListWidget>(w, "AnswerBox")->item(0)->setSelected(true);
    WhenModal<TCopyOrPrint>([](TCopyOrPrint& d) {
        QCOMPARE(d.windowTitle(), QString("Print Zip Codes"));
        QCOMPARE(d.PrintFont->text(), QString("11pt Arial"));
        d.FormatList->setCurrentRow(3);
        QTest::mouseClick(d.PrintButton, Qt::LeftButton);
    });
    Find<QAction>(w, "MenuPrint")->trigger();
    QCOMPARE(asked, 1);
    QVERIFY(QFile::exists(dir.filePath("zips.pdf")));
    QCOMPARE(w.settings().lastPrintFormat, 3);
    QCOMPARE(w.settings().lastCopyFormat, 0);
}

void TestWindowCommands::menuCommandsOpenTheirDialogs() {
    TestWindow t;
    TMainWin& w = t.open();

    Find<QAction>(w, "MenuZipDataVersion")->trigger();
    QCOMPARE(Shown(t.messages),
             QStringList{"Version: This version of the Zip Code Data was updated in June 1996."});

    // The fixture has no help file: the help window says so and the program goes on.
    Find<QAction>(w, "MenuUpdates")->trigger();
    THelpWindow* help = w.dialogs().helpWindow();
    QVERIFY(help && help->isVisible());
    QVERIFY(help->browser()->toPlainText().contains("could not be opened"));
    QVERIFY(w.isVisible());

    // Dialogs are owned by the window and drawn at its size.
    WhenModal<TPreferences>([&](TPreferences& d) {
        QCOMPARE(d.parentWidget(), &w);
        QCOMPARE(d.size(), QSize(477, 292));
        d.ShowCounty->setChecked(false);
        QTest::mouseClick(d.OkButton, Qt::LeftButton);
    });
    Find<QAction>(w, "MenuPreferences")->trigger();
    QVERIFY(!w.settings().showCounty);

    Find<QAction>(w, "N800x600")->trigger();
    WhenModal<TPreferences>([&](TPreferences& d) {
        QCOMPARE(d.size(), QSize(596, 365));
        QVERIFY(!d.ShowCounty->isChecked());
    });
    Find<QAction>(w, "MenuPreferences")->trigger();
}

QTEST_MAIN(TestWindowCommands)
#include "test_window_commands.moc"
