// corvana-mkdata's exchange table: EXCHANGE.DAT from a table as the importer writes it, the line
// of every fault, and a set built without the table has no exchange file.
#include "TestUtil.h"

#include "data/Exchanges.h"
#include "mkdata/Builder.h"
#include "mkdata/ExchangeTable.h"
#include "text/Win1252.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <stdexcept>

using namespace corvana;
using namespace corvana::mkdata;
using namespace corvana::test;

namespace {

const std::string Head = "area_code,exchange,city,state,zones,source\n";

std::string errorOf(const std::string& csv) {
    try {
        BuildExchangeFile(csv);
    } catch (const InputError& e) {
        return e.what();
    }
    return "built";
}

std::span<const std::uint8_t> Bytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

} // namespace

TEST(MkdataExchanges, TheTableAsTheImporterWritesIt) {
    const std::string csv = "\xEF\xBB\xBF" + Head +
                            "208,,,ID,-7:Y;-8:Y,table\r\n"
                            "208,334,Boise,ID,-7:Y,table\r\n"
                            "\r\n"
                            "928,,,AZ,-7:N;-7:Y,table\n"
                            "787,,,PR,-4:N,table\n"
                            "787,200,\"Bayam\xC3\xB3n, Norte\",PR,+-4:N,table\n";
    EXPECT_EQ(errorOf(csv), "line 7: bad zone \"+-4:N\" (OFFSET:Y or OFFSET:N, the offset from "
                            "-11 to 12, wanted)");
    const std::string fixed = csv.substr(0, csv.rfind("+-4")) + "-4:N\n";
    const std::string bytes = BuildExchangeFile(fixed);
    const auto ex = Exchanges::fromBytes(Bytes(bytes));
    ASSERT_TRUE(ex);
    EXPECT_EQ(ex->areaCount(), 3u);
    EXPECT_EQ(ex->find(208, 334)->place->city, "Boise");
    // Windows-1252, as every name of the data files.
    EXPECT_EQ(ex->find(787, 200)->place->city, "Bayam\xF3n, Norte");
    EXPECT_EQ(ex->find(928, 500)->zones.count, 2);
    EXPECT_EQ(ex->find(787, 500)->areaState, "PR");
    // The source column may be left out, and the columns come in any order.
    EXPECT_EQ(errorOf("zones,state,city,exchange,area_code\n-7:Y,ID,,,208\n"), "built");
}

TEST(MkdataExchanges, FaultsNameTheirLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "the exchange table is empty: no header line"},
        {"area_code,exchange,city,state\n", "line 1: missing column \"zones\""},
        {Head + "20,,,ID,-7:Y,t\n", "line 2: bad area_code \"20\" (three digits from 200 to 999 "
                                    "wanted)"},
        {Head + "199,,,ID,-7:Y,t\n", "line 2: bad area_code \"199\" (three digits from 200 to "
                                     "999 wanted)"},
        {Head + "208,,,ID,-7:Y,t\n208,1x4,Boise,ID,-7:Y,t\n",
         "line 3: bad exchange \"1x4\" (three digits from 200 to 999 wanted)"},
        {Head + "208,,,Idaho,-7:Y,t\n", "line 2: bad state \"Idaho\" (two capital letters wanted)"},
        {Head + "208,,,ID,-7:Y,t\n208,334,Boise,,-7:Y,t\n",
         "line 3: bad state \"\" (two capital letters wanted)"},
        {Head + "208,,,ID,,t\n",
         "line 2: bad zone \"\" (OFFSET:Y or OFFSET:N, the offset from -11 to 12, wanted)"},
        {Head + "208,,,ID,-7:Y;-13:N,t\n",
         "line 2: bad zone \"-13:N\" (OFFSET:Y or OFFSET:N, the offset from -11 to 12, wanted)"},
        {Head + "208,,,ID,-7:y,t\n",
         "line 2: bad zone \"-7:y\" (OFFSET:Y or OFFSET:N, the offset from -11 to 12, wanted)"},
        {Head + "208,,,ID,-5:Y;-6:Y;-7:Y;-8:Y,t\n", "line 2: more than 3 zones"},
        {Head + "208,,,ID,-7:Y,t\n208,334,,ID,-7:Y,t\n",
         "line 3: city \"\" is empty or longer than 253 bytes"},
        {Head + "208,,,ID,-7:Y,t\n208,334,\xE2\x82\xAC\xE2\x98\x83,ID,-7:Y,t\n",
         "line 3: city \"\xE2\x82\xAC\xE2\x98\x83\" is not UTF-8 that Windows-1252 can "
         "represent"},
        {Head + "208,,,ID,-7:Y,t\n208,334,\"Bo\nise\",ID,-7:Y,t\n",
         "line 3: city \"Bo\nise\" holds a control character"},
        // C1 controls are UTF-8 that Windows-1252 can hold, and controls all the same.
        {Head + "208,,,ID,-7:Y,t\n208,334,Bo\xC2\x81ise,ID,-7:Y,t\n",
         "line 3: city \"Bo\xC2\x81ise\" holds a control character"},
        {Head + "208,,,ID,-7:Y,t\n208,334,Bo\x7Fise,ID,-7:Y,t\n",
         "line 3: city \"Bo\x7Fise\" holds a control character"},
        {Head + "208,,,ID,-7:Y,t\n208,334," + std::string(254, 'x') + ",ID,-7:Y,t\n",
         "line 3: city \"" + std::string(254, 'x') + "\" is empty or longer than 253 bytes"},
        {Head + "208,,,ID,-7:Y,t\n208,334,Boise,Id,-7:Y,t\n",
         "line 3: bad state \"Id\" (two capital letters wanted)"},
        {Head + "208,,,ID,+13:N,t\n",
         "line 2: bad zone \"+13:N\" (OFFSET:Y or OFFSET:N, the offset from -11 to 12, wanted)"},
        {Head + "999,,,ID,-7:Y,t\n999,1000,Boise,ID,-7:Y,t\n",
         "line 3: bad exchange \"1000\" (three digits from 200 to 999 wanted)"},
        {Head + "208,,,ID,-7:Y,t\n208,334,Bo\"ise,ID,-7:Y,t\n",
         "line 3: a quote inside a field that does not begin with one"},
        {Head + "208,334,Boise,ID,-7:Y,t\n", "exchange 208-334: its area code has no zones"},
        {Head + "208,,,ID,-7:Y,t\n208,,,ID,-7:Y,t\n", "area code 208: given twice"},
    };
    for (const auto& [csv, message] : cases)
        EXPECT_EQ(errorOf(csv), message) << csv;
}

// The columns of version 2: zone names, countries, the name of an area code abroad, half-hour
// zones and places without a state outside the US.
TEST(MkdataExchanges, ZoneNamesAndTheRestOfThePlan) {
    const std::string head = "area_code,exchange,city,state,zones,source,time_zones,country\n";
    const std::string csv = head +
                            "208,,,ID,-7:Y;-8:Y,t,America/Boise;America/Los_Angeles,\n"
                            "709,,Newfoundland and Labrador,NL,-3:30:Y,t,America/St_Johns,CA\n"
                            "709,722,St. John's,NL,-3:30:Y,t,America/St_Johns,\n"
                            "876,,Jamaica,,-5:N,t,America/Jamaica,JM\n"
                            "876,922,Kingston,,-5:N,t,America/Jamaica,\n";
    const std::string bytes = BuildExchangeFile(csv);
    const auto ex = Exchanges::fromBytes(Bytes(bytes));
    ASSERT_TRUE(ex);
    EXPECT_EQ(ex->find(208, 500)->country, "US");
    EXPECT_EQ(ex->find(208, 500)->zones.names[1], "America/Los_Angeles");
    const auto stJohns = ex->find(709, 722);
    EXPECT_EQ(stJohns->country, "CA");
    // Filed under the whole hour west of it.
    EXPECT_EQ(stJohns->zones.codes[0], ZipRecord::zoneByte(8, true));
    EXPECT_EQ(stJohns->zones.names[0], "America/St_Johns");
    EXPECT_EQ(ex->find(709, 500)->areaName, "Newfoundland and Labrador");
    EXPECT_EQ(ex->find(876, 922)->place->state, "");
    EXPECT_EQ(ex->find(876, 500)->areaName, "Jamaica");

    const std::pair<std::string, std::string> cases[] = {
        {head + "208,,,ID,-7:Y;-8:Y,t,America/Boise,\n", "line 2: 1 time zones for 2 zones"},
        {head + "208,,,ID,-7:Y,t,America/../Boise,\n",
         "line 2: bad time zone \"America/../Boise\" (a name such as America/Boise wanted)"},
        {head + "208,,,ID,-7:Y,t,,us\n", "line 2: bad country \"us\" (two capital letters wanted)"},
        {head + "208,,,ID,-7:Y,t,,\n208,334,Boise,,-7:Y,t,,\n",
         "line 3: bad state \"\" (two capital letters wanted)"},
        {head + "208,,,ID,-3:45:Y,t,,\n",
         "line 2: bad zone \"-3:45:Y\" (OFFSET:Y or OFFSET:N, the offset from -11 to 12, wanted)"},
    };
    for (const auto& [text, message] : cases)
        EXPECT_EQ(errorOf(text), message) << text;
}

// The city's euro sign and dagger are Windows-1252 characters in the 0x80 row; the highest
// offset and the longest city still fit.
TEST(MkdataExchanges, TheEdgesOfWhatTheFileHolds) {
    const std::string city253 = std::string(250, 'x') + "\xE2\x82\xAC\xE2\x80\xA0";
    const std::string bytes =
        BuildExchangeFile(Head + "208,,,ID,+12:N;-11:Y,t\n208,334," + city253 +
                          ",ID,-7:Y,t\n999,999,Boise,ID,-7:Y,t\n999,,,,-7:Y,t\n");
    const auto ex = Exchanges::fromBytes(Bytes(bytes));
    ASSERT_TRUE(ex);
    EXPECT_EQ(ex->find(208, 334)->place->city, std::string(250, 'x') + "\x80\x86");
    EXPECT_EQ(ex->find(208, 500)->zones.count, 2);
    EXPECT_EQ(ex->find(999, 999)->place->city, "Boise");
}

// A place the table reader refuses never reaches the file some other way: the writer refuses
// the same cities and states, and takes the ones the reader takes.
TEST(MkdataExchanges, TheWriterRefusesWhatTheReaderRefuses) {
    const std::string cities[] = {"Boise",
                                  "Bo\xC2\x81ise",
                                  "Bo\xC2\x9Dise",
                                  "Bo\x7Fise",
                                  "\xE2\x82\xAC\xE2\x80\xA0",
                                  "\xC2\xA0"
                                  "Boise",
                                  std::string(253, 'x'),
                                  std::string(254, 'x'),
                                  "\"Bo\tise\"",
                                  "\"\""};
    const std::string states[] = {"ID", "Id", "I", "IDA", "1D"};
    const std::uint8_t mst = ZipRecord::zoneByte(5, true);
    for (const std::string& city : cities) {
        for (const std::string& state : states) {
            const bool read = errorOf(Head + "208,,,ID,-7:Y,t\n208,334," + city + "," + state +
                                      ",-7:Y,t\n") == "built";
            std::string value = city;
            if (value.front() == '"')
                value = value.substr(1, value.size() - 2);
            const auto text = Utf8ToWin1252(value);
            ASSERT_TRUE(text) << city;
            bool written = true;
            try {
                WriteExchangeFile({{208, "ID", {mst}}}, {{208, 334, *text, state, {mst}}});
            } catch (const std::invalid_argument&) {
                written = false;
            }
            EXPECT_EQ(read, written) << city << " " << state;
        }
    }
}

TEST(MkdataExchanges, TheCommandBuildsItOnlyWhenAsked) {
    TempDir dir;
    dir.write("zips.csv", "zip,city,state,county,area_code,utc_offset,dst,other_counties,"
                          "other_area_codes\n83702,Boise,ID,Ada,208,-7,Y,,\n");
    dir.write("ex.csv", Head + "208,,,ID,-7:Y,t\n208,334,Boise,ID,-7:Y,t\n");
    dir.write("bad.csv", Head + "208,,,ID,-7:Q,t\n");
    const std::string out = dir.str() + "/out";
    std::ostringstream sout, serr;
    ASSERT_EQ(RunMkdata({"--csv", dir.str() + "/zips.csv", "--out", out, "--date", "June 1996",
                         "--exchanges", dir.str() + "/ex.csv"},
                        sout, serr),
              0)
        << serr.str();
    DataSet data;
    data.dir = out;
    EXPECT_EQ(LoadExchanges(data).status, ExchangesStatus::Loaded);

    // A fault of the exchange table names that file and leaves the set as it was.
    EXPECT_EQ(RunMkdata({"--csv", dir.str() + "/zips.csv", "--out", out, "--date", "May 2001",
                         "--exchanges", dir.str() + "/bad.csv"},
                        sout, serr),
              1);
    EXPECT_NE(serr.str().find(dir.str() + "/bad.csv, line 2: bad zone \"-7:Q\""), std::string::npos)
        << serr.str();
    EXPECT_EQ(readFile(dir.path() / "out" / "ZIPVER.DAT").substr(0, 9), "June 1996");
    serr.str("");
    EXPECT_EQ(RunMkdata({"--csv", dir.str() + "/zips.csv", "--out", out, "--date", "May 2001",
                         "--exchanges", dir.str() + "/none.csv"},
                        sout, serr),
              1);
    EXPECT_NE(serr.str().find("cannot read " + dir.str() + "/none.csv"), std::string::npos);
    EXPECT_EQ(
        RunMkdata({"--csv", "a.csv", "--out", out, "--date", "x", "--exchanges", ""}, sout, serr),
        2);

    // A city with a C1 control is refused with its file and line, and no set is written.
    dir.write("c1.csv", Head + "208,,,ID,-7:Y,t\n208,334,Bo\xC2\x81ise,ID,-7:Y,t\n");
    serr.str("");
    EXPECT_EQ(RunMkdata({"--csv", dir.str() + "/zips.csv", "--out", out, "--date", "May 2001",
                         "--exchanges", dir.str() + "/c1.csv"},
                        sout, serr),
              1);
    EXPECT_EQ(serr.str(),
              "corvana-mkdata: " + dir.str() +
                  "/c1.csv, line 3: city \"Bo\xC2\x81ise\" holds a control character\n");
    EXPECT_EQ(readFile(dir.path() / "out" / "ZIPVER.DAT").substr(0, 9), "June 1996");

    // A set built without the table has no exchange file of an older set.
    ASSERT_EQ(RunMkdata({"--csv", dir.str() + "/zips.csv", "--out", out, "--date", "May 2001"},
                        sout, serr),
              0);
    EXPECT_EQ(LoadExchanges(data).status, ExchangesStatus::Missing);
}
