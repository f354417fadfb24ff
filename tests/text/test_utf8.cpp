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

TEST(Utf8, PlainTextHasNoControlCharacter) {
    // C0, DEL and C1 are controls; the no-break space after them and the letters are not.
    for (char32_t c : {U'\0', U'\t', U'\n', U'\x1F', U'\x7F', U'\x80', U'\x85', U'\x9F'}) {
        EXPECT_TRUE(IsControl(c)) << std::uint32_t(c);
        std::string text = "St. Louis";
        AppendUtf8(text, c);
        EXPECT_FALSE(IsPlainUtf8(text)) << std::uint32_t(c);
    }
    for (char32_t c : {U' ', U'~', U'\xA0', U'\u00E9', U'\u2028', U'\U0001F600'}) {
        EXPECT_FALSE(IsControl(c)) << std::uint32_t(c);
        std::string text;
        AppendUtf8(text, c);
        EXPECT_TRUE(IsPlainUtf8(text)) << std::uint32_t(c);
    }
    // Bytes that are no UTF-8 are no plain text either, even when no control is among them.
    EXPECT_FALSE(IsPlainUtf8("Ca\xF1on"));
    EXPECT_TRUE(IsPlainUtf8(""));
}
