#include "settings/Settings.h"

#include "settings/IniFile.h"
#include "settings/MapSettings.h"

#include "TestUtil.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace corvana;
using corvana::test::readFile;
using corvana::test::TempDir;

TEST(Settings, FlagIsOnOnlyForYesInAnyCase) {
    EXPECT_TRUE(ParseFlag("YES"));
    EXPECT_TRUE(ParseFlag("yes"));
    EXPECT_TRUE(ParseFlag("yEs"));
    for (auto off : {"Y", "1", "True", "", "YES!", "yess", "No", " YES"})
        EXPECT_FALSE(ParseFlag(off)) << off;
}

TEST(Settings, NumberRule) {
    EXPECT_EQ(ParseNumber("640"), 640);
    EXPECT_EQ(ParseNumber("   -12"), -12);
    EXPECT_EQ(ParseNumber("+7"), 7);
    EXPECT_EQ(ParseNumber("12pt"), 12);
    EXPECT_EQ(ParseNumber("$1F"), 31);
    EXPECT_EQ(ParseNumber("$ff00ff"), 0xff00ff);
    EXPECT_EQ(ParseNumber("-$10"), -16);
    EXPECT_EQ(ParseNumber("$"), 0);
    EXPECT_EQ(ParseNumber("$G1"), 0);
    EXPECT_EQ(ParseNumber(""), 0);
    EXPECT_EQ(ParseNumber("abc"), 0);
    EXPECT_EQ(ParseNumber("-"), 0);
    EXPECT_EQ(ParseNumber("1 2"), 1);
    EXPECT_EQ(ParseNumber("--1"), 0);
    EXPECT_EQ(ParseNumber("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseNumber("2147483647"), INT32_MAX);
    EXPECT_EQ(ParseNumber("2147483648"), INT32_MIN);
    EXPECT_EQ(ParseNumber("4294967297"), 1);
    EXPECT_EQ(ParseNumber("$FFFFFFFF"), -1);
}

TEST(Settings, MissingFileGivesTheDefaults) {
    Settings s = LoadSettings(IniFile());
    EXPECT_EQ(s, Settings());
    EXPECT_EQ(s.windowSize, 640);
    EXPECT_EQ(s.lastSearch, 1);
    EXPECT_TRUE(s.allState);
    EXPECT_TRUE(s.showCounty);
    EXPECT_TRUE(s.showAreaCode);
    EXPECT_FALSE(s.showTimeZone);
    EXPECT_TRUE(s.showCurrentTime);
    EXPECT_EQ(s.printFont.faceName, "Arial");
    EXPECT_EQ(s.printFont.size, 11);
    EXPECT_EQ(s.timeZone, 8);
    EXPECT_TRUE(s.daylightSavings);
}

TEST(Settings, EmptyAndBadValuesAreNotDefaults) {
    IniFile ini("[Misc]\nWindow Size=\nAll State=\nLast Print Format=abc\nAlways On Top=yes\n"
                "[Preferences]\nShow County=Y\nShow Area Code=1\nShow Current Time=True\n"
                "[Print Font]\nSize=12pt\nFont Name=\n"
                "[Time Zone]\nTime Zone=\nDaylight Savings=\n");
    Settings s = LoadSettings(ini);
    EXPECT_EQ(s.windowSize, 0);
    EXPECT_FALSE(s.allState);
    EXPECT_EQ(s.lastPrintFormat, 0);
    EXPECT_TRUE(s.alwaysOnTop);
    EXPECT_FALSE(s.showCounty);
    EXPECT_FALSE(s.showAreaCode);
    EXPECT_FALSE(s.showCurrentTime);
    EXPECT_EQ(s.printFont.size, 12);
    EXPECT_EQ(s.printFont.faceName, "");
    EXPECT_EQ(s.timeZone, 0);
    EXPECT_FALSE(s.daylightSavings);
}

TEST(Settings, BufferCutsDependOnTheKey) {
    // 14 characters of a number are seen: the fifteenth digit is lost.
    IniFile ini("[Misc]\nLast Copy Format=000000000000017\n"
                "[Print Font]\nSize=00000000000000000012\nFont Name=" +
                std::string(160, 'N') + "\n");
    Settings s = LoadSettings(ini);
    EXPECT_EQ(s.lastCopyFormat, 1);
    EXPECT_EQ(s.printFont.size, 12);
    EXPECT_EQ(s.printFont.faceName, std::string(149, 'N'));
}

TEST(Settings, LastSearchIsSixteenBitUnsigned) {
    EXPECT_EQ(LoadSettings(IniFile("[Misc]\nLast Search=-1\n")).lastSearch, 65535);
    EXPECT_EQ(LoadSettings(IniFile("[Misc]\nLast Search=65537\n")).lastSearch, 1);
    Settings s;
    s.lastSearch = 65535;
    IniFile ini;
    SaveSettings(s, ini);
    EXPECT_EQ(ini.get("Misc", "Last Search", "", 15), "65535");
}

TEST(Settings, NegativeColourSurvivesLoadAndSave) {
    IniFile ini("[Print Font]\nColor=-2147483640\n");
    SaveSettings(LoadSettings(ini), ini);
    EXPECT_EQ(ini.get("Print Font", "Color", "", 150), "-2147483640");
}

TEST(Settings, StyleFlagsAreWrittenFromTheFont) {
    Settings s;
    s.printFont.bold = true;
    s.printFont.strikeout = true;
    IniFile ini("[Print Font]\nBold=No\nItalic=Yes\n");
    SaveSettings(s, ini);
    EXPECT_EQ(ini.get("Print Font", "Bold", "", 15), "Yes");
    EXPECT_EQ(ini.get("Print Font", "Italic", "", 15), "No");
    EXPECT_EQ(ini.get("Print Font", "Underline", "", 15), "No");
    EXPECT_EQ(ini.get("Print Font", "Strikeout", "", 15), "Yes");
}

TEST(Settings, NewFileHasEverySectionAndKeyInSaveOrder) {
    TempDir dir;
    auto path = (dir.path() / "cfg" / "CORVANA.INI").string();
    IniFile ini = IniFile::load(path);
    SaveSettings(LoadSettings(ini), ini);
    ASSERT_TRUE(ini.save(path));
    EXPECT_EQ(readFile(path), "[Misc]\n"
                              "Window Size=640\n"
                              "Last Search=1\n"
                              "All State=Yes\n"
                              "Last Print Format=0\n"
                              "Last Copy Format=0\n"
                              "Main Window Left=0\n"
                              "Main Window Top=0\n"
                              "Always On Top=No\n"
                              "Single State=\n"
                              "\n"
                              "[Preferences]\n"
                              "Show County=Yes\n"
                              "Show Area Code=Yes\n"
                              "Show Time Zone=No\n"
                              "Show Current Time=Yes\n"
                              "Cities in Caps=No\n"
                              "Counties in Caps=No\n"
                              "States in Caps=No\n"
                              "\n"
                              "[Print Font]\n"
                              "Color=0\n"
                              "Font Name=Arial\n"
                              "Size=11\n"
                              "Bold=No\n"
                              "Italic=No\n"
                              "Underline=No\n"
                              "Strikeout=No\n"
                              "\n"
                              "[Time Zone]\n"
                              "Daylight Savings=Yes\n"
                              "Time Zone=8\n");
}

TEST(Settings, FileOfAnOlderVersionKeepsItsBytesAndGainsTheSingleState) {
    // Written before the single state was remembered: CRLF lines, no "Single State" key.
    const std::string old = "[Misc]\r\nWindow Size=800\r\nLast Search=2\r\nAll State=No\r\n"
                            "Last Print Format=0\r\nLast Copy Format=0\r\n"
                            "Main Window Left=12\r\nMain Window Top=34\r\nAlways On Top=No\r\n"
                            "\r\n[Preferences]\r\nShow County=Yes\r\n";
    IniFile ini(old);
    Settings s = LoadSettings(ini);
    EXPECT_EQ(s.singleState, "");
    EXPECT_FALSE(s.allState);
    SaveSettings(s, ini);
    const std::string text = ini.text();
    const std::string misc = old.substr(0, old.find("\r\n\r\n") + 2);
    EXPECT_EQ(text.rfind(misc + "Single State=\r\n\r\n[Preferences]\r\nShow County=Yes\r\n", 0), 0u)
        << text;

    // The state is written in that line and read back as it was.
    s.singleState = "UT";
    SaveSettings(s, ini);
    EXPECT_EQ(ini.text().rfind(misc + "Single State=UT\r\n\r\n", 0), 0u) << ini.text();
    EXPECT_EQ(LoadSettings(ini).singleState, "UT");
}

TEST(Settings, RoundTripThroughTheFileKeepsEveryFieldAndForeignLines) {
    TempDir dir;
    dir.write("CORVANA.INI", "; kept\n[misc]\nwindow size=800\nFavourite=42\n[Recent]\nA=b\n");
    auto path = (dir.path() / "CORVANA.INI").string();

    Settings s;
    s.alwaysOnTop = true;
    s.mainWindowLeft = -20;
    s.mainWindowTop = 300;
    s.windowSize = 1280;
    s.lastSearch = 4;
    s.allState = false;
    s.singleState = "UT";
    s.showCounty = false;
    s.showAreaCode = false;
    s.showTimeZone = true;
    s.showCurrentTime = false;
    s.citiesInCaps = true;
    s.countiesInCaps = true;
    s.statesInCaps = true;
    s.lastPrintFormat = 31;
    s.lastCopyFormat = -1;
    s.printFont = {"Liberation Serif", 14, 0x00ff8000, true, true, true, true};
    s.timeZone = -1;
    s.daylightSavings = false;

    IniFile ini = IniFile::load(path);
    SaveSettings(s, ini);
    ASSERT_TRUE(ini.save(path));
    IniFile again = IniFile::load(path);
    EXPECT_EQ(LoadSettings(again), s);
    EXPECT_EQ(again.get("Misc", "Favourite", "", 15), "42");
    EXPECT_EQ(again.get("Recent", "A", "", 15), "b");
    std::string text = readFile(path);
    EXPECT_EQ(text.rfind("; kept\n[misc]\nWindow Size=1280\nFavourite=42\n", 0), 0u) << text;

    // A second save of the same record changes nothing.
    SaveSettings(LoadSettings(again), again);
    EXPECT_EQ(again.text(), text);
}

TEST(Settings, FilePathFollowsTheConfigurationDirectory) {
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const char* oldHome = std::getenv("HOME");
    std::string savedXdg = oldXdg ? oldXdg : "", savedHome = oldHome ? oldHome : "";

    setenv("XDG_CONFIG_HOME", "/cfg/here", 1);
    EXPECT_EQ(SettingsFilePath(), "/cfg/here/CORVANA.INI");
    setenv("HOME", "/home/someone", 1);
    setenv("XDG_CONFIG_HOME", "", 1);
    EXPECT_EQ(SettingsFilePath(), "/home/someone/.config/CORVANA.INI");
    setenv("XDG_CONFIG_HOME", "relative/dir", 1);
    EXPECT_EQ(SettingsFilePath(), "/home/someone/.config/CORVANA.INI");
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    std::string fallback = SettingsFilePath();
    EXPECT_TRUE(fallback.ends_with("/.config/CORVANA.INI")) << fallback;

    oldXdg ? setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
    oldHome ? setenv("HOME", savedHome.c_str(), 1) : unsetenv("HOME");
}

TEST(Settings, NearbyMilesReadsOnlyAUsableRadius) {
    EXPECT_EQ(ParseMiles("10", 7), 10);
    EXPECT_EQ(ParseMiles("2.5", 7), 2.5);
    EXPECT_EQ(ParseMiles("0.1", 7), 0.1);
    EXPECT_EQ(ParseMiles("12500", 7), 12500);
    EXPECT_EQ(ParseMiles("1.5e1", 7), 15);
    EXPECT_EQ(ParseMiles("1e-05", 7), 1e-05);
    for (auto bad : {"", "abc", "0", "-5", "12500.5", "2.5mi", "2,5", "nan", "inf", "1e400", "+3"})
        EXPECT_EQ(ParseMiles(bad, 7), 7) << bad;
    EXPECT_EQ(LoadSettings(IniFile()).nearbyMiles, 10);
    EXPECT_EQ(LoadSettings(IniFile("[Misc]\nNearby Miles= 2.5 \n")).nearbyMiles, 2.5);
    EXPECT_EQ(LoadSettings(IniFile("[Misc]\nNearby Miles=\n")).nearbyMiles, 10);
}

TEST(Settings, NearbyMilesIsWrittenOnceTheUserChoseARadius) {
    // A file of a user who never asked for nearby ZIP codes keeps its bytes, even after a run.
    IniFile fresh;
    SaveSettings(Settings(), fresh);
    const std::string before = fresh.text();
    EXPECT_FALSE(fresh.has("Misc", "Nearby Miles"));
    IniFile ini(before);
    SaveSettings(LoadSettings(ini), ini);
    EXPECT_EQ(ini.text(), before);

    // A radius chosen goes in at the end of its section, as the shortest text of the number.
    Settings s = LoadSettings(ini);
    s.nearbyMiles = 2.5;
    SaveSettings(s, ini);
    EXPECT_NE(ini.text().find("Single State=\nNearby Miles=2.5\n\n[Preferences]"),
              std::string::npos)
        << ini.text();
    EXPECT_EQ(LoadSettings(ini).nearbyMiles, 2.5);

    // Once in the file, the key stays, the default radius too.
    s.nearbyMiles = 10;
    SaveSettings(s, ini);
    EXPECT_EQ(ini.get("Misc", "Nearby Miles", "", 15), "10");
    s.nearbyMiles = 0.1;
    SaveSettings(s, ini);
    EXPECT_EQ(ini.get("Misc", "Nearby Miles", "", 15), "0.1");
    EXPECT_EQ(LoadSettings(ini), s);
    // The shortest text of a tiny radius has an exponent; it reads back all the same.
    s.nearbyMiles = 0.00001;
    SaveSettings(s, ini);
    EXPECT_EQ(ini.get("Misc", "Nearby Miles", "", 15), "1e-05");
    EXPECT_EQ(LoadSettings(ini), s);
}

TEST(Settings, NearbyStandardOnlyIsWrittenOnceChanged) {
    IniFile fresh;
    SaveSettings(Settings(), fresh);
    EXPECT_FALSE(fresh.has("Misc", "Nearby Standard Only"));
    EXPECT_FALSE(LoadSettings(fresh).nearbyStandardOnly);

    Settings s = LoadSettings(fresh);
    s.nearbyMiles = 5;
    s.nearbyStandardOnly = true;
    SaveSettings(s, fresh);
    EXPECT_NE(fresh.text().find("Nearby Miles=5\nNearby Standard Only=Yes\n\n[Preferences]"),
              std::string::npos)
        << fresh.text();
    EXPECT_TRUE(LoadSettings(fresh).nearbyStandardOnly);
    // Switched off again, the key stays and says so.
    s.nearbyStandardOnly = false;
    SaveSettings(s, fresh);
    EXPECT_EQ(fresh.get("Misc", "Nearby Standard Only", "", 15), "No");
    EXPECT_TRUE(LoadSettings(IniFile("[misc]\nnearby standard only= yes \n")).nearbyStandardOnly);
}

// The map window's section: read as written, absent from a file that never had it, and
// written back without touching the rest of the file.
TEST(MapSettings, ReadWriteAndAbsence) {
    IniFile none("[Misc]\nWindow Size=800\n");
    MapSettings absent = LoadMapSettings(none);
    EXPECT_FALSE(absent.present);
    EXPECT_FALSE(absent.open);
    EXPECT_EQ(absent.width, 0);

    IniFile ini("[Misc]\nWindow Size=800\n[map]\nleft=-20\nTop=40\nWidth=700\nHeight=$1F4\n"
                "Open=yes\n");
    MapSettings s = LoadMapSettings(ini);
    EXPECT_TRUE(s.present);
    EXPECT_EQ(s.left, -20);
    EXPECT_EQ(s.top, 40);
    EXPECT_EQ(s.width, 700);
    EXPECT_EQ(s.height, 500);
    EXPECT_TRUE(s.open);

    MapSettings changed{true, 10, 20, 640, 480, false, ""};
    IniFile written = none;
    SaveMapSettings(changed, written);
    EXPECT_EQ(written.text(), "[Misc]\nWindow Size=800\n\n[Map]\nLeft=10\nTop=20\nWidth=640\n"
                              "Height=480\nOpen=No\n");
    EXPECT_EQ(LoadMapSettings(written), changed);
    // The folder of the last saved image, a path longer than the other values, once there is one.
    changed.imageFolder = "/home/someone/Pictures/" + std::string(200, 'm');
    SaveMapSettings(changed, written);
    EXPECT_TRUE(written.text().ends_with("Open=No\nImage Folder=" + changed.imageFolder + "\n"));
    EXPECT_EQ(LoadMapSettings(written), changed);
    EXPECT_FALSE(IniFile("[Mapping]\nOpen=Yes\n").has("Map"));
    // Size By Population: written once switched on, kept (as No) once switched off again.
    EXPECT_FALSE(LoadMapSettings(written).sizeByPopulation);
    changed.sizeByPopulation = true;
    SaveMapSettings(changed, written);
    EXPECT_TRUE(written.text().ends_with("Image Folder=" + changed.imageFolder +
                                         "\nSize By Population=Yes\n"));
    EXPECT_EQ(LoadMapSettings(written), changed);
    changed.sizeByPopulation = false;
    SaveMapSettings(changed, written);
    EXPECT_TRUE(written.text().ends_with("\nSize By Population=No\n"));
    EXPECT_EQ(LoadMapSettings(written), changed);
    EXPECT_TRUE(LoadMapSettings(IniFile("[map]\nsize by population = yes\n")).sizeByPopulation);
    // A file without the section reads as a new record, whose defaults the table gives.
    MapSettings fresh = LoadMapSettings(IniFile());
    fresh.present = false;
    EXPECT_EQ(fresh, MapSettings());
}

// A section as the window wrote it, and one a user edited, read and written back keep every byte.
TEST(MapSettings, SectionRoundTripsByteForByte) {
    for (std::string_view text :
         {"[Misc]\nWindow Size=800\n\n[Map]\nLeft=-20\nTop=40\nWidth=700\nHeight=500\nOpen=Yes\n",
          "[Misc]\r\nWindow Size=800\r\n\r\n[Map]\r\nLeft=0\r\nTop=0\r\nWidth=0\r\nHeight=0\r\n"
          "Open=No\r\n[Recent]\r\nA=b\r\n",
          // Keys in another order, a comment among them: each is rewritten where it stands.
          "[map]\nOpen=Yes\n; kept\nHeight=480\nWidth=640\nTop=-2147483648\nLeft=2147483647\n"}) {
        IniFile ini{text};
        SaveMapSettings(LoadMapSettings(ini), ini);
        EXPECT_EQ(ini.text(), text);
    }
}
