#include "settings/IniFile.h"

#include "TestUtil.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using corvana::IniFile;
using corvana::test::readFile;
using corvana::test::TempDir;

namespace fs = std::filesystem;

TEST(IniFile, ReadsSectionsAndKeysWithoutRegardToCase) {
    IniFile ini("[misc]\n"
                "WINDOW SIZE=800\n"
                "  Last Search  =   3   \n"
                "[Preferences]\n"
                "Window Size=1024\n");
    EXPECT_EQ(ini.get("Misc", "Window Size", "640", 15), "800");
    EXPECT_EQ(ini.get("MISC", "last search", "1", 15), "3");
    EXPECT_EQ(ini.get("Preferences", "Window Size", "", 15), "1024");
    EXPECT_EQ(ini.get("Time Zone", "Window Size", "x", 15), "x");
    EXPECT_EQ(ini.get("Misc", "Show County", "Yes", 15), "Yes");
}

TEST(IniFile, IgnoresCommentsKeysOutsideSectionsAndLinesWithoutEquals) {
    IniFile ini("Window Size=1\n"
                "[Misc]\n"
                "; Window Size=2\n"
                "# Window Size=3\n"
                "Window Size\n"
                "Window Size=4\n"
                "Window Size=5\n");
    EXPECT_EQ(ini.get("Misc", "Window Size", "", 15), "4");
}

TEST(IniFile, FirstOfTwoEqualSectionsIsRead) {
    IniFile ini("[Misc]\nA=1\n[Other]\nA=2\n[MISC]\nA=3\nB=4\n");
    EXPECT_EQ(ini.get("Misc", "A", "", 15), "1");
    EXPECT_EQ(ini.get("Misc", "B", "d", 15), "d");
}

TEST(IniFile, ValuesAndDefaultsAreCutToTheBuffer) {
    IniFile ini("[Print Font]\nFont Name=" + std::string(200, 'f') +
                "\nShort=0123456789abcdefgh\n");
    EXPECT_EQ(ini.get("Print Font", "Short", "", 15), "0123456789abcd");
    EXPECT_EQ(ini.get("Print Font", "Font Name", "", 150), std::string(149, 'f'));
    EXPECT_EQ(ini.get("Print Font", "Missing", "0123456789abcdefgh", 15), "0123456789abcd");
    EXPECT_EQ(ini.get("Print Font", "Short", "", 1), "");
    EXPECT_EQ(ini.get("Print Font", "Short", "", 0), "");
}

TEST(IniFile, EmptyValueIsNotTheDefault) {
    IniFile ini("[Misc]\nWindow Size=\nLast Search=   \n");
    EXPECT_EQ(ini.get("Misc", "Window Size", "640", 15), "");
    EXPECT_EQ(ini.get("Misc", "Last Search", "1", 15), "");
}

TEST(IniFile, SetReplacesTheKeyLineAndKeepsEverythingElse) {
    const std::string before = "; settings of the program\n"
                               "[Misc]\n"
                               "Unknown=keep me\n"
                               "window size = 640 \n"
                               "\n"
                               "[Extra]\n"
                               "Other=1\n";
    IniFile ini(before);
    ini.set("Misc", "Window Size", "800");
    EXPECT_EQ(ini.text(), "; settings of the program\n"
                          "[Misc]\n"
                          "Unknown=keep me\n"
                          "Window Size=800\n"
                          "\n"
                          "[Extra]\n"
                          "Other=1\n");
}

TEST(IniFile, SetAppendsMissingKeysToTheirSectionAndMissingSectionsAtTheEnd) {
    IniFile ini("[Misc]\nA=1\n; trailing note\n\n[Extra]\nB=2");
    ini.set("misc", "C", "3");
    ini.set("Extra", "D", "4");
    ini.set("Time Zone", "Time Zone", "7");
    ini.set("Time Zone", "Daylight Savings", "No");
    EXPECT_EQ(ini.text(), "[Misc]\nA=1\n; trailing note\nC=3\n\n"
                          "[Extra]\nB=2\nD=4\n\n"
                          "[Time Zone]\nTime Zone=7\nDaylight Savings=No\n");
    EXPECT_EQ(ini.get("Misc", "C", "", 15), "3");
}

TEST(IniFile, KeepsWindowsLineEnds) {
    IniFile ini("[Misc]\r\nA=1\r\n");
    EXPECT_EQ(ini.get("Misc", "A", "", 15), "1");
    ini.set("Misc", "B", "2");
    EXPECT_EQ(ini.text(), "[Misc]\r\nA=1\r\nB=2\r\n");
}

TEST(IniFile, StrayCarriageReturnsSurviveARewrite) {
    IniFile ini("[Print Font]\nFont Name=Arial\r\r");
    EXPECT_EQ(ini.get("Print Font", "Font Name", "", 150), "Arial");
    ini.set("Misc", "A", "1");
    IniFile again(ini.text());
    EXPECT_EQ(again.text(), ini.text());
    EXPECT_EQ(again.get("Print Font", "Font Name", "", 150), "Arial");
}

TEST(IniFile, ValueWithLineBreakCannotForgeAKey) {
    IniFile ini;
    ini.set("Print Font", "Font Name", "Arial\n[Misc]\nWindow Size=1");
    EXPECT_EQ(ini.get("Print Font", "Font Name", "", 150), "Arial");
    EXPECT_EQ(ini.get("Misc", "Window Size", "640", 15), "640");
}

TEST(IniFile, MissingFileGivesEmptyProfile) {
    TempDir dir;
    IniFile ini = IniFile::load((dir.path() / "CORVANA.INI").string());
    EXPECT_EQ(ini.text(), "");
    EXPECT_EQ(ini.get("Misc", "Window Size", "640", 15), "640");
}

TEST(IniFile, SaveAndLoadKeepTheFileByteForByte) {
    TempDir dir;
    const std::string text = "; comment\n[Misc]\nWindow Size=800\n\n[Unknown]\nX = y\n";
    dir.write("CORVANA.INI", text);
    auto path = (dir.path() / "CORVANA.INI").string();
    IniFile ini = IniFile::load(path);
    ini.set("Misc", "Window Size", "1024");
    ASSERT_TRUE(ini.save(path));
    EXPECT_EQ(readFile(path), "; comment\n[Misc]\nWindow Size=1024\n\n[Unknown]\nX = y\n");
    // Nothing but the file itself is left in the directory.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(IniFile, SaveCreatesMissingDirectories) {
    TempDir dir;
    auto path = dir.path() / "config" / "nested" / "CORVANA.INI";
    IniFile ini;
    ini.set("Misc", "A", "1");
    ASSERT_TRUE(ini.save(path.string()));
    EXPECT_EQ(readFile(path), "[Misc]\nA=1\n");
}

TEST(IniFile, SaveKeepsTheModeOfTheReplacedFile) {
    TempDir dir;
    dir.write("CORVANA.INI", "[Misc]\n");
    auto path = dir.path() / "CORVANA.INI";
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    IniFile ini;
    ini.set("Misc", "A", "1");
    ASSERT_TRUE(ini.save(path.string()));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST(IniFile, SaveThroughALinkWritesWhereItPoints) {
    TempDir dir;
    dir.write("real.ini", "[Misc]\n");
    fs::create_symlink(dir.path() / "real.ini", dir.path() / "CORVANA.INI");
    IniFile ini;
    ini.set("Misc", "A", "1");
    ASSERT_TRUE(ini.save((dir.path() / "CORVANA.INI").string()));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "CORVANA.INI"));
    EXPECT_EQ(readFile(dir.path() / "real.ini"), "[Misc]\nA=1\n");
}

TEST(IniFile, FailedSaveReportsFalseAndLeavesTheOldFile) {
    IniFile ini;
    ini.set("Misc", "A", "2");

    // The target is a directory: the final rename fails, whoever runs the test.
    {
        TempDir dir;
        fs::create_directory(dir.path() / "CORVANA.INI");
        dir.write("CORVANA.INI/inside", "old");
        EXPECT_FALSE(ini.save((dir.path() / "CORVANA.INI").string()));
        EXPECT_EQ(readFile(dir.path() / "CORVANA.INI" / "inside"), "old");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    }
    // The directory cannot be made because a file stands in its place.
    {
        TempDir dir;
        dir.write("config", "a file");
        EXPECT_FALSE(ini.save((dir.path() / "config" / "CORVANA.INI").string()));
        EXPECT_EQ(readFile(dir.path() / "config"), "a file");
    }
}

TEST(IniFile, SaveIntoReadOnlyDirectoryFailsAndLeavesTheOldFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    TempDir dir;
    dir.write("CORVANA.INI", "[Misc]\nA=1\n");
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    IniFile ini;
    ini.set("Misc", "A", "2");
    EXPECT_FALSE(ini.save((dir.path() / "CORVANA.INI").string()));
    fs::permissions(dir.path(), fs::perms::owner_all);
    EXPECT_EQ(readFile(dir.path() / "CORVANA.INI"), "[Misc]\nA=1\n");
}

TEST(IniFile, HasKnowsAKeyEvenWithAnEmptyValue) {
    IniFile ini("[misc]\nEmpty=\n; Gone=1\n[Other]\nKey=1\n");
    EXPECT_TRUE(ini.has("Misc", "empty"));
    EXPECT_FALSE(ini.has("Misc", "Gone"));
    EXPECT_FALSE(ini.has("Misc", "Key"));
    EXPECT_TRUE(ini.has("Other", "Key"));
    EXPECT_FALSE(ini.has("None", "Key"));
}
