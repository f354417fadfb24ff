// The details window of a ZIP line: the ways it opens, what it shows, how it follows the list,
// copies its text and names its controls, and what damaged or missing facts leave of it.

#include "DialogTestUtil.h"

#include "data/FileNames.h"
#include "main/dialogs/ZipDetails.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

using namespace corvana::test;

namespace {

void Type(TMainWin& w, const char* text) {
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), text);
}

// The details window of the first line of a ZIP code search for `zip`; nothing when none opened.
TZipDetails* OpenDetails(TMainWin& w, const char* zip) {
    Type(w, zip);
    Find<QListWidget>(w, "AnswerBox")->setCurrentRow(0);
    Find<QAction>(w, "MenuZipDetails")->trigger();
    return w.zipDetailsWindow();
}

// The row of the line that begins with `zip`; -1 when none does.
int RowOf(QListWidget* list, const QString& zip) {
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->text().startsWith(zip + " "))
            return row;
    return -1;
}

// The worst contrast of any text of the details with their background, and the labels' colour.
std::pair<double, QColor> WorstContrast(const TZipDetails& d) {
    const QColor base = d.Details->palette().color(QPalette::Base);
    double worst = 21;
    QColor labels;
    const QTextDocument& document = *d.Details->document();
    for (QTextBlock b = document.begin(); b != document.end(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            const QColor colour = format.hasProperty(QTextFormat::ForegroundBrush)
                                      ? format.foreground().color()
                                      : d.Details->palette().color(QPalette::Text);
            if (it.fragment().text() == "Zip Code")
                labels = colour;
            worst = std::min(worst, Contrast(colour, base));
        }
    return {worst, labels};
}

QString Shown(TMainWin& w) {
    return w.zipDetailsWindow() ? w.zipDetailsWindow()->zipCode() : QString();
}

void CloseDetails(TMainWin& w) {
    if (w.zipDetailsWindow())
        w.zipDetailsWindow()->close();
    QCoreApplication::processEvents();
    QVERIFY(!w.zipDetailsWindow() || !w.zipDetailsWindow()->isVisible());
}

} // namespace

class TestZipDetails : public QObject {
    Q_OBJECT
private slots:
    void opensFromKeysMouseAndBothMenus();
    void showsEveryGroupAndFollowsTheSelection();
    void showsNothingTheListDoesNotHold();
    void copiesItsTextAndNamesItsControls();
    void readsAsLinesToAScreenReader();
    void localTimeTicksInPlace();
    void coloursComeFromThePalette();
    void showsPopulationOrWhyNot();
    void scalesWithTheWindow();
    void damagedFactsSwitchTheCommandOff();
    void missingFactsStillShowThePlace();
};

void TestZipDetails::opensFromKeysMouseAndBothMenus() {
    TestWindow t(fixtureDir("points"));
    TMainWin& w = t.open();
    auto* command = Find<QAction>(w, "MenuZipDetails");
    auto* list = Find<QListWidget>(w, "AnswerBox");
    QVERIFY(!command->isEnabled());
    Type(w, "84");
    QVERIFY(!command->isEnabled()); // main cities: no ZIP line
    Type(w, "1");
    QVERIFY(command->isEnabled());

    // Enter on the current line.
    const int row102 = RowOf(list, "84102");
    QVERIFY(row102 >= 0);
    list->setFocus();
    list->setCurrentRow(row102, QItemSelectionModel::NoUpdate);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(Shown(w), QString("84102"));
    QVERIFY(w.zipDetailsWindow()->isVisible());
    QVERIFY(!w.zipDetailsWindow()->isModal());
    CloseDetails(w);

    // A double click.
    const int row110 = RowOf(list, "84110");
    const QPoint at = list->visualItemRect(list->item(row110)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(Shown(w), QString("84110"));
    CloseDetails(w);

    // The Edit menu's command, and the list's own menu, which offers it first.
    list->setCurrentRow(RowOf(list, "84101"), QItemSelectionModel::NoUpdate);
    command->trigger();
    QCOMPARE(Shown(w), QString("84101"));
    TZipDetails* first = w.zipDetailsWindow();
    // One details window at a time: the command shows the new line in the open one.
    list->setCurrentRow(row102, QItemSelectionModel::NoUpdate);
    command->trigger();
    QCOMPARE(w.zipDetailsWindow(), first);
    QCOMPARE(w.findChildren<TZipDetails*>().size(), 1);
    QCOMPARE(Shown(w), QString("84102"));
}

void TestZipDetails::showsEveryGroupAndFollowsTheSelection() {
    TestWindow t(fixtureDir("points"));
    TMainWin& w = t.open();
    auto* list = Find<QListWidget>(w, "AnswerBox");
    Type(w, "99591");
    QCOMPARE(list->count(), 1);
    list->setCurrentRow(0);
    Find<QAction>(w, "MenuZipDetails")->trigger();
    TZipDetails* d = w.zipDetailsWindow();
    QVERIFY(d);
    QCOMPARE(d->Heading->text(), QString("Zip Code 99591"));
    const QString text = d->Details->toPlainText();
    for (const char* part : {"Place",
                             "Saint George Island",
                             "AK (Alaska)",
                             "Counties",
                             "Aleutians West (FIPS 02016)",
                             "North Slope",
                             "Area Codes",
                             "907",
                             "Other City Names",
                             "St George Island",
                             "St. George Island",
                             "Kind",
                             "P.O. box or single address",
                             "Position",
                             "56.59860",
                             "-169.56550",
                             "Time Zone",
                             "America/Anchorage",
                             "Daylight saving",
                             "Observed",
                             "Local time",
                             "Nearest Standard Zip Codes",
                             "99546",
                             "Adak, AK"})
        QVERIFY2(text.contains(QString::fromUtf8(part)), part);
    QCOMPARE(d->Details->accessibleName(), QString("Details of Zip Code 99591"));

    // It follows the list: a new search's line, then each line chosen.
    QLineEdit* field = Find<QLineEdit>(w, "SearchFirstEdit");
    field->clear();
    Type(w, "841");
    list->setCurrentRow(RowOf(list, "84110"));
    QCOMPARE(Shown(w), QString("84110"));
    QVERIFY(d->plainText().contains("  84101: Salt Lake City, UT"));
    list->setCurrentRow(RowOf(list, "84101"));
    QCOMPARE(Shown(w), QString("84101"));
    QCOMPARE(w.zipDetailsWindow(), d);

    // A military post office has no place: the window says so and shows the record it has.
    field->clear();
    Type(w, "09001");
    list->setCurrentRow(0);
    QCOMPARE(Shown(w), QString("09001"));
    QVERIFY(d->Details->toPlainText().contains("Military post office"));
    QVERIFY(!d->plainText().isEmpty());

    // Closed, it follows nothing.
    CloseDetails(w);
    field->clear();
    Type(w, "841");
    list->setCurrentRow(1);
    QVERIFY(!w.zipDetailsWindow());
}

void TestZipDetails::showsNothingTheListDoesNotHold() {
    TestWindow t(fixtureDir("points"));
    TMainWin& w = t.open();
    auto* list = Find<QListWidget>(w, "AnswerBox");
    QLineEdit* field = Find<QLineEdit>(w, "SearchFirstEdit");
    Type(w, "09001");
    list->setCurrentRow(0);
    Find<QAction>(w, "MenuZipDetails")->trigger();
    TZipDetails* d = w.zipDetailsWindow();
    QVERIFY(d);
    QCOMPARE(Shown(w), QString("09001"));

    // No match, the cities of a prefix, and the hidden list of a new mode: no ZIP line to show.
    auto saysNothing = [&](const char* typed) {
        QCOMPARE(w.zipDetailsWindow(), d);
        QVERIFY2(Shown(w).isEmpty(), typed);
        QCOMPARE(d->Heading->text(), QString("Zip Code Details"));
        QCOMPARE(d->Details->toPlainText(), QString("The list shows no zip code."));
        QVERIFY(!d->CopyButton->isEnabled());
        QApplication::clipboard()->setText("before");
        QTest::keyClick(d->Details, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString("before"));
    };
    field->clear();
    Type(w, "09002");
    QCOMPARE(list->item(0)->text(), QString("No matching zip codes found."));
    saysNothing("09002");
    field->clear();
    Type(w, "84");
    saysNothing("84");

    // A ZIP line again: the window shows it without a line being chosen, and copies again.
    Type(w, "101");
    QCOMPARE(Shown(w), QString("84101"));
    QVERIFY(d->CopyButton->isEnabled());
    QVERIFY(d->plainText().startsWith("Zip Code 84101\n"));

    Find<QRadioButton>(w, "SearchCity")->click();
    saysNothing("City mode");
}

void TestZipDetails::copiesItsTextAndNamesItsControls() {
    TestWindow t(fixtureDir("points"));
    TMainWin& w = t.open();
    TZipDetails* d = OpenDetails(w, "84101");
    QVERIFY(d);
    QApplication::clipboard()->clear();
    d->Details->setFocus();
    QTest::keyClick(d->Details, Qt::Key_C, Qt::ControlModifier);
    const QString copied = QApplication::clipboard()->text();
    QCOMPARE(copied, d->plainText());
    QVERIFY(copied.startsWith("Zip Code 84101\n\nPlace\n  Zip Code: 84101\n"));
    QVERIFY(copied.contains("Area Codes\n  Main: 801\n  Also: 385\n"));
    QVERIFY(copied.contains("  Zone: America/Denver\n"));

    QApplication::clipboard()->clear();
    QTest::keyClick(d->CloseButton, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), copied);
    QApplication::clipboard()->clear();
    QTest::mouseClick(d->CopyButton, Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text(), copied);

    for (QWidget* control :
         {static_cast<QWidget*>(d->Heading), static_cast<QWidget*>(d->Details),
          static_cast<QWidget*>(d->CopyButton), static_cast<QWidget*>(d->CloseButton)})
        QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
    QTest::mouseClick(d->CloseButton, Qt::LeftButton);
    QCoreApplication::processEvents();
    QVERIFY(!w.zipDetailsWindow());
}

void TestZipDetails::readsAsLinesToAScreenReader() {
    TestWindow t(fixtureDir("points"));
    TMainWin& w = t.open();
    TZipDetails* d = OpenDetails(w, "84101");
    QVERIFY(d);
    QAccessibleInterface* details = QAccessible::queryAccessibleInterface(d->Details);
    QVERIFY(details);
    QCOMPARE(details->text(QAccessible::Name), QString("Details of Zip Code 84101"));
    QVERIFY(details->state().readOnly);
    QVERIFY(!details->state().editable);
    QVERIFY(!details->editableTextInterface());
    QAccessibleTextInterface* text = details->textInterface();
    QVERIFY(text);
    const QString all = text->text(0, text->characterCount());
    QVERIFY(!all.contains(QChar(0xFDD0)) && !all.contains(QChar(0xFDD1)));
    const QStringList lines = all.split('\n');
    QCOMPARE(lines.mid(0, 4),
             QStringList({"Place", "Zip Code: 84101", "City: Salt Lake City", "State: UT (Utah)"}));
    // Every group in the order shown, a list's later values alone on their lines.
    int at = 0;
    for (const char* line : {"Counties", "Main: Salt Lake (FIPS 49035)", "Area Codes", "Main: 801",
                             "Also: 385", "Kind", "Position", "Latitude: 40.75621", "Time Zone",
                             "Zone: America/Denver", "Nearest Standard Zip Codes"}) {
        const qsizetype next = lines.indexOf(QString(line), at);
        QVERIFY2(next > at, line);
        at = int(next);
    }
    // A screen reader asks for the line at its caret.
    int start = 0, end = 0;
    const int city = int(all.indexOf("Salt Lake City"));
    QCOMPARE(text->textAtOffset(city, QAccessible::LineBoundary, &start, &end).trimmed(),
             QString("City: Salt Lake City"));

    // Nothing to show reads as the window's sentence.
    Find<QLineEdit>(w, "SearchFirstEdit")->clear();
    Type(w, "09002");
    QCOMPARE(text->text(0, text->characterCount()), QString("The list shows no zip code."));
}

void TestZipDetails::localTimeTicksInPlace() {
    TestWindow t(fixtureDir("points"));
    t.clock.time = corvana::LocalDateTime{2024, 1, 15, 10, 15, 0, 0};
    TMainWin& w = t.open();
    Type(w, "99591");
    auto* list = Find<QListWidget>(w, "AnswerBox");
    list->setCurrentRow(0);
    const QString line = list->item(0)->text();
    Find<QAction>(w, "MenuZipDetails")->trigger();
    TZipDetails* d = w.zipDetailsWindow();
    QVERIFY(d);
    QVERIFY(d->plainText().contains(":15:00"));
    // What the user did in the window: a selection, a scroll position, the focus.
    d->Details->setFocus();
    d->Details->setTextCursor(d->Details->document()->find("Saint George Island"));
    QScrollBar* bar = d->Details->verticalScrollBar();
    QVERIFY(bar->maximum() > 10);
    bar->setValue(bar->maximum() - 10);
    const int scrolled = bar->value();
    const QString heading = d->Heading->text();

    t.clock.time.minute = 16;
    t.clock.time.second = 30;
    QTRY_VERIFY_WITH_TIMEOUT(d->Details->toPlainText().contains(":16:30"), 3000);
    QVERIFY(!d->Details->toPlainText().contains(":15:00"));
    QVERIFY(d->plainText().contains(":16:30"));
    QVERIFY(d->Details->readableText().contains(":16:30"));
    QCOMPARE(d->Details->textCursor().selectedText(), QString("Saint George Island"));
    QCOMPARE(bar->value(), scrolled);
    QCOMPARE(d->focusWidget(), static_cast<QWidget*>(d->Details));
    QCOMPARE(d->Heading->text(), heading);
    // The list keeps the time of its search.
    QCOMPARE(list->item(0)->text(), line);
    QVERIFY(line.contains(":15:00"));
}

void TestZipDetails::coloursComeFromThePalette() {
    const QPalette light = QApplication::palette();
    const QString style = QApplication::style()->name();
    QApplication::setStyle("Fusion");
    QApplication::setPalette(DarkPalette());
    TestWindow t(fixtureDir("points"));
    TMainWin& w = t.open();
    TZipDetails* d = OpenDetails(w, "84101");
    QVERIFY(d);
    const auto [darkWorst, darkLabels] = WorstContrast(*d);
    QVERIFY2(darkWorst >= 4.5, qPrintable(QString::number(darkWorst)));
    QVERIFY(darkLabels.isValid() && darkLabels.lightness() > 128);
    QVERIFY(Contrast(d->Heading->palette().color(QPalette::WindowText),
                     d->palette().color(QPalette::Window)) >= 4.5);
    if (const QByteArray dir = qgetenv("CORVANA_SCREENSHOT_DIR"); !dir.isEmpty())
        d->grab().save(QString::fromLocal8Bit(dir) + "/details-dark.png");

    // The palette changes under the open window: its labels follow.
    QApplication::setPalette(light);
    QApplication::setStyle(style);
    QCoreApplication::processEvents();
    const auto [lightWorst, lightLabels] = WorstContrast(*d);
    QVERIFY2(lightWorst >= 4.5, qPrintable(QString::number(lightWorst)));
    QVERIFY(lightLabels.lightness() < 128);
    if (const QByteArray dir = qgetenv("CORVANA_SCREENSHOT_DIR"); !dir.isEmpty())
        d->grab().save(QString::fromLocal8Bit(dir) + "/details-light.png");
}

void TestZipDetails::showsPopulationOrWhyNot() {
    auto readLines = [](TMainWin& w, const char* zip) {
        Find<QLineEdit>(w, "SearchFirstEdit")->clear();
        Type(w, zip);
        Find<QListWidget>(w, "AnswerBox")->setCurrentRow(0);
        Find<QAction>(w, "MenuZipDetails")->trigger();
        TZipDetails* d = w.zipDetailsWindow();
        return d ? d->Details->readableText().split('\n') : QStringList();
    };
    {
        TestWindow t(fixtureDir("points"));
        TMainWin& w = t.open();
        const QStringList lines = readLines(w, "84101");
        const qsizetype at = lines.indexOf("Population");
        QVERIFY(at > lines.indexOf("Position"));
        QVERIFY(at < lines.indexOf("Time Zone"));
        QCOMPARE(
            lines.mid(at + 1, 2),
            QStringList({"Population: 7,358",
                         QString::fromUtf8("Density: 3,989 people per sq mi (1,540 per km²)")}));
        QVERIFY(w.zipDetailsWindow()->plainText().contains(
            "Population\n  Population: 7,358\n  Density: 3,989 people per sq mi"));
        QVERIFY(w.zipDetailsWindow()->Details->toPlainText().contains("7,358"));
        // A P.O. box ZIP code has no figures, which is not 0 people.
        QVERIFY(readLines(w, "99591").contains("No figures for this zip code."));
    }
    {
        TestWindow t(fixtureDir("small"));
        TMainWin& w = t.open();
        QVERIFY(readLines(w, "841").contains("This data has no population figures."));
    }
    // A damaged file: the group says so, the rest of the details stay, and no box interrupts.
    TempDir copy;
    CopyDataSet(fixtureDir("points"), copy);
    const auto people = std::filesystem::path(copy.str()) / corvana::filenames::PeopleDat;
    std::filesystem::resize_file(people, std::filesystem::file_size(people) - 3);
    TestWindow t(copy.str());
    TMainWin& w = t.open();
    const QStringList lines = readLines(w, "84101");
    QVERIFY(lines.contains("File containing population figures is corrupt."));
    QVERIFY(lines.contains("Zone: America/Denver"));
    QVERIFY(t.messages.boxes.empty());
}

void TestZipDetails::scalesWithTheWindow() {
    TestWindow t(fixtureDir("points"));
    t.writeIni("[Misc]\nWindow Size=800\n");
    TMainWin& w = t.open();
    TZipDetails* d = OpenDetails(w, "84101");
    QVERIFY(d);
    QCOMPARE(d->size(), QSize(525, 538));
    QCOMPARE(d->CloseButton->geometry(), QRect(271, 498, 107, 31));
}

void TestZipDetails::damagedFactsSwitchTheCommandOff() {
    TempDir copy;
    CopyDataSet(fixtureDir("points"), copy);
    const auto facts = std::filesystem::path(copy.str()) / corvana::filenames::FactsDat;
    std::filesystem::resize_file(facts, std::filesystem::file_size(facts) / 2);
    TestWindow t(copy.str());
    TMainWin& w = t.open();
    Type(w, "84101");
    auto* command = Find<QAction>(w, "MenuZipDetails");
    QVERIFY(command->isEnabled()); // not read before it is wanted
    command->trigger();
    QVERIFY(!w.zipDetailsWindow());
    QCOMPARE(Shown(t.messages), QStringList{"Error: File containing ZIP code facts is corrupt."});
    QVERIFY(!command->isEnabled());
    QCOMPARE(command->toolTip(), QString("File containing ZIP code facts is corrupt."));
    QCOMPARE(command->statusTip(), command->toolTip());
    // It stays off through the next search, and the window goes on working.
    Find<QLineEdit>(w, "SearchFirstEdit")->clear();
    Type(w, "841");
    QVERIFY(!command->isEnabled());
    QVERIFY(Find<QListWidget>(w, "AnswerBox")->count() > 1);
    QVERIFY(!w.ended());
}

void TestZipDetails::missingFactsStillShowThePlace() {
    TestWindow t(fixtureDir("small"));
    TMainWin& w = t.open();
    Type(w, "841");
    auto* list = Find<QListWidget>(w, "AnswerBox");
    QVERIFY(list->count() > 0);
    list->setCurrentRow(0);
    Find<QAction>(w, "MenuZipDetails")->trigger();
    TZipDetails* d = w.zipDetailsWindow();
    QVERIFY(d);
    QVERIFY(t.messages.boxes.empty());
    const QString text = d->Details->toPlainText();
    QVERIFY(text.contains("Place"));
    QVERIFY(text.contains(list->item(0)->text().left(5)));
    QVERIFY(!text.contains("Kind"));
}

QTEST_MAIN(TestZipDetails)
#include "test_details_window.moc"
