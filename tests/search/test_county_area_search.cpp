#include "HandData.h"

#include "data/Errors.h"

#include <gtest/gtest.h>

using namespace corvana;
using namespace corvana::test;
using Strings = std::vector<std::string>;

namespace {
const Strings NoCounties = {"No matching counties found."};
const Strings NoAreaCodes = {"No matching area codes found."};
} // namespace

TEST(CountySearch, OneOrTwoCharactersListCountiesFromTheTable) {
    SearchEnv env;
    EXPECT_FALSE(SearchTheCounty("", env.ctx(), "").listShown);
    auto r = SearchTheCounty("m", env.ctx(), "");
    EXPECT_TRUE(r.listShown && r.cleared);
    EXPECT_FALSE(r.outputControls);
    EXPECT_EQ(r.heading, heading::PossibleCounties);
    // One line per state of a shared name
    EXPECT_EQ(Texts(r), (Strings{"Marion, OR", "Marion, TX"}));
    EXPECT_EQ(Texts(SearchTheCounty("MA", env.ctx(), "")), Texts(r));
    EXPECT_EQ(Texts(SearchTheCounty("zz", env.ctx(), "")), NoCounties);
    env.settings.countiesInCaps = true;
    EXPECT_EQ(Texts(SearchTheCounty("co", env.ctx(), "")), Strings{"COLLIN, TX"});
    env.settings.allState = false;
    EXPECT_EQ(Texts(SearchTheCounty("m", env.ctx(), "TX")), Strings{"MARION, TX"});
    EXPECT_EQ(Texts(SearchTheCounty("m", env.ctx(), "")), NoCounties);
}

TEST(CountySearch, ThreeCharactersListZipLinesAlwaysWithTheCounty) {
    SearchEnv env;
    auto r = SearchTheCounty("mar", env.ctx(), "");
    EXPECT_TRUE(r.listShown && r.outputControls);
    EXPECT_EQ(r.heading, heading::PossibleZipCodes);
    EXPECT_EQ(r.items,
              ZipLines({{"75657 Jefferson, TX (Marion)", 11}, {"97301 Salem, OR (Marion)", 9}}));
    env.settings.showAreaCode = true;
    env.settings.citiesInCaps = true;
    env.settings.countiesInCaps = true;
    EXPECT_EQ(Texts(SearchTheCounty("sal", env.ctx(), "")),
              (Strings{"84101 SALT LAKE CITY, UT (SALT LAKE) (801)",
                       "84102 SALT LAKE CITY, UT (SALT LAKE) (801)",
                       "84120 SALT LAKE CITY, UT (SALT LAKE) (801)"}));
    // An area code of 0 is left out
    EXPECT_EQ(Texts(SearchTheCounty("collin", env.ctx(), "")), Strings{"75002 ALLEN, TX (COLLIN)"});
}

TEST(CountySearch, StateFilterAppliesToTheCityOfEachZipCode) {
    SearchEnv env;
    env.settings.allState = false;
    EXPECT_EQ(Texts(SearchTheCounty("marion", env.ctx(), "TX")),
              Strings{"75657 Jefferson, TX (Marion)"});
    EXPECT_EQ(Texts(SearchTheCounty("marion", env.ctx(), "OR")),
              Strings{"97301 Salem, OR (Marion)"});
    EXPECT_EQ(Texts(SearchTheCounty("marion", env.ctx(), "CA")), NoCounties);
}

TEST(CountySearch, EachZipCodeOnceUnderTheFirstCountyItWasFoundThrough) {
    SearchEnv env;
    // 84101 (main county Salt Lake) lies partly in Saltair too, 84653 (main county Utah) in
    // Saltair and Salt Flats; Saltair names 84101 twice.
    env.hand.counties.push_back({"Saltair", 0, {0, 10, 0}});
    env.hand.counties.push_back({"Salt Flats", 0, {10}});
    env.hand.writeAll();
    env.data = env.hand.load();
    auto r = SearchTheCounty("salt", env.ctx(), "");
    EXPECT_EQ(r.items, ZipLines({{"84101 Salt Lake City, UT (Salt Lake)", 0},
                                 {"84102 Salt Lake City, UT (Salt Lake)", 1},
                                 {"84120 Salt Lake City, UT (Salt Lake)", 2},
                                 {"84653 Salem, UT (Saltair)", 10}}));
    // Found through one county alone: that county, whatever the record's own
    EXPECT_EQ(Texts(SearchTheCounty("salt f", env.ctx(), "")),
              Strings{"84653 Salem, UT (Salt Flats)"});
    env.settings.countiesInCaps = true;
    EXPECT_EQ(Texts(SearchTheCounty("saltai", env.ctx(), "")),
              (Strings{"84101 Salt Lake City, UT (SALTAIR)", "84653 Salem, UT (SALTAIR)"}));
    // A ZIP code left out by the state filter is not listed through a later county either
    env.settings.allState = false;
    EXPECT_EQ(Texts(SearchTheCounty("salt", env.ctx(), "OR")), NoCounties);
}

TEST(CountySearch, StateByteAndEmptyLists) {
    SearchEnv env;
    // Ada lies in state 65, the code of "A"
    EXPECT_EQ(Texts(SearchTheCounty("adaa", env.ctx(), "")), Strings{"85001 Sal, AZ (Ada)"});
    EXPECT_EQ(Texts(SearchTheCounty("adab", env.ctx(), "")), NoCounties);
    EXPECT_EQ(Texts(SearchTheCounty("empty", env.ctx(), "")), NoCounties);
    EXPECT_EQ(Texts(SearchTheCounty("xyz", env.ctx(), "")), NoCounties);
}

TEST(CountySearch, BrokenFiles) {
    {
        SearchEnv env;
        env.remove("COUNTY.IDX");
        EXPECT_EQ(SearchTheCounty("mar", env.ctx(), "").fatal, Fatal(msg::CountyIndexNotFound));
        EXPECT_TRUE(SearchTheCounty("ma", env.ctx(), "").fatal.empty()); // memory only
    }
    {
        SearchEnv env;
        std::string idx = env.read("COUNTY.IDX");
        const auto ada = std::size_t(env.data.counties[8].zipListOffset);
        // Cut inside the list of Ada
        env.write("COUNTY.IDX", idx.substr(0, ada + 3));
        EXPECT_EQ(SearchTheCounty("ada", env.ctx(), "").fatal, Fatal(msg::CountyIndexCorrupt));
        // Offsets before the start or past the end
        env.write("COUNTY.IDX", idx);
        env.data.counties[8].zipListOffset = -2;
        EXPECT_EQ(SearchTheCounty("ada", env.ctx(), "").fatal, Fatal(msg::CountyIndexCorrupt));
        env.data.counties[8].zipListOffset = std::int32_t(idx.size());
        EXPECT_EQ(SearchTheCounty("ada", env.ctx(), "").fatal, Fatal(msg::CountyIndexCorrupt));
        // A count that runs past the end
        env.data.counties[8].zipListOffset = std::int32_t(ada);
        env.write("COUNTY.IDX", idx.substr(0, ada) + le16(5) + le16(12));
        EXPECT_EQ(SearchTheCounty("ada", env.ctx(), "").fatal, Fatal(msg::CountyIndexCorrupt));
    }
    {
        SearchEnv env;
        env.remove("ZIPCODE.DAT");
        EXPECT_EQ(SearchTheCounty("mar", env.ctx(), "").fatal, Fatal(msg::ZipFileNotFound));
    }
    {
        SearchEnv env;
        std::string city = env.read("CITY.DAT");
        env.write("CITY.DAT", city.substr(0, std::size_t(env.hand.cityOffsets[9]) + 3));
        EXPECT_EQ(SearchTheCounty("salt", env.ctx(), "").fatal, Fatal(msg::CityCorrupt));
        env.remove("CITY.DAT");
        EXPECT_EQ(SearchTheCounty("salt", env.ctx(), "").fatal, Fatal(msg::CityNotFound));
    }
    {
        // A ZIP record number past the end of ZIPCODE.DAT keeps the lines added before it
        SearchEnv env;
        env.hand.counties[0].zips = {0, 1, 77, 2};
        env.hand.writeAll();
        auto r = SearchTheCounty("salt", env.ctx(), "");
        EXPECT_EQ(r.ioError, msg::ReadPastEnd);
        EXPECT_EQ(Texts(r), (Strings{"84101 Salt Lake City, UT (Salt Lake)",
                                     "84102 Salt Lake City, UT (Salt Lake)"}));
    }
}

TEST(AreaSearch, OnlyThreeCharactersSearch) {
    SearchEnv env;
    for (std::string text : {"", "8", "80", "8011"}) {
        auto r = SearchTheArea(text, env.ctx());
        EXPECT_FALSE(r.listShown || r.outputControls || r.cleared) << text;
    }
    auto r = SearchTheArea("801", env.ctx());
    EXPECT_TRUE(r.listShown && r.outputControls && r.cleared);
    EXPECT_EQ(r.heading, heading::PossibleZipCodes);
    EXPECT_EQ(r.items, ZipLines({{"84101 Salt Lake City, UT", 0},
                                 {"84102 Salt Lake City, UT", 1},
                                 {"84120 Salt Lake City, UT", 2},
                                 {"84653 Salem, UT", 10}}));
}

TEST(AreaSearch, LinesFollowTheSettingsAndNoStateFilter) {
    SearchEnv env;
    env.settings.allState = false;
    env.settings.showAreaCode = true;
    env.settings.showCounty = true;
    EXPECT_EQ(Texts(SearchTheArea("310", env.ctx())),
              (Strings{"90210 Beverly Hills, CA (Los Angeles) (310)",
                       "90211 Beverly Hills, CA (Los Angeles) (310)"}));
}

TEST(AreaSearch, AbsentCodesAndTextsThatAreNoNumber) {
    SearchEnv env;
    EXPECT_EQ(Texts(SearchTheArea("555", env.ctx())), NoAreaCodes); // a list of count 0
    for (std::string text : {"999", "000", "8a1", "-12", "+80", " 80", "abc"})
        EXPECT_EQ(Texts(SearchTheArea(text, env.ctx())), NoAreaCodes) << text;
    // An unknown code opens no file
    env.remove("AREA.IDX");
    env.remove("ZIPCODE.DAT");
    env.remove("CITY.DAT");
    auto r = SearchTheArea("999", env.ctx());
    EXPECT_TRUE(r.fatal.empty());
    EXPECT_EQ(Texts(r), NoAreaCodes);
}

TEST(AreaSearch, BrokenFiles) {
    {
        SearchEnv env;
        env.remove("AREA.IDX");
        EXPECT_EQ(SearchTheArea("801", env.ctx()).fatal, Fatal(msg::AreaIndexNotFound));
        env.remove("ZIPCODE.DAT");
        EXPECT_EQ(SearchTheArea("801", env.ctx()).fatal, Fatal(msg::ZipFileNotFound));
    }
    {
        SearchEnv env;
        std::string idx = env.read("AREA.IDX");
        env.write("AREA.IDX", idx.substr(0, 5)); // the list of 310 holds two numbers
        EXPECT_EQ(SearchTheArea("310", env.ctx()).fatal, Fatal(msg::AreaIndexCorrupt));
        env.write("AREA.IDX", idx);
        env.data.areaTable[310] = -9;
        EXPECT_EQ(SearchTheArea("310", env.ctx()).fatal, Fatal(msg::AreaIndexCorrupt));
        env.data.areaTable[310] = std::int32_t(idx.size()) + 100;
        EXPECT_EQ(SearchTheArea("310", env.ctx()).fatal, Fatal(msg::AreaIndexCorrupt));
    }
    {
        SearchEnv env;
        env.hand.writeAll();
        std::string dat = env.read("ZIPCODE.DAT");
        // Record 7 points past the end of CITY.DAT, record 8 before its start
        const auto end = std::int32_t(env.read("CITY.DAT").size());
        dat.replace(7 * 13 + 4, 4, le32(end));
        env.write("ZIPCODE.DAT", dat);
        EXPECT_EQ(SearchTheArea("310", env.ctx()).fatal, Fatal(msg::CityCorrupt));
        dat.replace(7 * 13 + 4, 4, le32(-1));
        env.write("ZIPCODE.DAT", dat);
        EXPECT_EQ(SearchTheArea("310", env.ctx()).fatal, Fatal(msg::CitySeekFailed));
    }
    {
        SearchEnv env;
        env.hand.areas[801] = {10, 300, 0};
        env.hand.writeAll();
        auto r = SearchTheArea("801", env.ctx());
        EXPECT_EQ(r.ioError, msg::ReadPastEnd);
        EXPECT_EQ(Texts(r), Strings{"84653 Salem, UT"});
    }
}
