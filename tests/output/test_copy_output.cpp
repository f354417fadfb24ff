#include "HandData.h"

#include "data/Errors.h"
#include "output/CopyOutput.h"

#include <gtest/gtest.h>

using namespace corvana;
using namespace corvana::test;

namespace {

ResultItem Line(std::string text, std::uint32_t record) {
    return ZipLine(std::move(text), record);
}

// Points ZIP record n at another CITY.DAT offset.
void SetCityOffset(const SearchEnv& env, std::size_t n, std::int32_t offset) {
    std::string dat = env.read("ZIPCODE.DAT");
    dat.replace(n * 13 + 4, 4, le32(offset));
    env.write("ZIPCODE.DAT", dat);
}

} // namespace

TEST(CopyOutput, FormatFourForTwoZipCodesGivesEightLines) {
    SearchEnv env;
    auto out =
        CollectOutput({Line("84101 Salt Lake City, UT", 0), Line("84102 Salt Lake City, UT", 1)}, 4,
                      env.data, env.settings);
    EXPECT_EQ(out.text, "Salt Lake City\r\nUT\r\nSalt Lake\r\n84101\r\n"
                        "Salt Lake City\r\nUT\r\nSalt Lake\r\n84102\r\n");
    EXPECT_TRUE(out.fatal.empty());
    EXPECT_FALSE(out.closeDialog() || out.ioError || out.missingFile);
    EXPECT_TRUE(out.deliver());
}

TEST(CopyOutput, ZipComesFromTheLineEverythingElseFromTheRecord) {
    SearchEnv env;
    // The text says 99999 and Nowhere; record 7 is Beverly Hills
    auto out = CollectOutput({Line("99999 Nowhere, XX", 7)}, 31, env.data, env.settings);
    EXPECT_EQ(out.text, "99999 310 PST Beverly Hills CA\r\n");
    out = CollectOutput({Line("123", 7)}, 19, env.data, env.settings);
    EXPECT_EQ(out.text, "123\r\n");
}

TEST(CopyOutput, FieldsOfTheZipDetails) {
    SearchEnv env;
    env.hand.cities[3].name = "Beverly Hills Extra Long Name Town";
    env.hand.counties[4].name = "Los Angeles County Extended";
    env.hand.writeAll();
    env.data = env.hand.load();
    env.settings.citiesInCaps = true;
    env.settings.countiesInCaps = true;
    env.settings.statesInCaps = true;

    auto zip = ZipFile::open(env.data);
    auto city = CityFile::open(env.data);
    ASSERT_TRUE(zip && city);
    std::vector<std::string> fatal;
    auto d = LoadValues(Line("90210 Beverly Hills Extra Long Name Town, CA", 7), *zip, *city,
                        env.data, env.settings, fatal);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->zip, "90210");
    EXPECT_EQ(d->city, "BEVERLY HILLS EXTRA LONG "); // 25 characters
    EXPECT_EQ(d->county, "LOS ANGELES COUNTY EXTEND");
    EXPECT_EQ(d->state, "CA");
    EXPECT_EQ(d->stateName, "CALIFORNIA");
    EXPECT_EQ(d->areaCode, "310");
    EXPECT_EQ(d->timeZone, "PST");

    // No county, no area code, no zone: empty fields
    d = LoadValues(Line("00501 Holtsville, NY", 6), *zip, *city, env.data, env.settings, fatal);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->county, "");
    EXPECT_EQ(d->areaCode, "");
    EXPECT_EQ(d->timeZone, "");
    EXPECT_EQ(d->stateName, "NEW YORK");
    EXPECT_TRUE(fatal.empty());

    // Empty fields leave nothing between their neighbours
    auto out = CollectOutput({Line("00501 Holtsville, NY", 6)}, 8, env.data, env.settings);
    EXPECT_EQ(out.text, "00501\tHOLTSVILLE\t\tNY\r\n");
}

TEST(CopyOutput, LinesWithoutRecordsGiveNothing) {
    SearchEnv env;
    auto out = CollectOutput({ResultItem{"No matching cities found.", NoMatchItem{}}}, 0, env.data,
                             env.settings);
    EXPECT_EQ(out.text, "");
    EXPECT_FALSE(out.closeDialog());
    EXPECT_EQ(CollectOutput({Line("84101 x", 0)}, 33, env.data, env.settings).text, "");
    EXPECT_EQ(CollectOutput({Line("84101 x", 0)}, -1, env.data, env.settings).text, "");
}

TEST(CopyOutput, CityRecordCutShortDropsOnlyThatLine) {
    SearchEnv env;
    SetCityOffset(env, 1, std::int32_t(env.read("CITY.DAT").size()));
    auto out = CollectOutput({Line("84101 a", 0), Line("84102 b", 1), Line("84120 c", 2)}, 0,
                             env.data, env.settings);
    EXPECT_EQ(out.text, "Salt Lake City, UT 84101\r\nSalt Lake City, UT 84120\r\n");
    EXPECT_EQ(out.fatal, std::vector<std::string>{msg::CityCorrupt});
    EXPECT_TRUE(out.closeDialog());
    EXPECT_FALSE(out.ioError);
}

TEST(CopyOutput, SeekFailureIsReportedAndTheLineLeftOut) {
    SearchEnv env;
    SetCityOffset(env, 1, -4);
    auto out = CollectOutput({Line("84101 a", 0), Line("84102 b", 1), Line("84120 c", 2)}, 0,
                             env.data, env.settings);
    EXPECT_EQ(out.fatal, std::vector<std::string>{msg::CitySeekFailed});
    EXPECT_TRUE(out.closeDialog());
    // The failed line never borrows the city of the line before it; its neighbours are built.
    EXPECT_EQ(out.text, "Salt Lake City, UT 84101\r\nSalt Lake City, UT 84120\r\n");
}

TEST(CopyOutput, MissingFilesAndReadsPastTheEnd) {
    {
        SearchEnv env;
        env.remove("CITY.DAT");
        auto out = CollectOutput({Line("84101 a", 0)}, 0, env.data, env.settings);
        EXPECT_EQ(out.fatal, Fatal(msg::CityNotFound));
        EXPECT_TRUE(out.missingFile && !out.deliver());
        EXPECT_TRUE(out.closeDialog());
        EXPECT_EQ(out.text, "");
    }
    {
        SearchEnv env;
        env.remove("ZIPCODE.DAT");
        auto out = CollectOutput({Line("84101 a", 0)}, 0, env.data, env.settings);
        EXPECT_EQ(out.fatal, Fatal(msg::ZipFileNotFound));
        EXPECT_TRUE(out.missingFile && !out.deliver());
    }
    {
        SearchEnv env;
        auto out = CollectOutput({Line("84101 a", 0), Line("99999 z", 99), Line("84102 b", 1)}, 19,
                                 env.data, env.settings);
        EXPECT_EQ(out.ioError, msg::ReadPastEnd);
        EXPECT_FALSE(out.closeDialog());
    }
}
