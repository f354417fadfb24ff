// The searches over tests/fixtures/names.csv, whose places and counties also carry their other
// spellings (St Louis, St. Louis, Ft. Worth ...): the searches reach a ZIP code through any of
// its names, while the ZIP search, copy and print keep to the main name.

#include "HandData.h"

#include "output/CopyOutput.h"

#include <gtest/gtest.h>

using namespace corvana;
using namespace corvana::test;
using Strings = std::vector<std::string>;

namespace {

struct Names : FixtureEnv {
    Names() : FixtureEnv("names") {}
};

} // namespace

TEST(FurtherNames, CityModeFindsEverySpelling) {
    Names f;
    const Strings louis = {"63101 St Louis, MO", "63102 St Louis, MO", "63122 St Louis, MO"};
    EXPECT_EQ(Texts(SearchTheCity("st louis", f.ctx(), "")), louis);
    EXPECT_EQ(Texts(SearchTheCity("ST LOUIS", f.ctx(), "")), louis);
    EXPECT_EQ(Texts(SearchTheCity("st. louis", f.ctx(), "")),
              (Strings{"63101 St. Louis, MO", "63102 St. Louis, MO", "63122 St. Louis, MO"}));
    EXPECT_EQ(Texts(SearchTheCity("saint louis", f.ctx(), "")),
              (Strings{"63101 Saint Louis, MO", "63102 Saint Louis, MO", "63122 Saint Louis, MO"}));
    EXPECT_EQ(Texts(SearchTheCity("ft worth", f.ctx(), "")),
              (Strings{"76101 Ft Worth, TX", "76102 Ft Worth, TX"}));
    EXPECT_EQ(Texts(SearchTheCity("mt. vernon", f.ctx(), "")), Strings{"10550 Mt. Vernon, NY"});
    EXPECT_EQ(Texts(SearchTheCity("port st lucie", f.ctx(), "")),
              Strings{"34952 Port St Lucie, FL"});
    EXPECT_EQ(Texts(SearchTheCity("ste genevieve", f.ctx(), "")),
              Strings{"63670 Ste Genevieve, MO"});
    EXPECT_EQ(Texts(SearchTheCity("lake st. l", f.ctx(), "")), Strings{"63367 Lake St. Louis, MO"});
    // Two letters list the cities: every spelling is a city line of its own
    EXPECT_EQ(
        Texts(SearchTheCity("st", f.ctx(), "")),
        (Strings{"St Louis, MO", "St Paul, MN", "St Thomas, VI", "St. Louis, MO", "St. Paul, MN",
                 "St. Thomas, VI", "Ste Genevieve, MO", "Ste. Genevieve, MO"}));
    f.settings.allState = false;
    EXPECT_EQ(Texts(SearchTheCity("st", f.ctx(), "MN")), (Strings{"St Paul, MN", "St. Paul, MN"}));
    EXPECT_EQ(Texts(SearchTheCity("st thomas", f.ctx(), "VI")), Strings{"00802 St Thomas, VI"});
}

TEST(FurtherNames, StateModeAndTheZipSearchKeepTheirNames) {
    Names f;
    EXPECT_EQ(Texts(SearchTheCityWithState("st l", f.ctx(), ChooseStates(f.data, "MO"))),
              (Strings{"63101 St Louis, MO", "63102 St Louis, MO", "63122 St Louis, MO"}));
    EXPECT_EQ(Texts(SearchTheCityWithState("f", f.ctx(), ChooseStates(f.data, "TX"))),
              (Strings{"Fort Worth, TX", "Ft Worth, TX", "Ft. Worth, TX"}));
    // The ZIP records point at the main name, and a prefix's main city is a main name
    EXPECT_EQ(Texts(SearchTheZip("631", f.ctx())),
              (Strings{"63101 Saint Louis, MO", "63102 Saint Louis, MO", "63122 Saint Louis, MO",
                       "63130 University City, MO"}));
    EXPECT_EQ(Texts(SearchTheZip("76", f.ctx())), Strings{"761 Fort Worth, TX"});
    EXPECT_EQ(
        Texts(SearchTheZip("63", f.ctx())),
        (Strings{"631 Saint Louis, MO", "633 Lake Saint Louis, MO", "636 Sainte Genevieve, MO"}));
}

TEST(FurtherNames, CountyModeFindsBothSpellings) {
    Names f;
    EXPECT_EQ(
        Texts(SearchTheCounty("sa", f.ctx(), "")),
        (Strings{"Saint Charles, MO", "Saint Louis City, MO", "Saint Louis, MN", "Saint Louis, MO",
                 "Saint Lucie, FL", "Saint Thomas, VI", "Sainte Genevieve, MO"}));
    f.settings.allState = false;
    // The line names the county as it was found, spelling and all; St. Louis County, MN holds
    // part of 55720, whose own county is Carlton
    for (const char* name : {"Saint Louis", "St Louis", "St. Louis"}) {
        const std::string in = std::string(" (") + name + ")";
        EXPECT_EQ(Texts(SearchTheCounty(name, f.ctx(), "MN")),
                  (Strings{"55720 Cloquet, MN" + in, "55802 Duluth, MN" + in}));
    }
    EXPECT_EQ(
        Texts(SearchTheCounty("st louis", f.ctx(), "MO")),
        (Strings{"63101 Saint Louis, MO (St Louis City)", "63102 Saint Louis, MO (St Louis City)",
                 "63122 Saint Louis, MO (St Louis)", "63130 University City, MO (St Louis)"}));
    EXPECT_EQ(Texts(SearchTheCounty("ft", f.ctx(), "TX")), Strings{"No matching counties found."});
}

TEST(FurtherNames, CopyWritesTheMainName) {
    Names f;
    SearchResult r = SearchTheCity("st. paul", f.ctx(), "");
    ASSERT_EQ(Texts(r), (Strings{"55101 St. Paul, MN", "55102 St. Paul, MN"}));
    auto out = CollectOutput(r.items, 4, f.data, f.settings);
    EXPECT_EQ(out.text,
              "Saint Paul\r\nMN\r\nRamsey\r\n55101\r\nSaint Paul\r\nMN\r\nRamsey\r\n55102\r\n");
    EXPECT_TRUE(out.fatal.empty());
}
