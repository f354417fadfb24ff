#include "HandData.h"

#include "data/Errors.h"

#include <gtest/gtest.h>

using namespace corvana;
using namespace corvana::test;
using Strings = std::vector<std::string>;

namespace {

const Strings SaCities = {"Sal, AZ", "Salem, OR", "Salem, UT", "Salt Lake City, UT",
                          "Saltdale, CA"};
const Strings SalZips = {"84101 Salt Lake City, UT",
                         "84102 Salt Lake City, UT",
                         "84120 Salt Lake City, UT",
                         "84653 Salem, UT",
                         "85001 Sal, AZ",
                         "97301 Salem, OR"};
const Strings NoCities = {"No matching cities found."};

} // namespace

TEST(CitySearch, DisplayAndHeadingByLength) {
    SearchEnv env;
    auto r = SearchTheCity("s", env.ctx(), "");
    EXPECT_FALSE(r.listShown || r.outputControls || r.cleared);
    r = SearchTheCity("sa", env.ctx(), "");
    EXPECT_TRUE(r.listShown && r.cleared);
    EXPECT_FALSE(r.outputControls);
    EXPECT_EQ(r.heading, heading::PossibleCities);
    r = SearchTheCity("sal", env.ctx(), "");
    EXPECT_TRUE(r.listShown && r.outputControls);
    EXPECT_EQ(r.heading, heading::PossibleZipCodes);
}

TEST(CitySearch, TwoLettersListTheCitiesOfTheBlockOnly) {
    SearchEnv env;
    EXPECT_EQ(Texts(SearchTheCity("sa", env.ctx(), "")), SaCities);
    EXPECT_EQ(Texts(SearchTheCity("Sa", env.ctx(), "")), SaCities);
    EXPECT_EQ(Texts(SearchTheCity("SA", env.ctx(), "")), SaCities);
    // The AD block ends where AL begins
    EXPECT_EQ(Texts(SearchTheCity("ad", env.ctx(), "")), (Strings{"Addison, TX", "Adrian, TX"}));
    // Holtsville is the last city of its block and the next block starts at once
    EXPECT_EQ(Texts(SearchTheCity("ho", env.ctx(), "")), Strings{"Holtsville, NY"});
    EXPECT_EQ(Texts(SearchTheCity("sz", env.ctx(), "")), NoCities);
    env.settings.citiesInCaps = true;
    EXPECT_EQ(Texts(SearchTheCity("ad", env.ctx(), "")), (Strings{"ADDISON, TX", "ADRIAN, TX"}));
}

TEST(CitySearch, LongerTextListsZipLinesOfMatchingCities) {
    SearchEnv env;
    auto r = SearchTheCity("sal", env.ctx(), "");
    EXPECT_EQ(Texts(r), SalZips);
    for (const auto& item : r.items)
        EXPECT_TRUE(item.record());
    EXPECT_EQ(r.items[3].record(), 10u);
    EXPECT_EQ(Texts(SearchTheCity("salem", env.ctx(), "")),
              (Strings{"84653 Salem, UT", "97301 Salem, OR"}));
    EXPECT_EQ(Texts(SearchTheCity("salt lake", env.ctx(), "")),
              (Strings{"84101 Salt Lake City, UT", "84102 Salt Lake City, UT",
                       "84120 Salt Lake City, UT"}));
    // Saltdale has no ZIP codes: a match, but no line
    EXPECT_EQ(Texts(SearchTheCity("saltd", env.ctx(), "")), NoCities);
    EXPECT_EQ(Texts(SearchTheCity("saz", env.ctx(), "")), NoCities);
    EXPECT_EQ(Texts(SearchTheCity("xyz", env.ctx(), "")), NoCities);
}

TEST(CitySearch, StateByteTakesPartWhenTheTextIsLongerThanTheName) {
    SearchEnv env;
    // "Sal" is in state 65, the code of "A"
    EXPECT_EQ(Texts(SearchTheCity("sala", env.ctx(), "")), Strings{"85001 Sal, AZ"});
    EXPECT_EQ(Texts(SearchTheCity("salb", env.ctx(), "")), NoCities);
}

TEST(CitySearch, SingleStateFilter) {
    SearchEnv env;
    env.settings.allState = false;
    EXPECT_EQ(Texts(SearchTheCity("sa", env.ctx(), "UT")),
              (Strings{"Salem, UT", "Salt Lake City, UT"}));
    EXPECT_EQ(Texts(SearchTheCity("sal", env.ctx(), "UT")),
              (Strings{"84101 Salt Lake City, UT", "84102 Salt Lake City, UT",
                       "84120 Salt Lake City, UT", "84653 Salem, UT"}));
    // Both Texas lines of the state table give TX
    EXPECT_EQ(Texts(SearchTheCity("ad", env.ctx(), "TX")), (Strings{"Addison, TX", "Adrian, TX"}));
    // No state chosen, or one in the wrong case: nothing passes
    EXPECT_EQ(Texts(SearchTheCity("sa", env.ctx(), "")), NoCities);
    EXPECT_EQ(Texts(SearchTheCity("sal", env.ctx(), "ut")), NoCities);
    env.settings.allState = true;
    EXPECT_EQ(Texts(SearchTheCity("sa", env.ctx(), "UT")), SaCities);
}

TEST(CitySearch, StateModeOneLetterCrossesTheTwoLetterBlocks) {
    SearchEnv env;
    const auto tx = ChooseStates(env.data, "TX");
    EXPECT_EQ(tx, (std::vector<int>{1, 2}));
    auto r = SearchTheCityWithState("a", env.ctx(), tx);
    EXPECT_TRUE(r.listShown);
    EXPECT_FALSE(r.outputControls);
    EXPECT_EQ(r.heading, heading::PossibleCities);
    EXPECT_EQ(Texts(r), (Strings{"Addison, TX", "Adrian, TX", "Allen, TX"}));

    r = SearchTheCityWithState("ad", env.ctx(), tx);
    EXPECT_TRUE(r.outputControls);
    EXPECT_EQ(r.heading, heading::CityZipCodes);
    EXPECT_EQ(r.items, ZipLines({{"75001 Addison, TX", 3}, {"79001 Adrian, TX", 5}}));

    const auto ut = ChooseStates(env.data, "UT");
    EXPECT_EQ(Texts(SearchTheCityWithState("S", env.ctx(), ut)),
              (Strings{"Salem, UT", "Salt Lake City, UT"}));
    EXPECT_EQ(Texts(SearchTheCityWithState("salem", env.ctx(), ut)), Strings{"84653 Salem, UT"});
    // A city without ZIP codes still gives its city line for one letter
    const auto ca = ChooseStates(env.data, "CA");
    EXPECT_EQ(Texts(SearchTheCityWithState("s", env.ctx(), ca)), Strings{"Saltdale, CA"});
    EXPECT_EQ(Texts(SearchTheCityWithState("sa", env.ctx(), ca)), NoCities);
    EXPECT_EQ(Texts(SearchTheCityWithState("q", env.ctx(), ca)), NoCities);
    EXPECT_EQ(Texts(SearchTheCityWithState("a", env.ctx(), {})), NoCities);

    r = SearchTheCityWithState("", env.ctx(), ut);
    EXPECT_FALSE(r.listShown || r.cleared);
}

TEST(CitySearch, ChosenStatesHoldEveryEntryOfTheAbbreviation) {
    SearchEnv env;
    // 59 lines of the state table begin with ZZ: no limit of five
    const auto zz = ChooseStates(env.data, "ZZ");
    ASSERT_EQ(zz.size(), 59u);
    EXPECT_EQ(zz.front(), 6);
    EXPECT_EQ(zz.back(), 64);
    EXPECT_TRUE(ChooseStates(env.data, "QQ").empty());
    EXPECT_TRUE(ChooseStates(env.data, "tx").empty());
    EXPECT_EQ(StateAbbreviations(env.data), (Strings{"AZ", "CA", "NY", "OR", "TX", "UT", "ZZ"}));
}

TEST(CitySearch, ZipRecordPastTheEndKeepsTheLinesAddedBefore) {
    SearchEnv env;
    env.hand.cities[8].zips = {99}; // Salem, UT
    env.hand.writeAll();
    auto r = SearchTheCity("sal", env.ctx(), "");
    EXPECT_EQ(r.ioError, msg::ReadPastEnd);
    EXPECT_TRUE(r.fatal.empty());
    EXPECT_EQ(Texts(r), (Strings{"85001 Sal, AZ", "97301 Salem, OR"}));
}

TEST(CitySearch, MissingAndBrokenFiles) {
    {
        SearchEnv env;
        env.remove("CITY.IDX");
        EXPECT_EQ(SearchTheCity("sa", env.ctx(), "").fatal, Fatal(msg::CityIndexNotFound));
        EXPECT_EQ(SearchTheCityWithState("s", env.ctx(), {0}).fatal, Fatal(msg::CityIndexNotFound));
        EXPECT_TRUE(SearchTheCity("s", env.ctx(), "").fatal.empty());
    }
    {
        SearchEnv env;
        env.remove("CITY.DAT");
        EXPECT_EQ(SearchTheCity("sa", env.ctx(), "").fatal, Fatal(msg::CityNotFound));
        // No index record: nothing else is opened
        EXPECT_EQ(Texts(SearchTheCity("xy", env.ctx(), "")), NoCities);
    }
    {
        SearchEnv env;
        env.remove("ZIPCODE.DAT");
        EXPECT_EQ(SearchTheCity("sal", env.ctx(), "").fatal, Fatal(msg::ZipFileNotFound));
        EXPECT_EQ(SearchTheCityWithState("s", env.ctx(), {0}).fatal, Fatal(msg::ZipFileNotFound));
        EXPECT_TRUE(SearchTheCity("sa", env.ctx(), "").fatal.empty());
    }
    {
        // An index offset before the start of the file
        SearchEnv env;
        std::string idx = env.read("CITY.IDX");
        std::string bad = idx;
        bad.replace(bad.find("\x02SA") + 3, 4, le32(-5));
        env.write("CITY.IDX", bad);
        EXPECT_EQ(SearchTheCity("sa", env.ctx(), "").fatal, Fatal(msg::CitySeekFailed));
        EXPECT_EQ(SearchTheCityWithState("s", env.ctx(), {0}).fatal, Fatal(msg::CitySeekFailed));
        // A partial last record is reached only when no earlier record matches
        env.write("CITY.IDX", idx + "\x02QQ");
        EXPECT_EQ(SearchTheCity("qq", env.ctx(), "").ioError, msg::ReadPastEnd);
        EXPECT_EQ(Texts(SearchTheCity("sa", env.ctx(), "")), SaCities);
    }
}

TEST(CitySearch, CityFileCutShortIsCorrupt) {
    SearchEnv env;
    const std::string city = env.read("CITY.DAT");
    const auto slc = std::size_t(env.hand.cityOffsets[9]);
    // Inside the ZIP list of Salt Lake City, inside its name, and inside its ZIP count
    for (std::size_t cut : {slc + 21, slc + 4, slc + 17}) {
        env.write("CITY.DAT", city.substr(0, cut));
        EXPECT_EQ(SearchTheCity("sa", env.ctx(), "").fatal, Fatal(msg::CityCorrupt)) << cut;
        EXPECT_EQ(SearchTheCity("salt", env.ctx(), "").fatal, Fatal(msg::CityCorrupt)) << cut;
        EXPECT_EQ(SearchTheCityWithState("s", env.ctx(), {0}).fatal, Fatal(msg::CityCorrupt))
            << cut;
    }
    // A ZIP count that runs past the end of the file: Saltdale made the last record
    const auto zuni = std::size_t(env.hand.cityOffsets[11]);
    std::string longCount = city.substr(0, zuni - 2) + le16(900);
    env.write("CITY.DAT", longCount);
    EXPECT_EQ(SearchTheCity("saltd", env.ctx(), "").fatal, Fatal(msg::CityCorrupt));
    EXPECT_EQ(SearchTheCity("sa", env.ctx(), "").fatal, Fatal(msg::CityCorrupt));
    // A state number the state table does not have
    env.hand.cities[10].state = 200;
    env.hand.writeAll();
    EXPECT_EQ(SearchTheCity("sa", env.ctx(), "").fatal, Fatal(msg::CityCorrupt));
}
