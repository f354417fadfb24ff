#include "mkdata/Csv.h"

#include <gtest/gtest.h>

using namespace corvana::mkdata;

namespace {

using Fields = std::vector<std::string>;

std::string errorOf(std::string_view text) {
    try {
        ParseCsv(text);
    } catch (const InputError& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(Csv, QuotingLineEndsAndLineNumbers) {
    auto records = ParseCsv("\xEF\xBB\xBFzip,city\r\n"
                            "\r\n"
                            "84101,\"Salt Lake City, UT\"\n"
                            "\"00501\",\"say \"\"hi\"\"\",\n"
                            "1,\"two\nlines\"\n"
                            "\n"
                            "last,\"\"");
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0].fields, (Fields{"zip", "city"}));
    EXPECT_EQ(records[1].fields, (Fields{"84101", "Salt Lake City, UT"}));
    EXPECT_EQ(records[2].fields, (Fields{"00501", "say \"hi\"", ""}));
    EXPECT_EQ(records[3].fields, (Fields{"1", "two\nlines"}));
    EXPECT_EQ(records[4].fields, (Fields{"last", ""}));
    // Blank lines and line ends inside quotes still count as lines.
    std::vector<std::size_t> lines;
    for (const auto& r : records)
        lines.push_back(r.line);
    EXPECT_EQ(lines, (std::vector<std::size_t>{1, 3, 4, 5, 8}));
}

TEST(Csv, LoneCarriageReturnIsData) {
    auto records = ParseCsv("a\rb,c\n");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].fields, (Fields{"a\rb", "c"}));
    EXPECT_TRUE(ParseCsv("").empty());
    EXPECT_TRUE(ParseCsv("\n\r\n").empty());
}

TEST(Csv, BrokenQuotesNameTheirLine) {
    EXPECT_EQ(errorOf("a,b\nc,\"open\n\nstill open"), "line 2: a quoted field is never closed");
    EXPECT_EQ(errorOf("a,b\n\nc,d\"e\n"),
              "line 3: a quote inside a field that does not begin with one (quote the field and "
              "double the quote)");
    EXPECT_EQ(errorOf("a\n\"x\ny\"z,b\n"), "line 3: text after the closing quote of a field");
}
