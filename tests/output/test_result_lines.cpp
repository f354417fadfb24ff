#include "output/ResultLines.h"

#include <gtest/gtest.h>

#include <set>

using namespace corvana;

namespace {

// A list of lines with a chosen selection, as the window would hold it.
class Lines : public ResultLines {
public:
    Lines(std::vector<ResultItem> items, std::set<std::size_t> selected)
        : items_(std::move(items)), selected_(std::move(selected)) {}
    const std::vector<ResultItem>& items() const override { return items_; }
    bool isSelected(std::size_t row) const override { return selected_.count(row) > 0; }
    bool shown() const override { return true; }

private:
    std::vector<ResultItem> items_;
    std::set<std::size_t> selected_;
};

ResultItem Zip(const char* text, std::uint32_t record) {
    return {text, ZipItem{record}};
}

const std::vector<ResultItem> Three = {Zip("84101 A", 0), Zip("84102 B", 1), Zip("84103 C", 2)};

} // namespace

TEST(ResultLines, OutputTakesTheSelectedRowsInListOrderOrAll) {
    const Lines lines(Three, {2, 0});
    EXPECT_EQ(lines.selectedRows(), (std::vector<std::size_t>{0, 2}));
    EXPECT_EQ(OutputItems(lines, false), (std::vector<ResultItem>{Three[0], Three[2]}));
    EXPECT_EQ(OutputItems(lines, true), Three);
    // A selection that reaches past the items (a list being refilled) outputs what exists.
    const Lines stale(Three, {1, 7});
    EXPECT_EQ(OutputItems(stale, false), (std::vector<ResultItem>{Three[1]}));
    EXPECT_TRUE(OutputItems(Lines({}, {}), true).empty());
}

TEST(ResultLines, ScopeKnowsTheNoMatchLineByItsKindNotItsText) {
    EXPECT_EQ(ScopeOf(Lines({{"No matching Zip Code", NoMatchItem{}}}, {})), OutputScope::NoMatch);
    EXPECT_EQ(ScopeOf(Lines({Zip("No match 84101", 0)}, {})), OutputScope::SingleLine);
    EXPECT_EQ(ScopeOf(Lines({Zip("84101 A", 0)}, {0})), OutputScope::SingleLine);
    EXPECT_EQ(ScopeOf(Lines(Three, {1})), OutputScope::Selected);
    EXPECT_EQ(ScopeOf(Lines(Three, {})), OutputScope::NoneSelected);
    // An empty list has no lines to pick from either.
    EXPECT_EQ(ScopeOf(Lines({}, {})), OutputScope::NoneSelected);
}
