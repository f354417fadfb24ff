// The searches over the small fixture, built by corvana-mkdata from tests/fixtures/small.csv.

#include "HandData.h"

#include <gtest/gtest.h>

using namespace corvana;
using namespace corvana::test;
using Strings = std::vector<std::string>;

namespace {

struct Fixture : FixtureEnv {
    Fixture() : FixtureEnv("small") {}
};

} // namespace

TEST(FixtureSearch, ZipDigitByDigit) {
    Fixture f;
    EXPECT_EQ(Texts(SearchTheZip("8", f.ctx())),
              (Strings{"Arizona", "Colorado", "New Mexico", "Texas", "Utah"}));
    EXPECT_EQ(Texts(SearchTheZip("84", f.ctx())),
              (Strings{"840 Sandy, UT", "841 Salt Lake City, UT", "847 St. George, UT"}));
    EXPECT_EQ(Texts(SearchTheZip("840", f.ctx())), (Strings{"84020 Draper, UT", "84070 Sandy, UT",
                                                            "84092 Sandy, UT", "84094 Sandy, UT"}));
    EXPECT_EQ(Texts(SearchTheZip("8409", f.ctx())),
              (Strings{"84092 Sandy, UT", "84094 Sandy, UT"}));
    EXPECT_EQ(Texts(SearchTheZip("00", f.ctx())), Strings{"005 Holtsville, NY"});
    // Military mail: no county, no area code, no zone, whatever the settings
    f.settings.showCounty = f.settings.showAreaCode = true;
    f.settings.showTimeZone = f.settings.showCurrentTime = true;
    EXPECT_EQ(Texts(SearchTheZip("09002", f.ctx())), Strings{"09002 APO, AE"});
}

TEST(FixtureSearch, CitiesAcrossStatesAndBlocks) {
    Fixture f;
    EXPECT_EQ(Texts(SearchTheCity("sa", f.ctx(), "")),
              (Strings{"Salem, MA", "Salem, OR", "Salt Lake City, UT", "San Antonio, TX",
                       "Sandy Hook, CT", "Sandy, UT", "Santa Fe, NM"}));
    // A Windows-1252 letter sorts after the ASCII letters
    EXPECT_EQ(Texts(SearchTheCity("ca", f.ctx(), "")),
              (Strings{"Castle Rock, CO", "Ca\xF1on City, CO"}));
    f.settings.allState = false;
    EXPECT_EQ(Texts(SearchTheCity("salem", f.ctx(), "MA")),
              (Strings{"01970 Salem, MA", "01971 Salem, MA"}));
    // One letter in State mode runs through the SA and ST blocks
    EXPECT_EQ(Texts(SearchTheCityWithState("s", f.ctx(), ChooseStates(f.data, "UT"))),
              (Strings{"Salt Lake City, UT", "Sandy, UT", "St. George, UT"}));
    // El Paso has ZIP codes under 7 and 8: both Texas lines are chosen
    EXPECT_EQ(Texts(SearchTheCityWithState("el", f.ctx(), ChooseStates(f.data, "TX"))),
              (Strings{"79901 El Paso, TX", "79902 El Paso, TX", "88510 El Paso, TX"}));
}

TEST(FixtureSearch, SharedCountyNamesAndOtherCounties) {
    Fixture f;
    EXPECT_EQ(Texts(SearchTheCounty("wa", f.ctx(), "")),
              (Strings{"Washington, OR", "Washington, UT"}));
    f.settings.allState = false;
    EXPECT_EQ(Texts(SearchTheCounty("was", f.ctx(), "UT")),
              (Strings{"84770 St. George, UT (Washington)", "84780 Washington, UT (Washington)"}));
    // 97304 (in Polk) lies partly in Marion: listed there, under the county it was found in
    EXPECT_EQ(Texts(SearchTheCounty("marion", f.ctx(), "OR")),
              (Strings{"97301 Salem, OR (Marion)", "97304 Salem, OR (Marion)"}));
}

TEST(FixtureSearch, AreaCodesIncludingOverlays) {
    Fixture f;
    f.settings.showAreaCode = true;
    EXPECT_EQ(Texts(SearchTheArea("623", f.ctx())), Strings{"85001 Phoenix, AZ (602)"});
    EXPECT_EQ(SearchTheArea("971", f.ctx()).items.size(), 6u);
    EXPECT_EQ(Texts(SearchTheArea("999", f.ctx())), Strings{"No matching area codes found."});
}
