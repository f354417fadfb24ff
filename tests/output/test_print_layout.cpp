#include "output/PrintLayout.h"

#include <gtest/gtest.h>

#include <string>

using namespace corvana;

namespace {

// n output lines "L0\r\n", "L1\r\n" ... as the copy-and-print command collects them.
std::string Output(int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += "L" + std::to_string(i) + "\r\n";
    return s;
}

// A layout of the given lines per page: line height 10, top margin 5.
PageLayout Fixed(int linesPerPage) {
    PageLayout l;
    l.leftMargin = 3;
    l.topMargin = 5;
    l.lineHeight = 10;
    l.linesPerPage = linesPerPage;
    return l;
}

std::vector<std::size_t> Sizes(const std::vector<PrintedPage>& pages) {
    std::vector<std::size_t> s;
    for (const auto& p : pages)
        s.push_back(p.size());
    return s;
}

} // namespace

TEST(PageLayout, MarginsAndLineSpacingFromThePageAndFont) {
    // A4 at 1200 dpi: 9917 x 14033 device units, a 11pt font 214 units high.
    PageLayout l = MakePageLayout(9917, 14033, 214);
    EXPECT_EQ(l.leftMargin, 583);
    EXPECT_EQ(l.topMargin, 637);
    EXPECT_EQ(l.lineHeight, 235); // 235.4 truncated
    EXPECT_EQ(l.linesPerPage, (14033 - 2 * 637) / 235);

    // 1.1 x 10 is exactly 11, never 10.999...
    EXPECT_EQ(MakePageLayout(1000, 1000, 10).lineHeight, 11);
    EXPECT_EQ(MakePageLayout(1000, 1000, 19).lineHeight, 20);
}

TEST(PageLayout, ZeroHeightAndHugeFonts) {
    PageLayout none = MakePageLayout(1000, 2200, 0);
    EXPECT_EQ(none.lineHeight, 0);
    EXPECT_EQ(none.linesPerPage, 0);
    EXPECT_TRUE(LayOutPages(Output(3), none, 2).empty());

    // A line taller than the usable height still gets a page of its own.
    PageLayout huge = MakePageLayout(1000, 2200, 5000);
    EXPECT_EQ(huge.linesPerPage, 1);
    EXPECT_EQ(Sizes(LayOutPages(Output(3), huge, 1)), (std::vector<std::size_t>{1, 1, 1, 0}));
}

TEST(PrintLines, CarriageReturnsEndLinesAndLineFeedsAreDropped) {
    EXPECT_TRUE(PrintLines("").empty());
    EXPECT_EQ(PrintLines("a\tb\r\nc\r\n"), (std::vector<std::string>{"a\tb", "c"}));
    // A format's own <CR> splits one output line in two; text after the last CR is no line.
    EXPECT_EQ(PrintLines("Provo\r\nUT\r\n\r\ntail"), (std::vector<std::string>{"Provo", "UT", ""}));
    EXPECT_EQ(PrintLines("\n\nx\n\r"), (std::vector<std::string>{"x"}));

    std::string longLine(300, 'x');
    auto lines = PrintLines(longLine + "\r\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], std::string(255, 'x'));
}

TEST(LayOutPages, BreaksPagesAndPlacesLinesFromTheTop) {
    auto pages = LayOutPages(Output(120), Fixed(50), 1);
    EXPECT_EQ(Sizes(pages), (std::vector<std::size_t>{50, 50, 20}));
    EXPECT_EQ(pages[0][0], (PrintedLine{5, "L0"}));
    EXPECT_EQ(pages[0][49], (PrintedLine{5 + 49 * 10, "L49"}));
    EXPECT_EQ(pages[1][0], (PrintedLine{5, "L50"}));
    EXPECT_EQ(pages[2][19], (PrintedLine{5 + 19 * 10, "L119"}));
}

TEST(LayOutPages, EveryCopyStartsOnANewPage) {
    auto pages = LayOutPages(Output(120), Fixed(50), 2);
    EXPECT_EQ(Sizes(pages), (std::vector<std::size_t>{50, 50, 20, 50, 50, 20}));
    EXPECT_EQ(pages[3][0], (PrintedLine{5, "L0"}));
    EXPECT_EQ(pages[5][19].text, "L119");

    // Fewer lines than a page: one page per copy.
    EXPECT_EQ(Sizes(LayOutPages(Output(3), Fixed(50), 3)), (std::vector<std::size_t>{3, 3, 3}));
    // The print dialog never gives fewer than one copy; treat it as one.
    EXPECT_EQ(Sizes(LayOutPages(Output(3), Fixed(50), 0)), (std::vector<std::size_t>{3}));
}

TEST(LayOutPages, AnExactlyFullLastPageIsFollowedByAnEmptyOne) {
    EXPECT_EQ(Sizes(LayOutPages(Output(100), Fixed(50), 1)), (std::vector<std::size_t>{50, 50, 0}));
    // With more copies the empty page comes before the next copy's first page.
    EXPECT_EQ(Sizes(LayOutPages(Output(50), Fixed(50), 2)),
              (std::vector<std::size_t>{50, 0, 50, 0}));
}

TEST(LayOutPages, NoOutputGivesOneEmptyPagePerCopy) {
    EXPECT_EQ(Sizes(LayOutPages("", Fixed(50), 2)), (std::vector<std::size_t>{0, 0}));
}
