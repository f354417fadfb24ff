#include "GuiTestUtil.h"
#include "TestUtil.h"
#include "main/app/SingleInstance.h"
#include "main/app/TimeFormat.h"

#include <QLockFile>
#include <QTest>

using corvana::test::RecordingMessages;
using corvana::test::TempDir;

class TestHelpers : public QObject {
    Q_OBJECT
private slots:
    void timeFormatDropsTheZone();
    void secondCopyIsTurnedAway();
};

void TestHelpers::timeFormatDropsTheZone() {
    QLocale us(QLocale::English, QLocale::UnitedStates);
    QVERIFY(us.timeFormat(QLocale::LongFormat).contains(u't'));
    QString usFormat = LongTimeFormatWithoutZone(us);
    QVERIFY(!usFormat.contains(u't'));
    QVERIFY(!usFormat.endsWith(u' '));
    QCOMPARE(LocaleTimeFormatter(us)({13, 5, 9, 0}), std::string("1:05:09 PM"));

    QLocale de(QLocale::German, QLocale::Germany);
    QCOMPARE(LocaleTimeFormatter(de)({13, 5, 9, 0}), std::string("13:05:09"));
    QCOMPARE(LocaleTimeFormatter(de)({0, 0, 0, 0}), std::string("00:00:00"));
}

void TestHelpers::secondCopyIsTurnedAway() {
    TempDir dir;
    QString path = QString::fromStdString(dir.str()) + "/corvana.lock";
    RecordingMessages messages;

    auto first = TakeInstanceLock(path, messages);
    QVERIFY(first);
    QVERIFY(messages.boxes.empty());

    QVERIFY(!TakeInstanceLock(path, messages));
    QCOMPARE(messages.boxes.size(), std::size_t(1));
    QCOMPARE(messages.boxes[0].caption, QString());
    QCOMPARE(messages.boxes[0].text,
             QString("Corvana is already running.  Hold down the ALT key and click on the right "
                     "mouse button to activate."));

    // Once the first copy has ended, the next one starts normally.
    first.reset();
    QVERIFY(TakeInstanceLock(path, messages));
    QCOMPARE(messages.boxes.size(), std::size_t(1));
}

QTEST_MAIN(TestHelpers)
#include "test_helpers.moc"
