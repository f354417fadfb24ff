#include "GuiTestUtil.h"
#include "main/layout/Layout.h"

#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using corvana::test::RecordingMessages;

namespace {

QFont pixelFont(int px) {
    QFont f("Arial");
    f.setPixelSize(px);
    return f;
}

} // namespace

class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void factorLengthsTruncate();
    void productsRoundToNearest();
    void windowSizesOfEachFactor();
    void placement();
    void restoreStartsFromTheRecordEveryTime();
    void tooManyComponents();
    void dialogScalesAndCentres();
};

void TestLayout::factorLengthsTruncate() {
    QCOMPARE(Scaled(0.66, 149), 98);
    QCOMPARE(Scaled(0.66, 70), 46);
    QCOMPARE(Scaled(1.6, 401), 641);
    QCOMPARE(Scaled(1.6, 149), 238);
    QCOMPARE(Scaled(1.6, 45), 72);
    QCOMPARE(Scaled(0.75, 401), 300);
    const double factors[] = {0.66, 0.75, 1.0, 1.25, 1.6, 2.0};
    const int percents[] = {66, 75, 100, 125, 160, 200};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(ScalePercent(factors[i]), percents[i]);
}

void TestLayout::productsRoundToNearest() {
    QCOMPARE(ScaleValue(264, 66), 174);  // 174.24
    QCOMPARE(ScaleValue(484, 66), 319);  // 319.44
    QCOMPARE(ScaleValue(401, 160), 642); // 641.6
    QCOMPARE(ScaleValue(1, 50), 1);      // halves go away from zero
    QCOMPARE(ScaleValue(-1, 50), -1);
    QCOMPARE(ScaleValue(-3, 66), -2); // -1.98
    QCOMPARE(ScaleRect({264, 8, 220, 27}, 66), (LayoutRect{174, 5, 145, 18}));
    // Two controls that touch at design size still touch when scaled.
    LayoutRect a = ScaleRect({4, 4, 149, 141}, 66);
    LayoutRect b = ScaleRect({153, 4, 100, 141}, 66);
    QCOMPARE(a.left + a.width, b.left);
}

void TestLayout::windowSizesOfEachFactor() {
    const int percents[] = {66, 75, 100, 125, 160, 200};
    const int widths[] = {330, 375, 500, 625, 800, 1000};
    const int fullHeights[] = {265, 301, 401, 501, 642, 802};
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(ScaleValue(500, percents[i]), widths[i]);
        QCOMPARE(ScaleValue(401, percents[i]), fullHeights[i]);
    }
}

void TestLayout::placement() {
    QSize screen(640, 480);
    QPoint current(7, 9);
    // Centred on the screen, even when that puts the window partly off it.
    QCOMPARE(PlaceWindow(1, {200, 101}, current, {}, screen), QPoint(220, 189));
    QCOMPARE(PlaceWindow(1, {801, 600}, current, {}, screen), QPoint(-80, -60));
    // Centred on the reference, but never above or left of the screen's corner.
    QRect ref(10, 10, 100, 100);
    QCOMPARE(PlaceWindow(2, {50, 20}, current, ref, screen), QPoint(35, 50));
    QCOMPARE(PlaceWindow(2, {200, 50}, current, ref, screen), QPoint(0, 35));
    QCOMPARE(PlaceWindow(3, {200, 50}, current, ref, screen), current);
    QCOMPARE(PlaceWindow(0, {200, 50}, current, ref, screen), current);
}

void TestLayout::restoreStartsFromTheRecordEveryTime() {
    QWidget window;
    auto* panel = new QFrame(&window);
    panel->setGeometry(256, 40, 141, 97);
    panel->setFont(pixelFont(17));
    auto* edit = new QLineEdit(panel);
    edit->setGeometry(40, 60, 65, 27);
    edit->setFont(pixelFont(17));
    auto* label = new QLabel("x", &window);
    label->setGeometry(4, 148, 493, 25);
    label->setFont(pixelFont(20));
    auto* bevel = new QFrame(&window);
    bevel->setGeometry(156, 4, 341, 141);
    label->hide();
    edit->setEnabled(false);

    std::vector<LayoutComponent> parts = {{panel, LayoutKind::GeometryAndFont},
                                          {nullptr, LayoutKind::None},
                                          {edit, LayoutKind::GeometryAndFont},
                                          {label, LayoutKind::GeometryAndFont},
                                          {bevel, LayoutKind::Geometry}};
    RecordingMessages messages;
    DesignLayout layout;
    SaveFormLayout(parts, {500, 401}, layout, messages, &window);
    QVERIFY(messages.boxes.empty());
    QCOMPARE(layout.clientWidth, 500);
    QCOMPARE(layout.clientHeight, 401);
    QCOMPARE(layout.entries[2], (LayoutSlot{40, 60, 65, 27, 17}));
    QCOMPARE(layout.entries[4].fontSize, 0);

    QCOMPARE(RestoreFormLayout(parts, layout, 66), QSize(330, 265));
    QCOMPARE(panel->geometry(), QRect(169, 26, 93, 64));
    QCOMPARE(edit->geometry(), QRect(26, 40, 43, 17)); // inside the panel, by its own edges
    QCOMPARE(label->font().pixelSize(), 13);
    QCOMPARE(edit->font().pixelSize(), 11);

    // Something else moves a control in between: the next restore ignores it.
    edit->setGeometry(0, 0, 5, 5);
    QCOMPARE(RestoreFormLayout(parts, layout, 200), QSize(1000, 802));
    QCOMPARE(edit->geometry(), QRect(80, 120, 130, 54));
    QCOMPARE(RestoreFormLayout(parts, layout, 160), QSize(800, 642));

    QCOMPARE(RestoreFormLayout(parts, layout, 100), QSize(500, 401));
    QCOMPARE(panel->geometry(), QRect(256, 40, 141, 97));
    QCOMPARE(edit->geometry(), QRect(40, 60, 65, 27));
    QCOMPARE(label->geometry(), QRect(4, 148, 493, 25));
    QCOMPARE(bevel->geometry(), QRect(156, 4, 341, 141));
    QCOMPARE(label->font().pixelSize(), 20);
    QCOMPARE(edit->font().pixelSize(), 17);
    QVERIFY(label->isHidden());
    QVERIFY(!edit->isEnabled());
    QVERIFY(panel->isEnabled());
}

void TestLayout::tooManyComponents() {
    QWidget window;
    std::vector<LayoutComponent> parts;
    for (int i = 0; i < 103; ++i) {
        auto* w = new QWidget(&window);
        w->setGeometry(i, 10, 20, 30);
        parts.push_back({w, LayoutKind::Geometry});
    }
    RecordingMessages messages;
    DesignLayout layout;
    SaveFormLayout(parts, {500, 401}, layout, messages, &window);
    QCOMPARE(messages.boxes.size(), std::size_t(1));
    QCOMPARE(messages.boxes[0].caption, QString("Error"));
    QCOMPARE(messages.boxes[0].text, QString("Too many compenents to save dimensions."));
    QCOMPARE(layout.entries[100].left, 100);

    RestoreFormLayout(parts, layout, 200);
    QCOMPARE(parts[100].widget->geometry(), QRect(200, 20, 40, 60));
    QCOMPARE(parts[101].widget->geometry(), QRect(101, 10, 20, 30));
}

void TestLayout::dialogScalesAndCentres() {
    QDialog dialog;
    dialog.resize(300, 200);
    dialog.setFont(pixelFont(17));
    auto* panel = new QFrame(&dialog);
    panel->setGeometry(8, 8, 284, 120);
    panel->setFont(pixelFont(20));
    auto* label = new QLabel("Corvana", panel); // takes the panel's font
    label->setGeometry(10, 10, 200, 30);
    auto* combo = new QComboBox(&dialog);
    combo->setEditable(true);
    combo->setGeometry(8, 140, 150, 27);
    QRect innerEdit = combo->lineEdit()->geometry();

    ScaleAndCentreDialog(&dialog, 0.66, {1024, 768});
    QCOMPARE(dialog.size(), QSize(198, 132));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QCOMPARE(dialog.pos(), QPoint(413, 318));
    QCOMPARE(panel->geometry(), QRect(5, 5, 188, 79));
    QCOMPARE(label->geometry(), QRect(7, 7, 132, 19));
    QCOMPARE(label->font().pixelSize(), 13); // scaled once, not once per parent
    QCOMPARE(panel->font().pixelSize(), 13);
    QCOMPARE(combo->geometry(), QRect(5, 92, 99, 18));
    QCOMPARE(combo->font().pixelSize(), 11);
    QCOMPARE(combo->lineEdit()->geometry().topLeft(), innerEdit.topLeft());
}

QTEST_MAIN(TestLayout)
#include "test_layout.moc"
