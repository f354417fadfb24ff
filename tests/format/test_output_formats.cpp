#include "format/OutputFormats.h"

#include <gtest/gtest.h>

using namespace corvana;

namespace {

ZipDetails saltLake() {
    ZipDetails d;
    d.state = "UT";
    d.stateName = "Utah";
    d.county = "Salt Lake";
    d.areaCode = "801";
    d.zip = "84101";
    d.city = "Salt Lake City";
    d.timeZone = "MST";
    return d;
}

} // namespace

TEST(OutputFormats, TableHoldsTheThirtyThreeFormats) {
    ASSERT_EQ(OutputFormats.size(), 33u);
    EXPECT_EQ(OutputFormats[0], "[CITY], [STATE] [ZIP]");
    EXPECT_EQ(OutputFormats[1], "[CITY], [STATE]  [ZIP]");
    EXPECT_EQ(OutputFormats[8], "[ZIP]<TAB>[CITY]<TAB>[COUNTY]<TAB>[STATE]");
    EXPECT_EQ(OutputFormats[10], "[CITY], [LONG STATE]  [ZIP]");
    EXPECT_EQ(OutputFormats[26], "[TIME ZONE]");
    EXPECT_EQ(OutputFormats[32], "[AREA CODE] [TIME ZONE]");
    for (auto f : OutputFormats)
        EXPECT_LE(f.size(), 80u);
}

TEST(OutputFormats, EveryFieldOfTheTable) {
    const ZipDetails d = saltLake();
    EXPECT_EQ(BuildOutString(OutputFormats[0], d), "Salt Lake City, UT 84101");
    EXPECT_EQ(BuildOutString(OutputFormats[3], d), "Salt Lake City\r\nUT\r\n84101");
    EXPECT_EQ(BuildOutString(OutputFormats[4], d), "Salt Lake City\r\nUT\r\nSalt Lake\r\n84101");
    EXPECT_EQ(BuildOutString(OutputFormats[8], d), "84101\tSalt Lake City\tSalt Lake\tUT");
    EXPECT_EQ(BuildOutString(OutputFormats[10], d), "Salt Lake City, Utah  84101");
    EXPECT_EQ(BuildOutString(OutputFormats[31], d), "84101 801 MST Salt Lake City UT");
}

TEST(OutputFormats, EmptyFormatAndEmptyField) {
    ZipDetails d = saltLake();
    EXPECT_EQ(BuildOutString("", d), "");
    d.county.clear();
    EXPECT_EQ(BuildOutString(OutputFormats[8], d), "84101\tSalt Lake City\t\tUT");
}

TEST(OutputFormats, TextThatBeginsNoTokenIsCopied) {
    const ZipDetails d = saltLake();
    EXPECT_EQ(BuildOutString("[city]", d), "[city]");
    EXPECT_EQ(BuildOutString("[ZIP", d), "[ZIP");
    EXPECT_EQ(BuildOutString("[[ZIP]", d), "[84101");
    EXPECT_EQ(BuildOutString("[FOO]", d), "[FOO]");
    EXPECT_EQ(BuildOutString("<TAB", d), "<TAB");
    EXPECT_EQ(BuildOutString("<<TAB>>", d), "<\t>");
    EXPECT_EQ(BuildOutString("<tab>", d), "<tab>");
    EXPECT_EQ(BuildOutString("]>[", d), "]>[");
    EXPECT_EQ(BuildOutString("[LONG STATE", d), "[LONG STATE");
}

TEST(OutputFormats, KeyTokensVanish) {
    const ZipDetails d = saltLake();
    EXPECT_EQ(BuildOutString("A<BACKTAB>B", d), "AB");
    EXPECT_EQ(BuildOutString("<RIGHT ARROW>[ZIP]", d), "84101");
    EXPECT_EQ(BuildOutString("<BACKSPACE><LEFT ARROW><DEL CHAR>x", d), "x");
}

TEST(OutputFormats, FieldsAreNeverRescanned) {
    ZipDetails d = saltLake();
    d.city = "[STATE]<TAB>";
    EXPECT_EQ(BuildOutString("[CITY]", d), "[STATE]<TAB>");
    d.city = "[";
    EXPECT_EQ(BuildOutString("[CITY]ZIP]", d), "[ZIP]");
}

TEST(OutputFormats, OutputIsCutAt255) {
    ZipDetails d = saltLake();
    d.city = std::string(25, 'c');
    // Eleven cities (275 characters) keep only the first 255.
    std::string eleven;
    for (int i = 0; i < 11; ++i)
        eleven += "[CITY]";
    EXPECT_EQ(BuildOutString(eleven, d), std::string(255, 'c'));

    // 254 characters before a line break: the carriage return fits, the line feed does not.
    std::string ten;
    for (int i = 0; i < 10; ++i)
        ten += "[CITY]";
    std::string out = BuildOutString(ten + "xxxx<CR>", d);
    ASSERT_EQ(out.size(), 255u);
    EXPECT_EQ(out.substr(250), "xxxx\r");
    EXPECT_EQ(BuildOutString(ten + "xxx<CR>[ZIP]", d), std::string(250, 'c') + "xxx\r\n");

    // A format is itself a short text: what lies past its 255th character is never read.
    std::string keys;
    for (int i = 0; i < 28; ++i)
        keys += "<BACKTAB>";
    EXPECT_EQ(BuildOutString(keys + "[ZIP]", d), "[ZI");
}
