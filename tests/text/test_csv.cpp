#include "text/Csv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

using namespace corvana;

namespace {

struct Read {
    std::vector<CsvRecord> records; // their bytes lie in the text read
    std::optional<CsvProblem> problem;
    std::string error; // what() of the CsvError
    bool bom = false;
};

Read ReadWhole(std::string_view text, CsvOptions options = {}) {
    Read r;
    CsvReader in(text, options);
    CsvRecord rec;
    try {
        while (in.next(rec))
            r.records.push_back(rec);
    } catch (const CsvError& e) {
        r.problem = e.problem();
        r.error = e.what();
    }
    r.bom = in.hadByteOrderMark();
    return r;
}

// Hands out the text in two reads cut at `at` (at least 1: a read of nothing ends the input).
CsvReader::Source TwoReads(std::string_view text, std::size_t at) {
    return [=, sent = std::size_t(0)](char* dst, std::size_t n) mutable -> std::size_t {
        const std::size_t take = std::min(n, (sent < at ? at : text.size()) - sent);
        text.copy(dst, take, sent);
        sent += take;
        return take;
    };
}

bool SameRecord(const CsvRecord& x, const CsvRecord& y) {
    return x.raw == y.raw && x.lineEnd == y.lineEnd && x.line == y.line &&
           std::equal(x.fields.begin(), x.fields.end(), y.fields.begin(), y.fields.end(),
                      [](const CsvField& f, const CsvField& g) {
                          return f.begin == g.begin && f.end == g.end && f.quoted == g.quoted;
                      });
}

// Whether a source gives the records of the whole text, each as it comes (its bytes last only
// until the next read), and then the same error.
bool GivesTheSame(CsvReader::Source source, const Read& whole, CsvOptions options) {
    CsvReader in(std::move(source), options);
    CsvRecord rec;
    std::size_t k = 0;
    try {
        while (in.next(rec)) {
            if (k == whole.records.size() || !SameRecord(rec, whole.records[k++]))
                return false;
        }
    } catch (const CsvError& e) {
        return whole.problem == e.problem() && whole.error == e.what() && k == whole.records.size();
    }
    return !whole.problem && k == whole.records.size() && in.hadByteOrderMark() == whole.bom;
}

// Reads the text whole, then through a source cut at every position and a few bytes at a time:
// every way gives the same records or the same error.
Read ReadEveryWay(std::string_view text, CsvOptions options = {}) {
    const Read whole = ReadWhole(text, options);
    for (std::size_t at = 1; at < text.size(); ++at)
        EXPECT_TRUE(GivesTheSame(TwoReads(text, at), whole, options)) << "cut at " << at;
    for (std::size_t step : {1, 2, 3, 7, 4096})
        EXPECT_TRUE(GivesTheSame(TextSource(text, step), whole, options)) << step;
    return whole;
}

using Values = std::vector<std::vector<std::string>>;

Values ValuesOf(const Read& r) {
    Values v;
    for (const CsvRecord& rec : r.records) {
        v.emplace_back();
        for (std::size_t i = 0; i < rec.fields.size(); ++i)
            v.back().push_back(rec.value(i));
    }
    return v;
}

} // namespace

TEST(CsvReader, QuotingLineEndsAndRawBytes) {
    const std::string text = "\xEF\xBB\xBFzip,\"name, full\"\r\n"
                             "\"84101\",\"say \"\"hi\"\"\"\r\n"
                             "601,\"two\r\nlines\",\"and\rmore\"\n"
                             ",\n"
                             "\n"
                             "a\rb\r"
                             "last";
    const Read r = ReadEveryWay(text);
    ASSERT_FALSE(r.problem) << r.error;
    EXPECT_TRUE(r.bom);
    EXPECT_EQ(ValuesOf(r), (Values{{"zip", "name, full"},
                                   {"84101", "say \"hi\""},
                                   {"601", "two\r\nlines", "and\rmore"},
                                   {"", ""},
                                   {""},
                                   {"a"},
                                   {"b"},
                                   {"last"}}));
    // A line break inside quotes, CR LF, LF and a lone CR alike, moves the line on.
    std::vector<std::size_t> lines;
    std::string joined;
    for (const CsvRecord& rec : r.records) {
        lines.push_back(rec.line);
        joined += rec.raw;
        joined += rec.lineEnd;
    }
    EXPECT_EQ(lines, (std::vector<std::size_t>{1, 2, 3, 6, 7, 8, 9, 10}));
    // The records' bytes and line ends put together are the input, byte for byte; the
    // byte-order mark is in the first record's bytes but in no field.
    EXPECT_EQ(joined, text);
    EXPECT_EQ(r.records[0].raw, "\xEF\xBB\xBFzip,\"name, full\"");
    EXPECT_EQ(r.records[0].text(r.records[0].fields[0]), "zip");
    EXPECT_EQ(r.records[1].text(r.records[1].fields[1]), "say \"\"hi\"\"");
    EXPECT_EQ(r.records[0].lineEnd, "\r\n");
    EXPECT_EQ(r.records[2].lineEnd, "\n");
    EXPECT_EQ(r.records[5].lineEnd, "\r");
    EXPECT_EQ(r.records[7].lineEnd, "");
    EXPECT_TRUE(r.records[4].isEmptyLine());
    EXPECT_FALSE(r.records[3].isEmptyLine());

    EXPECT_TRUE(ReadEveryWay("").records.empty());
    const Read quotedEmpty = ReadEveryWay("\"\"\n");
    ASSERT_EQ(quotedEmpty.records.size(), 1u);
    EXPECT_FALSE(quotedEmpty.records[0].isEmptyLine());
}

TEST(CsvReader, LoneCarriageReturnAsData) {
    const CsvOptions table{.loneCrEndsLine = false};
    const Read r = ReadEveryWay("a\rb,c\r\n\"x\ry\"\r\n\"q\"\n\n\r\n\rz", table);
    ASSERT_FALSE(r.problem) << r.error;
    EXPECT_EQ(ValuesOf(r), (Values{{"a\rb", "c"}, {"x\ry"}, {"q"}, {""}, {""}, {"\rz"}}));
    std::vector<std::size_t> lines;
    for (const CsvRecord& rec : r.records)
        lines.push_back(rec.line);
    EXPECT_EQ(lines, (std::vector<std::size_t>{1, 2, 3, 4, 5, 6}));
    // A closing quote followed by a CR that ends no line has text after it.
    EXPECT_EQ(ReadEveryWay("\"a\"\r", table).problem, CsvProblem::TextAfterQuote);
    EXPECT_FALSE(ReadEveryWay("\"a\"\r").problem);
}

TEST(CsvReader, ErrorsNameTheirLine) {
    struct Case {
        std::string text;
        CsvProblem problem;
        std::string error;
    };
    const Case cases[] = {
        // A quote never closed is named where its field begins, whatever lines follow.
        {"zip\n84101,\"open\n\"\"still\nopen", CsvProblem::UnclosedQuote,
         "line 2: a quoted field is never closed"},
        {"a\nb\n\"x\"y\n", CsvProblem::TextAfterQuote,
         "line 3: text after the closing quote of a field"},
        {"a\n\"two\r\nlines\",5\"\n", CsvProblem::QuoteInUnquotedField,
         "line 3: a quote inside a field that does not begin with one"},
        {"a\n \"x\"\n", CsvProblem::QuoteInUnquotedField,
         "line 2: a quote inside a field that does not begin with one"},
    };
    for (const Case& c : cases) {
        for (bool loneCr : {true, false}) {
            const Read r = ReadEveryWay(c.text, CsvOptions{.loneCrEndsLine = loneCr});
            EXPECT_EQ(r.problem, c.problem) << c.text;
            EXPECT_EQ(r.error, c.error) << c.text;
        }
    }
    // The records before the fault were handed out.
    EXPECT_EQ(ReadWhole("a\nb\n\"x\"y\n").records.size(), 2u);

    // A record past the limit of a source is refused once the limit is read, not held whole.
    const std::string big = "a\n" + std::string((1u << 20) + 10, 'x');
    const CsvOptions limited{.maxRecord = 1u << 20};
    Read tooLong;
    tooLong.problem = CsvProblem::RecordTooLong;
    tooLong.error = "line 2: a record longer than 1 MiB";
    tooLong.records = ReadWhole("a\n").records;
    EXPECT_TRUE(GivesTheSame(TextSource(big), tooLong, limited));
    EXPECT_FALSE(ReadWhole(big, limited).problem); // a whole text is in memory already
}

TEST(CsvWriter, QuotesOnlyWhatTheReaderWouldSplit) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"", ""},
        {"Salt Lake City", "Salt Lake City"},
        {"  padded\t", "  padded\t"},               // blanks and tabs are data
        {"Ca\xC3\xB1on City", "Ca\xC3\xB1on City"}, // UTF-8 passes as it is
        {std::string_view("nul\0ctl\x01", 8), std::string_view("nul\0ctl\x01", 8)},
        {"Washington, DC", "\"Washington, DC\""},
        {"say \"x\"", "\"say \"\"x\"\"\""},
        {"\"", "\"\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\rhere", "\"cr\rhere\""},
    };
    for (const auto& [text, written] : cases) {
        EXPECT_EQ(ToCsvField(text), written) << text;
        std::string appended = "a,";
        AppendCsvField(appended, text);
        EXPECT_EQ(appended, "a," + std::string(written));
    }
}

TEST(CsvWriter, WhatItWritesReadsBackAsItWas) {
    const std::vector<std::string> fields = {"",
                                             ",",
                                             "\"",
                                             "\"\"",
                                             "a\"b",
                                             "\r\n",
                                             "\r",
                                             "\n\n",
                                             " x ",
                                             "end\"",
                                             "\"start",
                                             "plain",
                                             "St. Mary's, \"the\" town\r\nline two"};
    std::string text;
    for (std::size_t i = 0; i < fields.size(); ++i)
        AppendCsvField(text += (i ? "," : ""), fields[i]);
    text += "\r\n";
    // Every field once more on its own line, where an empty field is a whole record.
    for (const std::string& f : fields)
        text += ToCsvField(f) + ",end\n";
    const Read r = ReadWhole(text);
    ASSERT_FALSE(r.problem) << r.error;
    ASSERT_EQ(r.records.size(), fields.size() + 1);
    ASSERT_EQ(r.records[0].fields.size(), fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(r.records[0].value(i), fields[i]) << i;
        ASSERT_EQ(r.records[i + 1].fields.size(), 2u) << i;
        EXPECT_EQ(r.records[i + 1].value(0), fields[i]) << i;
    }
}
