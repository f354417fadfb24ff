// Population and density columns of the table: PEOPLE.DAT from them, the figures read back
// exactly, "no figure" apart from 0, bad figures named by their line, and every other data file
// the same whether the table has the columns or not.
#include "TestUtil.h"

#include "data/DataSet.h"
#include "data/FileNames.h"
#include "data/People.h"
#include "mkdata/Builder.h"

#include <gtest/gtest.h>

using namespace corvana;
using namespace corvana::mkdata;
using namespace corvana::test;

namespace {

const std::string Header = "zip,city,state,county,area_code,utc_offset,dst,other_counties,"
                           "other_area_codes,population,density\n";

std::string errorOf(std::string_view csv) {
    try {
        BuildDataFiles(csv, "June 1996");
    } catch (const InputError& e) {
        return e.what();
    }
    return "";
}

People peopleOf(const DataFiles& files) {
    const std::string& bytes = files.at(filenames::PeopleDat);
    auto people = People::fromBytes(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    if (!people)
        throw std::runtime_error("PEOPLE.DAT does not read back");
    return *people;
}

PeopleFigures figures(std::optional<std::uint32_t> population,
                      std::optional<std::uint32_t> densityTenths) {
    return PeopleFigures{population, densityTenths};
}

} // namespace

TEST(BuilderPeople, FiguresReadBackByRecordInZipOrder) {
    // Rows out of order: records follow the ZIP codes.
    const DataFiles files =
        BuildDataFiles(Header + "84102,Salt Lake City,UT,Salt Lake,801,-7,Y,,,"
                                "19165,9922.8\n"
                                "09001,APO,AE,,,,N,,,,\n"
                                "84101,Salt Lake City,UT,Salt Lake,801,-7,Y,,,"
                                "7358,3989.1\n"
                                "84111,Salt Lake City,UT,Salt Lake,801,-7,Y,,,0,0\n"
                                "84112,Salt Lake City,UT,Salt Lake,801,-7,Y,,,"
                                " 12 ,\n",
                       "June 1996");
    const People people = peopleOf(files);
    ASSERT_EQ(people.recordCount(), 5u);
    EXPECT_EQ(people.ofRecord(0), figures(std::nullopt, std::nullopt)); // 09001
    EXPECT_EQ(people.ofRecord(1), figures(7358, 39891));                // 84101
    EXPECT_EQ(people.ofRecord(2), figures(19165, 99228));               // 84102
    EXPECT_EQ(people.ofRecord(3), figures(0, 0));                       // 0 is a figure
    EXPECT_EQ(people.ofRecord(4), figures(12, std::nullopt));
    EXPECT_FALSE(people.ofRecord(5));
    EXPECT_NEAR(*people.ofRecord(1)->perSquareMile(), 3989.1, 1e-9);
    // The table's per-mile figure gives the source's per-km2 figure back.
    EXPECT_NEAR(*people.ofRecord(1)->perSquareKm(), 1540.2, 0.05);
}

TEST(BuilderPeople, BadFiguresNameTheirLine) {
    auto row = [](std::string_view population, std::string_view density) {
        return errorOf(Header + "84101,Salt Lake City,UT,,,-7,Y,,,\"" + std::string(population) +
                       "\",\"" + std::string(density) + "\"\n");
    };
    EXPECT_EQ(row("10000000", "1000000.0"), "");
    EXPECT_EQ(row("00012", "0012"), "");
    const std::string population = " (a whole number of people from 0 to 10000000 wanted)";
    for (std::string_view bad : {"-1", "+1", "1.5", "7,358", "1e3", "10000001", "123456789012",
                                 "99999999999999999999", "x"})
        EXPECT_EQ(row(bad, ""), "line 2: bad population \"" + std::string(bad) + "\"" + population)
            << bad;
    const std::string density =
        " (people per square mile from 0 to 1000000, at most one decimal, wanted)";
    for (std::string_view bad : {"-1.0", "1.25", "1.", ".5", "1,5", "1e3", "1000000.1",
                                 "4294967296", "999999999.9", "NaN"})
        EXPECT_EQ(row("", bad), "line 2: bad density \"" + std::string(bad) + "\"" + density)
            << bad;
    // "density" and "population" are names of the table, not of any other column.
    EXPECT_EQ(errorOf("zip,city,state,county,area_code,utc_offset,dst,other_counties,"
                      "other_area_codes,people\n"),
              "line 1: unknown column \"people\"");
}

TEST(BuilderPeople, OtherFilesKeepTheirBytesWithOrWithoutTheColumns) {
    const std::string with = readFile(CORVANA_TEST_SOURCE_DIR "/fixtures/points.csv");
    std::string without;
    for (std::size_t at = 0; at < with.size();) {
        const std::size_t end = with.find('\n', at);
        const std::string line = with.substr(at, end - at);
        // The last two fields of every line.
        without += line.substr(0, line.rfind(',', line.rfind(',') - 1)) + "\n";
        at = end == std::string::npos ? with.size() : end + 1;
    }
    ASSERT_EQ(without.find("population"), std::string::npos);
    DataFiles full = BuildDataFiles(with, "June 1996");
    const DataFiles plain = BuildDataFiles(without, "June 1996");
    EXPECT_FALSE(plain.count(filenames::PeopleDat));
    ASSERT_TRUE(full.count(filenames::PeopleDat));
    full.erase(filenames::PeopleDat);
    EXPECT_EQ(full, plain);

    // Either column alone is enough for the file.
    for (std::string_view column : {"population", "density"})
        EXPECT_TRUE(BuildDataFiles("zip,city,state,county,area_code,utc_offset,dst,"
                                   "other_counties,other_area_codes," +
                                       std::string(column) + "\n84101,X,UT,,,-7,Y,,,5\n",
                                   "June 1996")
                        .count(filenames::PeopleDat))
            << column;
}

TEST(BuilderPeople, FixtureReadsBackThroughTheDataDirectory) {
    DataSet data;
    data.dir = fixtureDir("points");
    ASSERT_TRUE(LoadInData(data).ok());
    const PeopleLoad load = LoadPeople(data);
    ASSERT_EQ(load.status, PeopleStatus::Loaded) << load.message;
    EXPECT_EQ(PeopleOfZip(data, *load.people, "84101"), figures(7358, 39891));
    EXPECT_EQ(PeopleOfZip(data, *load.people, "10001"), figures(27004, 432880));
    // A P.O. box, a military post office and Pago Pago (no figure in the source).
    for (std::string_view zip : {"84110", "09001", "96799"})
        EXPECT_EQ(PeopleOfZip(data, *load.people, zip), figures(std::nullopt, std::nullopt)) << zip;
    // Not in the data, or no ZIP code at all.
    for (std::string_view zip : {"84103", "8410", "841011", "8410x", ""})
        EXPECT_FALSE(PeopleOfZip(data, *load.people, zip)) << zip;

    // The set without the columns has no PEOPLE.DAT, and says so.
    data.dir = fixtureDir("small");
    const PeopleLoad none = LoadPeople(data);
    EXPECT_EQ(none.status, PeopleStatus::Missing);
    EXPECT_EQ(none.message, msg::NoPeople);
}
