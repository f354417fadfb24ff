#include "DialogTestUtil.h"

#include "format/LocalTime.h"
#include "main/dialogs/DialogCommands.h"
#include "main/dialogs/OtherProducts.h"
#include "main/dialogs/Preferences.h"
#include "main/dialogs/SetTimeZone.h"
#include "main/layout/Layout.h"
#include "main/printing/CopyOrPrint.h"
#include "main/printing/PrinterSetup.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

using corvana::test::TestWindow;

namespace {

const int Sizes[] = {400, 480, 640, 800, 1024, 1280};

double FactorOf(int size) {
    switch (size) {
    case 400:
        return 0.66;
    case 480:
        return 0.75;
    case 800:
        return 1.25;
    case 1024:
        return 1.6;
    case 1280:
        return 2.0;
    default:
        return 1.0;
    }
}

template <typename W> W* Find(QWidget& in, const char* name) {
    W* w = in.findChild<W*>(name);
    if (!w)
        qFatal("no %s", name);
    return w;
}

QByteArray ReadAll(const std::string& path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Waits (in the nested event loop of the code under test) for the platform's font dialog and
// runs `act` on it; the dialog is closed afterwards whatever `act` did.
void WhenFontDialog(std::function<void(QFontDialog&)> act) {
    QTimer::singleShot(0, [act] {
        auto* d = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
        if (!d) {
            WhenFontDialog(act);
            return;
        }
        act(*d);
        if (d->isVisible())
            d->reject();
    });
}

void ClickOk(QFontDialog& d) {
    auto* box = d.findChild<QDialogButtonBox*>();
    QVERIFY(box);
    QTest::mouseClick(box->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

// Runs a print command on the window's one listed ZIP line and, in the format dialog, presses
// "Print Font" and lets `inFontDialog` handle the font dialog; then cancels the format dialog.
// Returns what the print font field showed once the font dialog had closed.
QString ChoosePrintFont(TMainWin& w, std::function<void(QFontDialog&)> inFontDialog,
                        QFont* opened = nullptr) {
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "841");
    QString shown;
    bool seen = false;
    WhenModal<TCopyOrPrint>([&](TCopyOrPrint& d) {
        WhenFontDialog([&](QFontDialog& f) {
            seen = true;
            if (opened)
                *opened = f.currentFont();
            inFontDialog(f);
        });
        QTest::mouseClick(d.PrintFontButton, Qt::LeftButton);
        shown = d.PrintFont->text();
        QTest::mouseClick(d.CancelButton, Qt::LeftButton);
    });
    Find<QPushButton>(w, "ButtonPrint")->click();
    if (!seen)
        qWarning("the font dialog did not open");
    return shown;
}

// The rows of an opened drop-down list that can be seen whole.
int WholeRows(const QComboBox* combo) {
    const QAbstractItemView* view = combo->view();
    const QRect viewport = view->viewport()->rect();
    int rows = 0;
    for (int i = 0; i < combo->count(); ++i)
        if (viewport.contains(view->visualRect(view->model()->index(i, 0))))
            ++rows;
    return rows;
}

// The controls a window places itself: its own children and those of its plain panels, not
// the inner parts of composite controls.
QList<QWidget*> PlacedControls(QWidget* parent) {
    QList<QWidget*> out;
    for (QObject* o : parent->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->isWindow() || QByteArray(w->metaObject()->className()) == "QMenuBar")
            continue;
        out << w;
        const QByteArray kind = w->metaObject()->className();
        if (kind == "QFrame" || kind == "QWidget")
            out << PlacedControls(w);
    }
    return out;
}

// The rectangle a control must lie in: a frame's inside, a bare parent's whole area.
QRect Room(const QWidget* parent) {
    if (auto* frame = qobject_cast<const QFrame*>(parent))
        return frame->frameWidth() > 0 ? frame->contentsRect() : frame->rect();
    return parent->rect();
}

QRect IndicatorOf(const QAbstractButton* b) {
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    const bool radio = qobject_cast<const QRadioButton*>(b);
    return b->style()->subElementRect(
        radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &opt, b);
}

// Every placed control lies whole within its parent, and every radio button and check box
// shows its indicator whole, at the size `p` asks for: the indicator at the design size
// scaled like the text beside it.
void CheckWhole(QWidget* window, int p, const QMap<QString, int>& designIndicators,
                QMap<QString, int>* record = nullptr) {
    for (QWidget* w : PlacedControls(window)) {
        const QString name =
            w->objectName().isEmpty()
                ? QString(w->metaObject()->className()) + ":" +
                      (qobject_cast<QAbstractButton*>(w) ? qobject_cast<QAbstractButton*>(w)->text()
                                                         : QString())
                : w->objectName();
        const QWidget* parent = w->parentWidget();
        QVERIFY2(Room(parent).contains(w->geometry()),
                 qPrintable(QString("%1 at %2: %3,%4 %5x%6 outside its parent's %7x%8")
                                .arg(name)
                                .arg(p)
                                .arg(w->x())
                                .arg(w->y())
                                .arg(w->width())
                                .arg(w->height())
                                .arg(parent->width())
                                .arg(parent->height())));
        auto* button = qobject_cast<QAbstractButton*>(w);
        if (!qobject_cast<QRadioButton*>(w) && !qobject_cast<QCheckBox*>(w))
            continue;
        const QRect indicator = IndicatorOf(button);
        QVERIFY2(button->rect().contains(indicator),
                 qPrintable(QString("indicator of %1 at %2: height %3 in %4")
                                .arg(name)
                                .arg(p)
                                .arg(indicator.height())
                                .arg(button->height())));
        if (record)
            (*record)[name] = indicator.height();
        if (designIndicators.contains(name)) {
            const double expected = designIndicators[name] * p / 100.0;
            QVERIFY2(std::abs(indicator.height() - expected) <= 1.0,
                     qPrintable(QString("indicator of %1 at %2: %3, expected about %4")
                                    .arg(name)
                                    .arg(p)
                                    .arg(indicator.height())
                                    .arg(expected)));
        }
    }
}

} // namespace

class TestWindowPolish : public QObject {
    Q_OBJECT
private slots:
    void printFontDialogOpensOnTheFontInUse();
    void printFontDialogChoiceAndCancel();
    void dropDownListsShowTheirNumberOfRows();
    void otherProductsDialog();
    void otherProductsExamplesRun();
    void otherProductsTextStaysOffThePanelBorder();
    void mainWindowControlsAreWholeAtEverySize();
    void dialogControlsAreWholeAtEverySize();
};

void TestWindowPolish::printFontDialogOpensOnTheFontInUse() {
    // The family the machine really draws "Arial" with, under its own name.
    const QString family = QFontInfo(QFont("Arial")).family();
    QVERIFY(QFontDatabase::families().contains(family));

    TestWindow t;
    t.open().close();
    const QByteArray before = ReadAll(t.iniPath());
    QVERIFY(before.contains("Font Name=Arial"));

    // Confirming the dialog without a change keeps the print font and the file as they were.
    TestWindow again;
    again.writeIni(before.toStdString());
    QFont opened;
    const QString shown = ChoosePrintFont(again.open(), ClickOk, &opened);
    QCOMPARE(opened.family(), family);
    QCOMPARE(opened.pointSize(), 11);
    QCOMPARE(shown, QString("11pt Arial"));
    QCOMPARE(again->settings().printFont, corvana::PrintFontData{});
    again->close();
    QCOMPARE(ReadAll(again.iniPath()), before);
}

void TestWindowPolish::printFontDialogChoiceAndCancel() {
    const QString serif = QFontInfo(QFont("Times New Roman")).family();
    QVERIFY(QFontDatabase::families().contains(serif));
    {
        // Cancel: nothing changes, whatever was picked in the dialog.
        TestWindow t;
        t.writeIni("[Print Font]\nFont Name=Times New Roman\nSize=9\n");
        t.open();
        const corvana::PrintFontData stored = t->settings().printFont;
        QCOMPARE(stored.faceName, std::string("Times New Roman"));
        QFont opened;
        const QString shown = ChoosePrintFont(
            *t, [](QFontDialog& f) { f.setCurrentFont(QFont("Liberation Mono", 20)); }, &opened);
        QCOMPARE(opened.family(), serif);
        QCOMPARE(opened.pointSize(), 9);
        QCOMPARE(shown, QString("9pt Times New Roman"));
        QCOMPARE(t->settings().printFont, stored);
    }
    {
        // A font really chosen is taken, by the name the dialog gives it.
        TestWindow t;
        t.open();
        const QString shown = ChoosePrintFont(*t, [](QFontDialog& f) {
            f.setCurrentFont(QFont("Liberation Serif", 14));
            ClickOk(f);
        });
        QCOMPARE(shown, QString("14pt Liberation Serif"));
        QCOMPARE(t->settings().printFont.faceName, std::string("Liberation Serif"));
        QCOMPARE(t->settings().printFont.size, 14);
    }
}

void TestWindowPolish::dropDownListsShowTheirNumberOfRows() {
    // The real data set has far more state abbreviations than either list shows at once.
    TestWindow t(CORVANA_BIN_DIR);
    t.writeIni("[Misc]\nLast Search=2\n");
    TMainWin& w = t.open();
    auto* stateCombo = Find<QComboBox>(w, "StateCombo");
    QVERIFY(stateCombo->count() > 40);
    stateCombo->showPopup();
    QTRY_VERIFY(stateCombo->view()->isVisible());
    QCOMPARE(WholeRows(stateCombo), 13);
    // The list drops down from its field rather than covering it.
    QVERIFY(stateCombo->view()->mapToGlobal(QPoint(0, 0)).y() >=
            stateCombo->mapToGlobal(QPoint(0, stateCombo->height())).y() - 1);
    stateCombo->hidePopup();

    Find<QRadioButton>(w, "SearchState")->click();
    auto* firstCombo = Find<QComboBox>(w, "SearchFirstCombo");
    firstCombo->showPopup();
    QTRY_VERIFY(firstCombo->view()->isVisible());
    QCOMPARE(WholeRows(firstCombo), 18);
    firstCombo->hidePopup();

    corvana::Settings settings;
    TSetTimeZone zone(settings, corvana::ZoneChoices, 1.0, QSize(1280, 1024), nullptr);
    zone.show();
    QCOMPARE(zone.TZone->count(), 25);
    zone.TZone->showPopup();
    QTRY_VERIFY(zone.TZone->view()->isVisible());
    QCOMPARE(WholeRows(zone.TZone), 15);
    zone.TZone->hidePopup();
}

void TestWindowPolish::otherProductsDialog() {
    TestWindow t;
    t.writeIni("[Misc]\nWindow Size=800\n");
    TMainWin& w = t.open();
    // The last item of the Help menu.
    auto* help = w.menuBar()->actions().last()->menu();
    QVERIFY(help);
    QAction* item = help->actions().last();
    QCOMPARE(item->text(), QString("&Other Products"));
    QCOMPARE(item, w.findChild<QAction*>("MenuOtherProducts"));
    QVERIFY(item->shortcut().isEmpty());

    bool seen = false;
    WhenModal<TOtherProducts>([&](TOtherProducts& d) {
        seen = true;
        QCOMPARE(d.windowTitle(), QString("Other Products"));
        QVERIFY(d.isModal());
        QCOMPARE(d.parentWidget(), &w);
        // Scaled by 1.25 from 529 x 302 and centred on the 1280 x 1024 screen.
        QCOMPARE(d.size(), QSize(661, 378));
        QCOMPARE(d.pos(), QPoint((1280 - 661) / 2, (1024 - 378) / 2));
        QCOMPARE(d.QueryName->text(), QString("corvana-query"));
        QCOMPARE(d.MkdataName->text(), QString("corvana-mkdata"));
        QVERIFY(d.QueryExample->text().startsWith("corvana-query "));
        QVERIFY(d.MkdataExample->text().startsWith("corvana-mkdata "));
        QCOMPARE(d.Heading->font().pixelSize(), 25);
        QTest::mouseClick(d.OkButton, Qt::LeftButton);
        QVERIFY(!d.isVisible());
    });
    item->trigger();
    QVERIFY(seen);
    QVERIFY(t.messages.boxes.empty());
}

void TestWindowPolish::otherProductsExamplesRun() {
    // The examples must work as written: each is run from a directory that holds what it
    // names.
    TOtherProducts d(1.0, QSize(1280, 1024));
    QTemporaryDir work;
    QVERIFY(QFile::copy(QString(CORVANA_TEST_SOURCE_DIR) + "/fixtures/small.csv",
                        work.filePath("zipcodes.csv")));

    QStringList mkdata = QProcess::splitCommand(d.MkdataExample->text());
    QProcess build;
    build.setWorkingDirectory(work.path());
    const QString mkdataProgram = mkdata.takeFirst();
    build.start(QString(CORVANA_BIN_DIR) + "/" + mkdataProgram, mkdata);
    QVERIFY(build.waitForFinished(60000));
    QVERIFY2(build.exitCode() == 0, build.readAllStandardError().constData());
    QVERIFY(std::filesystem::exists(std::filesystem::path(work.path().toStdString()) / "data" /
                                    "ZIPCODE.DAT"));

    QStringList query = QProcess::splitCommand(d.QueryExample->text());
    QProcess run;
    run.setWorkingDirectory(work.path());
    const QString queryProgram = query.takeFirst();
    run.start(QString(CORVANA_BIN_DIR) + "/" + queryProgram, QStringList{"--data", "data"} + query);
    QVERIFY(run.waitForFinished(60000));
    QVERIFY2(run.exitCode() == 0, run.readAllStandardError().constData());
    QVERIFY(run.readAllStandardOutput().contains("84101"));
}

void TestWindowPolish::otherProductsTextStaysOffThePanelBorder() {
    const auto show = [](QRect r) {
        return QString("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    };
    for (int size : Sizes) {
        const int p = ScalePercent(FactorOf(size));
        TOtherProducts d(FactorOf(size), QSize(1280, 1024));
        d.show();
        auto* panel = Find<QFrame>(d, "Panel");
        // The text as drawn, wrapped to its label, keeps a margin inside the panel's border
        // and stays clear of the text above it.
        const int margin = ScaleValue(6, p);
        const QRect room = panel->contentsRect().marginsRemoved({margin, margin, margin, margin});
        int above = room.top();
        for (QLabel* l : {d.Heading, d.QueryName, d.QueryText, d.QueryExample, d.MkdataName,
                          d.MkdataText, d.MkdataExample}) {
            const QRect text = l->fontMetrics().boundingRect(
                l->contentsRect(), int(l->alignment()) | Qt::TextWordWrap, l->text());
            const QRect drawn = text.translated(l->pos());
            const QString where = QString("%1 at %2: text %3 in %4")
                                      .arg(l->objectName())
                                      .arg(size)
                                      .arg(show(drawn), show(room));
            QVERIFY2(l->contentsRect().contains(text), qPrintable(where + " (outside its label)"));
            QVERIFY2(room.contains(drawn), qPrintable(where));
            QVERIFY2(drawn.top() >= above, qPrintable(where + " (on the text above)"));
            above = drawn.bottom() + 1;
        }
        // The command button lies below the panel, clear of its border.
        QVERIFY(d.OkButton->geometry().top() > panel->geometry().bottom() + 1);
    }
}

void TestWindowPolish::mainWindowControlsAreWholeAtEverySize() {
    QMap<QString, int> design;
    {
        TestWindow t;
        TMainWin& w = t.open();
        QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "8");
        CheckWhole(w.centralWidget(), 100, {}, &design);
    }
    QVERIFY(design.contains("SearchArea") && design.contains("RangeSelect"));
    for (int size : Sizes) {
        TestWindow t;
        t.writeIni("[Misc]\nWindow Size=" + std::to_string(size) + "\n");
        TMainWin& w = t.open();
        QCOMPARE(w.scaleFactor(), FactorOf(size));
        // The full height, with the results list and its buttons.
        QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "8");
        QVERIFY(Find<QWidget>(w, "RangeSelect")->isVisible() ||
                Find<QWidget>(w, "AnswerBox")->isVisible());
        CheckWhole(w.centralWidget(), ScalePercent(FactorOf(size)), design);
        if (QTest::currentTestFailed())
            return;
    }
}

void TestWindowPolish::dialogControlsAreWholeAtEverySize() {
    corvana::Settings settings;
    RecordingMessages messages;
    QPrinter printer;
    auto makeAll = [&](double factor) {
        std::vector<std::unique_ptr<QDialog>> d;
        d.push_back(std::make_unique<TPreferences>(settings, factor, QSize(1280, 1024),
                                                   std::function<void(const QString&)>{}));
        d.push_back(std::make_unique<TSetTimeZone>(settings, corvana::ZoneChoices, factor,
                                                   QSize(1280, 1024), nullptr));
        d.push_back(std::make_unique<TOtherProducts>(factor, QSize(1280, 1024)));
        d.push_back(
            std::make_unique<TPrinterSetup>(printer, PrinterList{}, factor, QSize(1280, 1024)));
        return d;
    };
    QMap<QString, int> design;
    for (auto& d : makeAll(1.0)) {
        d->show();
        CheckWhole(d.get(), 100, {}, &design);
    }
    QVERIFY(design.contains("QCheckBox:Daylight Savings Time"));
    for (int size : Sizes) {
        for (auto& d : makeAll(FactorOf(size))) {
            d->show();
            CheckWhole(d.get(), ScalePercent(FactorOf(size)), design);
            if (QTest::currentTestFailed())
                return;
        }
    }
}

QTEST_MAIN(TestWindowPolish)
#include "test_window_polish.moc"
