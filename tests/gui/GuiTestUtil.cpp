#include "GuiTestUtil.h"

#include <QListWidget>

#include <filesystem>

namespace corvana::test {

QStringList RecordingMessages::texts() const {
    QStringList out;
    for (const Box& b : boxes)
        out << b.text;
    return out;
}

TestWindow::TestWindow(std::string dir) : dataDir(std::move(dir)) {}

TestWindow::~TestWindow() = default;

TMainWin& TestWindow::open() {
    MainWinEnv env;
    env.messages = &messages;
    env.dataDir = dataDir;
    env.settingsPath = iniPath();
    env.screen = screen;
    env.clock = &clock;
    env.onEnd = [this] { ++endings; };
    win_ = std::make_unique<TMainWin>(env);
    if (!win_->ended())
        win_->show();
    return *win_;
}

void CopyDataSet(const std::string& from, const TempDir& to) {
    for (const auto& entry : std::filesystem::directory_iterator(from))
        std::filesystem::copy_file(entry.path(), to.path() / entry.path().filename(),
                                   std::filesystem::copy_options::overwrite_existing);
}

QStringList ItemTexts(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace corvana::test
