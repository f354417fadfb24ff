// A seeded walk of keystrokes, clicks and spins through the real window on the real data set,
// offscreen, with the program directory a read-only copy. After every step the list must be
// sorted, each ZIP line must carry a record that reads back as its ZIP code, the heading and
// the display must fit the text, and no error may have been shown; at the end nothing in the
// program directory has changed and the settings file is the only file written.
#include "GuiTestUtil.h"
#include "main/widgets/SpinButton.h"

#include "data/ZipFile.h"
#include "search/Search.h"
#include "text/Blanks.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <random>

using namespace corvana::test;
namespace fs = std::filesystem;

namespace {

constexpr int Keystrokes = 5000;

std::string contentsOf(const fs::path& dir) {
    std::string all;
    for (const auto& e : fs::directory_iterator(dir)) {
        all += e.path().filename().string() + ":" + std::to_string(fs::file_size(e.path())) + ":" +
               std::to_string(fs::last_write_time(e.path()).time_since_epoch().count()) + ":" +
               readFile(e.path()) + "\n";
    }
    return all;
}

struct Expect {
    bool shown, controls;
    QString heading;
};

// What the search of a mode shows for a text of n characters.
Expect expectFor(int mode, std::size_t n) {
    switch (mode) {
    case 1:
        return {n >= 1, n >= 3,
                n == 1   ? "Potential States"
                : n == 2 ? "Cities With Most Zip Codes In Area"
                         : "Possible Cities"};
    case 2:
        return {n >= 2, n >= 3, n == 2 ? "Possible Cities" : "Possible Zip Codes"};
    case 3:
        return {n >= 1, n >= 2, "Possible Cities"};
    case 4:
        return {n >= 1, n >= 3, n <= 2 ? "Possible Counties" : "Possible Zip Codes"};
    default:
        return {n == 3, n == 3, "Possible Zip Codes"};
    }
}

// The walk's choices: which control to use and what to type, mostly the next character of a
// name the data has, so that most keystrokes lead somewhere.
struct Typist {
    std::vector<std::string> cities, counties, zipCodes, areas, abbrevs;
    std::mt19937 rng{95};
    std::string target;

    std::size_t pick(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    }

    // One keystroke, click or spin; returns the field of the mode it was made in.
    QLineEdit* press(TMainWin& w) {
        QRadioButton* modes[] = {
            Find<QRadioButton>(w, "SearchZip"), Find<QRadioButton>(w, "SearchCity"),
            Find<QRadioButton>(w, "SearchState"), Find<QRadioButton>(w, "SearchCounty"),
            Find<QRadioButton>(w, "SearchArea")};
        const int mode = w.searchMode();
        const int roll = int(pick(100));
        QLineEdit* field = mode == 3 ? (Find<QLineEdit>(w, "SearchSecondEdit")->isVisible()
                                            ? Find<QLineEdit>(w, "SearchSecondEdit")
                                            : Find<QComboBox>(w, "SearchFirstCombo")->lineEdit())
                                     : Find<QLineEdit>(w, "SearchFirstEdit");
        if (roll < 2) {
            int next = int(pick(5));
            modes[next]->click();
            const auto& names = next == 0   ? zipCodes
                                : next == 4 ? areas
                                : next == 3 ? counties
                                            : cities;
            target = names[pick(names.size())];
        } else if (roll < 5 && (mode == 2 || mode == 4)) {
            int what = int(pick(3));
            if (what == 0)
                Find<QRadioButton>(w, "AllStates")->click();
            else if (what == 1)
                Find<QRadioButton>(w, "SingleState")->click();
            else
                Find<QComboBox>(w, "StateCombo")
                    ->setCurrentIndex(
                        int(pick(std::size_t(Find<QComboBox>(w, "StateCombo")->count()))));
        } else if (mode == 3 && roll < 9) {
            QTest::mouseClick(roll < 7 ? Find<TSpinButton>(w, "TheSpinner")->upButton()
                                       : Find<TSpinButton>(w, "TheSpinner")->downButton(),
                              Qt::LeftButton);
        } else if (mode == 3 && field != Find<QLineEdit>(w, "SearchSecondEdit")) {
            if (field->text().size() == 2 || (!field->text().isEmpty() && roll < 20))
                QTest::keyClick(field, Qt::Key_Backspace);
            else
                QTest::keyClick(
                    field, roll < 90
                               ? abbrevs[pick(abbrevs.size())][std::size_t(field->text().size())]
                               : char('a' + pick(26)));
        } else if (roll < 30) {
            QTest::keyClick(field, Qt::Key_Backspace);
        } else {
            const std::string typed = toCore(field->text());
            char c;
            if (roll < 85 && typed.size() < target.size() && target.starts_with(typed))
                c = target[typed.size()];
            else
                c = "abcdefghijklmnopqrstuvwxyz 0123456789-'"[pick(39)];
            QTest::keyClick(field, c);
        }
        return field;
    }
};

// The list: sorted as the data's code page sorts, ZIP lines naming their records. Adds the ZIP
// lines checked to `lines`.
void checkList(TMainWin& w, const corvana::ZipFile& zips, const QString& where, int& lines) {
    QCOMPARE(int(w.shownItems().size()), Find<QListWidget>(w, "AnswerBox")->count());
    for (int i = 0; i < Find<QListWidget>(w, "AnswerBox")->count(); ++i) {
        const std::string text = toCore(Find<QListWidget>(w, "AnswerBox")->item(i)->text());
        if (i > 0)
            QVERIFY2(!corvana::ItemLess(
                         text, toCore(Find<QListWidget>(w, "AnswerBox")->item(i - 1)->text())),
                     qPrintable(where));
        const std::optional<std::uint32_t> record = w.shownItems()[std::size_t(i)].record();
        if (!record)
            continue;
        QVERIFY2(*record < zips.recordCount(), qPrintable(where));
        QCOMPARE(zips.read(*record).zipText(), text.substr(0, 5));
        ++lines;
    }
}

// The display fits the text that was searched last.
void checkDisplay(TMainWin& w, const QString& where) {
    const int now = w.searchMode();
    if (now == 1)
        QVERIFY2(Find<QLineEdit>(w, "SearchFirstEdit")->text().size() <= 5 &&
                     !Find<QLineEdit>(w, "SearchFirstEdit")
                          ->text()
                          .contains(QRegularExpression("[^0-9]")),
                 qPrintable(where));
    // In State mode a hidden city field leaves the results of its last search as they were.
    if (now == 3 && !Find<QLineEdit>(w, "SearchSecondEdit")->isVisible())
        return;
    const QString searched = now == 3 ? Find<QLineEdit>(w, "SearchSecondEdit")->text()
                                      : Find<QLineEdit>(w, "SearchFirstEdit")->text();
    const std::size_t n = corvana::trimBlanks(toCore(searched), corvana::Blanks::Spaces).size();
    const Expect e = expectFor(now, n);
    QVERIFY2(Find<QListWidget>(w, "AnswerBox")->isVisible() == e.shown, qPrintable(where));
    QCOMPARE(w.clientSize().height(), e.shown ? 401 : 149);
    QVERIFY2(Find<QPushButton>(w, "ButtonCopy")->isVisible() == e.controls, qPrintable(where));
    QVERIFY2(Find<QAction>(w, "MenuCopy")->isEnabled() == e.controls, qPrintable(where));
    if (e.shown)
        QCOMPARE(Find<QLabel>(w, "AnswerBoxLabel")->text(), e.heading);
}

} // namespace

class TestGuiSoak : public QObject {
    Q_OBJECT
private slots:
    void keystrokesThroughTheWindow();
};

void TestGuiSoak::keystrokesThroughTheWindow() {
    const fs::path real = CORVANA_BIN_DIR;
    if (!fs::exists(real / "ZIPCODE.DAT"))
        QSKIP("the real data files are not built");
    TempDir prog;
    for (const auto& e : fs::directory_iterator(real))
        if (e.path().extension() == ".DAT" || e.path().extension() == ".IDX")
            fs::copy_file(e.path(), prog.path() / e.path().filename());
    const auto writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    for (const auto& e : fs::directory_iterator(prog.path()))
        fs::permissions(e.path(), writable, fs::perm_options::remove);
    fs::permissions(prog.path(), writable, fs::perm_options::remove);
    const std::string before = contentsOf(prog.path());

    TestWindow t(prog.str());
    TMainWin& w = t.open();
    QVERIFY(!w.ended());
    corvana::DataSet data;
    data.dir = prog.str();
    QVERIFY(corvana::LoadInData(data).ok());
    auto zips = corvana::ZipFile::open(data);
    QVERIFY(zips);

    Typist typist;
    for (const auto& c : data.counties)
        typist.counties.emplace_back(c.name());
    for (std::size_t r = 0; r < zips->recordCount(); r += 11)
        typist.zipCodes.push_back(zips->read(std::int64_t(r)).zipText());
    for (std::size_t code = 0; code < 1000; ++code)
        if (data.areaTable[code] >= 0)
            typist.areas.push_back(std::to_string(code));
    {
        const std::string city = readFile(prog.path() / "CITY.DAT");
        for (std::size_t pos = 0; pos + 1 < city.size();) {
            std::size_t len = std::uint8_t(city[pos]);
            typist.cities.push_back(city.substr(pos + 1, len - 1));
            std::size_t at = pos + 1 + len;
            pos = at + 2 + 2 * (std::uint8_t(city[at]) | (std::uint8_t(city[at + 1]) << 8));
        }
    }
    typist.abbrevs = corvana::StateAbbreviations(data);
    typist.target = typist.zipCodes[typist.pick(typist.zipCodes.size())];
    int lines = 0;

    for (int step = 0; step < Keystrokes; ++step) {
        QLineEdit* field = typist.press(w);
        const QString where = QString("step %1 mode %2 field \"%3\"")
                                  .arg(step)
                                  .arg(w.searchMode())
                                  .arg(field->text());
        for (const auto& box : t.messages.boxes)
            QVERIFY2(box.caption == "Sorry",
                     qPrintable(where + ": " + box.caption + " " + box.text));
        t.messages.boxes.clear();
        checkList(w, *zips, where, lines);
        checkDisplay(w, where);
        if (QTest::currentTestFailed())
            return;
    }
    qInfo("soaked %d keystrokes through the window, %d ZIP lines checked", Keystrokes, lines);

    w.close();
    QCOMPARE(t.endings, 1);
    QCOMPARE(contentsOf(prog.path()), before);
    std::vector<std::string> written;
    for (const auto& e : fs::directory_iterator(t.config.path()))
        written.push_back(e.path().filename().string());
    QCOMPARE(written, std::vector<std::string>{"CORVANA.INI"});
}

QTEST_MAIN(TestGuiSoak)
#include "test_gui_soak.moc"
