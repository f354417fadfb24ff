// The settings file is never lost: a save that fails or dies at any step of its way leaves the
// previous CORVANA.INI whole, or the new one whole, never a mixture or nothing; and a settings
// directory that is missing or cannot be written leaves the program on its defaults.
#include "Syscalls.h"
#include "TestUtil.h"

#include "settings/IniFile.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sys/stat.h>
#include <sys/syscall.h>

using namespace corvana;
using namespace corvana::test;
namespace fs = std::filesystem;

namespace {

Settings changedSettings() {
    Settings s;
    s.windowSize = 1024;
    s.lastSearch = 4;
    s.allState = false;
    s.showTimeZone = true;
    s.printFont.faceName = "Courier New";
    s.printFont.color = -2147483640;
    s.printFont.bold = true;
    s.timeZone = 7;
    return s;
}

// A file as a user would have it: written by an earlier run, with a comment of their own.
std::string oldText() {
    IniFile ini("; my settings\r\n");
    Settings s;
    s.mainWindowLeft = 120;
    s.lastCopyFormat = 9;
    SaveSettings(s, ini);
    return ini.text();
}

std::vector<std::string> namesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    return names;
}

struct SaveCase {
    TempDir dir;
    std::string path = dir.str() + "/CORVANA.INI";
    std::string before;
    std::string after;
    IniFile next;

    explicit SaveCase(bool hadFile) {
        if (hadFile) {
            before = oldText();
            dir.write("CORVANA.INI", before);
        }
        next = IniFile::load(path);
        SaveSettings(changedSettings(), next);
        after = next.text();
        EXPECT_NE(before, after);
    }
    void reset() {
        for (const auto& name : namesIn(dir.path()))
            fs::remove_all(dir.path() / name);
        if (!before.empty())
            dir.write("CORVANA.INI", before);
    }
    bool exists() const { return fs::exists(path); }
    std::string now() const { return readFile(path); }
    int save() const { return next.save(path) ? 0 : 1; }
};

} // namespace

TEST(SettingsNeverLost, KilledAtEveryStepOfASave) {
    if (!tracingAvailable())
        GTEST_SKIP() << "processes cannot be traced here";
    for (bool hadFile : {true, false}) {
        SaveCase c(hadFile);
        std::size_t step = 1;
        for (;; ++step) {
            c.reset();
            StepEnd end = runWithFaultAtStep(step, StepFault::Kill, 0, [&] { return c.save(); });
            if (!end.reached) {
                EXPECT_TRUE(end.end.exitedWith(0));
                EXPECT_EQ(c.now(), c.after);
                break;
            }
            // Killed before or after the file was replaced: one whole file either way.
            if (hadFile || c.exists()) {
                std::string now = c.now();
                EXPECT_TRUE(now == c.before || now == c.after)
                    << "killed at step " << step << " (" << end.call << ")";
            }
        }
        EXPECT_GT(step, 3u) << "the save made almost no file calls: is it traced?";
        std::cout << (hadFile ? "replacing" : "creating") << " the file: killed at " << step - 1
                  << " steps\n";
    }
}

TEST(SettingsNeverLost, FailingCallAtEveryStepOfASave) {
    if (!tracingAvailable())
        GTEST_SKIP() << "processes cannot be traced here";
    for (bool hadFile : {true, false}) {
        for (int err : {EIO, ENOSPC, EACCES}) {
            SaveCase c(hadFile);
            std::size_t step = 1;
            for (;; ++step) {
                c.reset();
                StepEnd end =
                    runWithFaultAtStep(step, StepFault::Fail, err, [&] { return c.save(); });
                if (!end.reached)
                    break;
                std::string where =
                    "step " + std::to_string(step) + " (" + end.call + ") " + std::strerror(err);
                ASSERT_TRUE(end.end.exited) << where << ": signal " << end.end.signal;
                // A save that says it worked has written the new file; one that says it failed
                // has left the old one as it was, and no temporary file behind.
                if (end.end.code == 0) {
                    EXPECT_EQ(c.now(), c.after) << where;
                } else {
                    EXPECT_EQ(end.end.code, 1) << where;
                    if (hadFile)
                        EXPECT_EQ(c.now(), c.before) << where;
                    else
                        EXPECT_FALSE(c.exists()) << where;
                }
                auto names = namesIn(c.dir.path());
                EXPECT_LE(names.size(), 1u) << where << ": left " << names.back();
            }
            EXPECT_GT(step, 3u);
        }
    }
}

TEST(SettingsNeverLost, MissingDirectoryGivesDefaultsAndIsCreatedOnSave) {
    TempDir home;
    std::string path = home.str() + "/not/yet/there/CORVANA.INI";
    IniFile ini = IniFile::load(path);
    EXPECT_EQ(LoadSettings(ini), Settings());
    SaveSettings(changedSettings(), ini);
    ASSERT_TRUE(ini.save(path));
    EXPECT_EQ(LoadSettings(IniFile::load(path)), changedSettings());
}

TEST(SettingsNeverLost, UnwritableDirectoryKeepsTheProgramOnItsSettings) {
    if (!filtersAvailable())
        GTEST_SKIP() << "this kernel does not filter system calls";
    // A read-only file system: every call that would change a file fails, as it does for root
    // too, which permission bits would not stop.
    for (bool hadFile : {true, false}) {
        SaveCase c(hadFile);
        c.reset();
        auto end = runFiltered(fileChangingCalls(failWith(EROFS)), [&] {
            Settings loaded = LoadSettings(IniFile::load(c.path));
            IniFile ini = IniFile::load(c.path);
            SaveSettings(changedSettings(), ini);
            bool saved = ini.save(c.path);
            // Reads still work: what was there is what the program runs on.
            Settings expected = hadFile ? LoadSettings(IniFile(c.before)) : Settings();
            return (!saved && loaded == expected) ? 0 : 1;
        });
        EXPECT_TRUE(end.exitedWith(0)) << "signal " << end.signal;
        EXPECT_EQ(hadFile ? c.now() : std::string(), c.before);
        EXPECT_LE(namesIn(c.dir.path()).size(), 1u);
    }
}

TEST(SettingsNeverLost, UnreadableOrOddSettingsPathGivesDefaults) {
    TempDir dir;
    // The settings path is a directory: nothing to read, and a save must not remove it.
    fs::create_directory(dir.path() / "CORVANA.INI");
    std::string path = dir.str() + "/CORVANA.INI";
    EXPECT_EQ(LoadSettings(IniFile::load(path)), Settings());
    IniFile ini;
    SaveSettings(changedSettings(), ini);
    EXPECT_FALSE(ini.save(path));
    EXPECT_TRUE(fs::is_directory(path));

    if (!filtersAvailable())
        return;
    // A file that exists but cannot be opened reads as no file at all.
    TempDir other;
    other.write("CORVANA.INI", oldText());
    std::string file = other.str() + "/CORVANA.INI";
    auto end = runFiltered({{SYS_openat, -1, 0, failWith(EACCES)}},
                           [&] { return LoadSettings(IniFile::load(file)) == Settings() ? 0 : 1; });
    EXPECT_TRUE(end.exitedWith(0));
}
