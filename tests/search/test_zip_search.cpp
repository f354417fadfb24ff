#include "HandData.h"

#include "data/Errors.h"

#include <gtest/gtest.h>

using namespace corvana;
using namespace corvana::test;
using Strings = std::vector<std::string>;

TEST(ZipSearch, DisplayFollowsTheNumberOfDigits) {
    SearchEnv env;
    auto r = SearchTheZip("", env.ctx());
    EXPECT_FALSE(r.listShown);
    EXPECT_FALSE(r.outputControls);
    EXPECT_FALSE(r.cleared); // the old items stay, hidden

    for (std::string text : {"8", "84"}) {
        r = SearchTheZip(text, env.ctx());
        EXPECT_TRUE(r.listShown && r.cleared) << text;
        EXPECT_FALSE(r.outputControls) << text;
        for (const auto& item : r.items)
            EXPECT_FALSE(item.record()) << item.text;
    }
    for (std::string text : {"841", "8410", "84101", "84199"}) {
        r = SearchTheZip(text, env.ctx());
        EXPECT_TRUE(r.listShown && r.outputControls && r.cleared) << text;
        EXPECT_EQ(r.heading, heading::CityZipCodes);
    }
}

TEST(ZipSearch, OneDigitListsTheStatesOfThatDigit) {
    SearchEnv env;
    auto r = SearchTheZip("8", env.ctx());
    EXPECT_EQ(r.heading, heading::PotentialStates);
    EXPECT_EQ(Texts(r), (Strings{"Arizona", "Texas", "Utah"}));
    EXPECT_EQ(Texts(SearchTheZip("0", env.ctx())), Strings{"New York"});
    // Two-character state lines never match a digit; no "No match" line for one digit.
    EXPECT_TRUE(SearchTheZip("5", env.ctx()).items.empty());
    env.settings.statesInCaps = true;
    EXPECT_EQ(Texts(SearchTheZip("8", env.ctx())), (Strings{"ARIZONA", "TEXAS", "UTAH"}));
}

TEST(ZipSearch, TwoDigitsListTheMainCityOfEachKnownPrefix) {
    SearchEnv env;
    auto r = SearchTheZip("84", env.ctx());
    EXPECT_EQ(r.heading, heading::MainCities);
    EXPECT_EQ(Texts(r), (Strings{"841 Salt Lake City, UT", "846 Salem, UT"}));
    EXPECT_EQ(Texts(SearchTheZip("00", env.ctx())), Strings{"005 Holtsville, NY"});
    EXPECT_TRUE(SearchTheZip("99", env.ctx()).items.empty());
    env.settings.citiesInCaps = true;
    EXPECT_EQ(Texts(SearchTheZip("97", env.ctx())), Strings{"973 SALEM, OR"});
}

TEST(ZipSearch, ThreeToFiveDigitsListZipLinesWithTheirRecords) {
    SearchEnv env;
    auto r = SearchTheZip("841", env.ctx());
    ASSERT_EQ(r.items.size(), 3u);
    EXPECT_EQ(r.items[0], ZipLine("84101 Salt Lake City, UT", 0));
    EXPECT_EQ(r.items[2], ZipLine("84120 Salt Lake City, UT", 2));
    EXPECT_EQ(Texts(SearchTheZip("8410", env.ctx())),
              (Strings{"84101 Salt Lake City, UT", "84102 Salt Lake City, UT"}));
    EXPECT_EQ(SearchTheZip("84120", env.ctx()).items, ZipLines({{"84120 Salt Lake City, UT", 2}}));
    EXPECT_EQ(Texts(SearchTheZip("00501", env.ctx())), Strings{"00501 Holtsville, NY"});
    // A known prefix without the ZIP code, and an unknown prefix
    EXPECT_EQ(Texts(SearchTheZip("84199", env.ctx())), Strings{"No matching zip codes found."});
    EXPECT_EQ(Texts(SearchTheZip("123", env.ctx())), Strings{"No matching zip codes found."});
    // Only digits count, and only five of them
    EXPECT_EQ(Texts(SearchTheZip("8x4y1z0", env.ctx())), Texts(SearchTheZip("8410", env.ctx())));
    EXPECT_EQ(Texts(SearchTheZip("841209", env.ctx())), Texts(SearchTheZip("84120", env.ctx())));
}

TEST(ZipSearch, UnknownPrefixOpensNoFile) {
    SearchEnv env;
    env.remove("CITY.DAT");
    env.remove("ZIPCODE.DAT");
    auto r = SearchTheZip("12345", env.ctx());
    EXPECT_TRUE(r.fatal.empty());
    EXPECT_EQ(Texts(r), Strings{"No matching zip codes found."});
}

TEST(ZipSearch, LineShowsCountyAreaCodeAndTimeAsTheSettingsAsk) {
    SearchEnv env;
    env.settings.showCounty = true;
    env.settings.showAreaCode = true;
    env.settings.showTimeZone = true;
    env.settings.showCurrentTime = true;
    env.settings.timeZone = 5;
    EXPECT_EQ(Texts(SearchTheZip("84101", env.ctx())),
              Strings{"84101 Salt Lake City, UT (Salt Lake) (801) (MST) 15:45:12"});
    // No county, no area code and no zone: those parts are left out, never " ()"
    EXPECT_EQ(Texts(SearchTheZip("00501", env.ctx())), Strings{"00501 Holtsville, NY"});
    EXPECT_EQ(Texts(SearchTheZip("75002", env.ctx())),
              Strings{"75002 Allen, TX (Collin) (CST) 16:45:12"});
    // 65535 means "no county" even in a table that long
    env.data.counties.resize(70000, CountyEntry{std::string("Phantom") + '\0', 0});
    EXPECT_EQ(Texts(SearchTheZip("00501", env.ctx())), Strings{"00501 Holtsville, NY"});

    env.settings.showTimeZone = false;
    env.settings.countiesInCaps = true;
    env.settings.citiesInCaps = true;
    EXPECT_EQ(Texts(SearchTheZip("90210", env.ctx())),
              Strings{"90210 BEVERLY HILLS, CA (LOS ANGELES) (310) 14:45:12"});
    env.settings.showCurrentTime = false;
    env.settings.showTimeZone = true;
    env.settings.showAreaCode = false;
    env.settings.showCounty = false;
    EXPECT_EQ(Texts(SearchTheZip("90210", env.ctx())), Strings{"90210 BEVERLY HILLS, CA (PST)"});
}

TEST(ZipSearch, ZoneNumbersOutsideTheTableShowNoTime) {
    SearchEnv env;
    env.hand.zips[0].tz = 25;
    env.hand.zips[1].tz = 0x80 | 127;
    env.hand.writeAll();
    env.settings.showTimeZone = true;
    env.settings.showCurrentTime = true;
    EXPECT_EQ(Texts(SearchTheZip("8410", env.ctx())),
              (Strings{"84101 Salt Lake City, UT", "84102 Salt Lake City, UT"}));
}

TEST(ZipSearch, ResultsAreSortedWhateverTheRecordOrder) {
    SearchEnv env;
    std::swap(env.hand.zips[0], env.hand.zips[2]);
    env.hand.writeAll();
    auto r = SearchTheZip("841", env.ctx());
    EXPECT_EQ(r.items, ZipLines({{"84101 Salt Lake City, UT", 2},
                                 {"84102 Salt Lake City, UT", 1},
                                 {"84120 Salt Lake City, UT", 0}}));
}

TEST(ZipSearch, RecordPastTheEndEndsTheSearchWithItsItemsKept) {
    SearchEnv env;
    env.data.zipIndex[841].count = 40;
    auto r = SearchTheZip("84101", env.ctx());
    EXPECT_EQ(r.ioError, msg::ReadPastEnd);
    EXPECT_TRUE(r.fatal.empty());
    EXPECT_EQ(r.items, ZipLines({{"84101 Salt Lake City, UT", 0}}));

    // A block that begins past the end: nothing was added, and no "No match" line either
    env.data.zipIndex[841].first = 500;
    r = SearchTheZip("841", env.ctx());
    EXPECT_EQ(r.ioError, msg::ReadPastEnd);
    EXPECT_TRUE(r.items.empty());
}

TEST(ZipSearch, NegativeFirstRecordIsAnEmptyPrefix) {
    SearchEnv env;
    env.data.zipIndex[841].first = -7;
    EXPECT_EQ(Texts(SearchTheZip("841", env.ctx())), Strings{"No matching zip codes found."});
    EXPECT_EQ(Texts(SearchTheZip("84", env.ctx())), Strings{"846 Salem, UT"});
}

TEST(ZipSearch, MissingOrDamagedFilesGiveTheirFatalMessages) {
    {
        SearchEnv env;
        env.remove("ZIPCODE.DAT");
        EXPECT_EQ(SearchTheZip("841", env.ctx()).fatal, Fatal(msg::ZipFileNotFound));
        EXPECT_TRUE(SearchTheZip("84", env.ctx()).fatal.empty()); // two digits read no ZIP record
    }
    {
        SearchEnv env;
        env.remove("CITY.DAT");
        EXPECT_EQ(SearchTheZip("841", env.ctx()).fatal, Fatal(msg::CityNotFound));
        EXPECT_EQ(SearchTheZip("84", env.ctx()).fatal, Fatal(msg::CityNotFound));
        EXPECT_TRUE(SearchTheZip("8", env.ctx()).fatal.empty());
    }
    {
        SearchEnv env;
        env.data.zipIndex[846].mainCity = -1;
        EXPECT_EQ(SearchTheZip("84", env.ctx()).fatal, Fatal(msg::CitySeekFailed));
        env.data.zipIndex[846].mainCity = std::int32_t(env.read("CITY.DAT").size());
        EXPECT_EQ(SearchTheZip("84", env.ctx()).fatal, Fatal(msg::CityCorrupt));
    }
    {
        SearchEnv env;
        std::string city = env.read("CITY.DAT");
        // Cut inside the name of Salt Lake City
        env.write("CITY.DAT", city.substr(0, std::size_t(env.hand.cityOffsets[9]) + 5));
        EXPECT_EQ(SearchTheZip("841", env.ctx()).fatal, Fatal(msg::CityCorrupt));
    }
}
