// Faults a new user runs into: a radius changed without a word.

#include "DialogTestUtil.h"

#include "main/dialogs/NearbyRadius.h"

#include <QDoubleSpinBox>
#include <QPushButton>
#include <QTest>

using namespace corvana::test;

namespace {

const QSize Screen(1024, 768);

void Activate(QWidget& w) {
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

} // namespace

class TestWindowFixes : public QObject {
    Q_OBJECT
private slots:
    void radiusOutOfRangeOrEmptyKeepsTheDialogOpen();
};

void TestWindowFixes::radiusOutOfRangeOrEmptyKeepsTheDialogOpen() {
    RecordingMessages messages;
    TNearbyRadius d("84101", 10, 1.0, Screen, messages);
    d.show();
    Activate(d);
    QCOMPARE(QApplication::focusWidget(), d.Miles);
    const QString refusal = "Error: The radius must be from 0.1 to 3000 miles.";

    // Every digit typed stays, and Enter on a radius out of range refuses it.
    QTest::keyClicks(d.Miles, "3001");
    QCOMPARE(d.Miles->cleanText(), QString("3001"));
    QTest::keyClick(d.Miles, Qt::Key_Return);
    QVERIFY(d.isVisible());
    QCOMPARE(Shown(messages), QStringList{refusal});
    QCOMPARE(QApplication::focusWidget(), d.Miles);

    // 0 is not taken for the last radius, neither is an empty field; Ok does as Enter does.
    d.Miles->selectAll();
    QTest::keyClicks(d.Miles, "0");
    QTest::keyClick(d.Miles, Qt::Key_Return);
    QVERIFY(d.isVisible());
    d.Miles->selectAll();
    QTest::keyClick(d.Miles, Qt::Key_Delete);
    QCOMPARE(d.Miles->cleanText(), QString());
    QTest::mouseClick(d.OkButton, Qt::LeftButton);
    QVERIFY(d.isVisible());
    QCOMPARE(Shown(messages), (QStringList{refusal, refusal, refusal}));

    // Both ends of the range are radii.
    for (const char* typed : {"0.1", "3000"}) {
        d.show();
        d.Miles->setFocus();
        d.Miles->selectAll();
        QTest::keyClicks(d.Miles, typed);
        QTest::keyClick(d.Miles, Qt::Key_Return);
        QVERIFY2(!d.isVisible(), typed);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(d.miles(), QString(typed).toDouble());
    }
    QCOMPARE(messages.boxes.size(), std::size_t(3));
}

QTEST_MAIN(TestWindowFixes)
#include "test_window_fixes.moc"
