#include "HandData.h"
#include "Version.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

using namespace corvana;
using namespace corvana::test;

namespace {

using Outcome = QueryOutcome;

Outcome Query(const std::vector<std::string>& args,
              const std::optional<std::string>& input = std::nullopt) {
    static TempDir work;
    return RunQuery(work, args, input);
}

struct CliData {
    HandData hand;
    std::string settings = (hand.dir.path() / "plain.ini").string();
    CliData() {
        hand.dir.write("plain.ini", "[Preferences]\nShow County=No\nShow Area Code=No\n"
                                    "Show Time Zone=No\nShow Current Time=No\n");
    }
    Outcome query(std::vector<std::string> args,
                  const std::optional<std::string>& input = std::nullopt) const {
        args.insert(args.begin(), {"--data", hand.dir.str(), "--settings", settings});
        return Query(args, input);
    }
};

} // namespace

TEST(Cli, ListsHeadingAndItemsWithExitStatus) {
    CliData d;
    Outcome r = d.query({"zip", "841"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Possible Cities\n84101 Salt Lake City, UT\n84102 Salt Lake City, UT\n"
                     "84120 Salt Lake City, UT\n");
    EXPECT_EQ(r.err, "");

    r = d.query({"zip", "84199"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Possible Cities\nNo matching zip codes found.\n");

    // Non-digits are dropped as the ZIP field drops them; one digit lists states
    r = d.query({"zip", "8-"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Potential States\nArizona\nTexas\nUtah\n");

    // The list stays hidden: nothing printed
    r = d.query({"city", "  s "});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");

    r = d.query({"area", "80"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    r = d.query({"area", "5309"}); // cut to three characters
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Possible Zip Codes\n96001 Zu\u00f1i, CA\n");
}

TEST(Cli, CityCountyAndStateModes) {
    CliData d;
    Outcome r = d.query({"--state", "ut", "city", " sa "});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Possible Cities\nSalem, UT\nSalt Lake City, UT\n");

    r = d.query({"county", "marion"});
    EXPECT_EQ(r.out,
              "Possible Zip Codes\n75657 Jefferson, TX (Marion)\n97301 Salem, OR (Marion)\n");

    r = d.query({"state", "tx", "a"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Possible Cities\nAddison, TX\nAdrian, TX\nAllen, TX\n");

    r = d.query({"state", "TX"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");

    r = d.query({"state", "qq", "a"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "No matching state abbreviations found.\n");
}

TEST(Cli, TextIsUtf8OnBothSides) {
    CliData d;
    Outcome r = d.query({"city", "zu\u00f1"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Possible Zip Codes\n96001 Zu\u00f1i, CA\n");
    // Only a to z are upper-cased
    r = d.query({"--caps", "cities", "city", "zu"});
    EXPECT_EQ(r.out, "Possible Cities\nZU\u00f1I, CA\n");
    // A character Windows-1252 lacks cannot be typed
    r = d.query({"city", "zu\u0107"});
    EXPECT_EQ(r.status, 2);
}

TEST(Cli, FormatPrintsTheExpandedZipLines) {
    CliData d;
    Outcome r = d.query({"--format", "4", "zip", "8410"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "Salt Lake City\nUT\nSalt Lake\n84101\nSalt Lake City\nUT\nSalt Lake\n84102\n");

    r = d.query({"--format=31", "--caps", "cities,states", "area", "310"});
    EXPECT_EQ(r.out, "90210 310 PST BEVERLY HILLS CA\n90211 310 PST BEVERLY HILLS CA\n");

    // State names and "No match" lines have no record: nothing to print
    r = d.query({"--format", "0", "zip", "8"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    r = d.query({"--format", "0", "zip", "84199"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
}

TEST(Cli, SettingsFileFlagsAndOverrides) {
    CliData d;
    d.hand.dir.write("flags.ini", "[Preferences]\r\nShow County=yes\r\nShow Area Code=Y\r\n"
                                  "Show Time Zone=YES\r\nShow Current Time=1\r\n"
                                  "Counties in Caps=Yes\r\n");
    const std::string flags = (d.hand.dir.path() / "flags.ini").string();
    Outcome r = Query({"--data", d.hand.dir.str(), "--settings", flags, "zip", "84101"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Possible Cities\n84101 Salt Lake City, UT (SALT LAKE) (MST)\n");
    // The file is read, never written
    EXPECT_EQ(readFile(flags), "[Preferences]\r\nShow County=yes\r\nShow Area Code=Y\r\n"
                               "Show Time Zone=YES\r\nShow Current Time=1\r\n"
                               "Counties in Caps=Yes\r\n");

    r = Query({"--data", d.hand.dir.str(), "--settings", flags, "--show", "area", "zip", "84101"});
    EXPECT_EQ(r.out, "Possible Cities\n84101 Salt Lake City, UT (801)\n");
    r = Query({"--data", d.hand.dir.str(), "--settings", flags, "--show", "none", "zip", "84101"});
    EXPECT_EQ(r.out, "Possible Cities\n84101 Salt Lake City, UT\n");
    // The current time follows the zone label after one space
    r = Query(
        {"--data", d.hand.dir.str(), "--settings", flags, "--show", "zone,time", "zip", "00501"});
    EXPECT_EQ(r.out, "Possible Cities\n00501 Holtsville, NY\n");
    r = Query({"--data", d.hand.dir.str(), "--settings", flags, "--show", "time", "zip", "84101"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.starts_with("Possible Cities\n84101 Salt Lake City, UT ")) << r.out;
    EXPECT_EQ(r.out.size(),
              std::string("Possible Cities\n84101 Salt Lake City, UT 00:00:00\n").size())
        << r.out;
}

TEST(Cli, UsageErrors) {
    CliData d;
    for (const auto& args : std::vector<std::vector<std::string>>{
             {},
             {"zip"},
             {"zip", "1", "2"},
             {"town", "x"},
             {"state"},
             {"--format", "33", "zip", "841"},
             {"--format", "x", "zip", "841"},
             {"--show", "county,colour", "zip", "841"},
             {"--caps", "", "zip", "841"},
             {"--bogus", "zip", "841"},
             {"zip", "841", "--data"},
             {"--settings", "/nonexistent/CORVANA.INI", "zip", "841"},
         }) {
        Outcome r = Query(args.empty() ? args : [&] {
            auto a = args;
            a.insert(a.begin(), {"--data", d.hand.dir.str()});
            return a;
        }());
        EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args[0]);
        EXPECT_TRUE(r.err.ends_with("Try 'corvana-query zip --help'.\n") ||
                    r.err.ends_with("Try 'corvana-query state --help'.\n") ||
                    r.err.ends_with("Try 'corvana-query --help'.\n"))
            << r.err;
        EXPECT_EQ(r.err.find("Usage:"), std::string::npos) << r.err;
    }
    Outcome r = Query({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.starts_with("Usage: corvana-query"));
    r = d.query({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "corvana-query " CORVANA_VERSION ", Zip Code Data updated in June 1996\n");
}

TEST(Cli, DataErrors) {
    CliData d;
    d.hand.dir.remove("CITY.IDX");
    Outcome r = d.query({"city", "salt"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "");
    const std::string lookedIn =
        "corvana-query: the data files were looked for in " + d.hand.dir.str() + "\n";
    // A file missed only when the search needs it: its message alone
    EXPECT_EQ(r.err, "FATAL ERROR: File containing city indexes could not be found.\n");

    d.hand.dir.remove("ZIPCODE.IDX");
    d.hand.dir.remove("AREA.DAT");
    r = d.query({"zip", "841"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "FATAL ERROR: Zip Code Index File could not be found.\n"
                     "FATAL ERROR: Area Code Data File could not be found.\n" +
                         lookedIn);
    r = Query({"--data", "/nonexistent", "zip", "841"});
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(r.err.ends_with("\ncorvana-query: the data files were looked for in "
                                "/nonexistent\n"))
        << r.err;

    // A record number past the end of ZIPCODE.DAT: the lines found before it, then the error
    CliData e;
    e.hand.areas[801] = {10, 300, 0};
    e.hand.writeAll();
    r = e.query({"area", "801"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "Possible Zip Codes\n84653 Salem, UT\n");
    EXPECT_EQ(r.err, "I/O error 100: read beyond the end of the file.\n");
}

TEST(Cli, RunsOnTheBuiltFixture) {
    CliData d;
    const std::string dir = fixtureDir("small");
    Outcome r = Query({"--data", dir, "--settings", d.settings, "--format", "4", "zip", "8409"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Sandy\nUT\nSalt Lake\n84092\nSandy\nUT\nSalt Lake\n84094\n");
    r = Query({"--data", dir, "--settings", d.settings, "--state", "OR", "city", "salem"});
    EXPECT_EQ(r.out, "Possible Zip Codes\n97301 Salem, OR\n97304 Salem, OR\n");
    r = Query({"--data", dir, "--version"});
    EXPECT_EQ(r.out, "corvana-query " CORVANA_VERSION ", Zip Code Data updated in June 1996\n");
}

TEST(Cli, StructuredOutputOfTheSearches) {
    CliData d;
    Outcome r = d.query({"--json", "--show", "county,area,zone", "zip", "84101"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "[\n  {\"zip\": \"84101\", \"city\": \"Salt Lake City\", \"state\": \"UT\", "
                     "\"county\": \"Salt Lake\", \"area_code\": \"801\", \"zone\": \"MST\", "
                     "\"utc_offset\": -7, \"dst\": true, \"local_time\": null}\n]\n");
    r = d.query({"--csv", "--caps", "counties", "--state", "TX", "county", "ma"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "county\r\n\"MARION, TX\"\r\n");

    // "No matching ..." is an empty result, not a record
    r = d.query({"--csv", "zip", "84199"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "zip,city,state,county,area_code,zone,utc_offset,dst,local_time\r\n");
    r = d.query({"--json", "state", "qq", "a"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "[]\n");
    r = d.query({"--json", "area", "555"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "[]\n");

    // The current time is filled when asked for
    r = d.query({"--csv", "--show", "time", "area", "310"});
    EXPECT_EQ(r.status, 0);
    const std::string header = "zip,city,state,county,area_code,zone,utc_offset,dst,local_time\r\n";
    EXPECT_EQ(r.out.find("90210,Beverly Hills,CA,,,,-8,false,"), header.size()) << r.out;
    EXPECT_EQ(r.out.size(),
              header.size() +
                  2 * std::string("90210,Beverly Hills,CA,,,,-8,false,00:00:00\r\n").size());

    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--csv", "--json", "zip", "841"},
             {"--csv", "--format", "0", "zip", "841"},
             {"--column", "zip", "zip", "841"},
             {"--json", "lookup", "84101"},
             {"--show", "area", "lookup", "84101"},
         }) {
        r = d.query(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
        EXPECT_TRUE(r.err.ends_with(args[args.size() - 2] == "lookup"
                                        ? "\nTry 'corvana-query lookup --help'.\n"
                                        : "\nTry 'corvana-query zip --help'.\n"))
            << r.err;
    }
}

TEST(Cli, LookupExitStatuses) {
    CliData d;
    Outcome r = d.query({"lookup", "84101", " 501 ", "84120-0001"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "zip,city,state,county,area_code,utc_offset,dst\r\n"
                     "84101,Salt Lake City,UT,Salt Lake,801,-7,true\r\n"
                     " 501 ,Holtsville,NY,,,,\r\n"
                     "84120-0001,Salt Lake City,UT,Salt Lake,801,-7,true\r\n");
    EXPECT_EQ(r.err, "corvana-query lookup: 3 rows read, 3 found, 0 not found, 0 malformed\n");

    // Standard input: a spreadsheet's CSV, with the ZIP column named
    r = d.query({"--column", "Where", "lookup"},
                "\xEF\xBB\xBFName,Where\r\n\"Doe, J\",90210\r\nRoe,99999\r\nPoe,\r\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\xEF\xBB\xBFName,Where,city,state,county,area_code,utc_offset,dst\r\n"
                     "\"Doe, J\",90210,Beverly Hills,CA,Los Angeles,310,-8,false\r\n"
                     "Roe,99999,,,,,,\r\nPoe,,,,,,,\r\n");
    EXPECT_EQ(r.err, "corvana-query lookup: 3 rows read, 1 found, 1 not found, 1 malformed\n");

    // Not CSV, or no ZIP column: the line and what is wrong
    r = d.query({"lookup"}, "zip\n84101\n\"84102\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "corvana-query lookup: line 3: a quoted field is never closed\n");
    r = d.query({"lookup"}, "name\nx\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.starts_with("corvana-query lookup: line 1: no ZIP code column")) << r.err;
    r = d.query({"--column", "zip", "lookup", "84101"});
    EXPECT_EQ(r.status, 2);

    // A damaged data file
    d.hand.dir.write("CITY.DAT", "");
    r = d.query({"lookup", "84101"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "FATAL ERROR: File containing city definitions is corrupt.\n");
    d.hand.dir.remove("ZIPCODE.DAT");
    r = d.query({"lookup"}, "zip\n84101\n");
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "FATAL ERROR: Zip Code File could not be found.\n");
}

TEST(Cli, LookupReadsAFileNamedAlone) {
    CliData d;
    const std::string csv = "Name,Where\r\n\"Doe, J\",90210\r\nRoe,99999\r\n";
    d.hand.dir.write("orders.csv", csv);
    const std::string file = (d.hand.dir.path() / "orders.csv").string();
    const Outcome piped = d.query({"--column", "Where", "lookup"}, csv);
    Outcome r = d.query({"--column", "Where", "lookup", file});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, piped.out);
    EXPECT_EQ(r.err, "corvana-query lookup: 2 rows read, 1 found, 1 not found, 0 malformed\n");

    // With ZIP codes beside it, the file is refused by name; a path is a file even when its name is
    // digits
    r = d.query({"lookup", "84101", file});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.starts_with("corvana-query: '" + file +
                                  "' is a file: give lookup one file "
                                  "alone, or ZIP codes\n"))
        << r.err;
    d.hand.dir.write("84101", "zip\n90210\n");
    r = Query({"--data", d.hand.dir.str(), "--settings", d.settings, "lookup",
               (d.hand.dir.path() / "84101").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("90210,Beverly Hills"), std::string::npos) << r.out;

    // A name that is no file stays a malformed ZIP code: given on the command line, it is the
    // worst case of the texts, as with every command; a malformed row of a file gives 1
    r = d.query({"lookup", "small.csv"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "corvana-query lookup: 1 rows read, 0 found, 0 not found, 1 malformed\n");
}

namespace {

// Runs on the "points" fixture, whose ZIP codes have positions, with the plain settings.
Outcome Geo(std::vector<std::string> args, const std::optional<std::string>& input = std::nullopt,
            const std::string& dir = fixtureDir("points")) {
    static CliData plain;
    args.insert(args.begin(), {"--data", dir, "--settings", plain.settings});
    return Query(args, input);
}

} // namespace

TEST(CliGeo, DistanceNearAndNearestAsText) {
    Outcome r = Geo({"distance", "84101", "84102"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Distance From 84101 To 84102\n84101 Salt Lake City, UT\n"
                     "84102 Salt Lake City, UT\n2.0 mi (3.2 km)\n");
    EXPECT_EQ(r.err, "");

    // The centre first, then the ZIP code at its very position, then by distance
    r = Geo({"near", "84101"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Zip Codes Within 10 Miles Of 84101\n"
                     "84101 Salt Lake City, UT  0.0 mi (0.0 km)\n"
                     "84110 Salt Lake City, UT  0.0 mi (0.0 km)\n"
                     "84102 Salt Lake City, UT  2.0 mi (3.2 km)\n");
    r = Geo({"near", "--km", "20", " 40.7  -111.9 ", "--limit", "2", "--show", "county"});
    EXPECT_EQ(r.out, "Zip Codes Within 20 Kilometers Of 40.7  -111.9\n"
                     "84101 Salt Lake City, UT (Salt Lake)  3.9 mi (6.2 km)\n"
                     "84110 Salt Lake City, UT (Salt Lake)  3.9 mi (6.2 km)\n");
    // Across the 180th meridian: Adak from a point just east of it
    r = Geo({"near", "51.9,179.9", "--miles=200"});
    EXPECT_EQ(r.out,
              "Zip Codes Within 200 Miles Of 51.9,179.9\n99546 Adak, AK  147.2 mi (237.0 km)\n");
    r = Geo({"near", "0,0"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Zip Codes Within 10 Miles Of 0,0\nNo matching zip codes found.\n");

    r = Geo({"nearest", "13.4,144.7"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Nearest Zip Code To 13.4,144.7\n96910 Hagatna, GU  6.1 mi (9.9 km)\n");
    r = Geo({"--caps", "cities", "nearest", "-14.3 -170.7"});
    EXPECT_EQ(r.out, "Nearest Zip Code To -14.3 -170.7\n96799 PAGO PAGO, AS  1.5 mi (2.4 km)\n");

    // A copy format: each ZIP code's block, then its distance
    r = Geo({"--format", "4", "near", "84101", "--limit", "1"});
    EXPECT_EQ(r.out, "Salt Lake City\nUT\nSalt Lake\n84101\n0.0 mi (0.0 km)\n");
    r = Geo({"--format", "4", "distance", "84102", "10001"});
    EXPECT_EQ(r.out, "Salt Lake City\nUT\nSalt Lake\n84102\nNew York\nNY\nNew York\n10001\n"
                     "1971.1 mi (3172.2 km)\n");
}

TEST(CliGeo, DistanceColumnsInCsvAndJson) {
    Outcome r = Geo({"--csv", "distance", "84101", "10001"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "zip,city,state,county,area_code,zone,utc_offset,dst,local_time,"
                     "distance_miles,distance_km\r\n"
                     "84101,Salt Lake City,UT,,,,-7,true,,0.0,0.0\r\n"
                     "10001,New York,NY,,,,-5,true,,1973.1,3175.4\r\n");
    r = Geo({"--json", "near", "84101", "--miles", "3000", "--limit", "3"});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string salt = "\"city\": \"Salt Lake City\", \"state\": \"UT\", \"county\": null, "
                             "\"area_code\": null, \"zone\": null, \"utc_offset\": -7, \"dst\": "
                             "true, \"local_time\": null, ";
    EXPECT_EQ(r.out,
              "[\n  {\"zip\": \"84101\", " + salt +
                  "\"distance_miles\": 0.0, \"distance_km\": 0.0},\n  {\"zip\": \"84110\", " +
                  salt +
                  "\"distance_miles\": 0.0, \"distance_km\": 0.0},\n  {\"zip\": "
                  "\"84102\", " +
                  salt + "\"distance_miles\": 2.0, \"distance_km\": 3.2}\n]\n");
    r = Geo({"--csv", "nearest", "18.5,-66.1"});
    EXPECT_EQ(r.out, "zip,city,state,county,area_code,zone,utc_offset,dst,local_time,"
                     "distance_miles,distance_km\r\n00901,San Juan,PR,,,,-4,false,,2.4,3.9\r\n");

    // A military post office has no position: no row has a distance
    r = Geo({"--csv", "distance", "84101", "09001"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\r\n84101,Salt Lake City,UT,,,,-7,true,,,\r\n09001,APO,AE,,,,,,,,\r\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.err, "corvana-query: ZIP code 09001 has no location (military post offices have "
                     "none)\n");
}

TEST(CliGeo, BadCentresRadiiAndLimitsAreOneLineUsageErrors) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"near", "91,0"}, "\"91,0\": The latitude \"91\" is beyond 90 degrees north or south."},
        {{"near", "40,-181"},
         "\"40,-181\": The longitude \"-181\" is beyond 180 degrees east or west."},
        {{"nearest", "40N,111W"},
         "\"40N,111W\": The latitude \"40N\" is not a decimal number of degrees."},
        {{"nearest", "84101"}, "\"84101\": The point has no longitude after its latitude."},
        {{"near", "12345"}, "no ZIP code 12345 in the data"},
        {{"near", "841011"}, "\"841011\" is not a ZIP code"},
        // Fewer digits are refused, not read as a ZIP code with leading zeros.
        {{"near", "841"}, "\"841\" is not a ZIP code: a ZIP code has five digits"},
        {{"distance", "84101", "8410"}, "\"8410\" is not a ZIP code: a ZIP code has five digits"},
        {{"lookup", "--distance-from", "601", "84101"},
         "\"601\" is not a ZIP code: a ZIP code has five digits"},
        {{"near", "841011234"}, "\"841011234\" is not a ZIP code: a ZIP code has five digits"},
        {{"distance", "84101", "99999"}, "no ZIP code 99999 in the data"},
        {{"near", "84101", "--miles", "0"}, "--miles 0: The radius must be more than 0."},
        {{"near", "84101", "--km", "-5"}, "--km -5: The radius must be more than 0."},
        {{"near", "84101", "--miles", "ten"}, "--miles ten: The radius is not a decimal number."},
        {{"near", "84101", "--miles", "nan"}, "--miles nan: The radius is not a finite number."},
        {{"near", "84101", "--miles", "20000"},
         "--miles 20000: The radius is more than 12,500 miles (20,116.8 km), half way round the "
         "globe."},
        {{"near", "84101", "--limit", "0"},
         "--limit takes a whole number from 1 to 999999999, not \"0\""},
        {{"near", "84101", "--limit", "-1"},
         "--limit takes a whole number from 1 to 999999999, not \"-1\""},
        {{"lookup", "--distance-from", "1,2,3", "84101"},
         "\"1,2,3\": The point has more than a latitude and a longitude."},
    };
    for (const auto& [args, message] : cases) {
        Outcome r = Geo(args);
        EXPECT_EQ(r.status, 2) << args[1];
        EXPECT_EQ(r.err, "corvana-query: " + message + "\n");
        EXPECT_EQ(r.out, "");
    }
    // The wrong shape of command line: the message, then the usage text
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"near", "84101", "--miles", "3", "--km", "3"},
             {"lookup", "--columns", "city,elevation", "84101"},
             {"lookup", "--miles", "3", "84101"},
             {"zip", "84101", "--limit", "3"},
             {"city", "salt", "--columns", "city"},
             {"near", "84101", "--state", "UT"},
             {"near", "84101", "--distance-from", "84101"},
             {"nearest", "1,1", "--miles", "3"},
             {"distance", "84101", "--limit", "1", "84102"},
             {"distance", "84101"},
             {"near"},
         }) {
        Outcome r = Geo(args);
        EXPECT_EQ(r.status, 2) << args[0] << " " << args.back();
        // One line of what is wrong and where to read on, not the whole usage
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
        EXPECT_TRUE(r.err.ends_with("\nTry 'corvana-query " + args[0] + " --help'.\n")) << r.err;
    }
}

TEST(CliGeo, DataWithoutOrWithDamagedLocations) {
    // The small fixture has no POINTS.DAT: the searches and the plain look-up work as before
    const std::string small = fixtureDir("small");
    EXPECT_EQ(Geo({"lookup", "84092"}, std::nullopt, small).status, 0);
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"near", "84092"},
             {"nearest", "40,-111"},
             {"distance", "84092", "84094"},
             {"lookup", "--distance-from", "84092", "84094"},
             {"lookup", "--columns", "city,latitude", "84094"},
         }) {
        Outcome r = Geo(args, std::nullopt, small);
        EXPECT_EQ(r.status, 3) << args[0];
        EXPECT_EQ(r.err, "corvana-query: This data has no locations.\n");
        EXPECT_EQ(r.out, "");
    }

    TempDir copy;
    std::filesystem::copy(fixtureDir("points"), copy.path(),
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
    const std::string points = readFile(copy.path() / "POINTS.DAT");
    copy.write("POINTS.DAT", points.substr(0, points.size() - 7));
    Outcome r = Geo({"near", "84101"}, std::nullopt, copy.str());
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "FATAL ERROR: File containing ZIP code locations is corrupt.\n");

    // A military post office as the centre: the code is right, but nothing can be measured
    r = Geo({"near", "09001"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "corvana-query: ZIP code 09001 has no location (military post offices have "
                     "none)\n");
}

TEST(CliGeo, LookupColumnsAndDistanceFrom) {
    // The default columns are today's, byte for byte, whether named or not
    const std::string input = "Name,zip\r\nA,84101\r\nB,09001\r\nC,99723\r\nD,\r\n";
    Outcome plain = Geo({"lookup"}, input);
    EXPECT_EQ(plain.out, "Name,zip,city,state,county,area_code,utc_offset,dst\r\n"
                         "A,84101,Salt Lake City,UT,Salt Lake,801,-7,true\r\n"
                         "B,09001,APO,AE,,,,\r\n"
                         "C,99723,Barrow,AK,North Slope,907,-9,true\r\n"
                         "D,,,,,,,\r\n");
    Outcome named =
        Geo({"lookup", "--columns", "city,state,county,area_code,utc_offset,dst"}, input);
    EXPECT_EQ(named.out, plain.out);
    EXPECT_EQ(named.status, plain.status);

    // Picked columns in the order given; a name the input has gets the prefix zip_
    Outcome r = Geo({"lookup", "--columns", "county_fips,latitude,longitude,dst"},
                    "zip,latitude\n00901,x\n09001,y\n96799,z\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "zip,latitude,county_fips,zip_latitude,longitude,dst\n"
                     "00901,x,72127,18.46553,-66.10573,false\n"
                     "09001,y,,,,\n"
                     "96799,z,60050,-14.27806,-170.70250,false\n");

    // Each row's distance from a ZIP code or a point, in the figures of near
    r = Geo({"lookup", "--columns", "state", "--distance-from", "84101", "84102", "10001", "09001",
             "x"});
    EXPECT_EQ(r.status, 2) << "x is no ZIP code";
    EXPECT_EQ(r.out, "zip,state,distance_miles,distance_km\r\n84102,UT,2.0,3.2\r\n"
                     "10001,NY,1973.1,3175.4\r\n09001,AE,,\r\nx,,,\r\n");
    r = Geo({"lookup", "--distance-from=40.75621,-111.90090", "84102"});
    EXPECT_EQ(r.out, "zip,city,state,county,area_code,utc_offset,dst,distance_miles,"
                     "distance_km\r\n84102,Salt Lake City,UT,Salt Lake,801,-7,true,2.0,3.2\r\n");
    r = Geo({"lookup", "--distance-from", "09001", "84102"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
}

TEST(CliShow, EverythingAboutEachZipCode) {
    Outcome r = Geo({"show", "99591", "--json"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"zip\": \"99591\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"counties\": [{\"name\": \"Aleutians West\", \"fips\": \"02016\"}, "
                         "{\"name\": \"North Slope\", \"fips\": \"02185\"}]"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"other_cities\": [\"St George Island\", \"St. George Island\"]"),
              std::string::npos);
    EXPECT_NE(r.out.find("\"kind\": \"po_box_or_unique\""), std::string::npos);
    EXPECT_NE(r.out.find("\"time_zone\": \"America/Anchorage\""), std::string::npos);
    EXPECT_NE(r.out.find("\"nearest\": [{\"zip\": \"99546\""), std::string::npos);

    r = Geo({"--csv", "show", "84101"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find("\r\n")),
              "zip,city,state,counties,county_fips,area_codes,other_cities,kind,latitude,"
              "longitude,time_zone,utc_offset,dst,local_time,nearest,nearest_miles,population,"
              "density");
    EXPECT_NE(r.out.find("\r\n84101,Salt Lake City,UT,Salt Lake,49035,801;385,,standard,"
                         "40.75621,-111.90090,America/Denver,-7,true,"),
              std::string::npos)
        << r.out;

    r = Geo({"show", "84101"});
    EXPECT_NE(r.out.find("Area Codes\n  Main: 801\n  Also: 385\n"), std::string::npos) << r.out;
}

TEST(CliShow, BadArgumentsAreNamedAndTheFoundPrinted) {
    // The worst text decides the exit status: 0 all answered, 1 one not found, 2 one that is
    // no ZIP code; the ones found are printed all the same
    Outcome r = Geo({"show", "84101", "12345", "abc", "09001"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("Zip Code: 84101"), std::string::npos);
    EXPECT_NE(r.err.find("\"12345\""), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("\"abc\""), std::string::npos);
    EXPECT_NE(r.err.find("\"09001\""), std::string::npos);
    r = Geo({"show", "12345", "abc"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    r = Geo({"show", "84101", "12345"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Zip Code: 84101"), std::string::npos);
    EXPECT_EQ(Geo({"show", "84101", "09001"}).status, 1);
    EXPECT_EQ(Geo({"show", "12345"}).status, 1);
    EXPECT_EQ(Geo({"show", "84101", "84102"}).status, 0);
    EXPECT_EQ(Geo({"show"}).status, 2);

    // A damaged facts file ends the run with its message.
    TempDir copy;
    for (const auto& f : std::filesystem::directory_iterator(fixtureDir("points")))
        std::filesystem::copy_file(f.path(), copy.path() / f.path().filename());
    copy.write("ZIPFACTS.DAT", "broken");
    r = Geo({"show", "84101"}, std::nullopt, copy.str());
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("File containing ZIP code facts is corrupt."), std::string::npos) << r.err;
}

TEST(CliKinds, NearestIsStandardUnlessAskedAndNearChoosesKinds) {
    // 84110, a post-office box, shares 84101's point: asked for boxes, nearest answers it.
    Outcome r = Geo({"nearest", "40.75621,-111.9009", "--kind", "po_box_or_unique"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\n84110 Salt Lake City, UT"), std::string::npos) << r.out;
    r = Geo({"nearest", "40.75621,-111.9009"});
    EXPECT_NE(r.out.find("\n84101 Salt Lake City, UT"), std::string::npos) << r.out;
    // St George Island is a box: the nearest to its own point is another ZIP code by default.
    r = Geo({"nearest", "56.5986,-169.5655"});
    EXPECT_EQ(r.out.find("99591"), std::string::npos) << r.out;
    r = Geo({"nearest", "56.5986,-169.5655", "--kind", "all"});
    EXPECT_NE(r.out.find("\n99591 Saint George Island, AK"), std::string::npos) << r.out;

    r = Geo({"near", "84101"});
    EXPECT_NE(r.out.find("84110"), std::string::npos);
    r = Geo({"near", "84101", "--kind", "standard"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("84110"), std::string::npos) << r.out;
    r = Geo({"near", "84101", "--kind", "standard,po_box_or_unique"});
    EXPECT_NE(r.out.find("84110"), std::string::npos);

    r = Geo({"near", "84101", "--kind", "boxes"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--kind takes all or a comma list"), std::string::npos) << r.err;
    EXPECT_EQ(Geo({"distance", "84101", "84102", "--kind", "all"}).status, 2);
    EXPECT_NE(Query({"nearest", "--help"}).out.find("nearest: standard"), std::string::npos);
}

TEST(CliLookup, FactColumns) {
    Outcome r = Geo({"lookup", "--columns",
                     "kind,time_zone,other_counties,other_area_codes,other_cities,city", "99591",
                     "10001", "09001"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "zip,kind,time_zone,other_counties,other_area_codes,other_cities,city\r\n"
                     "99591,po_box_or_unique,America/Anchorage,North Slope,,"
                     "St George Island;St. George Island,Saint George Island\r\n"
                     "10001,standard,America/New_York,,332;646;917,,New York\r\n"
                     "09001,military,,,,,APO\r\n");
    // The default columns are as they were; data without facts leaves the new ones empty.
    EXPECT_EQ(Geo({"lookup", "84101"}).out, "zip,city,state,county,area_code,utc_offset,dst\r\n"
                                            "84101,Salt Lake City,UT,Salt Lake,801,-7,true\r\n");
    r = Geo({"lookup", "--columns", "kind,city", "84101"}, std::nullopt, fixtureDir("small"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(r.out.find("\r\n") + 2, 7), "84101,,");
    EXPECT_EQ(Geo({"lookup", "--columns", "kinds", "84101"}).status, 2);
}

namespace {

// The ZIP codes of a nearby list's lines, in order.
std::vector<std::string> ListedZips(const std::string& out) {
    std::vector<std::string> zips;
    std::size_t at = out.find('\n') + 1;
    while (at < out.size()) {
        const std::size_t end = out.find('\n', at);
        if (end - at > 5 && out[at + 5] == ' ' &&
            std::all_of(out.begin() + std::ptrdiff_t(at), out.begin() + std::ptrdiff_t(at + 5),
                        [](unsigned char c) { return std::isdigit(c); }))
            zips.push_back(out.substr(at, 5));
        at = end + 1;
    }
    return zips;
}

} // namespace

TEST(CliReach, ARadiusListsWhatNearListsWithThePeople) {
    for (const std::vector<std::string>& radius :
         {std::vector<std::string>{"--miles", "10"}, {"--km", "25"}, {"--miles", "3000"}}) {
        std::vector<std::string> nearArgs = {"near", "84101"}, reachArgs = {"reach", "84101"};
        nearArgs.insert(nearArgs.end(), radius.begin(), radius.end());
        reachArgs.insert(reachArgs.end(), radius.begin(), radius.end());
        const Outcome near = Geo(nearArgs), reach = Geo(reachArgs);
        EXPECT_EQ(reach.status, 0) << reach.err;
        EXPECT_EQ(ListedZips(reach.out), ListedZips(near.out)) << reach.out;
        EXPECT_EQ(reach.out.substr(0, reach.out.find('\n')),
                  near.out.substr(0, near.out.find('\n')));
    }
    Outcome r = Geo({"reach", "84101", "--miles", "10"});
    EXPECT_EQ(r.out, "Zip Codes Within 10 Miles Of 84101\n"
                     "84101 Salt Lake City, UT  0.0 mi (0.0 km)  7,358 people, 7,358 so far\n"
                     "84110 Salt Lake City, UT  0.0 mi (0.0 km)  no figure, 7,358 so far\n"
                     "84102 Salt Lake City, UT  2.0 mi (3.2 km)  19,165 people, 26,523 so far\n"
                     "3 ZIP codes, 26,523 people, within 10.0 mi (16.1 km)\n");
    r = Geo({"reach", "84101", "--miles", "10", "--kind", "standard"});
    EXPECT_EQ(ListedZips(r.out), (std::vector<std::string>{"84101", "84102"}));

    r = Geo({"reach", "84101", "--km", "4", "--csv"});
    EXPECT_EQ(r.out, "zip,city,state,miles,km,population,people_so_far\r\n"
                     "84101,Salt Lake City,UT,0.0,0.0,7358,7358\r\n"
                     "84110,Salt Lake City,UT,0.0,0.0,,7358\r\n"
                     "84102,Salt Lake City,UT,2.0,3.2,19165,26523\r\n");
    r = Geo({"reach", "84101", "--km", "1", "--json"});
    EXPECT_EQ(r.out,
              "[\n  {\"zip\": \"84101\", \"city\": \"Salt Lake City\", \"state\": \"UT\", "
              "\"miles\": 0.0, \"km\": 0.0, \"population\": 7358, \"people_so_far\": 7358},\n"
              "  {\"zip\": \"84110\", \"city\": \"Salt Lake City\", \"state\": \"UT\", "
              "\"miles\": 0.0, \"km\": 0.0, \"population\": null, \"people_so_far\": 7358}\n"
              "]\n");
    // Nothing within the radius: the no-match line, no total, and 1.
    r = Geo({"reach", "0,0", "--miles", "10"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Zip Codes Within 10 Miles Of 0,0\nNo matching zip codes found.\n");
}

TEST(CliReach, PeopleGrowTheCircleUntilTheyAreReached) {
    // 84110 lies at 84101's very point: the two go in together.
    Outcome r = Geo({"reach", "84101", "--people", "7358"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Zip Codes Within 0 Miles Of 84101\n"
                     "84101 Salt Lake City, UT  0.0 mi (0.0 km)  7,358 people, 7,358 so far\n"
                     "84110 Salt Lake City, UT  0.0 mi (0.0 km)  no figure, 7,358 so far\n"
                     "2 ZIP codes, 7,358 people, within 0.0 mi (0.0 km)\n");
    // One more person takes 84102; one more than those two hold takes Sandy.
    r = Geo({"reach", "84101", "--people", "7359"});
    EXPECT_EQ(ListedZips(r.out), (std::vector<std::string>{"84101", "84110", "84102"}));
    EXPECT_NE(r.out.find("\n3 ZIP codes, 26,523 people, within 2.0 mi (3.2 km)\n"),
              std::string::npos)
        << r.out;
    r = Geo({"reach", "84101", "--people", "26524"});
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "Zip Codes Within 12.2 Miles Of 84101");
    EXPECT_NE(r.out.find("\n4 ZIP codes, 56,913 people, within 12.2 mi (19.7 km)\n"),
              std::string::npos)
        << r.out;
    // From a point the nearest ZIP code comes first; --kind as near takes it.
    r = Geo({"reach", "40.75621,-111.9009", "--people", "1", "--kind", "standard", "--csv"});
    EXPECT_EQ(r.out, "zip,city,state,miles,km,population,people_so_far\r\n"
                     "84101,Salt Lake City,UT,0.0,0.0,7358,7358\r\n");

    // More people than the data holds: said with the total, and 1.
    r = Geo({"reach", "84101", "--people", "1000000"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "corvana-query: the ZIP codes of the data hold 97,264 people, fewer than "
                     "1,000,000\n");
    // A centre without a position.
    r = Geo({"reach", "09001", "--people", "10"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("has no location"), std::string::npos) << r.err;
}

TEST(CliReach, BadInputIsNamedWithExitTwo) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"reach", "84101", "--people", "0"},
             {"reach", "84101", "--people", "-5"},
             {"reach", "84101", "--people", "1.5"},
             {"reach", "84101", "--people", "1e6"},
             {"reach", "84101", "--people", ""},
             {"reach", "84101", "--people", "1000000000000000000000"},
             {"reach", "84101", "--people", "ten"},
             {"reach", "84101", "--miles", "5", "--people", "10"},
             {"reach", "84101", "--people", "10", "--km", "5"},
             {"reach", "84101"},
             {"reach", "--people", "10"},
             {"reach", "84101", "84102", "--people", "10"},
             {"reach", "841", "--people", "10"},
             {"reach", "84101", "--miles", "0"},
             {"reach", "84101", "--people", "10", "--limit", "3"},
             {"near", "84101", "--people", "10"},
             {"zip", "841", "--sort", "name"},
             {"near", "84101", "--sort", "population"},
         }) {
        const Outcome r = Geo(args);
        std::string line;
        for (const std::string& a : args)
            line += a + " ";
        EXPECT_EQ(r.status, 2) << line;
        EXPECT_EQ(r.out, "") << line;
        EXPECT_EQ(r.err.rfind("corvana-query: ", 0), 0u) << line << ": " << r.err;
    }
    Outcome r = Geo({"reach", "84101", "--people", "0"});
    EXPECT_NE(r.err.find("--people takes a whole number from 1 up, not \"0\""), std::string::npos)
        << r.err;
    r = Geo({"reach", "84101", "--miles", "5", "--people", "10"});
    EXPECT_NE(r.err.find("--miles and --people exclude each other"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Try 'corvana-query reach --help'."), std::string::npos) << r.err;
    r = Geo({"reach", "--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
              "Usage: corvana-query [OPTIONS] reach ZIP|LAT,LON --miles R | --km R | --people N");
    EXPECT_NE(r.out.find("  --people N"), std::string::npos);
}

TEST(CliPeople, ShowLookupAndSortCarryTheFigures) {
    Outcome r = Geo({"show", "84101"});
    EXPECT_NE(r.out.find("\nPopulation\n  Population: 7,358\n"
                         "  Density: 3,989 people per sq mi (1,540 per km\xC2\xB2)\n"),
              std::string::npos)
        << r.out;
    // Without a figure the group is left out, as every fact the data lacks is.
    r = Geo({"show", "84110"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.find("Population"), std::string::npos);
    r = Geo({"show", "84101", "84110", "--json"});
    EXPECT_NE(r.out.find("\"population\": 7358, \"density\": 3989.1"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"population\": null, \"density\": null"), std::string::npos);
    r = Geo({"show", "84101", "--csv"});
    EXPECT_NE(r.out.find(",nearest,nearest_miles,population,density\r\n"), std::string::npos);
    EXPECT_TRUE(r.out.ends_with(",7358,3989.1\r\n")) << r.out;

    r = Geo(
        {"lookup", "--columns", "state,population,density", "84101", "84110", "10001", "99999"});
    EXPECT_EQ(r.out, "zip,state,population,density\r\n84101,UT,7358,3989.1\r\n84110,UT,,\r\n"
                     "10001,NY,27004,43288.0\r\n99999,,,\r\n");

    // The biggest first, those without a figure last; the other lines stay where they were.
    r = Geo({"county", "salt lake", "--sort", "population"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ListedZips(r.out), (std::vector<std::string>{"84070", "84102", "84101", "84110"}))
        << r.out;
    r = Geo({"zip", "841", "--sort", "population", "--csv"});
    EXPECT_EQ(r.out.find("84102"), r.out.find("\r\n") + 2) << r.out;
    EXPECT_LT(r.out.find("84101"), r.out.find("84110")) << r.out;
    r = Geo({"zip", "8", "--sort", "population"});
    EXPECT_EQ(r.out, Geo({"zip", "8"}).out);
}
