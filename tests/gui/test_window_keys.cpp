// The keyboard in the main window and its dialogs: access keys, arrow keys, the focused list;
// and what the window shows that a user reads: the print font box, the spinner's arrows, the
// single state of the last run.

#include "DialogTestUtil.h"

#include "format/LocalTime.h"
#include "format/OutputFormats.h"
#include "main/dialogs/AboutBox.h"
#include "main/dialogs/NearbyRadius.h"
#include "main/dialogs/OtherProducts.h"
#include "main/dialogs/Preferences.h"
#include "main/dialogs/SetTimeZone.h"
#include "main/help/HelpWindow.h"
#include "main/layout/Layout.h"
#include "main/printing/CopyOrPrint.h"
#include "main/printing/PrinterSetup.h"
#include "main/widgets/SpinButton.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

using namespace corvana::test;

namespace {

const QSize Screen(1280, 1024);
const double Factors[] = {0.66, 0.75, 1.0, 1.25, 1.6, 2.0};

// Each access key of what a user sees in `window` (its menu bar and every visible button, group
// box, tab and label with a buddy), with the captions that carry it.
QMap<QString, QStringList> AccessKeys(QWidget* window) {
    QMap<QString, QStringList> keys;
    auto add = [&](const QString& caption) {
        const QKeySequence key = QKeySequence::mnemonic(caption);
        if (!key.isEmpty())
            keys[key.toString()] << caption;
    };
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->window() != window || !w->isVisibleTo(window))
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            add(button->text());
        else if (auto* label = qobject_cast<QLabel*>(w); label && label->buddy())
            add(label->text());
        else if (auto* group = qobject_cast<QGroupBox*>(w))
            add(group->title());
        else if (auto* tabs = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                add(tabs->tabText(i));
        else if (auto* bar = qobject_cast<QMenuBar*>(w))
            for (QAction* a : bar->actions())
                if (a->isVisible())
                    add(a->text());
    }
    return keys;
}

// The keys that more than one caption carries, as "Alt+C: &Configure, &Copy".
QStringList SharedKeys(const QMap<QString, QStringList>& keys) {
    QStringList out;
    for (auto it = keys.begin(); it != keys.end(); ++it)
        if (it.value().size() > 1)
            out << it.key() + ": " + it.value().join(", ");
    return out;
}

// The same within each menu of a menu bar and its submenus: an open menu is a window of its own.
QStringList SharedMenuKeys(const QList<QAction*>& actions) {
    QStringList out;
    QMap<QString, QStringList> keys;
    for (QAction* a : actions) {
        if (!a->isVisible())
            continue;
        if (a->menu())
            out << SharedMenuKeys(a->menu()->actions());
        const QKeySequence key = QKeySequence::mnemonic(a->text());
        if (!key.isEmpty())
            keys[key.toString()] << a->text();
    }
    return out << SharedKeys(keys);
}

void CheckAccessKeys(QWidget* window, const QString& where) {
    const QStringList shared = SharedKeys(AccessKeys(window));
    QVERIFY2(shared.isEmpty(), qPrintable(where + ": " + shared.join("; ")));
}

// The dark pixels of a grabbed control, lighter than `lightness` left out.
QRect DarkPixels(const QImage& image, int lightness = 96) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (QColor(image.pixel(x, y)).lightness() < lightness)
                box |= QRect(x, y, 1, 1);
    return box;
}

void Activate(QWidget& w) {
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

struct PrintDialog {
    corvana::Settings settings;
    RecordingMessages messages;
    QPrinter printer;
    std::unique_ptr<TCopyOrPrint> dialog;

    TCopyOrPrint& open(double factor, bool printMode) {
        CopyOrPrintContext ctx{settings,
                               factor,
                               Screen,
                               messages,
                               printer,
                               corvana::OutputFormats,
                               [](int, bool) { return corvana::CollectedOutput{}; },
                               {},
                               {}};
        dialog = std::make_unique<TCopyOrPrint>(ctx);
        dialog->PrintMode = printMode;
        dialog->show();
        return *dialog;
    }
};

} // namespace

class TestWindowKeys : public QObject {
    Q_OBJECT
private slots:
    void noTwoCommandsShareAnAccessKey();
    void theCheckFindsASharedKey();
    void arrowKeysInSearchByChooseTheModeAndStay();
    void downInTheEmptyStateFieldStartsAtTheFirstState();
    void singleStateIsRememberedAndRestored();
    void printFontBoxShowsItsWholeText();
    void commandRowTabsInReadingOrder();
    void spinnerArrowsGrowWithTheWindow();
    void focusedListIsFramedAndShowsItsCurrentLine();
};

void TestWindowKeys::noTwoCommandsShareAnAccessKey() {
    TestWindow t;
    TMainWin& w = t.open();
    // Each mode with results listed shows the most controls it has.
    const std::pair<const char*, const char*> modes[] = {{"SearchZip", "841"},
                                                         {"SearchCity", "salt"},
                                                         {"SearchState", "ut"},
                                                         {"SearchCounty", "salt"},
                                                         {"SearchArea", "801"}};
    for (auto [button, text] : modes) {
        Find<QRadioButton>(w, button)->click();
        const bool stateMode = QString(button) == "SearchState";
        QTest::keyClicks(stateMode ? Find<QComboBox>(w, "SearchFirstCombo")->lineEdit()
                                   : static_cast<QWidget*>(Find<QLineEdit>(w, "SearchFirstEdit")),
                         text);
        if (stateMode)
            QTest::keyClicks(Find<QLineEdit>(w, "SearchSecondEdit"), "salt");
        QVERIFY2(Find<QPushButton>(w, "ButtonCopy")->isVisible(), button);
        CheckAccessKeys(&w, button);
    }
    QCOMPARE(QKeySequence::mnemonic(Find<QPushButton>(w, "ButtonCopy")->text()),
             QKeySequence("Alt+Y"));
    const QStringList menus = SharedMenuKeys(w.menuBar()->actions());
    QVERIFY2(menus.isEmpty(), qPrintable(menus.join("; ")));

    for (bool printMode : {true, false}) {
        PrintDialog p;
        CheckAccessKeys(&p.open(1.0, printMode), printMode ? "print" : "copy");
    }
    corvana::Settings settings;
    TPreferences preferences(settings, 1.0, Screen, {});
    TSetTimeZone zone(settings, corvana::ZoneChoices, 1.0, Screen, nullptr);
    TAboutBox about(1.0, Screen);
    TOtherProducts others(1.0, Screen);
    RecordingMessages radiusMessages;
    TNearbyRadius radius("84101", 10, 1.0, Screen, radiusMessages);
    THelpWindow help(QString::fromStdString(t.dataDir + "/CORVA.HLP"));
    QPrinter printer;
    TPrinterSetup setup(printer, {{{"Office", {QPageSize(QPageSize::Letter)}, {}}}, "Office"}, 1.0,
                        Screen);
    // The font dialog as "Print Font" opens it.
    QFontDialog font(QFont("Arial", 11));
    font.setOptions(QFontDialog::ScalableFonts);
    for (QWidget* dialog : std::initializer_list<QWidget*>{&preferences, &zone, &about, &others,
                                                           &radius, &help, &setup, &font}) {
        dialog->show();
        CheckAccessKeys(dialog, dialog->metaObject()->className());
    }
}

void TestWindowKeys::theCheckFindsASharedKey() {
    // The two owners the main window's Alt+C once had; a hidden control does not count.
    QWidget window;
    auto* bar = new QMenuBar(&window);
    bar->addMenu("&Configure");
    auto* copy = new QPushButton("&Copy To Clipboard", &window);
    auto* print = new QPushButton("&Print", &window);
    window.show();
    QCOMPARE(SharedKeys(AccessKeys(&window)), QStringList{"Alt+C: &Configure, &Copy To Clipboard"});
    copy->hide();
    QVERIFY(SharedKeys(AccessKeys(&window)).isEmpty());
    print->setText("&Configure");
    QCOMPARE(SharedKeys(AccessKeys(&window)).size(), 1);
}

void TestWindowKeys::arrowKeysInSearchByChooseTheModeAndStay() {
    TestWindow t;
    t.writeIni("[Misc]\nLast Search=4\n");
    TMainWin& w = t.open();
    Activate(w);
    auto* field = Find<QLineEdit>(w, "SearchFirstEdit");
    auto* combo = Find<QComboBox>(w, "SearchFirstCombo");
    QCOMPARE(QApplication::focusWidget(), field);

    // Back to "Search By", where the focus lands on the checked button and stays in the group
    // while the arrows choose: from County down to Area Code and up again to Zip Code.
    QTest::keyClick(field, Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), Find<QRadioButton>(w, "SearchCounty"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(w.searchMode(), 5);
    QCOMPARE(QApplication::focusWidget(), Find<QRadioButton>(w, "SearchArea"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(w.searchMode(), 5);
    for (int mode = 4; mode >= 1; --mode) {
        QTest::keyClick(QApplication::focusWidget(), mode % 2 ? Qt::Key_Left : Qt::Key_Up);
        QCOMPARE(w.searchMode(), mode);
        QVERIFY(QApplication::focusWidget()->inherits("QRadioButton"));
        QVERIFY(static_cast<QRadioButton*>(QApplication::focusWidget())->isChecked());
    }
    QCOMPARE(QApplication::focusWidget(), Find<QRadioButton>(w, "SearchZip"));
    QVERIFY(t.messages.boxes.empty());

    // Tab goes on to the mode's field.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), field);
    QTest::keyClicks(field, "sal");
    QVERIFY(Find<QListWidget>(w, "AnswerBox")->isVisible());

    // Enter too, also in State mode, whose field is the state field; with the list shown,
    // Tab still goes there and not to the list.
    QTest::keyClick(field, Qt::Key_Backtab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(w.searchMode(), 3);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), combo);
    QTest::keyClicks(QApplication::focusWidget(), "u");
    QCOMPARE(combo->currentText(), QString("U"));
    QTest::keyClick(combo, Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), Find<QRadioButton>(w, "SearchState"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), combo);

    // A click on a mode still puts the focus in its field.
    QTest::mouseClick(Find<QRadioButton>(w, "SearchArea"), Qt::LeftButton);
    QCOMPARE(w.searchMode(), 5);
    QCOMPARE(QApplication::focusWidget(), field);
    QVERIFY(t.messages.boxes.empty());
}

void TestWindowKeys::downInTheEmptyStateFieldStartsAtTheFirstState() {
    for (const std::string& dir : {fixtureDir("small"), std::string(CORVANA_BIN_DIR)}) {
        TestWindow t(dir);
        t.writeIni("[Misc]\nLast Search=3\n");
        TMainWin& w = t.open();
        Activate(w);
        auto* combo = Find<QComboBox>(w, "SearchFirstCombo");
        const QString first = combo->itemText(0);
        QCOMPARE(first, QString(dir == CORVANA_BIN_DIR ? "AA" : "AE"));
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->currentText(), first);
        QCOMPARE(w.chosenStates().size(), std::size_t(1));
        // The keys stay in the state field to step on; the City field is there for Tab.
        QCOMPARE(QApplication::focusWidget(), combo);
        QVERIFY(Find<QLineEdit>(w, "SearchSecondEdit")->isVisible());
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->currentText(), combo->itemText(1));
        QTest::keyClick(combo, Qt::Key_Up);
        QCOMPARE(combo->currentText(), first);
        QCOMPARE(QApplication::focusWidget(), combo);
        // So do the spinner's arrows.
        auto* spinner = Find<TSpinButton>(w, "TheSpinner");
        QTest::mouseClick(spinner->downButton(), Qt::LeftButton);
        QCOMPARE(combo->currentText(), combo->itemText(1));
        QCOMPARE(QApplication::focusWidget(), combo);
        QTest::mouseClick(spinner->upButton(), Qt::LeftButton);
        QCOMPARE(combo->currentText(), first);
        QCOMPARE(QApplication::focusWidget(), combo);
        // Typed, an abbreviation goes on to the city.
        combo->setEditText({});
        QTest::keyClicks(combo, "UT");
        QCOMPARE(QApplication::focusWidget(), Find<QLineEdit>(w, "SearchSecondEdit"));

        // The list steps on from a typed abbreviation, and stops at its ends.
        combo->setFocus();
        combo->setEditText("CO");
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->currentText(), combo->itemText(combo->findText("CO") + 1));
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Up);
        QCOMPARE(combo->currentText(), QString("CO"));
        combo->setFocus();
        combo->setEditText(first);
        QTest::keyClick(combo, Qt::Key_Up);
        QCOMPARE(combo->currentText(), first);
        // A single letter starts at the top, as the spinner does.
        combo->setEditText("U");
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->currentText(), first);

        // Each new set-up of State mode starts from the empty field again.
        Find<QRadioButton>(w, "SearchZip")->click();
        Find<QRadioButton>(w, "SearchState")->click();
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->currentText(), first);
        QVERIFY(t.messages.boxes.empty());
    }
}

void TestWindowKeys::singleStateIsRememberedAndRestored() {
    QByteArray saved;
    {
        TestWindow t;
        t.writeIni("[Misc]\nLast Search=2\n");
        TMainWin& w = t.open();
        auto* states = Find<QComboBox>(w, "StateCombo");
        Find<QRadioButton>(w, "SingleState")->click();
        QCOMPARE(states->currentText(), states->itemText(0));
        states->setCurrentIndex(states->findText("UT"));
        w.close();
        QCOMPARE(t.savedIni().get("Misc", "All State", "", 15), std::string("No"));
        QCOMPARE(t.savedIni().get("Misc", "Single State", "", 15), std::string("UT"));
        saved = QByteArray::fromStdString(t.savedIni().text());
    }
    {
        // The next start searches Utah at once.
        TestWindow t;
        t.writeIni(saved.toStdString());
        TMainWin& w = t.open();
        QCOMPARE(Find<QComboBox>(w, "StateCombo")->currentText(), QString("UT"));
        QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "sal");
        const QStringList found = ItemTexts(Find<QListWidget>(w, "AnswerBox"));
        QVERIFY(!found.isEmpty());
        for (const QString& line : found)
            QVERIFY2(line.contains(", UT"), qPrintable(line));
        w.close();
        QCOMPARE(QByteArray::fromStdString(t.savedIni().text()), saved);
    }
    {
        // A file of an older version, single state and no key: the first state, AE.
        TestWindow t;
        t.writeIni("[Misc]\nLast Search=2\nAll State=No\n");
        TMainWin& w = t.open();
        auto* states = Find<QComboBox>(w, "StateCombo");
        QCOMPARE(states->currentText(), QString("AE"));
        QVERIFY(Find<QRadioButton>(w, "SingleState")->isChecked());
        QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "ap");
        QCOMPARE(ItemTexts(Find<QListWidget>(w, "AnswerBox")), QStringList{"APO, AE"});
        w.close();
        QCOMPARE(t.savedIni().get("Misc", "Single State", "", 15),
                 states->itemText(0).toStdString());
    }
    {
        // All states and no key: no state is shown until Single State asks for one; a state the
        // data does not know is kept in the file as it was.
        TestWindow t;
        t.writeIni("[Misc]\nLast Search=2\nSingle State=ZZ\n");
        TMainWin& w = t.open();
        QCOMPARE(Find<QComboBox>(w, "StateCombo")->currentIndex(), -1);
        w.close();
        QCOMPARE(t.savedIni().get("Misc", "Single State", "", 15), std::string("ZZ"));
    }
}

void TestWindowKeys::printFontBoxShowsItsWholeText() {
    for (double factor : Factors) {
        const int p = ScalePercent(factor);
        PrintDialog d;
        d.settings.printFont = {"Liberation Serif", 14, 0, true, false, false, false};
        QLineEdit* box = d.open(factor, true).PrintFont;
        QCOMPARE(box->text(), QString("14pt Liberation Serif"));
        QCOMPARE(box->cursorPosition(), 0);
        // A text that fits is drawn the same wherever the caret is; one that does not is
        // scrolled to keep the caret in sight.
        const QImage fromStart = box->grab().toImage();
        box->setCursorPosition(int(box->text().size()));
        QVERIFY2(box->grab().toImage() == fromStart, qPrintable(QString("at %1").arg(p)));
        QVERIFY(box->font().pixelSize() <= ScaleValue(15, p));

        // The default font's text keeps the box's own font size.
        PrintDialog plain;
        QLineEdit* plainBox = plain.open(factor, true).PrintFont;
        QCOMPARE(plainBox->text(), QString("11pt Arial"));
        QCOMPARE(plainBox->font().pixelSize(), ScaleValue(15, p));
    }
    // A name too long for any readable size is shown from its start, and whole in the tool
    // tip; so is a long name of a font that every desktop has, at every size.
    PrintDialog d;
    d.settings.printFont.faceName = std::string(60, 'W');
    QLineEdit* box = d.open(1.0, true).PrintFont;
    QCOMPARE(box->cursorPosition(), 0);
    QVERIFY(box->text().startsWith("11pt W"));
    QCOMPARE(box->toolTip(), "11pt " + QString(60, 'W'));
    for (double factor : Factors) {
        PrintDialog condensed;
        condensed.settings.printFont = {"DejaVu Sans Condensed", 14, 0, true, false, false, false};
        QLineEdit* shown = condensed.open(factor, true).PrintFont;
        const QString whole = "14pt DejaVu Sans Condensed";
        QCOMPARE(shown->toolTip(), whole);
        // What fits, and an ellipsis where the rest is left off.
        const QString text = shown->text();
        QVERIFY2(text == whole || (text.endsWith(QChar(0x2026)) && text.size() > 6 &&
                                   whole.startsWith(text.chopped(1))),
                 qPrintable(text));
        QCOMPARE(shown->accessibleDescription(), text == whole ? QString() : whole);
        // Drawn whole: the box looks the same with the caret at either end.
        const QImage fromStart = shown->grab().toImage();
        shown->setCursorPosition(int(shown->text().size()));
        QVERIFY2(shown->grab().toImage() == fromStart, qPrintable(QString::number(factor)));
    }
}

void TestWindowKeys::commandRowTabsInReadingOrder() {
    TestWindow t;
    TMainWin& w = t.open();
    Activate(w);
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "970");
    auto* list = Find<QListWidget>(w, "AnswerBox");
    list->setFocus();
    QStringList visited;
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, (QStringList{"RangeSelect", "ButtonPrint", "ButtonCopy"}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("ButtonPrint"));
}

void TestWindowKeys::spinnerArrowsGrowWithTheWindow() {
    QMap<int, QRect> arrows;
    for (int size : {640, 1280}) {
        TestWindow t;
        t.writeIni("[Misc]\nLast Search=3\nWindow Size=" + std::to_string(size) + "\n");
        TMainWin& w = t.open();
        for (QToolButton* button : {Find<TSpinButton>(w, "TheSpinner")->upButton(),
                                    Find<TSpinButton>(w, "TheSpinner")->downButton()}) {
            const QImage image = button->grab().toImage();
            const QRect arrow = DarkPixels(image);
            QVERIFY2(!arrow.isEmpty(), qPrintable(button->objectName()));
            QVERIFY(image.rect().adjusted(1, 1, -1, -1).contains(arrow));
            arrows[size] = arrow;
        }
    }
    QVERIFY2(arrows[1280].width() >= 2 * arrows[640].width() - 2 &&
                 arrows[1280].height() >= 2 * arrows[640].height() - 2,
             qPrintable(QString("arrow %1x%2 at 640, %3x%4 at 1280")
                            .arg(arrows[640].width())
                            .arg(arrows[640].height())
                            .arg(arrows[1280].width())
                            .arg(arrows[1280].height())));
    QVERIFY(arrows[640].width() >= 6);
}

void TestWindowKeys::focusedListIsFramedAndShowsItsCurrentLine() {
    TestWindow t(CORVANA_BIN_DIR);
    TMainWin& w = t.open();
    Activate(w);
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "841");
    auto* list = Find<QListWidget>(w, "AnswerBox");
    QVERIFY(list->count() > 20);
    const QColor highlight = list->palette().color(QPalette::Active, QPalette::Highlight);
    auto frameColour = [&] { return QColor(list->grab().toImage().pixel(0, list->height() / 2)); };
    QVERIFY(frameColour() != highlight);

    // Scrolled out of sight of its current line, the list is reached by Tab.
    list->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    list->scrollToBottom();
    QTest::keyClick(Find<QLineEdit>(w, "SearchFirstEdit"), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), list);
    QCOMPARE(frameColour(), highlight);
    const QRect current = list->visualRect(list->currentIndex());
    QVERIFY(list->viewport()->rect().contains(current));
    QVERIFY(list->selectedItems().isEmpty());

    // The current line is boxed: its left edge is drawn, the next line's is not.
    const QImage view = list->viewport()->grab().toImage();
    auto darkAtLeft = [&](const QRect& row) {
        int dark = 0;
        for (int y = row.top(); y <= row.bottom(); ++y)
            dark += QColor(view.pixel(row.left(), y)).lightness() < 128;
        return dark;
    };
    QVERIFY(darkAtLeft(current) >= current.height() / 3);
    const QRect other = list->visualRect(list->model()->index(list->currentRow() + 1, 0));
    QVERIFY(other.isValid());
    QCOMPARE(darkAtLeft(other), 0);

    // A click picks its own line: the focus coming with it moves nothing.
    QTest::keyClick(list, Qt::Key_Backtab);
    list->scrollToTop();
    list->setCurrentRow(list->count() - 1, QItemSelectionModel::NoUpdate);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(2)).center());
    QCOMPARE(list->currentRow(), 2);
    QCOMPARE(list->selectedItems().size(), 1);
}

QTEST_MAIN(TestWindowKeys)
#include "test_window_keys.moc"
