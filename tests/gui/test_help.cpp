#include "format/OutputFormats.h"
#include "main/dialogs/Preferences.h"
#include "main/help/HelpWindow.h"
#include "settings/Settings.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

namespace {

const QString HelpFile = QString(CORVANA_BIN_DIR) + "/CORVA.HLP";

// Every anchor name and every in-document link target of the loaded help text.
void Anchors(const QTextDocument* doc, QSet<QString>& names, QSet<QString>& targets) {
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            for (const QString& n : f.anchorNames())
                names.insert(n);
            if (f.isAnchor() && f.anchorHref().startsWith('#'))
                targets.insert(f.anchorHref().mid(1));
        }
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT
private slots:
    void opensAtTheContents();
    void keywordsLeadToTheirTopics();
    void everyLinkHasItsTopic();
    void listsAllOutputFormats();
    void missingFileIsReportedInTheWindow();
    void escapeClosesTheWindow();
    void searchFindsTopicsByWord();
    void preferencesHelpButtonOpensItsTopic();
};

void TestHelp::opensAtTheContents() {
    THelpWindow help(HelpFile);
    QVERIFY(help.showContents());
    QVERIFY(help.isVisible());
    QCOMPARE(help.currentTopic(), QString("contents"));
    QCOMPARE(help.browser()->verticalScrollBar()->value(), 0);
    QVERIFY(help.browser()->toPlainText().contains("Corvana Help"));
}

void TestHelp::keywordsLeadToTheirTopics() {
    THelpWindow help(HelpFile);
    help.resize(500, 300);
    QVERIFY(help.showKeyword("Zip Code Updates"));
    QCOMPARE(help.currentTopic(), QString("updates"));
    // The topic lies far down the file: the view has moved to it.
    const int updatesAt = help.browser()->verticalScrollBar()->value();
    QVERIFY(updatesAt > 0);

    QVERIFY(help.showKeyword("Preferences"));
    QCOMPARE(help.currentTopic(), QString("preferences"));
    QVERIFY(help.browser()->verticalScrollBar()->value() > 0);
    QVERIFY(help.browser()->verticalScrollBar()->value() < updatesAt);

    QCOMPARE(help.keywordTopic("zip code updates"), QString("updates"));
    QCOMPARE(help.keywordTopic("Print Font"), QString("copyprint"));
    // A keyword the index lacks opens the index itself.
    QCOMPARE(help.keywordTopic("Fax Numbers"), QString());
    QVERIFY(help.showKeyword("Fax Numbers"));
    QCOMPARE(help.currentTopic(), QString("index"));
    // The contents list links "Zip Code Updates" too; only the index counts for keywords.
    QCOMPARE(help.keywordTopic("Searching by City"), QString());
}

void TestHelp::everyLinkHasItsTopic() {
    THelpWindow help(HelpFile);
    QVERIFY(help.showContents());
    QSet<QString> names, targets;
    Anchors(help.browser()->document(), names, targets);
    for (const QString& t : targets)
        QVERIFY2(names.contains(t), qPrintable(t));
    QVERIFY(names.contains("contents"));
    for (const char* topic :
         {"zipcode", "city", "state", "county", "areacode", "preferences", "timezone", "copyprint",
          "formats", "windowsizes", "updates", "index"})
        QVERIFY2(targets.contains(topic), topic);
}

void TestHelp::listsAllOutputFormats() {
    THelpWindow help(HelpFile);
    QVERIFY(help.showContents());
    QString text = help.browser()->toPlainText();
    text.replace(QChar(0xA0), ' ');
    int row = 1;
    for (std::string_view format : corvana::OutputFormats) {
        const QString line = QString::number(row++) + "\t" + QString::fromLatin1(format);
        QVERIFY2(text.contains(QString::fromLatin1(format)), qPrintable(line));
    }
    // The updates topic tells users where new data comes from and how to install it; how the
    // data is built is for dataset/README.md.
    // The heading, not the entries of the contents and the index that name it.
    const int start =
        text.indexOf(QRegularExpression("Zip Code Updates\n(?!Menu Commands|Zip Data Version)"));
    const QString topic =
        text.mid(start, text.indexOf("Menu Commands and Shortcut Keys\n", start) - start);
    QVERIFY(topic.contains("March 2026"));
    QVERIFY(topic.contains("apt install") && topic.contains("/usr/lib/corvana"));
    QVERIFY(!topic.contains("import.py") && !topic.contains("cmake"));
}

void TestHelp::missingFileIsReportedInTheWindow() {
    QTemporaryDir dir;
    THelpWindow help(dir.filePath("CORVA.HLP"));
    QVERIFY(!help.showContents());
    QVERIFY(help.isVisible());
    QVERIFY(help.browser()->toPlainText().contains("could not be opened"));
    QVERIFY(!help.showKeyword("Preferences"));
    QCOMPARE(help.currentTopic(), QString());

    // The file appearing later is read at the next request.
    QVERIFY(QFile::copy(HelpFile, dir.filePath("CORVA.HLP")));
    QVERIFY(help.showKeyword("Preferences"));
    QCOMPARE(help.currentTopic(), QString("preferences"));
}

void TestHelp::escapeClosesTheWindow() {
    THelpWindow help(HelpFile);
    QVERIFY(help.showContents());
    QTest::keyClick(help.browser(), Qt::Key_Escape);
    QVERIFY(!help.isVisible());
    // It comes back for the next request, and Escape works from the search field too.
    QVERIFY(help.showKeyword("Preferences"));
    QVERIFY(help.isVisible());
    QTest::keyClicks(help.searchEdit(), "zone");
    QTest::keyClick(help.searchEdit(), Qt::Key_Escape);
    QVERIFY(!help.isVisible());
}

void TestHelp::searchFindsTopicsByWord() {
    THelpWindow help(HelpFile);
    QVERIFY(help.showContents());
    // Topics whose heading holds the words come first; the beginning of a word will do, in
    // any case; every word must be there.
    QCOMPARE(help.findTopics("UPDATE").value(0), QString("updates"));
    QCOMPARE(help.findTopics("daylight sav").value(0), QString("timezone"));
    const QStringList print = help.findTopics("print font");
    QCOMPARE(print.value(0), QString("copyprint"));
    QVERIFY(!print.contains("zipcode"));
    // The contents page and the keyword index name every topic: they are no finds.
    for (const char* word : {"preferences", "zip", "city"}) {
        const QStringList found = help.findTopics(word);
        QVERIFY2(!found.isEmpty(), word);
        QVERIFY(!found.contains("contents") && !found.contains("index"));
    }
    QVERIFY(help.findTopics("fax").isEmpty());
    QVERIFY(help.findTopics(" ,. ").isEmpty());

    // In the window: the list beside the topic shows what the field finds.
    QListWidget* found = help.searchResults();
    QVERIFY(found->isHidden());
    QTest::keyClicks(help.searchEdit(), "zip code upd");
    QVERIFY(found->isVisible());
    QCOMPARE(found->item(0)->text(), QString("Zip Code Updates"));
    // Enter opens the first; Back returns.
    QTest::keyClick(help.searchEdit(), Qt::Key_Return);
    QCOMPARE(help.currentTopic(), QString("updates"));
    for (QPushButton* b : help.findChildren<QPushButton*>())
        if (b->text() == "&Back")
            QTest::mouseClick(b, Qt::LeftButton);
    QCOMPARE(help.currentTopic(), QString("contents"));
    QTest::keyClick(help.searchEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(help.searchEdit(), "range");
    QCOMPARE(found->count(), 2); // the results list first, then the map's marks
    QCOMPARE(found->item(1)->text(), QString("The Map"));
    const QRect item = found->visualItemRect(found->item(0));
    QTest::mouseClick(found->viewport(), Qt::LeftButton, {}, item.center());
    QCOMPARE(help.currentTopic(), QString("results"));
    QVERIFY(help.browser()->verticalScrollBar()->value() > 0);

    help.searchEdit()->setText("fax");
    QCOMPARE(found->count(), 1);
    QCOMPARE(found->item(0)->flags(), Qt::NoItemFlags);
    QTest::keyClick(help.searchEdit(), Qt::Key_Return);
    QCOMPARE(help.currentTopic(), QString("results"));
    help.searchEdit()->clear();
    QVERIFY(found->isHidden());
}

void TestHelp::preferencesHelpButtonOpensItsTopic() {
    corvana::Settings s;
    THelpWindow help(HelpFile);
    TPreferences d(s, 1.0, QSize(1024, 768),
                   [&](const QString& keyword) { help.showKeyword(keyword); });
    d.show();
    QTest::mouseClick(d.HelpButton, Qt::LeftButton);
    QVERIFY(help.isVisible());
    QCOMPARE(help.currentTopic(), QString("preferences"));
    QVERIFY(d.isVisible());
}

QTEST_MAIN(TestHelp)
#include "test_help.moc"
