// The phone window: opened from the Edit menu beside the main window, it answers a number at
// every key, lists the ZIP codes of where the number rings in the main list, and stays off with
// its reason when the data has no usable exchange file.

#include "DialogTestUtil.h"

#include "main/dialogs/DialogCommands.h"
#include "main/dialogs/PhoneNumber.h"
#include "main/help/HelpWindow.h"
#include "search/Phone.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QTextBrowser>

#include <filesystem>

using namespace corvana::test;

namespace {

// A user in Mountain time keeping summer time, on a July morning.
void MountainMorning(TestWindow& t, int zone = 5) {
    t.writeIni("[Time Zone]\nTime Zone=" + std::to_string(zone) + "\nDaylight Savings=Yes\n");
    t.clock.time = corvana::LocalDateTime{2024, 7, 10, 10, 15, 0, 0};
}

TPhoneNumber* OpenPhone(TMainWin& w) {
    Find<QAction>(w, "MenuPhone")->trigger();
    return w.findChild<TPhoneNumber*>();
}

// A time of day as the window writes it.
QString At(TMainWin& w, int hour, int minute = 0) {
    return fromCore(w.searchContext().time.formatter(corvana::TimeOfDay{hour, minute, 0, 0}));
}

void Retype(TPhoneNumber& d, const char* text) {
    d.PhoneEdit->clear();
    QTest::keyClicks(d.PhoneEdit, text);
}

} // namespace

class TestPhoneWindow : public QObject {
    Q_OBJECT
private slots:
    void answersAtEveryKey();
    void hoursAreInTheUsersOwnTime();
    void listFillsTheMainListUnderItsHeading();
    void offWithoutExchangesAndSaysWhy();
    void damagedExchangesTurnTheCommandOff();
    void unreadableExchangesAreNotTakenForNone();
    void scaledKeptAndClosed();
    void namedForAScreenReaderWithHelp();
    void timesTickWithoutTouchingTheField();
    void readableUnderADarkPalette();
};

void TestPhoneWindow::answersAtEveryKey() {
    TestWindow t(fixtureDir("phone"));
    MountainMorning(t);
    TMainWin& w = t.open();
    QVERIFY(Find<QAction>(w, "MenuPhone")->isEnabled());
    QCOMPARE(Find<QAction>(w, "MenuPhone")->text(), QString::fromUtf8("&Phone Number\u2026"));
    TPhoneNumber* d = OpenPhone(w);
    QVERIFY(d && d->isVisible());
    // Beside the main window, not in front of it: the main window still takes its keys.
    QVERIFY(!d->isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(d->windowTitle(), QString("Phone Number"));
    QVERIFY(!d->ListButton->isEnabled());

    QTest::keyClicks(d->PhoneEdit, "(208) 33");
    QVERIFY(d->ReasonText->isVisible());
    QVERIFY(!d->PlaceText->isVisible());
    QCOMPARE(d->ReasonText->text(),
             QString("A North American number has ten digits after the country code 1."));
    QVERIFY(!d->ListButton->isEnabled());
    QTest::keyClicks(d->PhoneEdit, "4-1234");
    QVERIFY(!d->ReasonText->isVisible());
    QCOMPARE(d->NumberText->text(), QString("(208) 334-1234"));
    QCOMPARE(d->PlaceText->text(), QString("Boise, ID"));
    QCOMPARE(d->StateText->text(), QString("ID"));
    QCOMPARE(d->ZonesText->text(), "MST  " + At(w, 10, 15));
    QCOMPARE(d->HoursText->text(), QString("8:00 to 21:00 your time"));
    QCOMPARE(d->NowText->text(), QString("within the calling hours"));
    QVERIFY(d->ListButton->isEnabled());
    QCOMPARE(d->ListButton->toolTip(), QString("The ZIP codes of Boise, ID"));

    // An exchange the telephone data does not place may ring in either zone of 208: the hours
    // are those that hold in both.
    Retype(*d, "208-999-1234");
    QCOMPARE(d->PlaceText->text(), QString("area code only"));
    QCOMPARE(d->StateText->text(), QString("ID"));
    QCOMPARE(d->ZonesText->text(), "MST  " + At(w, 10, 15) + "\nPST  " + At(w, 9, 15));
    QCOMPARE(d->HoursText->text(), QString("9:00 to 21:00 your time"));
    QCOMPARE(d->ListButton->toolTip(), QString("The ZIP codes of area code 208"));

    // Newfoundland: half an hour off, in Canada, and no ZIP codes to list.
    Retype(*d, "709 722 1234");
    QCOMPARE(d->PlaceText->text(), QString("St. John's, NL"));
    QCOMPARE(d->StateText->text(), QString("NL (CA)"));
    QCOMPARE(d->ZonesText->text(), "GMT -03:30 NDT  " + At(w, 13, 45));
    QCOMPARE(d->HoursText->text(), QString("4:30 to 17:30 your time"));
    QVERIFY(!d->ListButton->isEnabled());

    // No place, so no zones, no hours and no ZIP codes.
    Retype(*d, "800-555-1234");
    QCOMPARE(d->PlaceText->text(), QString("toll-free: no place"));
    QCOMPARE(d->ZonesText->text(), QString("unknown"));
    QCOMPARE(d->HoursText->text(), QString());
    QVERIFY(!d->ListButton->isEnabled());
    Retype(*d, "208-111-1234");
    QCOMPARE(d->ReasonText->text(), QString("An exchange cannot begin with 0 or 1."));
    QCOMPARE(d->PhoneEdit->accessibleDescription(), d->ReasonText->text());

    // An empty field is no mistake: the rows stand empty.
    d->PhoneEdit->clear();
    QVERIFY(!d->ReasonText->isVisible());
    QVERIFY(d->PlaceText->isVisible());
    QCOMPARE(d->PlaceText->text(), QString());
    QVERIFY(!d->answer());

    // Later the same evening Pensacola, an hour ahead, is past its hours.
    Retype(*d, "850.432.1234");
    QCOMPARE(d->PlaceText->text(), QString("Pensacola, FL"));
    QCOMPARE(d->NowText->text(), QString("within the calling hours"));
    t.clock.time.hour = 20;
    t.clock.time.minute = 30;
    d->Answer();
    QCOMPARE(d->ZonesText->text(), "CST  " + At(w, 21, 30));
    QCOMPARE(d->NowText->text(), QString("opens at 7:00 your time"));
    QVERIFY(d->PhoneEdit->accessibleDescription().contains("Pensacola, FL"));
}

void TestPhoneWindow::hoursAreInTheUsersOwnTime() {
    // The same numbers for a user in Eastern time: Boise may be called from 10:00 to 23:00.
    TestWindow t(fixtureDir("phone"));
    MountainMorning(t, 7);
    TMainWin& w = t.open();
    TPhoneNumber* d = OpenPhone(w);
    QTest::keyClicks(d->PhoneEdit, "+1 208 334 1234 x5");
    QCOMPARE(d->ZonesText->text(), "MST  " + At(w, 8, 15));
    QCOMPARE(d->HoursText->text(), QString("10:00 to 23:00 your time"));
    QCOMPARE(d->NowText->text(), QString("within the calling hours"));
    // Alaska time is four hours behind and Adak's five: the hours run past midnight.
    Retype(*d, "907 555 1234");
    QCOMPARE(d->HoursText->text(), QString("13:00 to 1:00 your time"));
    QCOMPARE(d->NowText->text(), QString("opens at 13:00 your time"));
    QCOMPARE(d->ZonesText->text().count('\n'), 1);
}

void TestPhoneWindow::listFillsTheMainListUnderItsHeading() {
    TestWindow t(fixtureDir("phone"));
    MountainMorning(t);
    TMainWin& w = t.open();
    auto* list = Find<QListWidget>(w, "AnswerBox");
    auto* heading = Find<QLabel>(w, "AnswerBoxLabel");
    TPhoneNumber* d = OpenPhone(w);
    QTest::keyClicks(d->PhoneEdit, "(208) 334-1234");

    QSignalSpy changed(&w, &TMainWin::listChanged);
    const int compact = w.height();
    QTest::mouseClick(d->ListButton, Qt::LeftButton);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(heading->text(), QString("Zip Codes For (208) 334-1234"));
    QCOMPARE(list->accessibleName(), heading->text());
    QVERIFY(list->isVisible());
    QVERIFY(w.height() > compact);
    QStringList expected;
    for (const corvana::ResultItem& item :
         corvana::PhoneZipCodes(*d->answer(), w.searchContext()).items)
        expected << fromCore(item.text);
    QCOMPARE(ItemTexts(list), expected);
    QCOMPARE(list->count(), 2);
    QVERIFY(list->item(0)->text().startsWith("83702 Boise, ID"));
    QVERIFY(Find<QPushButton>(w, "ButtonCopy")->isEnabled());
    QVERIFY(Find<QAction>(w, "MenuCopy")->isEnabled());
    QVERIFY(!w.nearbyCentre());
    QVERIFY(d->isVisible());

    // Return in the field lists too; an unplaced exchange lists the whole area code.
    Retype(*d, "208 999 1234");
    QTest::keyClick(d->PhoneEdit, Qt::Key_Return);
    QCOMPARE(heading->text(), QString("Zip Codes For (208) 999-1234"));
    QCOMPARE(list->count(), 4);
    QVERIFY(d->isVisible());

    // A search replaces the list as it replaces any other.
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "841");
    QVERIFY(list->item(0)->text().startsWith("84101 Salt Lake City, UT"));
    QCOMPARE(heading->text(), QString("Possible Cities"));
}

void TestPhoneWindow::offWithoutExchangesAndSaysWhy() {
    TestWindow t; // data built without an exchange table
    TMainWin& w = t.open();
    auto* command = Find<QAction>(w, "MenuPhone");
    QVERIFY(!command->isEnabled());
    QCOMPARE(command->statusTip(), QString("This data has no telephone exchanges."));
    QCOMPARE(command->toolTip(), command->statusTip());
    QCOMPARE(OpenPhone(w), nullptr);
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(Find<QLineEdit>(w, "SearchFirstEdit"), Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(w.findChild<TPhoneNumber*>(), nullptr);
    QVERIFY(t.messages.boxes.empty());
}

void TestPhoneWindow::damagedExchangesTurnTheCommandOff() {
    {
        // Chosen by its key, the command reads the file, says what is wrong and stays off.
        TempDir dir;
        CopyDataSet(fixtureDir("phone"), dir);
        dir.write("EXCHANGE.DAT", "CVX1 and then nothing that fits");
        TestWindow t(dir.str());
        TMainWin& w = t.open();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* command = Find<QAction>(w, "MenuPhone");
        QVERIFY(command->isEnabled()); // not read at start
        QTest::keyClick(Find<QLineEdit>(w, "SearchFirstEdit"), Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(Shown(t.messages),
                 QStringList{"Error: File containing telephone exchanges is corrupt."});
        QCOMPARE(w.findChild<TPhoneNumber*>(), nullptr);
        QVERIFY(!command->isEnabled());
        QCOMPARE(command->toolTip(), QString("File containing telephone exchanges is corrupt."));
        // The window goes on: a search still answers.
        QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "83702");
        QCOMPARE(Find<QListWidget>(w, "AnswerBox")->count(), 1);
    }
    {
        // Opening the Edit menu is enough to learn it, before the command can be chosen.
        TempDir dir;
        CopyDataSet(fixtureDir("phone"), dir);
        const std::string whole = readFile(fixtureDir("phone") + "/EXCHANGE.DAT");
        dir.write("EXCHANGE.DAT", whole.substr(0, whole.size() / 2));
        TestWindow t(dir.str());
        TMainWin& w = t.open();
        QMetaObject::invokeMethod(Find<QMenu>(w, "MenuEdit"), "aboutToShow");
        auto* command = Find<QAction>(w, "MenuPhone");
        QVERIFY(!command->isEnabled());
        QVERIFY(command->toolTip().startsWith("File containing telephone exchanges"));
        QVERIFY(t.messages.boxes.empty());
    }
}

void TestPhoneWindow::scaledKeptAndClosed() {
    TestWindow t(fixtureDir("phone"));
    MountainMorning(t);
    TMainWin& w = t.open();
    TPhoneNumber* d = OpenPhone(w);
    QCOMPARE(d->size(), QSize(400, 272));
    // Beside the main window, whose list it fills; centred on a screen without room for that.
    QCOMPARE(d->frameGeometry().topLeft(),
             QPoint(w.frameGeometry().right() + 1, w.frameGeometry().top()));
    QTest::keyClicks(d->PhoneEdit, "850 222 1234");

    // Escape closes it; opened again it holds the number it held.
    QPointer<TPhoneNumber> first = d;
    QTest::keyClick(d->PhoneEdit, Qt::Key_Escape);
    QVERIFY(!d->isVisible());
    QTRY_VERIFY(!first);
    d = OpenPhone(w);
    QCOMPARE(d->text(), QString("850 222 1234"));
    QCOMPARE(d->PlaceText->text(), QString("Tallahassee, FL"));
    // Chosen again while open, the same window comes forward.
    QCOMPARE(OpenPhone(w), d);
    QCOMPARE(w.findChildren<TPhoneNumber*>().size(), 1);

    // A new window size draws it again at that size, the number kept.
    Find<QAction>(w, "N800x600")->trigger();
    QTRY_COMPARE(w.findChildren<TPhoneNumber*>().size(), 1);
    d = w.findChild<TPhoneNumber*>();
    QCOMPARE(d->size(), QSize(500, 340));
    QCOMPARE(d->PhoneEdit->geometry(), QRect(170, 11, 320, 34));
    QCOMPARE(d->text(), QString("850 222 1234"));

    // Closing the main window closes it.
    first = d;
    w.close();
    QVERIFY(!d->isVisible());
}

void TestPhoneWindow::namedForAScreenReaderWithHelp() {
    TempDir dir;
    CopyDataSet(fixtureDir("phone"), dir);
    std::filesystem::copy_file(std::string(CORVANA_BIN_DIR) + "/CORVA.HLP",
                               dir.path() / "CORVA.HLP");
    TestWindow t(dir.str());
    MountainMorning(t);
    TMainWin& w = t.open();
    TPhoneNumber* d = OpenPhone(w);
    QTest::keyClicks(d->PhoneEdit, "208 334 1234");
    QCOMPARE(d->Label1->buddy(), d->PhoneEdit);
    for (QWidget* control :
         {static_cast<QWidget*>(d->PhoneEdit), static_cast<QWidget*>(d->ListButton),
          static_cast<QWidget*>(d->HelpButton), static_cast<QWidget*>(d->CloseButton)}) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(control);
        QVERIFY(a);
        QVERIFY2(!a->text(QAccessible::Name).remove('&').trimmed().isEmpty(),
                 qPrintable(control->metaObject()->className()));
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(d->PhoneEdit)->text(QAccessible::Name),
             QString("Phone Number"));
    QVERIFY(QAccessible::queryAccessibleInterface(d->PhoneEdit)
                ->text(QAccessible::Description)
                .startsWith("(208) 334-1234; Boise, ID; ID; MST"));

    QTest::mouseClick(d->HelpButton, Qt::LeftButton);
    THelpWindow* help = w.dialogs().helpWindow();
    QVERIFY(help);
    QCOMPARE(help->currentTopic(), QString("phone"));
    QVERIFY(help->browser()->toPlainText().contains("exchange"));
    help->close();
}

void TestPhoneWindow::timesTickWithoutTouchingTheField() {
    TestWindow t(fixtureDir("phone"));
    MountainMorning(t);
    TMainWin& w = t.open();
    TPhoneNumber* d = OpenPhone(w);
    QVERIFY(d);
    QTest::keyClicks(d->PhoneEdit, "(208) 334-1234");
    QVERIFY(d->ZonesText->text().contains(":15:00"));
    QCOMPARE(d->NowText->text(), QString("within the calling hours"));
    d->PhoneEdit->setSelection(1, 3);
    QWidget* focus = d->focusWidget();

    // Half past nine in the evening: the times move, and the calling hours end on their own.
    t.clock.time.hour = 21;
    t.clock.time.minute = 30;
    t.clock.time.second = 30;
    QTRY_VERIFY_WITH_TIMEOUT(d->ZonesText->text().contains(":30:30"), 3000);
    QVERIFY2(d->NowText->text().startsWith("opens at "), qPrintable(d->NowText->text()));
    QCOMPARE(d->PhoneEdit->selectedText(), QString("208"));
    QCOMPARE(d->focusWidget(), focus);
    QCOMPARE(d->PhoneEdit->text(), QString("(208) 334-1234"));
}

void TestPhoneWindow::readableUnderADarkPalette() {
    const QPalette light = QApplication::palette();
    const QString style = QApplication::style()->name();
    QApplication::setStyle("Fusion");
    QApplication::setPalette(DarkPalette());
    TestWindow t(fixtureDir("phone"));
    MountainMorning(t);
    TMainWin& w = t.open();
    TPhoneNumber* d = OpenPhone(w);
    QVERIFY(d);
    QTest::keyClicks(d->PhoneEdit, "(208) 334-1234");
    const QColor window = d->palette().color(QPalette::Window);
    QVERIFY(window.lightness() < 128);
    for (const QLabel* l : d->findChildren<QLabel*>())
        QVERIFY2(Contrast(l->palette().color(l->foregroundRole()), window) >= 4.5,
                 qPrintable(l->text()));
    if (const QByteArray dir = qgetenv("CORVANA_SCREENSHOT_DIR"); !dir.isEmpty())
        d->grab().save(QString::fromLocal8Bit(dir) + "/phone-dark.png");
    d->close();
    QApplication::setPalette(light);
    QApplication::setStyle(style);
}

QTEST_MAIN(TestPhoneWindow)
// An exchange file that is there but cannot even be looked at (a link to itself) is no data
// without exchanges: the command is on at start and, chosen, says the file could not be read.
void TestPhoneWindow::unreadableExchangesAreNotTakenForNone() {
    TempDir dir;
    CopyDataSet(fixtureDir("phone"), dir);
    dir.remove("EXCHANGE.DAT");
    std::filesystem::create_symlink("EXCHANGE.DAT", dir.path() / "EXCHANGE.DAT");
    TestWindow t(dir.str());
    TMainWin& w = t.open();
    auto* command = Find<QAction>(w, "MenuPhone");
    QVERIFY(command->isEnabled());
    QCOMPARE(OpenPhone(w), nullptr);
    QCOMPARE(Shown(t.messages),
             QStringList{"Error: File containing telephone exchanges could not be read."});
    QVERIFY(!command->isEnabled());
    QCOMPARE(command->toolTip(), QString("File containing telephone exchanges could not be read."));
}

#include "test_phone_window.moc"
