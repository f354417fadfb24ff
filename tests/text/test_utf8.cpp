#include "text/Utf8.h"

#include <gtest/gtest.h>

using namespace corvana;

TEST(Utf8, StrictDecodingAndEncoding) {
    for (char32_t c : {U'A', U'\u00E9', U'\u20AC', U'\U0001F600', U'\U0010FFFF'}) {
        std::string bytes;
        AppendUtf8(bytes, c);
        std::size_t at = 0;
        EXPECT_EQ(DecodeUtf8(bytes, at), c);
        EXPECT_EQ(at, bytes.size());
    }
    // Overlong forms, surrogates, values past U+10FFFF, stray and missing continuation bytes.
    for (std::string_view bad :
         {"\xC0\xAF", "\xE0\x80\xAF", "\xF0\x80\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
          "\xE2\x82", "\x80", "\xC3(", "\xF8\x88\x80\x80\x80"}) {
        std::size_t at = 0;
        EXPECT_FALSE(DecodeUtf8(bad, at)) << bad;
        EXPECT_EQ(at, 0u);
        EXPECT_FALSE(IsUtf8("ok " + std::string(bad)));
    }
    EXPECT_TRUE(IsUtf8("Ca\xC3\xB1on City \xE2\x82\xAC"));
    EXPECT_TRUE(IsUtf8(""));
}
