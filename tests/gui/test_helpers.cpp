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
    void eachDisplayHasItsOwnLock();
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

void TestHelpers::eachDisplayHasItsOwnLock() {
    // The display number names an X session; its screens and the host's spelling do not merge
    // with other displays.
    QCOMPARE(InstanceName("xcb", ":0", ""), QString("corvana-x11-0"));
    QCOMPARE(InstanceName("xcb", ":0.1", ""), QString("corvana-x11-0"));
    QCOMPARE(InstanceName("xcb", ":140", "wayland-0"), QString("corvana-x11-140"));
    QCOMPARE(InstanceName("xcb", "localhost:10.0", ""), QString("corvana-x11-localhost_10"));
    QCOMPARE(InstanceName("xcb", "", ""), QString("corvana-x11-0"));
    // A path or odd characters never reach the file system as directories or dots alone.
    QCOMPARE(InstanceName("xcb", "/tmp/.X11-unix/X3:0", ""),
             QString("corvana-x11-_tmp_.X11-unix_X3_0"));
    QCOMPARE(InstanceName("wayland", ":1", "wayland-1"), QString("corvana-wayland-wayland-1"));
    QCOMPARE(InstanceName("wayland-egl", "", "/run/user/1000/wayland-0"),
             QString("corvana-wayland-_run_user_1000_wayland-0"));
    QCOMPARE(InstanceName("wayland", "", ""), QString("corvana-wayland-wayland-0"));
    QCOMPARE(InstanceName("offscreen", ":0", "wayland-0"), QString("corvana-offscreen"));

    // A long name stays short enough for a socket path, and two that differ only at the end
    // still differ.
    const QString a = InstanceName("xcb", QString(200, u'h') + ":1", "");
    const QString b = InstanceName("xcb", QString(200, u'h') + ":2", "");
    QVERIFY(a.size() <= 60);
    QVERIFY(a != b);

    // Locks of two displays are held at once; a second copy on one display is still turned away.
    TempDir dir;
    const QString base = QString::fromStdString(dir.str()) + u'/';
    RecordingMessages messages;
    auto first = TakeInstanceLock(base + InstanceName("xcb", ":140", "") + ".lock", messages);
    auto second = TakeInstanceLock(base + InstanceName("xcb", ":141", "") + ".lock", messages);
    QVERIFY(first);
    QVERIFY(second);
    QVERIFY(messages.boxes.empty());
    QVERIFY(!TakeInstanceLock(base + InstanceName("xcb", ":140.0", "") + ".lock", messages));
    QCOMPARE(messages.boxes.size(), std::size_t(1));
}

QTEST_MAIN(TestHelpers)
#include "test_helpers.moc"
