// The window reads its data and writes nothing but the settings file. A session in every
// search mode, with Copy, runs in a traced child process over a read-only copy of the fixture
// data set; every file the process creates, changes or removes is recorded, and each must lie
// in the settings directory or in the runtime directory, where the single-instance lock lives
// and which Qt makes sure of. Tests run as root, where permission bits stop nothing, so the
// program directory is also compared before and after. Exit code 77: tracing is not allowed.
#include "GuiTestUtil.h"
#include "Syscalls.h"
#include "main/printing/CopyOrPrint.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <iostream>

using namespace corvana::test;
namespace fs = std::filesystem;

namespace {

std::string contentsOf(const fs::path& dir) {
    std::string all;
    for (const auto& e : fs::directory_iterator(dir))
        all += e.path().filename().string() + ":" +
               std::to_string(fs::last_write_time(e.path()).time_since_epoch().count()) + ":" +
               readFile(e.path()) + "\n";
    return all;
}

int session(int argc, char** argv, const std::string& dataDir, const std::string& settings) {
    QApplication app(argc, argv);
    RecordingMessages messages;
    TestClock clock;
    int endings = 0;
    MainWinEnv env;
    env.messages = &messages;
    env.dataDir = dataDir;
    env.settingsPath = settings;
    env.screen = QSize(1280, 1024);
    env.clock = &clock;
    env.onEnd = [&] { ++endings; };
    TMainWin w(env);
    if (w.ended())
        return 2;
    w.show();

    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "84101");
    // Copy the line through format 4: the dialog is modal, so it is answered from the loop.
    bool copied = false;
    QTimer::singleShot(0, [&] {
        if (auto* d = qobject_cast<TCopyOrPrint*>(QApplication::activeModalWidget())) {
            d->FormatList->setCurrentRow(4);
            QTest::mouseClick(d->PrintButton, Qt::LeftButton);
            copied = !QApplication::clipboard()->text().isEmpty();
            if (d->isVisible())
                d->reject();
        }
    });
    Find<QPushButton>(w, "ButtonCopy")->click();
    if (!copied)
        return 5;
    Find<QRadioButton>(w, "SearchCity")->click();
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "Salem");
    Find<QRadioButton>(w, "SingleState")->click();
    Find<QComboBox>(w, "StateCombo")->setCurrentIndex(1);
    Find<QRadioButton>(w, "SearchState")->click();
    QTest::keyClicks(Find<QComboBox>(w, "SearchFirstCombo")->lineEdit(), "ut");
    QTest::keyClicks(Find<QLineEdit>(w, "SearchSecondEdit"), "Sa");
    Find<QRadioButton>(w, "SearchCounty")->click();
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "Was");
    Find<QRadioButton>(w, "SearchArea")->click();
    QTest::keyClicks(Find<QLineEdit>(w, "SearchFirstEdit"), "801");
    if (Find<QListWidget>(w, "AnswerBox")->count() == 0)
        return 3;
    w.close();
    return endings == 1 ? 0 : 4;
}

} // namespace

int main(int argc, char** argv) {
    if (!tracingAvailable()) {
        std::cout << "processes cannot be traced here\n";
        return 77;
    }
    TempDir prog;
    TempDir config;
    CopyDataSet(fixtureDir("small"), prog);
    const auto writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    for (const auto& e : fs::directory_iterator(prog.path()))
        fs::permissions(e.path(), writable, fs::perm_options::remove);
    fs::permissions(prog.path(), writable, fs::perm_options::remove);
    const std::string before = contentsOf(prog.path());
    const std::string settings = config.str() + "/CORVANA.INI";

    TracedRun run = traceFileChanges([&] { return session(argc, argv, prog.str(), settings); });

    int failures = 0;
    if (!run.end.exitedWith(0)) {
        std::cout << "FAIL: the session ended with exit " << run.end.code << ", signal "
                  << run.end.signal << "\n";
        ++failures;
    }
    std::vector<std::string> allowed{fs::canonical(config.path()).string() + "/"};
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        allowed.push_back(fs::weakly_canonical(runtime).string());
    for (const auto& change : run.changes) {
        for (const auto& path : change.paths) {
            bool ok = false;
            for (const auto& dir : allowed)
                ok |= path.starts_with(dir);
            std::cout << (ok ? "ok:   " : "FAIL: ") << change.call << " " << path << "\n";
            failures += !ok;
        }
    }
    if (contentsOf(prog.path()) != before) {
        std::cout << "FAIL: the program directory changed\n";
        ++failures;
    }
    if (!fs::exists(settings)) {
        std::cout << "FAIL: the settings were not written\n";
        ++failures;
    }
    std::cout << run.changes.size() << " file changes, " << failures << " outside the settings\n";
    return failures ? 1 : 0;
}
