#include "format/OutputFormats.h"
#include "main/HelpWindow.h"
#include "main/Preferences.h"
#include "settings/Settings.h"

#include <QDir>
#include <QPushButton>
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
    const QString updates = text.mid(text.indexOf("Zip Code Updates\n"));
    QVERIFY(updates.contains("March 2026"));
    QVERIFY(updates.contains("python3 dataset/import.py"));
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
