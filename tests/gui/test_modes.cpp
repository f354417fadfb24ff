#include "GuiTestUtil.h"
#include "main/widgets/SpinButton.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

using namespace corvana::test;

namespace {

// What the window must list for a search: the core's items in the core's order.
QStringList coreTexts(const corvana::SearchResult& r) {
    QStringList out;
    for (const auto& item : r.items)
        out << fromCore(item.text);
    return out;
}

// The ZIP code stored in record `record` of ZIPCODE.DAT.
int zipOfRecord(const std::string& dataDir, int record) {
    std::string dat = readFile(dataDir + "/ZIPCODE.DAT");
    const auto* p = reinterpret_cast<const unsigned char*>(dat.data()) + record * 13;
    return p[0] * 10000 + (p[1] | p[2] << 8);
}

bool outputControlsOn(TMainWin& w) {
    bool on = Find<QPushButton>(w, "ButtonCopy")->isVisible();
    for (QWidget* c : {static_cast<QWidget*>(Find<QPushButton>(w, "ButtonCopy")),
                       static_cast<QWidget*>(Find<QPushButton>(w, "ButtonPrint")),
                       static_cast<QWidget*>(Find<QCheckBox>(w, "RangeSelect"))})
        if (c->isVisible() != on || c->isEnabled() != on)
            return !on; // out of step: report the opposite of what the first one says
    if (Find<QAction>(w, "MenuPrint")->isEnabled() != on ||
        Find<QAction>(w, "MenuCopy")->isEnabled() != on)
        return !on;
    return on;
}

bool listShown(TMainWin& w) {
    bool on = Find<QListWidget>(w, "AnswerBox")->isVisible();
    if (Find<QListWidget>(w, "AnswerBox")->isEnabled() != on ||
        Find<QLabel>(w, "AnswerBoxLabel")->isVisible() != on)
        return !on;
    return on && w.clientSize().height() == 401;
}

// On the indicator: a radio button takes clicks on its circle and its text only.
void clickRadio(QRadioButton* b) {
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
}

} // namespace

class TestModes : public QObject {
    Q_OBJECT
private slots:
    void zipCodeDigitByDigit();
    void zipFieldKeepsDigitsOnly();
    void cityTextIsTrimmed();
    void modeChangeEmptiesTheField();
    void stateAbbreviationTypedLetterByLetter();
    void unknownStateAbbreviation();
    void everyEntryOfAnAbbreviationIsChosen();
    void spinnerStepsAndWraps();
    void stateFilterOfCityAndCounty();
    void rangeSelecting();
    void textsInTheDataCodePage();
    void fatalErrorDuringASearchEndsTheProgram();
    void readErrorDuringASearchIsReported();
};

void TestModes::zipCodeDigitByDigit() {
    TestWindow t;
    TMainWin& w = t.open();
    auto ctx = w.searchContext();

    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "9");
    QVERIFY(listShown(w));
    QVERIFY(!outputControlsOn(w));
    QCOMPARE(Find<QLabel>(w, "AnswerBoxLabel")->text(), QString("Potential States"));
    QCOMPARE(ItemTexts(Find<QListWidget>(w, "AnswerBox")),
             coreTexts(corvana::SearchTheZip("9", ctx)));
    QCOMPARE(Find<QListWidget>(w, "AnswerBox")->count(), 2);

    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "7");
    QCOMPARE(Find<QLabel>(w, "AnswerBoxLabel")->text(),
             QString("Cities With Most Zip Codes In Area"));
    QCOMPARE(ItemTexts(Find<QListWidget>(w, "AnswerBox")),
             coreTexts(corvana::SearchTheZip("97", ctx)));
    QVERIFY(!outputControlsOn(w));

    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "0");
    QCOMPARE(Find<QLabel>(w, "AnswerBoxLabel")->text(), QString("Possible Cities"));
    QVERIFY(listShown(w));
    QVERIFY(outputControlsOn(w));
    auto r = corvana::SearchTheZip("970", ctx);
    QCOMPARE(ItemTexts(Find<QListWidget>(w, "AnswerBox")), coreTexts(r));
    QCOMPARE(Find<QListWidget>(w, "AnswerBox")->count(), 4);
    QCOMPARE(w.shownItems(), r.items);
    for (int i = 0; i < Find<QListWidget>(w, "AnswerBox")->count(); ++i) {
        const std::optional<std::uint32_t> record = w.shownItems()[std::size_t(i)].record();
        QVERIFY(record);
        QCOMPARE(QString::number(zipOfRecord(t.dataDir, int(*record))),
                 Find<QListWidget>(w, "AnswerBox")->item(i)->text().left(5));
    }

    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "06");
    QCOMPARE(Find<QListWidget>(w, "AnswerBox")->count(), 1);
    QVERIFY(Find<QListWidget>(w, "AnswerBox")->item(0)->text().startsWith("97006 Aloha, OR"));
    // A sixth digit is refused by the field's limit.
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "1");
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->text(), QString("97006"));

    // Back to two digits: the output controls go; emptied: the list hides, its items stay.
    QTest::keyClick(Find<QLineEdit>(w, "SearchFirstEdit"), Qt::Key_Backspace);
    QTest::keyClick(Find<QLineEdit>(w, "SearchFirstEdit"), Qt::Key_Backspace);
    QTest::keyClick(Find<QLineEdit>(w, "SearchFirstEdit"), Qt::Key_Backspace);
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->text(), QString("97"));
    QVERIFY(!outputControlsOn(w));
    QVERIFY(listShown(w));
    Find<QLineEdit>(w, "SearchFirstEdit")->clear();
    QVERIFY(!Find<QListWidget>(w, "AnswerBox")->isVisible());
    QVERIFY(!Find<QListWidget>(w, "AnswerBox")->isEnabled());
    QVERIFY(!Find<QLabel>(w, "AnswerBoxLabel")->isVisible());
    QCOMPARE(w.clientSize(), QSize(500, 149));
    QCOMPARE(ItemTexts(Find<QListWidget>(w, "AnswerBox")),
             coreTexts(corvana::SearchTheZip("97", ctx)));
    QVERIFY(t.messages.boxes.empty());
}

void TestModes::zipFieldKeepsDigitsOnly() {
    TestWindow t;
    TMainWin& w = t.open();
    QLineEdit* e = Find<QLineEdit>(w, "SearchFirstEdit");

    QTest::keyClicks(e, "9021x");
    QCOMPARE(e->text(), QString("9021"));
    QCOMPARE(e->cursorPosition(), 4);
    QCOMPARE(Find<QListWidget>(w, "AnswerBox")->count(),
             1); // the search ran on 9021: nothing under prefix 902
    QCOMPARE(Find<QListWidget>(w, "AnswerBox")->item(0)->text(),
             QString("No matching zip codes found."));

    // A letter typed inside the digits: the caret stays where it was before the keystroke.
    e->setText("84");
    e->setCursorPosition(1);
    QTest::keyClicks(e, " ");
    QCOMPARE(e->text(), QString("84"));
    QCOMPARE(e->cursorPosition(), 1);
    QCOMPARE(Find<QLabel>(w, "AnswerBoxLabel")->text(),
             QString("Cities With Most Zip Codes In Area"));

    // A paste of mixed text: the digits in their order, the caret one before the paste's end,
    // but never past the end of what is left.
    e->clear();
    QApplication::clipboard()->setText("a8b4c");
    e->paste();
    QCOMPARE(e->text(), QString("84"));
    QCOMPARE(e->cursorPosition(), 2);
    e->setCursorPosition(1);
    QApplication::clipboard()->setText("1-");
    e->paste();
    QCOMPARE(e->text(), QString("814"));
    QCOMPARE(e->cursorPosition(), 2);
    QCOMPARE(ItemTexts(Find<QListWidget>(w, "AnswerBox")),
             coreTexts(corvana::SearchTheZip("814", w.searchContext())));
}

void TestModes::cityTextIsTrimmed() {
    TestWindow t;
    TMainWin& w = t.open();
    clickRadio(Find<QRadioButton>(w, "SearchCity"));
    QCOMPARE(w.searchMode(), 2);
    QCOMPARE(Find<QLabel>(w, "SearchFirstLabel")->text(), QString("City"));
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->maxLength(), 30);
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->width(), 220);
    QVERIFY(Find<QFrame>(w, "StatePanel")->isVisible());
    QVERIFY(Find<QFrame>(w, "StatePanel")->isEnabled());

    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), " Sa ");
    QCOMPARE(Find<QLabel>(w, "AnswerBoxLabel")->text(), QString("Possible Cities"));
    QCOMPARE(ItemTexts(Find<QListWidget>(w, "AnswerBox")),
             coreTexts(corvana::SearchTheCity("Sa", w.searchContext(), "")));
    QVERIFY(!outputControlsOn(w));
    QTest::keyClick(Find<QLineEdit>(w, "SearchFirstEdit"), Qt::Key_Backspace);
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "ndy ");
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->text(), QString(" Sandy "));
    QCOMPARE(Find<QLabel>(w, "AnswerBoxLabel")->text(), QString("Possible Zip Codes"));
    QCOMPARE(ItemTexts(Find<QListWidget>(w, "AnswerBox")),
             coreTexts(corvana::SearchTheCity("Sandy", w.searchContext(), "")));
    QVERIFY(Find<QListWidget>(w, "AnswerBox")->count() >= 3);
    QVERIFY(outputControlsOn(w));
}

void TestModes::modeChangeEmptiesTheField() {
    TestWindow t;
    TMainWin& w = t.open();
    clickRadio(Find<QRadioButton>(w, "SearchCity"));
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "Salem");
    QVERIFY(listShown(w));

    clickRadio(Find<QRadioButton>(w, "SearchArea"));
    QCOMPARE(w.searchMode(), 5);
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->text(), QString());
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->maxLength(), 3);
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->width(), 45);
    QCOMPARE(Find<QLabel>(w, "SearchFirstLabel")->text(), QString("Area Code"));
    QCOMPARE(w.clientSize().height(), 149);
    QVERIFY(!Find<QListWidget>(w, "AnswerBox")->isVisible());
    QVERIFY(!outputControlsOn(w));
    QVERIFY(!Find<QFrame>(w, "StatePanel")->isVisible());
    QCOMPARE(w.focusWidget(), Find<QLineEdit>(w, "SearchFirstEdit"));

    // The area-code field takes any characters.
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "5a");
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->text(), QString("5a"));
    Find<QLineEdit>(w, "SearchFirstEdit")->clear();
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "503");
    QVERIFY(listShown(w));
    QVERIFY(outputControlsOn(w));
    QCOMPARE(ItemTexts(Find<QListWidget>(w, "AnswerBox")),
             coreTexts(corvana::SearchTheArea("503", w.searchContext())));

    clickRadio(Find<QRadioButton>(w, "SearchZip"));
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->width(), 70);
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->maxLength(), 5);
    clickRadio(Find<QRadioButton>(w, "SearchCounty"));
    QCOMPARE(Find<QLabel>(w, "SearchFirstLabel")->text(), QString("County"));
    QVERIFY(Find<QFrame>(w, "StatePanel")->isVisible());
    QVERIFY(t.messages.boxes.empty());
}

void TestModes::stateAbbreviationTypedLetterByLetter() {
    TestWindow t;
    TMainWin& w = t.open();
    clickRadio(Find<QRadioButton>(w, "SearchState"));
    QCOMPARE(w.searchMode(), 3);
    QVERIFY(Find<QComboBox>(w, "SearchFirstCombo")->isVisible());
    QVERIFY(Find<QComboBox>(w, "SearchFirstCombo")->isEnabled());
    QVERIFY(Find<TSpinButton>(w, "TheSpinner")->isEnabled());
    QVERIFY(!Find<QLineEdit>(w, "SearchFirstEdit")->isVisible());

    QTest::keyClicks(Find<QComboBox>(w, "SearchFirstCombo"), "t");
    QCOMPARE(Find<QComboBox>(w, "SearchFirstCombo")->currentText(), QString("T"));
    QCOMPARE(Find<QComboBox>(w, "SearchFirstCombo")->lineEdit()->cursorPosition(), 1);
    QVERIFY(!Find<QLineEdit>(w, "SearchSecondEdit")->isVisible());
    QVERIFY(!Find<QLabel>(w, "SearchSecondLabel")->isVisible());

    QTest::keyClicks(Find<QComboBox>(w, "SearchFirstCombo"), "x");
    QCOMPARE(Find<QComboBox>(w, "SearchFirstCombo")->currentText(), QString("TX"));
    QCOMPARE(w.chosenStates(), (std::vector<int>{11, 12}));
    QVERIFY(Find<QLineEdit>(w, "SearchSecondEdit")->isVisible());
    QVERIFY(Find<QLineEdit>(w, "SearchSecondEdit")->isEnabled());
    QVERIFY(Find<QLabel>(w, "SearchSecondLabel")->isVisible());
    QCOMPARE(w.focusWidget(), Find<QLineEdit>(w, "SearchSecondEdit"));
    QVERIFY(
        !Find<QListWidget>(w, "AnswerBox")->isVisible()); // the city field is empty: nothing ran

    QTest::keyClicks(Find<QLineEdit>(w, "SearchSecondEdit"), "E");
    QVERIFY(listShown(w));
    QVERIFY(!outputControlsOn(w));
    QTest::keyClicks(Find<QLineEdit>(w, "SearchSecondEdit"), "l ");
    QCOMPARE(ItemTexts(Find<QListWidget>(w, "AnswerBox")),
             coreTexts(corvana::SearchTheCityWithState("El", w.searchContext(), {11, 12})));
    QVERIFY(outputControlsOn(w));
    QStringList elPaso = ItemTexts(Find<QListWidget>(w, "AnswerBox"));
    QCOMPARE(elPaso.size(), 3); // 79901 and 79902 under TX 7, 88510 under TX 8

    // Deleting a letter hides the city field; the results stay until the next search.
    QTest::keyClick(Find<QComboBox>(w, "SearchFirstCombo"), Qt::Key_Backspace);
    QCOMPARE(Find<QComboBox>(w, "SearchFirstCombo")->currentText(), QString("T"));
    QVERIFY(!Find<QLineEdit>(w, "SearchSecondEdit")->isVisible());
    QCOMPARE(ItemTexts(Find<QListWidget>(w, "AnswerBox")), elPaso);

    // Another state with the city text still there: the search runs at once.
    QTest::keyClick(Find<QComboBox>(w, "SearchFirstCombo"), Qt::Key_Backspace);
    QTest::keyClicks(Find<QComboBox>(w, "SearchFirstCombo"), "ut");
    QCOMPARE(w.chosenStates(), (std::vector<int>{13}));
    QCOMPARE(ItemTexts(Find<QListWidget>(w, "AnswerBox")),
             coreTexts(corvana::SearchTheCityWithState("El", w.searchContext(), {13})));
    QVERIFY(t.messages.boxes.empty());

    // A new mode setup returns to the first step; the city text is kept while hidden.
    clickRadio(Find<QRadioButton>(w, "SearchZip"));
    clickRadio(Find<QRadioButton>(w, "SearchState"));
    QCOMPARE(Find<QComboBox>(w, "SearchFirstCombo")->currentText(), QString());
    QVERIFY(!Find<QLineEdit>(w, "SearchSecondEdit")->isVisible());
    QCOMPARE(Find<QLineEdit>(w, "SearchSecondEdit")->text(), QString("El "));
}

void TestModes::unknownStateAbbreviation() {
    TestWindow t;
    TMainWin& w = t.open();
    clickRadio(Find<QRadioButton>(w, "SearchState"));
    QTest::keyClicks(Find<QComboBox>(w, "SearchFirstCombo"), "zz");
    QCOMPARE(t.messages.boxes.size(), std::size_t(1));
    QCOMPARE(t.messages.boxes[0].caption, QString("Sorry"));
    QCOMPARE(t.messages.boxes[0].text, QString("No matching state abbreviations found."));
    QCOMPARE(Find<QComboBox>(w, "SearchFirstCombo")->currentText(), QString("ZZ"));
    QVERIFY(!Find<QLineEdit>(w, "SearchSecondEdit")->isVisible());
    QVERIFY(!Find<QLabel>(w, "SearchSecondLabel")->isVisible());
    QVERIFY(w.chosenStates().empty());
}

void TestModes::everyEntryOfAnAbbreviationIsChosen() {
    // Seven lines of the state file share one abbreviation: all seven are chosen.
    TempDir data;
    CopyDataSet(fixtureDir("small"), data);
    std::string states = readFile(data.path() / "STATE.DAT");
    for (char d = '0'; d < '7'; ++d)
        states += std::string("ZZ") + d + "\r\n";
    data.write("STATE.DAT", states);
    TestWindow t(data.str());
    TMainWin& w = t.open();
    QCOMPARE(Find<QComboBox>(w, "SearchFirstCombo")->findText("ZZ"),
             Find<QComboBox>(w, "SearchFirstCombo")->count() - 1);
    clickRadio(Find<QRadioButton>(w, "SearchState"));
    QTest::keyClicks(Find<QComboBox>(w, "SearchFirstCombo"), "zZ");
    QCOMPARE(w.chosenStates(), (std::vector<int>{14, 15, 16, 17, 18, 19, 20}));
    QVERIFY(Find<QLineEdit>(w, "SearchSecondEdit")->isVisible());
}

void TestModes::spinnerStepsAndWraps() {
    TestWindow t;
    TMainWin& w = t.open();
    clickRadio(Find<QRadioButton>(w, "SearchState"));
    QToolButton* up = Find<TSpinButton>(w, "TheSpinner")->upButton();
    QToolButton* down = Find<TSpinButton>(w, "TheSpinner")->downButton();
    QVERIFY(up->autoRepeat());
    QCOMPARE(up->autoRepeatDelay(), 400);
    QCOMPARE(down->autoRepeatInterval(), 100);

    // Empty field: the first abbreviation, and the search runs with the empty city text.
    QTest::mouseClick(down, Qt::LeftButton);
    QCOMPARE(Find<QComboBox>(w, "SearchFirstCombo")->currentText(), QString("AE"));
    QCOMPARE(w.chosenStates(), (std::vector<int>{0}));
    QVERIFY(Find<QLineEdit>(w, "SearchSecondEdit")->isVisible());
    QCOMPARE(w.focusWidget(), Find<QComboBox>(w, "SearchFirstCombo"));
    QVERIFY(!Find<QListWidget>(w, "AnswerBox")->isVisible());

    QTest::mouseClick(up, Qt::LeftButton);
    QCOMPARE(Find<QComboBox>(w, "SearchFirstCombo")->currentText(), QString("UT"));
    QTest::mouseClick(down, Qt::LeftButton);
    QCOMPARE(Find<QComboBox>(w, "SearchFirstCombo")->currentText(), QString("AE"));
    QTest::mouseClick(down, Qt::LeftButton);
    QCOMPARE(Find<QComboBox>(w, "SearchFirstCombo")->currentText(), QString("AZ"));

    // Lower-case text is found as its capitals.
    Find<QComboBox>(w, "SearchFirstCombo")->setEditText("tx");
    QCOMPARE(Find<QComboBox>(w, "SearchFirstCombo")->currentText(), QString("TX"));
    QTest::keyClicks(Find<QLineEdit>(w, "SearchSecondEdit"), "S");
    QTest::mouseClick(up, Qt::LeftButton);
    QCOMPARE(Find<QComboBox>(w, "SearchFirstCombo")->currentText(), QString("OR"));
    QCOMPARE(w.chosenStates(), (std::vector<int>{10}));
    QCOMPARE(ItemTexts(Find<QListWidget>(w, "AnswerBox")),
             coreTexts(corvana::SearchTheCityWithState("S", w.searchContext(), {10})));

    // One letter: the first abbreviation, whichever arrow.
    Find<QComboBox>(w, "SearchFirstCombo")->setEditText("T");
    QTest::mouseClick(up, Qt::LeftButton);
    QCOMPARE(Find<QComboBox>(w, "SearchFirstCombo")->currentText(), QString("AE"));
    QVERIFY(t.messages.boxes.empty());
}

void TestModes::stateFilterOfCityAndCounty() {
    TestWindow t;
    TMainWin& w = t.open();
    clickRadio(Find<QRadioButton>(w, "SearchCity"));
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "Sal");
    QStringList all = ItemTexts(Find<QListWidget>(w, "AnswerBox"));
    QCOMPARE(all, coreTexts(corvana::SearchTheCity("Sal", w.searchContext(), "")));

    // Picking a state while all states are searched changes nothing.
    Find<QComboBox>(w, "StateCombo")
        ->setCurrentIndex(Find<QComboBox>(w, "StateCombo")->findText("UT"));
    QCOMPARE(ItemTexts(Find<QListWidget>(w, "AnswerBox")), all);

    clickRadio(Find<QRadioButton>(w, "SingleState"));
    QVERIFY(!w.settings().allState);
    QStringList utah = coreTexts(corvana::SearchTheCity("Sal", w.searchContext(), "UT"));
    QCOMPARE(ItemTexts(Find<QListWidget>(w, "AnswerBox")), utah);
    QVERIFY(utah != all);

    Find<QComboBox>(w, "StateCombo")
        ->setCurrentIndex(Find<QComboBox>(w, "StateCombo")->findText("OR"));
    QCOMPARE(ItemTexts(Find<QListWidget>(w, "AnswerBox")),
             coreTexts(corvana::SearchTheCity("Sal", w.searchContext(), "OR")));

    // Clicking the checked button again runs nothing.
    Find<QListWidget>(w, "AnswerBox")->clear();
    clickRadio(Find<QRadioButton>(w, "SingleState"));
    QCOMPARE(Find<QListWidget>(w, "AnswerBox")->count(), 0);

    clickRadio(Find<QRadioButton>(w, "AllStates"));
    QVERIFY(w.settings().allState);
    QCOMPARE(ItemTexts(Find<QListWidget>(w, "AnswerBox")), all);

    // County mode reruns the county search the same way.
    clickRadio(Find<QRadioButton>(w, "SearchCounty"));
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "Was");
    QStringList counties = ItemTexts(Find<QListWidget>(w, "AnswerBox"));
    QCOMPARE(counties, coreTexts(corvana::SearchTheCounty("Was", w.searchContext(), "")));
    clickRadio(Find<QRadioButton>(w, "SingleState"));
    QCOMPARE(ItemTexts(Find<QListWidget>(w, "AnswerBox")),
             coreTexts(corvana::SearchTheCounty("Was", w.searchContext(), "OR")));
    QVERIFY(ItemTexts(Find<QListWidget>(w, "AnswerBox")) != counties);
}

void TestModes::rangeSelecting() {
    TestWindow t;
    TMainWin& w = t.open();
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "841");
    QVERIFY(Find<QCheckBox>(w, "RangeSelect")->isEnabled());
    QTest::mouseClick(Find<QCheckBox>(w, "RangeSelect"), Qt::LeftButton);
    QCOMPARE(Find<QListWidget>(w, "AnswerBox")->selectionMode(),
             QAbstractItemView::ExtendedSelection);
    QTest::mouseClick(Find<QCheckBox>(w, "RangeSelect"), Qt::LeftButton);
    QCOMPARE(Find<QListWidget>(w, "AnswerBox")->selectionMode(), QAbstractItemView::MultiSelection);
}

void TestModes::textsInTheDataCodePage() {
    TestWindow t;
    TMainWin& w = t.open();
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "812");
    QCOMPARE(Find<QListWidget>(w, "AnswerBox")->count(), 1);
    QVERIFY2(Find<QListWidget>(w, "AnswerBox")
                 ->item(0)
                 ->text()
                 .startsWith(QString::fromUtf8("81212 Cañon City, CO")),
             qPrintable(Find<QListWidget>(w, "AnswerBox")->item(0)->text()));
    // What the user types reaches the search in the data's code page.
    clickRadio(Find<QRadioButton>(w, "SearchCity"));
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "Ca");
    QTest::sendKeyEvent(QTest::Click, Find<QLineEdit>(w, "SearchFirstEdit"), Qt::Key_Ntilde,
                        QString::fromUtf8("ñ"), Qt::NoModifier);
    QCOMPARE(Find<QLineEdit>(w, "SearchFirstEdit")->text(), QString::fromUtf8("Cañ"));
    QCOMPARE(Find<QListWidget>(w, "AnswerBox")->count(), 1);
    QVERIFY(Find<QListWidget>(w, "AnswerBox")->item(0)->text().startsWith("81212"));
}

void TestModes::fatalErrorDuringASearchEndsTheProgram() {
    TempDir data;
    CopyDataSet(fixtureDir("small"), data);
    data.remove("CITY.DAT");
    TestWindow t(data.str());
    TMainWin& w = t.open();
    QVERIFY(!w.ended());
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "9");
    QVERIFY(t.messages.boxes.empty()); // one digit needs no city file
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "7");
    QCOMPARE(t.messages.boxes.size(), std::size_t(1));
    QCOMPARE(t.messages.boxes[0].caption, QString("FATAL ERROR"));
    QCOMPARE(t.messages.boxes[0].text,
             QString("File containing city definitions could not be found."));
    QVERIFY(w.ended());
    QVERIFY(!w.isVisible());
    QCOMPARE(t.endings, 1);
    QVERIFY(std::filesystem::exists(t.iniPath()));

    // Whatever still reaches the closed window does nothing.
    Find<QLineEdit>(w, "SearchFirstEdit")->setText("970");
    w.close();
    QCOMPARE(t.endings, 1);
    QCOMPARE(t.messages.boxes.size(), std::size_t(1));
}

void TestModes::readErrorDuringASearchIsReported() {
    TempDir data;
    CopyDataSet(fixtureDir("small"), data);
    std::string zips = readFile(data.path() / "ZIPCODE.DAT");
    data.write("ZIPCODE.DAT", zips.substr(0, zips.size() - 13));
    TestWindow t(data.str());
    TMainWin& w = t.open();
    // The block of the last prefix in the file now reaches past its end.
    int last = zipOfRecord(fixtureDir("small"), int(zips.size() / 13) - 1);
    QString prefix = QString::number(last).rightJustified(5, '0').left(3);
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), prefix);
    QCOMPARE(t.messages.boxes.size(), std::size_t(1));
    QCOMPARE(t.messages.boxes[0].caption, QString("Error"));
    QVERIFY(!w.ended());
    QCOMPARE(ItemTexts(Find<QListWidget>(w, "AnswerBox")),
             coreTexts(corvana::SearchTheZip(prefix.toStdString(), w.searchContext())));
    // The program goes on.
    Find<QLineEdit>(w, "SearchFirstEdit")->clear();
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "970");
    QCOMPARE(Find<QListWidget>(w, "AnswerBox")->count(), 4);
    QCOMPARE(t.messages.boxes.size(), std::size_t(1));
}

QTEST_MAIN(TestModes)
#include "test_modes.moc"
