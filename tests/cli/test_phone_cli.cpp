// corvana-query phone and lookup --phone-column, run as a user runs them, on the fixture with
// telephone exchanges and a user in Mountain time who keeps summer time, so that the calling
// hours come out the same on every day of the year.

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

using namespace corvana::test;

namespace {

using Outcome = QueryOutcome;

class PhoneCli {
public:
    explicit PhoneCli(const std::string& data = fixtureDir("phone")) : data_(data) {
        work_.write("mountain.ini", "[Preferences]\nShow County=No\nShow Area Code=No\n"
                                    "Show Time Zone=No\nShow Current Time=No\n"
                                    "[Time Zone]\nTime Zone=5\nDaylight Savings=Yes\n");
    }

    Outcome run(const std::vector<std::string>& args,
                const std::optional<std::string>& input = std::nullopt) const {
        std::vector<std::string> all = {"--data", data_, "--settings",
                                        (work_.path() / "mountain.ini").string()};
        all.insert(all.end(), args.begin(), args.end());
        return RunQuery(work_, all, input);
    }

private:
    TempDir work_;
    std::string data_;
};

// The local times and whether a call may be made now change with the clock: in the text of an
// answer each zone's time becomes "T" and the answer after "callable now:" becomes "B".
std::string Steady(const std::string& text) {
    std::string out;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        std::string line = text.substr(at, end - at);
        if (line.starts_with("  zone:") && line.size() > 8 && line[line.size() - 3] == ':')
            line = line.substr(0, line.size() - 8) + "T";
        if (line.starts_with("  callable now:"))
            line = "  callable now:   B";
        out += line + (end < text.size() ? "\n" : "");
        at = end + 1;
    }
    return out;
}

// The same for CSV rows: the times of column `timeColumn` become "T" (each of a ';' list), and a
// last field of true or false becomes "B". Fields hold no commas here.
std::string SteadyCsv(const std::string& text, std::size_t timeColumn) {
    std::string out;
    std::size_t at = 0;
    bool header = true;
    while (at < text.size()) {
        std::size_t end = std::min(text.find('\n', at), text.size());
        std::string line = text.substr(at, end - at);
        const bool cr = line.ends_with('\r');
        if (cr)
            line.pop_back();
        std::vector<std::string> fields;
        for (std::size_t from = 0;;) {
            const std::size_t comma = line.find(',', from);
            fields.push_back(line.substr(from, comma - from));
            if (comma == std::string::npos)
                break;
            from = comma + 1;
        }
        if (!header && timeColumn < fields.size() && !fields[timeColumn].empty()) {
            std::string& times = fields[timeColumn];
            for (std::size_t i = 0; i + 8 <= times.size(); ++i)
                if (times[i + 2] == ':' && times[i + 5] == ':')
                    times.replace(i, 8, "T");
        }
        if (!header && (fields.back() == "true" || fields.back() == "false"))
            fields.back() = "B";
        header = false;
        for (std::size_t i = 0; i < fields.size(); ++i)
            out += (i ? "," : "") + fields[i];
        out += std::string(cr ? "\r" : "") + (end < text.size() ? "\n" : "");
        at = end + 1;
    }
    return out;
}

// Newfoundland's abbreviation follows the season of the clock: the winter one stands for both.
std::string Winter(std::string text) {
    for (std::size_t at = text.find(" NDT"); at != std::string::npos; at = text.find(" NDT", at))
        text.replace(at + 2, 1, "S");
    return text;
}

} // namespace

TEST(PhoneCli, WhereAndWhenANumberRings) {
    PhoneCli cli;
    Outcome r = cli.run({"phone", "(208) 334-1234"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Steady(r.out), "(208) 334-1234\n"
                             "  area code:      208\n"
                             "  place:          Boise, ID\n"
                             "  state:          ID\n"
                             "  zone:           MST  T\n"
                             "  calling hours:  8:00 to 21:00 your time\n"
                             "  callable now:   B\n");
    EXPECT_EQ(r.err, "");

    // An unplaced exchange of a split area code: both zones, and the hours that hold in both.
    // Pensacola is an hour ahead of the user, Tallahassee two.
    r = cli.run({"phone", "208-999-1234", "850-432-1234", "850.222.1234", "800-555-1234"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Steady(r.out), "(208) 999-1234\n"
                             "  area code:      208\n"
                             "  place:          area code only\n"
                             "  state:          ID\n"
                             "  zone:           MST  T\n"
                             "  zone:           PST  T\n"
                             "  calling hours:  9:00 to 21:00 your time\n"
                             "  callable now:   B\n"
                             "\n"
                             "(850) 432-1234\n"
                             "  area code:      850\n"
                             "  place:          Pensacola, FL\n"
                             "  state:          FL\n"
                             "  zone:           CST  T\n"
                             "  calling hours:  7:00 to 20:00 your time\n"
                             "  callable now:   B\n"
                             "\n"
                             "(850) 222-1234\n"
                             "  area code:      850\n"
                             "  place:          Tallahassee, FL\n"
                             "  state:          FL\n"
                             "  zone:           EST  T\n"
                             "  calling hours:  6:00 to 19:00 your time\n"
                             "  callable now:   B\n"
                             "\n"
                             "(800) 555-1234\n"
                             "  area code:      800\n"
                             "  place:          toll-free: no place\n");
}

TEST(PhoneCli, HoursCsvJsonAndZipCodes) {
    PhoneCli cli;
    Outcome r = cli.run({"phone", "--hours", "9-20", "--csv", "208 334 1234", "208.765.1234"});
    EXPECT_EQ(r.status, 0) << r.err;
    // The place is its name, as the text gives it (quoted for its comma), and the source says
    // where the answer comes from. The time column is counted with the place's comma.
    EXPECT_EQ(SteadyCsv(r.out, 10),
              "number,area_code,place,source,city,state,country,zones,time_zones,"
              "local_time,calling_hours,callable_now\r\n"
              "(208) 334-1234,208,\"Boise, ID\",exchange,Boise,ID,US,MST,,T,9:00 to 20:00,B\r\n"
              "(208) 765-1234,208,\"Coeur d'Alene, ID\",exchange,Coeur d'Alene,ID,US,PST,,T,"
              "10:00 to 21:00,B\r\n");

    // Codes are strings and lists are arrays, as in every command's JSON; a toll-free number has
    // no place of its own.
    r = cli.run({"phone", "--json", "888-555-1234"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "[\n  {\"number\": \"(888) 555-1234\", \"area_code\": \"888\", "
                     "\"place\": null, \"source\": \"toll-free\", \"city\": null, "
                     "\"state\": null, \"country\": null, \"zones\": [], \"time_zones\": [], "
                     "\"local_time\": [], \"calling_hours\": null, \"callable_now\": null}\n]\n");
    r = cli.run({"phone", "--json", "850-222-1234"});
    EXPECT_NE(r.out.find("\"place\": \"Tallahassee, FL\", \"source\": \"exchange\""),
              std::string::npos)
        << r.out;

    // The ZIP codes of the place: Boise Heights begins with the name but is another city.
    r = cli.run({"phone", "--zips", "208-334-1234"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\n\nZip Codes For (208) 334-1234\n83702 Boise, ID\n83704 Boise, ID\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("83716"), std::string::npos);
    r = cli.run({"phone", "--zips", "--csv", "208-765-1234", "208-999-1234"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
              "phone,zip,city,state,county,area_code,zone,utc_offset,dst,local_time\r");
    EXPECT_NE(r.out.find("\n(208) 765-1234,83814,Coeur d'Alene,ID,"), std::string::npos);
    EXPECT_NE(r.out.find("\n(208) 999-1234,83716,Boise Heights,ID,"), std::string::npos);

    for (const char* bad : {"9", "20-9", "8-25"}) {
        r = cli.run({"phone", "--hours", bad, "208-334-1234"});
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_NE(r.err.find("--hours takes two whole hours"), std::string::npos) << r.err;
    }
    r = cli.run({"near", "--hours", "9-20", "84101"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--hours does not apply to near"), std::string::npos) << r.err;
}

// A number of Canada: its province and country, Newfoundland's half hour, and no ZIP codes. A
// number of the plan whose area code the data lacks is still answered, with status 0.
TEST(PhoneCli, ElsewhereInThePlan) {
    PhoneCli cli;
    Outcome r = cli.run({"phone", "709-722-1234", "709-555-1234", "416-979-1234"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Winter(Steady(r.out)), "(709) 722-1234\n"
                                     "  area code:      709\n"
                                     "  place:          St. John's, NL\n"
                                     "  state:          NL\n"
                                     "  country:        CA\n"
                                     "  zone:           GMT -03:30 NST  T\n"
                                     "  calling hours:  4:30 to 17:30 your time\n"
                                     "  callable now:   B\n"
                                     "\n"
                                     "(709) 555-1234\n"
                                     "  area code:      709\n"
                                     "  place:          area code only\n"
                                     "  state:          NL\n"
                                     "  country:        CA\n"
                                     "  zone:           GMT -03:30 NST  T\n"
                                     "  calling hours:  4:30 to 17:30 your time\n"
                                     "  callable now:   B\n"
                                     "\n"
                                     "(416) 979-1234\n"
                                     "  area code:      416\n"
                                     "  place:          area code not in this data\n");
    r = cli.run({"phone", "--json", "709-722-1234"});
    EXPECT_NE(r.out.find("\"state\": \"NL\", \"country\": \"CA\", \"zones\": [\"GMT -03:30 "),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"time_zones\": [\"America/St_Johns\"]"), std::string::npos) << r.out;
    r = cli.run({"phone", "--zips", "709-722-1234"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Zip Codes For (709) 722-1234\nNo matching zip codes found.\n"),
              std::string::npos)
        << r.out;
}

TEST(PhoneCli, MalformedNumbersAndDataWithoutExchanges) {
    PhoneCli cli;
    Outcome r = cli.run({"phone", "208-111-1234", "850 222 1234", "+44 20 7946 0000", "call me"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("  place:          Tallahassee, FL\n"), std::string::npos);
    EXPECT_EQ(r.err,
              "corvana-query phone: \"208-111-1234\": An exchange cannot begin with 0 or 1.\n"
              "corvana-query phone: \"+44 20 7946 0000\": The number is outside the North "
              "American Numbering Plan (country code 1).\n"
              "corvana-query phone: \"call me\": A telephone number holds only digits, blanks "
              "and the signs ( ) - . + and an extension.\n");
    r = cli.run({"phone"});
    EXPECT_EQ(r.status, 2);

    PhoneCli without(fixtureDir("small"));
    r = without.run({"phone", "208-334-1234"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "FATAL ERROR: This data has no telephone exchanges.\n");
    EXPECT_EQ(r.out, "");

    TempDir damaged;
    for (const auto& f : std::filesystem::directory_iterator(fixtureDir("phone")))
        std::filesystem::copy(f.path(), damaged.path() / f.path().filename());
    const std::string whole = readFile(damaged.path() / "EXCHANGE.DAT");
    damaged.write("EXCHANGE.DAT", whole.substr(0, whole.size() - 3));
    PhoneCli broken(damaged.str());
    r = broken.run({"phone", "208-334-1234"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "FATAL ERROR: File containing telephone exchanges is corrupt.\n");
    r = broken.run({"lookup", "--phone-column", "phone"}, "phone\n208-334-1234\n");
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "");
}

TEST(PhoneCli, LookupKeepsEveryRowAndCountsEachSort) {
    PhoneCli cli;
    const std::string in = "name,Phone,place\r\n"
                           "a,(208) 334-1234,x\r\n"
                           "b,\"208-999-1234\",y\r\n"
                           "c,800-555-1234,z\r\n"
                           "d,416-555-1234,w\r\n"
                           "e,not a number,v\r\n"
                           "f\r\n"
                           "g,208 765 1234 ext. 9,u\r\n"
                           "h,709-722-1234,t\r\n";
    Outcome r = cli.run({"lookup", "--phone-column", "phone"}, in);
    EXPECT_EQ(r.status, 1) << r.err;
    // A column named like an appended one keeps its name; the appended one takes phone_.
    EXPECT_EQ(Winter(SteadyCsv(r.out, 8)),
              "name,Phone,place,phone_place,state,country,zones,time_zones,"
              "local_time,callable_now\r\n"
              "a,(208) 334-1234,x,Boise,ID,US,MST,,T,B\r\n"
              "b,\"208-999-1234\",y,,ID,US,MST;PST,,T;T,B\r\n"
              "c,800-555-1234,z,,,,,,,\r\n"
              "d,416-555-1234,w,,,,,,,\r\n"
              "e,not a number,v,,,,,,,\r\n"
              "f,,,,,,,,,\r\n"
              "g,208 765 1234 ext. 9,u,Coeur d'Alene,ID,US,PST,,T,B\r\n"
              "h,709-722-1234,t,St. John's,NL,CA,GMT -03:30 NST,"
              "America/St_Johns,T,B\r\n");
    EXPECT_EQ(r.err, "corvana-query lookup: 8 rows read, 3 placed, 1 area code only, 1 toll-free, "
                     "1 not in this data, 2 malformed\n");

    // Every number read: status 0. Hours round the clock may be called at any time.
    r = cli.run({"lookup", "--phone-column", "phone", "--hours", "0-24"}, "phone\n850-222-1234\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(SteadyCsv(r.out, 6),
              "phone,place,state,country,zones,time_zones,local_time,callable_now\n"
              "850-222-1234,Tallahassee,FL,US,EST,,T,B\n");
    EXPECT_TRUE(r.out.ends_with(",true\n")) << r.out;
}

TEST(PhoneCli, LookupRefusesWhatItCannotDo) {
    PhoneCli cli;
    Outcome r = cli.run({"lookup", "--phone-column", "tel"}, "phone\n208-334-1234\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "corvana-query lookup: line 1: the header has no column named \"tel\"\n");
    r = cli.run({"lookup", "--phone-column", "phone"}, "phone\n208-334-1234,extra\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("line 2: 2 fields where the header has 1"), std::string::npos) << r.err;
    r = cli.run({"lookup", "--phone-column", "phone", "--column", "zip"}, "phone,zip\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--column does not go with --phone-column"), std::string::npos);
    r = cli.run({"lookup", "--hours", "9-20"}, "zip\n84101\n");
    EXPECT_EQ(r.status, 2);
    r = cli.run({"lookup", "--phone-column", "phone", "208-334-1234"});
    EXPECT_EQ(r.status, 2);
}
