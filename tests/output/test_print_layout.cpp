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

TEST(LayOutPages, AHeadingOpensEveryCopyWithAGapUnderIt) {
    const std::string heading = "Zip Codes Within 10 Miles Of 84101";
    auto pages = LayOutPages(Output(60), Fixed(50), 2, heading);
    EXPECT_EQ(Sizes(pages), (std::vector<std::size_t>{50, 12, 50, 12}));
    for (std::size_t first : {0u, 2u}) {
        EXPECT_EQ(pages[first][0], (PrintedLine{5, heading}));
        EXPECT_EQ(pages[first][1], (PrintedLine{15, ""}));
        EXPECT_EQ(pages[first][2], (PrintedLine{25, "L0"}));
        EXPECT_EQ(pages[first + 1][0], (PrintedLine{5, "L48"}));
    }
    // Nothing to print but the heading; a page of two lines has no room for the gap, and a page
    // of one line puts the heading on a page of its own.
    EXPECT_EQ(LayOutPages("", Fixed(50), 1, heading),
              (std::vector<PrintedPage>{{{5, heading}, {15, ""}}}));
    EXPECT_EQ(LayOutPages(Output(1), Fixed(2), 1, heading),
              (std::vector<PrintedPage>{{{5, heading}, {15, "L0"}}, {}}));
    EXPECT_EQ(Sizes(LayOutPages(Output(2), Fixed(1), 1, heading)),
              (std::vector<std::size_t>{1, 1, 1, 0}));
    // Cut as a line is; no heading, no line for it.
    EXPECT_EQ(LayOutPages("", Fixed(50), 1, std::string(300, 'h'))[0][0].text,
              std::string(255, 'h'));
    EXPECT_EQ(LayOutPages(Output(2), Fixed(50), 1, ""), LayOutPages(Output(2), Fixed(50), 1));
}

namespace {

// Ten units a character, as a fixed-pitch font would measure; "i" three, as a proportional one.
int Monospace(std::string_view s) {
    return int(s.size()) * 10;
}
int Proportional(std::string_view s) {
    int w = 0;
    for (char c : s)
        w += c == 'i' ? 3 : 10;
    return w;
}

} // namespace

TEST(PlaceTabs, FieldsMoveToTheNextStopWithAGapBeforeIt) {
    // Format 9 of one ZIP code: eight-character stops of 10 units, a gap of one character.
    EXPECT_EQ(PlaceTabs("84101\tSalt Lake City\tSalt Lake\tUT", 80, 10, Monospace),
              (std::vector<PrintedRun>{
                  {0, "84101"}, {80, "Salt Lake City"}, {240, "Salt Lake"}, {400, "UT"}}));
    // A field ending just before a stop, or right on it, goes one stop further than the gap.
    EXPECT_EQ(PlaceTabs("1234567\tx", 80, 10, Monospace),
              (std::vector<PrintedRun>{{0, "1234567"}, {80, "x"}}));
    EXPECT_EQ(PlaceTabs("12345678\tx", 80, 10, Monospace),
              (std::vector<PrintedRun>{{0, "12345678"}, {160, "x"}}));
    // Widths are measured, not counted in characters.
    EXPECT_EQ(PlaceTabs("iiiiiiiiiiiiiiiiiiiii\tx", 80, 10, Proportional),
              (std::vector<PrintedRun>{{0, "iiiiiiiiiiiiiiiiiiiii"}, {80, "x"}}));
}

TEST(PlaceTabs, LeadingRepeatedAndTrailingTabs) {
    EXPECT_EQ(PlaceTabs("no tabs here", 80, 10, Monospace),
              (std::vector<PrintedRun>{{0, "no tabs here"}}));
    EXPECT_EQ(PlaceTabs("\tb", 80, 10, Monospace), (std::vector<PrintedRun>{{80, "b"}}));
    // Each tab of a row advances one stop, so empty fields keep their columns.
    EXPECT_EQ(PlaceTabs("a\t\tb", 80, 10, Monospace),
              (std::vector<PrintedRun>{{0, "a"}, {160, "b"}}));
    EXPECT_EQ(PlaceTabs("a\t", 80, 10, Monospace), (std::vector<PrintedRun>{{0, "a"}}));
    EXPECT_TRUE(PlaceTabs("", 80, 10, Monospace).empty());
    EXPECT_TRUE(PlaceTabs("\t\t", 80, 10, Monospace).empty());
}

TEST(PlaceTabs, StopsOfNoWidthStillSeparateTheFields) {
    // A font that measures as nothing gives stops of no width: the gap alone separates.
    EXPECT_EQ(PlaceTabs("ab\tc", 0, 4, Monospace), (std::vector<PrintedRun>{{0, "ab"}, {24, "c"}}));
    EXPECT_EQ(PlaceTabs("ab\tc", -8, 0, Monospace),
              (std::vector<PrintedRun>{{0, "ab"}, {20, "c"}}));
}
