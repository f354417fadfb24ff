#pragma once

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace corvana {

enum class CsvProblem {
    UnclosedQuote,        // a quoted field runs to the end of the input
    TextAfterQuote,       // a closing quote followed by more than a comma or a line end
    QuoteInUnquotedField, // a quote inside a field that does not begin with one
    RecordTooLong,        // a record longer than the reader's limit
};

// Input that is not CSV: the problem and the line it was found on (for a quote never closed,
// the line the field begins on). description() says what is wrong in words; each program adds
// its own advice. what() reads "line N: " and the description.
class CsvError : public std::runtime_error {
public:
    CsvError(CsvProblem problem, std::size_t line, std::string description);
    CsvProblem problem() const { return problem_; }
    std::size_t line() const { return line_; }
    const std::string& description() const { return description_; }

private:
    CsvProblem problem_;
    std::size_t line_;
    std::string description_;
};

// One field of a record: where its text lies inside the record's raw bytes. A quoted field's
// text excludes the enclosing quotes and still holds its doubled quotes ("" for ").
struct CsvField {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool quoted = false;
};

// One record with its bytes as they stood in the input, so that a program can pass it on
// unchanged, and its fields as spans of those bytes. The bytes lie in the reader's buffer until
// its next read; a reader of a whole text leaves them in the text.
struct CsvRecord {
    std::string_view raw;     // the record's bytes, quotes included, line end excluded
    std::string_view lineEnd; // "\r\n", "\n", "\r", or empty for a last line without one
    std::vector<CsvField> fields;
    std::size_t line = 0; // the line the record begins on, from 1

    std::string_view text(const CsvField& f) const {
        return {raw.data() + f.begin, f.end - f.begin};
    }
    // The field's value: quotes removed and doubled quotes made single.
    std::string value(std::size_t i) const;
    // Whether the record is an empty line: one empty field without quotes.
    bool isEmptyLine() const;
};

struct CsvOptions {
    // Whether a CR that no LF follows ends a line, as in old Macintosh files, or is data.
    bool loneCrEndsLine = true;
    // A record longer than this many bytes is refused rather than read into memory.
    std::size_t maxRecord = 16 * 1024 * 1024;
};

// Reads comma-separated records one at a time, from a text already in memory or from a source
// through a buffer that grows only to the longest record: memory stays the same whatever the
// length of the input, and where the reads cut the input makes no difference. CR LF or LF ends
// a record (and a lone CR, as the options say); a field in double quotes may hold commas, line
// ends and doubled quotes. A UTF-8 byte-order mark at the very start is left in the first
// record's raw bytes but belongs to no field. What is not CSV throws CsvError.
class CsvReader {
public:
    // Fills up to n bytes and returns how many; 0 at the end of the input.
    using Source = std::function<std::size_t(char* dst, std::size_t n)>;

    // Reads start at FirstRead bytes and double, while the source fills them, up to ChunkSize:
    // a short input costs a small buffer, a long one is read in large pieces. A record that
    // does not end in the bytes held is read on until they are twice as many.
    static constexpr std::size_t FirstRead = 4 * 1024;
    static constexpr std::size_t ChunkSize = 256 * 1024;

    explicit CsvReader(Source source, CsvOptions options = {});
    // Reads the text where it lies, with no limit on a record; the text must outlive the
    // records read.
    explicit CsvReader(std::string_view text, CsvOptions options = {});

    // The next record; false at the end of the input.
    bool next(CsvRecord& record);

    // Whether the input began with a UTF-8 byte-order mark.
    bool hadByteOrderMark() const { return bom_; }

private:
    bool fill(std::size_t atLeast);

    Source source_; // none for a reader of a whole text
    CsvOptions options_;
    std::vector<char> buf_;
    const char* data_ = nullptr; // the bytes: buf_ or the whole text
    std::size_t begin_ = 0;      // first unread byte
    std::size_t end_ = 0;        // end of the bytes read
    std::size_t readSize_ = FirstRead;
    bool eof_ = false;
    bool started_ = false;
    bool bom_ = false;
    std::size_t line_ = 1;
};

// A source handing out the bytes of a text, at most `step` bytes per call (tests use a small
// step to cut records at every place). The text must outlive the reader.
CsvReader::Source TextSource(std::string_view text, std::size_t step = CsvReader::ChunkSize);

// Writes one field as the reader above reads it back: as it is, or in double quotes with its
// quotes doubled when it holds a comma, a quote or a line end. Every CSV the programs write
// goes through here, so a spreadsheet sees one convention.
void AppendCsvField(std::string& out, std::string_view text);
std::string ToCsvField(std::string_view text);

} // namespace corvana
