#include "HandData.h"

#include "cli/Lookup.h"
#include "data/Errors.h"

#include <gtest/gtest.h>

using namespace corvana;
using namespace corvana::cli;
using namespace corvana::test;

namespace {

// The lookup of a whole input against the hand-made data, fed a few bytes at a time so that
// records break across reads.
struct Annotated {
    std::string out;
    LookupCounts counts;
};

struct LookupEnv {
    SearchEnv env;
    Annotated run(std::string_view input, std::optional<std::string> column = std::nullopt,
                  std::size_t step = 5) {
        ZipAnnotator annotator(env.data, env.settings);
        CsvReader in(TextSource(input, step));
        Annotated a;
        a.counts = LookupCsv(
            in, [&](std::string_view s) { a.out += s; }, annotator, column);
        return a;
    }
};

constexpr const char* SaltLake = ",Salt Lake City,UT,Salt Lake,801,-7,true";
constexpr const char* Holtsville = ",Holtsville,NY,,,,"; // no county, area code or zone

} // namespace

TEST(Lookup, ZipForms) {
    EXPECT_EQ(ParseZipText("84101"), 84101u);
    EXPECT_EQ(ParseZipText("84101-1234"), 84101u);
    EXPECT_EQ(ParseZipText("841011234"), 84101u);
    EXPECT_EQ(ParseZipText(" \t84101  "), 84101u);
    EXPECT_EQ(ParseZipText("601"), 601u);   // 00601 with its zeros dropped
    EXPECT_EQ(ParseZipText("2108"), 2108u); // 02108
    EXPECT_EQ(ParseZipText("00501"), 501u);
    for (std::string_view bad :
         {"", "  ", "1", "12", "841012", "8410112", "84101-", "84101-12", "84101-12345",
          "84101 1234", "8410a", "-8410", "84101-123a", "8410112345", "84 101", "+8410", "84101.0"})
        EXPECT_FALSE(ParseZipText(bad)) << bad;
}

TEST(Lookup, RefusesWhatIsNotCsvNamingTheLine) {
    LookupEnv e;
    auto errorOf = [&](std::string_view input) -> std::string {
        try {
            e.run(input);
        } catch (const LookupError& err) {
            return err.what();
        }
        return "";
    };
    EXPECT_EQ(errorOf("zip\n84101,\"open\nstill open"), "line 2: a quoted field is never closed");
    EXPECT_EQ(errorOf("zip\nb\n\"x\"y\n"), "line 3: text after the closing quote of a field");
    EXPECT_EQ(errorOf("zip\n\"two\nlines\",5\"\n"),
              "line 3: a quote inside a field that does not begin with one (quote the whole "
              "field)");
    EXPECT_EQ(errorOf("zip\n \"x\"\n"),
              "line 2: a quote inside a field that does not begin with one (quote the whole "
              "field)");
}

TEST(Lookup, HeaderColumnChoiceAndNameClashes) {
    LookupEnv e;
    // Each known name, in any case and with blanks around it, marks the ZIP column.
    for (std::string name :
         {"zip", "ZipCode", "zip_code", " Zip Code ", "POSTAL_CODE", "postcode", "\"zip\""}) {
        Annotated a = e.run("id," + name + "\n1,84101\n");
        EXPECT_EQ(a.out, "id," + name + ",city,state,county,area_code,utc_offset,dst\n1,84101" +
                             SaltLake + "\n")
            << name;
    }
    // The first known name wins; --column chooses another and matches without regard to case.
    Annotated a = e.run("postcode,zip\n84101,601\n");
    EXPECT_EQ(a.out.substr(a.out.find('\n') + 1), std::string("84101,601") + SaltLake + "\n");
    a = e.run("postcode,Other\n84101,501\n", "other");
    EXPECT_EQ(a.out.substr(a.out.find('\n') + 1), std::string("84101,501") + Holtsville + "\n");
    EXPECT_THROW(e.run("zip\n84101\n", "missing"), LookupError);

    // Names the input already has, in any case, get zip_; so does one that would clash again.
    a = e.run("City,zip,DST,zip_dst\n,84101,,\n");
    EXPECT_EQ(a.out.substr(0, a.out.find('\n')),
              "City,zip,DST,zip_dst,zip_city,state,county,area_code,utc_offset,zip_zip_dst");

    // No ZIP column and a first line that is no ZIP code: not something to annotate.
    try {
        e.run("name,town\nx,y\n");
        FAIL();
    } catch (const LookupError& err) {
        EXPECT_EQ(err.line(), 1u);
    }
}

TEST(Lookup, RowsPassThroughIntact) {
    LookupEnv e;
    const std::string input = "\xEF\xBB\xBFname,zip,note\r\n"
                              "\"Doe, \"\"J\"\"\",\"84101-1234\",\"a\r\nb\"\r\n"
                              "Roe, 2108 ,\r\n" // unknown after the zeros are restored
                              "short\r\n"       // filled up to the header's width
                              "x,,y\r\n"        // empty ZIP field
                              "y,zip?,z\r\n"    // malformed
                              "z,501,";         // last line without a line end
    Annotated a = e.run(input);
    EXPECT_EQ(a.out, "\xEF\xBB\xBFname,zip,note,city,state,county,area_code,utc_offset,dst\r\n"
                     "\"Doe, \"\"J\"\"\",\"84101-1234\",\"a\r\nb\"" +
                         std::string(SaltLake) +
                         "\r\n"
                         "Roe, 2108 ,,,,,,,\r\n"
                         "short,,,,,,,,\r\n"
                         "x,,y,,,,,,\r\n"
                         "y,zip?,z,,,,,,\r\n"
                         "z,501," +
                         Holtsville);
    EXPECT_EQ(a.counts.rows, 6u);
    EXPECT_EQ(a.counts.found, 2u);
    EXPECT_EQ(a.counts.notFound, 1u);
    EXPECT_EQ(a.counts.malformed, 3u);
    EXPECT_FALSE(a.counts.allFound());
    EXPECT_EQ(CountsLine(a.counts), "6 rows read, 2 found, 1 not found, 3 malformed");

    // A row with more fields than the header is refused with its line, after the rows before it.
    try {
        e.run("zip,a\n84101,1\n\"2\nlines\",1,2\n");
        FAIL();
    } catch (const LookupError& err) {
        EXPECT_EQ(std::string(err.what()), "line 3: 3 fields where the header has 2");
    }

    // Only a header, and nothing at all.
    a = e.run("zip");
    EXPECT_EQ(a.out, "zip,city,state,county,area_code,utc_offset,dst");
    EXPECT_EQ(a.counts.rows, 0u);
    EXPECT_TRUE(a.counts.allFound());
    a = e.run("");
    EXPECT_EQ(a.out, "");
}

TEST(Lookup, PlainListsAndCaps) {
    LookupEnv e;
    Annotated a = e.run("\xEF\xBB\xBF 84101 \n\"501\"\n\n99999\n84120\n");
    EXPECT_EQ(a.out, "\xEF\xBB\xBFzip,city,state,county,area_code,utc_offset,dst\n"
                     " 84101 " +
                         std::string(SaltLake) +
                         "\n"
                         "\"501\"" +
                         Holtsville +
                         "\n"
                         ",,,,,,\n"
                         "99999,,,,,,\n"
                         "84120" +
                         SaltLake + "\n");
    EXPECT_EQ(a.counts.found, 3u);
    EXPECT_EQ(a.counts.notFound, 1u);
    EXPECT_EQ(a.counts.malformed, 1u);

    try {
        e.run("84101\n84102,x\n");
        FAIL();
    } catch (const LookupError& err) {
        EXPECT_EQ(err.line(), 2u);
    }

    // ZIP codes given one by one; the caps settings apply to the names.
    e.env.settings.citiesInCaps = true;
    e.env.settings.countiesInCaps = true;
    ZipAnnotator annotator(e.env.data, e.env.settings);
    std::string out;
    LookupCounts c = LookupList(
        {"96001", "a,b", "75002"}, [&](std::string_view s) { out += s; }, annotator);
    EXPECT_EQ(out, "zip,city,state,county,area_code,utc_offset,dst\r\n"
                   "96001,ZU\xC3\xB1I,CA,SHASTA,530,-8,false\r\n"
                   "\"a,b\",,,,,,\r\n"
                   "75002,ALLEN,TX,COLLIN,,-6,false\r\n");
    EXPECT_EQ(c.rows, 3u);
    EXPECT_EQ(c.found, 2u);
}

TEST(Lookup, DamagedDataFiles) {
    LookupEnv e;
    // A ZIP block that reaches past the end of ZIPCODE.DAT, and a city record cut short.
    e.env.write("ZIPCODE.DAT", e.env.read("ZIPCODE.DAT").substr(0, 13 * 2));
    EXPECT_THROW(e.run("zip\n84101\n84120\n"), IoError);
    LookupEnv f;
    f.env.write("CITY.DAT", f.env.read("CITY.DAT").substr(0, 4));
    EXPECT_THROW(f.run("zip\n84101\n"), FatalError);
    f.env.remove("CITY.DAT");
    EXPECT_THROW(ZipAnnotator(f.env.data, f.env.settings), FatalError);
}
