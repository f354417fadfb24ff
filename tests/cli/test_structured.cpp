#include "HandData.h"

#include "cli/StructuredOutput.h"

#include <gtest/gtest.h>

using namespace corvana;
using namespace corvana::cli;
using namespace corvana::test;

namespace {

struct Structured {
    SearchEnv env;
    SearchContext ctx() const {
        SearchContext c = env.ctx();
        c.keepFields = true;
        return c;
    }
    Table table(const SearchResult& r, bool countyMode = false) const {
        return TabulateResult(r, countyMode, env.settings, env.ctx().time);
    }
    std::string csv(const SearchResult& r, bool countyMode = false) const {
        return TableCsv(table(r, countyMode));
    }
    std::string json(const SearchResult& r, bool countyMode = false) const {
        return TableJson(table(r, countyMode));
    }
};

constexpr const char* ZipHeader =
    "zip,city,state,county,area_code,zone,utc_offset,dst,local_time\r\n";

} // namespace

TEST(Structured, ZipLinesFollowTheShowSwitches) {
    Structured s;
    s.env.settings.showCounty = s.env.settings.showAreaCode = true;
    s.env.settings.showTimeZone = s.env.settings.showCurrentTime = true;
    const SearchResult one = SearchTheZip("84101", s.ctx());
    EXPECT_EQ(
        s.json(one),
        "[\n  {\"zip\": \"84101\", \"city\": \"Salt Lake City\", \"state\": \"UT\", "
        "\"county\": \"Salt Lake\", \"area_code\": \"801\", \"zone\": \"MST\", \"utc_offset\": "
        "-7, \"dst\": true, \"local_time\": \"12:45:12\"}\n]\n");
    EXPECT_EQ(s.csv(one), std::string(ZipHeader) +
                              "84101,Salt Lake City,UT,Salt Lake,801,MST,-7,true,12:45:12\r\n");

    // A ZIP code without county, area code or zone: nulls, and empty CSV fields.
    const SearchResult bare = SearchTheZip("005", s.ctx());
    EXPECT_EQ(s.json(bare),
              "[\n  {\"zip\": \"00501\", \"city\": \"Holtsville\", \"state\": \"NY\", \"county\": "
              "null, \"area_code\": null, \"zone\": null, \"utc_offset\": null, \"dst\": null, "
              "\"local_time\": null}\n]\n");
    EXPECT_EQ(s.csv(bare), std::string(ZipHeader) + "00501,Holtsville,NY,,,,,,\r\n");

    // Everything switched off leaves the texts out but keeps the offset and the flag; capitals
    // apply to the names, and a Windows-1252 letter comes out as UTF-8.
    s.env.settings = PlainSettings();
    s.env.settings.citiesInCaps = true;
    EXPECT_EQ(s.csv(SearchTheArea("530", s.ctx())),
              std::string(ZipHeader) + "96001,ZU\xC3\xB1I,CA,,,,-8,false,\r\n");
    // The county search always shows the county.
    EXPECT_EQ(s.csv(SearchTheCounty("marion", s.ctx(), ""), true),
              std::string(ZipHeader) + "75657,JEFFERSON,TX,Marion,,,-6,false,\r\n"
                                       "97301,SALEM,OR,Marion,,,-8,false,\r\n");
    EXPECT_EQ(s.csv(SearchTheCity("salt", s.ctx(), "")),
              std::string(ZipHeader) + "84101,SALT LAKE CITY,UT,,,,-7,true,\r\n"
                                       "84102,SALT LAKE CITY,UT,,,,-7,true,\r\n"
                                       "84120,SALT LAKE CITY,UT,,,,-7,true,\r\n");
}

TEST(Structured, ListsOfEachModeAndEmptyResults) {
    Structured s;
    EXPECT_EQ(s.csv(SearchTheZip("8", s.ctx())), "state\r\nArizona\r\nTexas\r\nUtah\r\n");
    EXPECT_EQ(s.json(SearchTheZip("84", s.ctx())),
              "[\n  {\"prefix\": \"841\", \"city\": \"Salt Lake City, UT\"},\n"
              "  {\"prefix\": \"846\", \"city\": \"Salem, UT\"}\n]\n");
    EXPECT_EQ(s.csv(SearchTheCity("sa", s.ctx(), "")),
              "city\r\n\"Sal, AZ\"\r\n\"Salem, OR\"\r\n\"Salem, UT\"\r\n\"Salt Lake City, UT\"\r\n"
              "\"Saltdale, CA\"\r\n");
    EXPECT_EQ(s.json(SearchTheCounty("ma", s.ctx(), "")),
              "[\n  {\"county\": \"Marion, OR\"},\n  {\"county\": \"Marion, TX\"}\n]\n");
    EXPECT_EQ(s.csv(SearchTheCityWithState("a", s.ctx(), ChooseStates(s.env.data, "TX"))),
              "city\r\n\"Addison, TX\"\r\n\"Adrian, TX\"\r\n\"Allen, TX\"\r\n");

    // Two letters after a state list its ZIP codes under the same heading as the cities.
    EXPECT_EQ(s.csv(SearchTheCityWithState("ad", s.ctx(), ChooseStates(s.env.data, "TX"))),
              std::string(ZipHeader) + "75001,Addison,TX,,,,-6,false,\r\n"
                                       "79001,Adrian,TX,,,,-6,false,\r\n");

    // "No matching ..." is no row: the header alone, or an empty array.
    const SearchResult none = SearchTheZip("84199", s.ctx());
    EXPECT_EQ(s.csv(none), ZipHeader);
    EXPECT_EQ(s.json(none), "[]\n");
    EXPECT_EQ(s.json(SearchTheCity("zz", s.ctx(), "")), "[]\n");
    // A text too short to list anything: no table at all.
    const SearchResult hidden = SearchTheCity("s", s.ctx(), "");
    EXPECT_EQ(s.csv(hidden), "");
    EXPECT_EQ(s.json(hidden), "[]\n");
}

TEST(Structured, EscapingOfCsvAndJson) {
    Table t;
    t.columns = {"a", "b"};
    t.rows = {{Cell{Cell::Kind::Text, "say \"x\", then\nstop"},
               Cell{Cell::Kind::Text, std::string("tab\tback\\slash\x01", 15)}}};
    EXPECT_EQ(TableCsv(t), "a,b\r\n\"say \"\"x\"\", then\nstop\",tab\tback\\slash\x01\r\n");
    EXPECT_EQ(TableJson(t), "[\n  {\"a\": \"say \\\"x\\\", then\\u000astop\", \"b\": "
                            "\"tab\\u0009back\\\\slash\\u0001\"}\n]\n");
}
