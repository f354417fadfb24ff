#pragma once

#include "TestClock.h"
#include "TestUtil.h"
#include "format/LocalTime.h"
#include "main/app/Messages.h"
#include "main/window/MainWin.h"
#include "settings/IniFile.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QListWidget;

namespace corvana::test {

// Records every message box instead of showing it.
class RecordingMessages : public Messages {
public:
    struct Box {
        QString caption;
        QString text;
    };
    std::vector<Box> boxes;
    bool answer = true;

    void message(QWidget*, const QString& caption, const QString& text) override {
        boxes.push_back({caption, text});
    }
    bool question(QWidget*, const QString& caption, const QString& text) override {
        boxes.push_back({caption, text});
        return answer;
    }
    QStringList texts() const;
};

// A main window on a data directory of the test's choice, with its own settings file, screen
// and clock, and every message recorded.
class TestWindow {
public:
    explicit TestWindow(std::string dataDir = fixtureDir("small"));
    ~TestWindow();

    std::string dataDir;
    QSize screen{1280, 1024};
    RecordingMessages messages;
    TestClock clock;
    TempDir config;
    int endings = 0; // how often the window said the program ended

    std::string iniPath() const { return config.str() + "/CORVANA.INI"; }
    void writeIni(std::string_view text) const { config.write("CORVANA.INI", text); }
    IniFile savedIni() const { return IniFile::load(iniPath()); }

    // Creates the window and, unless creation ended the program, shows it.
    TMainWin& open();
    TMainWin& operator*() { return *win_; }
    TMainWin* operator->() { return win_.get(); }

private:
    std::unique_ptr<TMainWin> win_;
};

// A copy of a data set that a test may break.
void CopyDataSet(const std::string& from, const TempDir& to);

QStringList ItemTexts(const QListWidget* list);

// A control or menu command of a window, found by the object name it carries; a test that asks
// for one the window lacks stops there.
template <class T> T* Find(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("the window has no %s named %s", T::staticMetaObject.className(), name);
    return found;
}

} // namespace corvana::test
