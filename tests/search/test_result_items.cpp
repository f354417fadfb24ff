// What each line of each search stands for: its kind and the numbers behind it, and the heading
// as a value. The texts are the searches' own tests; here the text only says which line it is.

#include "HandData.h"

#include "search/ZipFields.h"

#include <gtest/gtest.h>

using namespace corvana;
using namespace corvana::test;

namespace {

// The items of a result without their texts, in list order.
std::vector<ResultItem> Untexted(const SearchResult& r) {
    std::vector<ResultItem> items = r.items;
    for (auto& i : items)
        i.text.clear();
    return items;
}

ResultItem Item(auto what) {
    return ResultItem{"", what};
}

} // namespace

TEST(ResultItems, NameListsCarryTheirNumbers) {
    SearchEnv env;
    const auto& city = env.hand.cityOffsets;

    auto r = SearchTheZip("8", env.ctx()); // Arizona, Texas, Utah
    EXPECT_EQ(r.heading, heading::PotentialStates);
    EXPECT_EQ(Untexted(r),
              (std::vector{Item(StateItem{StateA}), Item(StateItem{2}), Item(StateItem{0})}));

    r = SearchTheZip("84", env.ctx()); // 841 Salt Lake City, 846 Salem
    EXPECT_EQ(r.heading, heading::MainCities);
    EXPECT_EQ(Untexted(r),
              (std::vector{Item(MainCityItem{841, city[9]}), Item(MainCityItem{846, city[8]})}));
    EXPECT_EQ(MainCityText(r.items[0]), "Salt Lake City, UT");

    r = SearchTheCity("sa", env.ctx(), ""); // Sal, Salem OR, Salem UT, Salt Lake City, Saltdale
    EXPECT_EQ(r.heading, heading::PossibleCities);
    std::vector<ResultItem> want;
    for (std::size_t i : {6, 7, 8, 9, 10})
        want.push_back(Item(CityItem{city[i]}));
    EXPECT_EQ(Untexted(r), want);

    r = SearchTheCityWithState("a", env.ctx(), ChooseStates(env.data, "TX"));
    EXPECT_EQ(r.heading, heading::PossibleCities);
    EXPECT_EQ(Untexted(r), (std::vector{Item(CityItem{city[0]}), Item(CityItem{city[1]}),
                                        Item(CityItem{city[2]})}));

    r = SearchTheCounty("m", env.ctx(), ""); // Marion, OR and Marion, TX
    EXPECT_EQ(r.heading, heading::PossibleCounties);
    EXPECT_EQ(Untexted(r), (std::vector{Item(CountyItem{5}), Item(CountyItem{7})}));
}

TEST(ResultItems, ZipListsCarryRecordsUnderTheirHeadings) {
    SearchEnv env;
    auto r = SearchTheZip("8410", env.ctx());
    EXPECT_EQ(r.heading, heading::CityZipCodes);
    EXPECT_EQ(Untexted(r), (std::vector{Item(ZipItem{0}), Item(ZipItem{1})}));
    EXPECT_EQ(ListedZipCode(r.items[1]), "84102");

    r = SearchTheCityWithState("ad", env.ctx(), ChooseStates(env.data, "TX"));
    EXPECT_EQ(r.heading, heading::CityZipCodes);
    EXPECT_EQ(Untexted(r), (std::vector{Item(ZipItem{3}), Item(ZipItem{5})}));

    // Every line of the city, county and area lists names the record of its own ZIP code.
    auto zip = ZipFile::open(env.data);
    for (const auto& list :
         {SearchTheCity("sal", env.ctx(), ""), SearchTheCounty("mar", env.ctx(), ""),
          SearchTheArea("801", env.ctx())}) {
        EXPECT_EQ(list.heading, heading::PossibleZipCodes);
        ASSERT_FALSE(list.items.empty());
        for (const auto& item : list.items) {
            ASSERT_EQ(item.kind(), ItemKind::Zip) << item.text;
            EXPECT_EQ(ListedZipCode(item), zip->read(*item.record()).zipText());
        }
    }
}

TEST(ResultItems, NoMatchLineIsItsOwnKindUnderTheListsHeading) {
    SearchEnv env;
    const std::pair<SearchResult, ListHeading> cases[] = {
        {SearchTheZip("123", env.ctx()), heading::CityZipCodes},
        {SearchTheCity("qq", env.ctx(), ""), heading::PossibleCities},
        {SearchTheCity("qqq", env.ctx(), ""), heading::PossibleZipCodes},
        {SearchTheCityWithState("q", env.ctx(), {0}), heading::PossibleCities},
        {SearchTheCounty("qq", env.ctx(), ""), heading::PossibleCounties},
        {SearchTheArea("555", env.ctx()), heading::PossibleZipCodes},
    };
    for (const auto& [r, expected] : cases) {
        EXPECT_EQ(r.heading, expected) << r.items.front().text;
        ASSERT_EQ(r.items.size(), 1u);
        EXPECT_EQ(r.items[0].kind(), ItemKind::NoMatch) << r.items[0].text;
        EXPECT_FALSE(r.items[0].record());
    }
}

TEST(ZipFields, CapitalsFollowTheirOwnSettings) {
    SearchEnv env;
    auto zip = ZipFile::open(env.data);
    auto cities = CityFile::open(env.data);
    const ZipRecord rec = zip->read(0); // 84101 Salt Lake City, UT; Salt Lake; 801; MST, DST
    const CityHeader city = cities->readHeader(rec.cityOffset, env.data);

    ZipFields f = ProjectZip(rec, city, env.data, env.settings);
    EXPECT_EQ(f.zip, "84101");
    EXPECT_EQ(f.city.str(), "Salt Lake City");
    EXPECT_EQ(f.state, "UT");
    EXPECT_EQ(f.stateName(), "Utah");
    EXPECT_EQ(f.county.str(), "Salt Lake");
    EXPECT_EQ(f.areaCode, 801);
    EXPECT_EQ(f.zone, 5);
    EXPECT_TRUE(f.dst);
    EXPECT_EQ(f.utcOffset(), -7);
    EXPECT_EQ(f.zoneByte(), rec.timeZone);

    // Each setting turns its own field to capitals, and only ASCII letters change.
    env.settings.citiesInCaps = true;
    f = ProjectZip(rec, city, env.data, env.settings);
    EXPECT_EQ(f.city.str(), "SALT LAKE CITY");
    EXPECT_EQ(f.county.str(), "Salt Lake");
    EXPECT_EQ(f.stateName(), "Utah");
    env.settings = PlainSettings();
    env.settings.countiesInCaps = true;
    f = ProjectZip(rec, city, env.data, env.settings);
    EXPECT_EQ(f.city.str(), "Salt Lake City");
    EXPECT_EQ(f.county.str(4), "SALT");
    env.settings = PlainSettings();
    env.settings.statesInCaps = true;
    f = ProjectZip(rec, city, env.data, env.settings);
    EXPECT_EQ(f.stateName(), "UTAH");
    EXPECT_EQ(f.state, "UT");
    env.settings.citiesInCaps = true;
    const CityHeader zuni = cities->readHeader(env.hand.cityOffsets[11], env.data);
    EXPECT_EQ(ProjectZip(zip->read(13), zuni, env.data, env.settings).city.str(), "ZU\xF1I");
}

TEST(ZipFields, MissingPartsAndDamagedZonesAreEmpty) {
    SearchEnv env;
    auto zip = ZipFile::open(env.data);
    auto cities = CityFile::open(env.data);
    ZipRecord rec = zip->read(6); // 00501 without county, area code or zone
    const CityHeader city = cities->readHeader(rec.cityOffset, env.data);
    ZipFields f = ProjectZip(rec, city, env.data, env.settings);
    EXPECT_EQ(f.zip, "00501");
    EXPECT_TRUE(f.county.empty());
    EXPECT_FALSE(f.areaCode);
    EXPECT_FALSE(f.hasZone());
    EXPECT_FALSE(f.utcOffset());

    // A county number past the table names no county; zone numbers off 1..24 name no zone.
    rec.county = 999;
    for (int zone : {25, 127}) {
        rec.timeZone = ZipRecord::zoneByte(zone, true);
        f = ProjectZip(rec, city, env.data, env.settings);
        EXPECT_TRUE(f.county.empty());
        EXPECT_FALSE(f.hasZone()) << zone;
    }
    rec.timeZone = ZipRecord::zoneByte(24, false);
    EXPECT_EQ(ProjectZip(rec, city, env.data, env.settings).utcOffset(), 12);
}
