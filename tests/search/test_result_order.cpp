#include "search/Search.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace corvana;

TEST(ResultOrder, LettersCompareWithoutCaseOtherBytesByValue) {
    EXPECT_TRUE(ItemLess("apple", "Banana"));
    EXPECT_FALSE(ItemLess("Banana", "apple"));
    // a-z count as A-Z, so they sort before the brackets and the underscore (0x5B-0x5F)
    EXPECT_TRUE(ItemLess("a", "["));
    EXPECT_TRUE(ItemLess("b", "_"));
    EXPECT_TRUE(ItemLess("Sal, AZ", "Salem, OR")); // ',' before 'e'
    EXPECT_TRUE(ItemLess("Salt Lake City, UT", "Saltdale, CA"));
    // Windows-1252 letters above 127 are not folded and come after the ASCII letters
    EXPECT_TRUE(ItemLess("zz", "\xE9"));
    EXPECT_TRUE(ItemLess("\xC9", "\xE9"));
    EXPECT_TRUE(ItemLess("Sal", "Sal, AZ"));
    EXPECT_TRUE(ItemLess("", "a"));
}

TEST(ResultOrder, TiesFallBackToByteOrderAndDuplicatesStay) {
    EXPECT_TRUE(ItemLess("SALEM", "Salem"));
    EXPECT_FALSE(ItemLess("Salem", "SALEM"));
    EXPECT_FALSE(ItemLess("Salem", "Salem"));

    auto city = [](const char* text, std::int32_t offset) {
        return ResultItem{text, CityItem{offset}};
    };
    std::vector<ResultItem> items = {city("salem", 4),         city("Salem", 3),
                                     {"84101 X", ZipItem{1}},  city("Salem", 2),
                                     {"SALEM", NoMatchItem{}}, {"abc", NoMatchItem{}}};
    SortItems(items);
    std::vector<ResultItem> want = {{"84101 X", ZipItem{1}},  {"abc", NoMatchItem{}},
                                    {"SALEM", NoMatchItem{}}, city("Salem", 3),
                                    city("Salem", 2),         city("salem", 4)};
    EXPECT_EQ(items, want);
}

TEST(ResultOrder, IsAStrictWeakOrderOverMixedBytes) {
    std::vector<std::string> words = {"a",    "A",  "b",  "B",  "[", "`", "{",  "\x80",
                                      "\xFF", "ab", "aB", "Ab", "",  " ", "a ", "a!"};
    for (const auto& x : words) {
        EXPECT_FALSE(ItemLess(x, x));
        for (const auto& y : words) {
            if (x != y) {
                EXPECT_NE(ItemLess(x, y), ItemLess(y, x)) << x << " / " << y;
            }
            for (const auto& z : words) {
                if (ItemLess(x, y) && ItemLess(y, z)) {
                    EXPECT_TRUE(ItemLess(x, z));
                }
            }
        }
    }
}
