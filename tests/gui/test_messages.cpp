#include "DialogTestUtil.h"

#include "data/Errors.h"
#include "main/app/SingleInstance.h"
#include "main/style/CorvanaStyle.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QIcon>
#include <QImage>
#include <QLockFile>
#include <QMessageBox>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

// A desktop whose theme puts icons on the buttons of dialogs, as some do.
class ButtonIconsStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// What a shown box looked like.
struct Seen {
    QString caption;
    QString text;
    bool onTop = false;
    QImage icon;
    int buttons = 0;
    int buttonIcons = 0;
};

Seen Show(const std::function<void()>& open) {
    Seen seen;
    WhenModal<QMessageBox>([&](QMessageBox& box) {
        seen.caption = box.windowTitle();
        seen.text = box.text();
        seen.onTop = box.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        seen.icon = box.iconPixmap().toImage();
        for (QAbstractButton* b : box.buttons()) {
            ++seen.buttons;
            if (!b->icon().isNull())
                ++seen.buttonIcons;
        }
    });
    open();
    return seen;
}

Seen Message(const QString& caption, QWidget* parent = nullptr) {
    return Show([&] {
        BoxMessages m;
        m.message(parent, caption, "text");
    });
}

Seen Question(const QString& caption) {
    return Show([&] {
        BoxMessages m;
        m.question(nullptr, caption, "text");
    });
}

QColor Middle(const QImage& image) {
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

// An icon theme of four plain squares, one colour for each kind of message.
void WriteTheme(const QTemporaryDir& dir) {
    QDir(dir.path()).mkpath("boxes/48x48");
    QFile index(dir.filePath("boxes/index.theme"));
    QVERIFY(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=boxes\nDirectories=48x48\n\n[48x48]\nSize=48\nType=Fixed\n");
    index.close();
    const std::pair<const char*, Qt::GlobalColor> icons[] = {{"dialog-error", Qt::red},
                                                             {"dialog-warning", Qt::yellow},
                                                             {"dialog-information", Qt::blue},
                                                             {"dialog-question", Qt::green}};
    for (auto [name, colour] : icons) {
        QImage image(48, 48, QImage::Format_ARGB32);
        image.fill(colour);
        QVERIFY(image.save(dir.filePath(QString("boxes/48x48/%1.png").arg(name))));
    }
}

} // namespace

class TestMessages : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void iconsFollowTheCaptionFromTheTheme();
    void iconsWithoutATheme();
    void noDecorativeIconsOnButtons();
    void secondStartBoxStaysOnTop();
    void boxesStayAboveTheirWindow();
};

void TestMessages::initTestCase() {
    QApplication::setStyle(new CorvanaStyle(new ButtonIconsStyle));
}

void TestMessages::iconsFollowTheCaptionFromTheTheme() {
    QTemporaryDir dir;
    WriteTheme(dir);
    QIcon::setThemeSearchPaths({dir.path()});
    QIcon::setThemeName("boxes");

    const Seen fatal = Message(corvana::caption::Fatal);
    QCOMPARE(Middle(fatal.icon), QColor(Qt::red));
    QCOMPARE(Middle(Message(corvana::caption::Error).icon), QColor(Qt::yellow));
    for (const char* caption : {corvana::caption::Sorry, corvana::caption::Version, ""})
        QCOMPARE(Middle(Message(caption).icon), QColor(Qt::blue));
    // "Notice" asks.
    QCOMPARE(Middle(Question(corvana::caption::Notice).icon), QColor(Qt::green));
    // Captions and texts stay as given.
    QCOMPARE(fatal.caption, QString("FATAL ERROR"));
    QCOMPARE(fatal.text, QString("text"));
}

void TestMessages::iconsWithoutATheme() {
    QIcon::setThemeSearchPaths({});
    QIcon::setThemeName(QString());
    // The style's own icon of each kind, and one kind for each caption.
    const QImage critical = Message(corvana::caption::Fatal).icon;
    const QImage warning = Message(corvana::caption::Error).icon;
    const QImage information = Message(corvana::caption::Sorry).icon;
    const QImage question = Question(corvana::caption::Notice).icon;
    const QStyle* style = QApplication::style();
    const int size = critical.width();
    QVERIFY(size > 0);
    QCOMPARE(
        critical,
        style->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(QSize(size, size)).toImage());
    QCOMPARE(
        question,
        style->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(QSize(size, size)).toImage());
    QVERIFY(critical != warning && warning != information && information != question);
}

void TestMessages::noDecorativeIconsOnButtons() {
    // The desktop's style would put them there...
    ButtonIconsStyle desktop;
    QDialogButtonBox plain;
    plain.setStyle(&desktop);
    QVERIFY(!plain.addButton(QDialogButtonBox::Ok)->icon().isNull());
    // ...but not on the program's boxes.
    const Seen ok = Message(corvana::caption::Error);
    QCOMPARE(ok.buttons, 1);
    QCOMPARE(ok.buttonIcons, 0);
    const Seen yesNo = Question(corvana::caption::Notice);
    QCOMPARE(yesNo.buttons, 2);
    QCOMPARE(yesNo.buttonIcons, 0);
}

void TestMessages::secondStartBoxStaysOnTop() {
    // The running copy's window may stay on top of every other; the box of a second start must
    // still be seen.
    QTemporaryDir dir;
    const QString path = dir.filePath("corvana.lock");
    BoxMessages messages;
    auto running = TakeInstanceLock(path, messages);
    QVERIFY(running);
    const Seen second = Show([&] { QVERIFY(!TakeInstanceLock(path, messages)); });
    QVERIFY(second.onTop);
    QCOMPARE(second.caption, QString());
    QCOMPARE(second.text, QString("Corvana is already running.  Hold down the ALT key and click "
                                  "on the right mouse button to activate."));
}

void TestMessages::boxesStayAboveTheirWindow() {
    // A window not yet shown, as when a data file fails while the window is made: the box
    // must not hide under another program's window that stays on top.
    QWidget window;
    QWidget child(&window);
    QVERIFY(Message(corvana::caption::Fatal, &child).onTop);
    // An ordinary window on the screen: an ordinary box over it.
    window.show();
    QVERIFY(!Message(corvana::caption::Error, &child).onTop);
    window.setWindowFlag(Qt::WindowStaysOnTopHint);
    window.show();
    QVERIFY(Message(corvana::caption::Error, &child).onTop);
}

QTEST_MAIN(TestMessages)
#include "test_messages.moc"
