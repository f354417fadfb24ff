#include "DialogTestUtil.h"
#include "main/dialogs/AboutBox.h"
#include "main/dialogs/OtherProducts.h"
#include "main/dialogs/Preferences.h"
#include "main/dialogs/SetTimeZone.h"
#include "main/help/HelpWindow.h"
#include "main/printing/CopyOrPrint.h"
#include "main/printing/PrinterSetup.h"
#include "main/widgets/SpinButton.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

using namespace corvana::test;

namespace {

QString accessibleName(QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Name) : QString();
}

// Every visible control of a window that a user can reach or operate.
QList<QWidget*> visibleControls(QWidget* root) {
    QList<QWidget*> out;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisible() || w->isWindow())
            continue;
        if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
            qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractItemView*>(w) ||
            (w->focusPolicy() & Qt::TabFocus))
            out << w;
    }
    return out;
}

QStringList unnamed(QWidget* root) {
    QStringList out;
    for (QWidget* w : visibleControls(root))
        if (accessibleName(w).trimmed().isEmpty())
            out << QString("%1 %2").arg(w->metaObject()->className(), w->objectName());
    return out;
}

// The controls that Tab visits from `first` until the focus comes back to it.
QList<QWidget*> tabCycle(QWidget* first) {
    QList<QWidget*> seen;
    first->setFocus(Qt::TabFocusReason);
    QWidget* at = QApplication::focusWidget();
    for (int i = 0; i < 60 && at && !seen.contains(at); ++i) {
        seen << at;
        QTest::keyClick(at, Qt::Key_Tab);
        at = QApplication::focusWidget();
    }
    return seen;
}

// The captions that label a control for assistive technology.
QStringList labelledBy(QWidget* w) {
    QStringList out;
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    for (const auto& [label, relation] : a->relations(QAccessible::Label))
        out << label->text(QAccessible::Name);
    return out;
}

QStringList objectNames(const QList<QWidget*>& widgets) {
    QStringList out;
    for (QWidget* w : widgets)
        out << w->objectName();
    return out;
}

QStringList names(const QList<QWidget*>& widgets) {
    QStringList out;
    for (QWidget* w : widgets)
        out << accessibleName(w);
    return out;
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void fieldsAndListAreNamedByTheirCaptions();
    void everyModeNamesEveryControl();
    void tabReachesEveryControlInOrder();
    void dialogsNameTheirListsAndFields();
};

void TestAccessibility::fieldsAndListAreNamedByTheirCaptions() {
    TestWindow t;
    TMainWin& w = t.open();
    const std::pair<QRadioButton*, QString> modes[] = {
        {Find<QRadioButton>(w, "SearchCity"), "City"},
        {Find<QRadioButton>(w, "SearchCounty"), "County"},
        {Find<QRadioButton>(w, "SearchArea"), "Area Code"},
        {Find<QRadioButton>(w, "SearchZip"), "Zip Code"}};
    for (const auto& [button, caption] : modes) {
        button->click();
        QCOMPARE(Find<QLabel>(w, "SearchFirstLabel")->text(), caption);
        QCOMPARE(accessibleName(Find<QLineEdit>(w, "SearchFirstEdit")), caption);
        QCOMPARE(labelledBy(Find<QLineEdit>(w, "SearchFirstEdit")), QStringList{caption});
    }

    // The results list takes each new heading.
    for (const char* text : {"8", "84", "841", "84101", "99999"}) {
        Find<QLineEdit>(w, "SearchFirstEdit")->setText(text);
        QVERIFY(!Find<QLabel>(w, "AnswerBoxLabel")->text().isEmpty());
        QCOMPARE(accessibleName(Find<QListWidget>(w, "AnswerBox")),
                 Find<QLabel>(w, "AnswerBoxLabel")->text());
    }
    Find<QLineEdit>(w, "SearchFirstEdit")->setText("8");
    QCOMPARE(accessibleName(Find<QListWidget>(w, "AnswerBox")), QString("Potential States"));
    Find<QLineEdit>(w, "SearchFirstEdit")->setText("841");
    QCOMPARE(accessibleName(Find<QListWidget>(w, "AnswerBox")), QString("Possible Cities"));

    Find<QRadioButton>(w, "SearchState")->click();
    QCOMPARE(accessibleName(Find<QComboBox>(w, "SearchFirstCombo")), QString("State"));
    QCOMPARE(labelledBy(Find<QComboBox>(w, "SearchFirstCombo")), QStringList{"State"});
    QCOMPARE(accessibleName(Find<QComboBox>(w, "SearchFirstCombo")->lineEdit()), QString("State"));
    QCOMPARE(accessibleName(Find<TSpinButton>(w, "TheSpinner")->upButton()),
             QString("Previous state"));
    QCOMPARE(accessibleName(Find<TSpinButton>(w, "TheSpinner")->downButton()),
             QString("Next state"));
    QTest::keyClicks(Find<QComboBox>(w, "SearchFirstCombo")->lineEdit(), "ut");
    // A combo box that holds a choice is spoken by it, after its caption.
    QCOMPARE(accessibleName(Find<QComboBox>(w, "SearchFirstCombo")), QString("UT"));
    QCOMPARE(labelledBy(Find<QComboBox>(w, "SearchFirstCombo")), QStringList{"State"});
    QCOMPARE(accessibleName(Find<QLineEdit>(w, "SearchSecondEdit")), QString("City"));
    QCOMPARE(labelledBy(Find<QLineEdit>(w, "SearchSecondEdit")), QStringList{"City"});
    QCOMPARE(accessibleName(Find<QComboBox>(w, "StateCombo")), QString("Single State"));
}

void TestAccessibility::everyModeNamesEveryControl() {
    TestWindow t;
    TMainWin& w = t.open();
    struct Mode {
        QRadioButton* button;
        QStringList keys; // typed into the focused field, one after the other
    };
    const Mode modes[] = {{Find<QRadioButton>(w, "SearchZip"), {"841"}},
                          {Find<QRadioButton>(w, "SearchCity"), {"sa"}},
                          {Find<QRadioButton>(w, "SearchState"), {"ut", "sa"}},
                          {Find<QRadioButton>(w, "SearchCounty"), {"salt"}},
                          {Find<QRadioButton>(w, "SearchArea"), {"801"}}};
    for (const Mode& m : modes) {
        m.button->click();
        QVERIFY2(unnamed(&w).isEmpty(), qPrintable(unnamed(&w).join(", ")));
        for (const QString& keys : m.keys)
            QTest::keyClicks(w.focusWidget(), keys);
        QVERIFY(Find<QListWidget>(w, "AnswerBox")->isVisible());
        QVERIFY2(unnamed(&w).isEmpty(), qPrintable(unnamed(&w).join(", ")));
    }
}

void TestAccessibility::tabReachesEveryControlInOrder() {
    TestWindow t;
    TMainWin& w = t.open();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));

    // City mode with results shows the most controls that take the focus; State mode the
    // spinner. A radio group is one stop: Tab enters it at its checked button.
    Find<QRadioButton>(w, "SearchCity")->click();
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "salt");
    QList<QWidget*> cycle = tabCycle(Find<QRadioButton>(w, "SearchCity"));
    QCOMPARE(objectNames(cycle),
             (QStringList{"SearchCity", "SearchFirstEdit", "AnswerBox", "RangeSelect",
                          "ButtonPrint", "ButtonCopy", "AllStates", "StateCombo"}));
    QCOMPARE(names(cycle),
             (QStringList{"City", "City", "Possible Zip Codes", "Range Selecting", "Print",
                          "Copy To Clipboard", "All States", "Single State"}));

    Find<QRadioButton>(w, "SingleState")->click();
    Find<QRadioButton>(w, "SearchState")->click();
    QTest::keyClicks(Find<QComboBox>(w, "SearchFirstCombo")->lineEdit(), "ut");
    QTest::keyClicks(Find<QLineEdit>(w, "SearchSecondEdit"), "salt");
    cycle = tabCycle(Find<QRadioButton>(w, "SearchState"));
    QCOMPARE(objectNames(cycle), (QStringList{"SearchState", "SearchFirstCombo", "TheSpinnerUp",
                                              "TheSpinnerDown", "SearchSecondEdit", "AnswerBox",
                                              "RangeSelect", "ButtonPrint", "ButtonCopy"}));
    for (const QString& name : names(cycle))
        QVERIFY(!name.isEmpty());
}

void TestAccessibility::dialogsNameTheirListsAndFields() {
    const QSize screen(1280, 1024);
    corvana::Settings settings;

    TSetTimeZone zone(settings, corvana::ZoneChoices, 1.0, screen, nullptr);
    zone.show();
    QCOMPARE(labelledBy(zone.TZone), QStringList{"Your Time Zone"});
    QVERIFY2(unnamed(&zone).isEmpty(), qPrintable(unnamed(&zone).join(", ")));

    TPreferences prefs(settings, 1.0, screen, nullptr, nullptr);
    prefs.show();
    QVERIFY2(unnamed(&prefs).isEmpty(), qPrintable(unnamed(&prefs).join(", ")));

    TAboutBox about(1.0, screen, nullptr);
    about.show();
    QVERIFY2(unnamed(&about).isEmpty(), qPrintable(unnamed(&about).join(", ")));

    TOtherProducts others(1.0, screen, nullptr);
    others.show();
    QVERIFY2(unnamed(&others).isEmpty(), qPrintable(unnamed(&others).join(", ")));

    QPrinter printer;
    TPrinterSetup setup(printer, PrinterList{{{"Office Laser", {}, {}}}, {}}, 1.0, screen);
    setup.show();
    QCOMPARE(labelledBy(setup.PrinterCombo), QStringList{"Printer"});
    QCOMPARE(labelledBy(setup.PaperCombo), QStringList{"Paper"});
    QVERIFY2(unnamed(&setup).isEmpty(), qPrintable(unnamed(&setup).join(", ")));

    TestWindow t;
    TMainWin& w = t.open();
    Find<QLineEdit>(w, "SearchFirstEdit")->setText("84101");
    WhenModal<TCopyOrPrint>([](TCopyOrPrint& d) {
        QCOMPARE(accessibleName(d.FormatList), QString("Output Formats"));
        QCOMPARE(accessibleName(d.PrintFont), QString("Print Font"));
        QVERIFY2(unnamed(&d).isEmpty(), qPrintable(unnamed(&d).join(", ")));
    });
    Find<QAction>(w, "MenuCopy")->trigger();

    THelpWindow help(QString::fromStdString(t.dataDir + "/CORVA.HLP"));
    help.show();
    QVERIFY2(unnamed(&help).isEmpty(), qPrintable(unnamed(&help).join(", ")));
}

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
