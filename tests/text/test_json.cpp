#include "text/Json.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace corvana;

TEST(JsonString, EscapesQuotesAndBackslashesKeepsUtf8) {
    EXPECT_EQ(ToJsonString(""), "\"\"");
    EXPECT_EQ(ToJsonString("Boise, ID"), "\"Boise, ID\"");
    EXPECT_EQ(ToJsonString("say \"x\" \\ done"), "\"say \\\"x\\\" \\\\ done\"");
    EXPECT_EQ(ToJsonString("\x7f"), "\"\x7f\"");
    // UTF-8 bytes are never escaped, so they are still one character each.
    EXPECT_EQ(ToJsonString("Ca\xC3\xB1on \xE2\x80\x94 \xF0\x9F\x97\xBA"),
              "\"Ca\xC3\xB1on \xE2\x80\x94 \xF0\x9F\x97\xBA\"");
    std::string appended = "{\"a\": ";
    AppendJsonString(appended, "b\"");
    EXPECT_EQ(appended, "{\"a\": \"b\\\"\"");
}

TEST(JsonString, EveryControlByteIsEscapedAndNothingElse) {
    for (int c = 0; c < 256; ++c) {
        const std::string written = ToJsonString(std::string(1, char(c)));
        if (c < 0x20) {
            char expected[9];
            std::snprintf(expected, sizeof expected, "\"\\u%04x\"", c);
            EXPECT_EQ(written, expected) << c;
        } else if (c == '"' || c == '\\') {
            EXPECT_EQ(written, std::string("\"\\") + char(c) + "\"") << c;
        } else {
            EXPECT_EQ(written, std::string("\"") + char(c) + "\"") << c;
        }
    }
}
