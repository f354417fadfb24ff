#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace corvana::cli {

// Input that is not CSV. what() reads "line N: problem".
class CsvError : public std::runtime_error {
public:
    CsvError(std::size_t line, const std::string& problem)
        : std::runtime_error("line " + std::to_string(line) + ": " + problem), line_(line) {}
    std::size_t line() const { return line_; }

private:
    std::size_t line_;
};

// One field of a record: where its text lies inside the record's raw bytes. A quoted field's
// text excludes the enclosing quotes and still holds its doubled quotes ("" for ").
struct CsvField {
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
    bool quoted = false;
};

// One record as it stands in the input. The views stay valid until the next call of next().
struct CsvRecord {
    std::string_view raw;     // the record's bytes, quotes included, line end excluded
    std::string_view lineEnd; // "\r\n", "\n", "\r", or empty for a last line without one
    std::vector<CsvField> fields;
    std::size_t line = 0; // the line the record begins on, from 1

    std::string_view text(const CsvField& f) const { return raw.substr(f.begin, f.end - f.begin); }
    // The field's value: quotes removed and doubled quotes made single.
    std::string value(std::size_t i) const;
};

// Reads comma-separated records from a stream, one at a time, in a buffer that grows only to
// the longest record: memory stays the same whatever the length of the input. CR LF, LF or a
// lone CR ends a record; a field in double quotes may hold commas, line ends and doubled quotes.
// A quote inside an unquoted field, text after a closing quote and a quote never closed are
// refused with CsvError, and so is a record longer than MaxRecord bytes.
class CsvReader {
public:
    // Fills up to n bytes and returns how many; 0 at the end of the input.
    using Source = std::function<std::size_t(char* dst, std::size_t n)>;

    static constexpr std::size_t ChunkSize = 256 * 1024;
    static constexpr std::size_t MaxRecord = 16 * 1024 * 1024;

    explicit CsvReader(Source source);

    // The next record; false at the end of the input. A UTF-8 byte-order mark at the very start
    // is left in the first record's raw bytes but not in its first field.
    bool next(CsvRecord& record);

    // Whether the input began with a UTF-8 byte-order mark.
    bool hadByteOrderMark() const { return bom_; }

private:
    enum class Scan { Complete, NeedMore };
    Scan scan(CsvRecord& record, std::size_t& consumed, std::size_t& lines);
    bool fill();

    Source source_;
    std::vector<char> buf_;
    std::size_t begin_ = 0; // first unread byte
    std::size_t end_ = 0;   // end of the bytes read
    bool eof_ = false;
    bool started_ = false;
    bool bom_ = false;
    std::size_t line_ = 1;
};

// A source reading a file descriptor; a read error throws std::runtime_error.
CsvReader::Source FdSource(int fd);

// A source handing out the bytes of a string view, at most `step` bytes per call (tests use a
// small step to cut records at every place).
CsvReader::Source TextSource(std::string_view text, std::size_t step = CsvReader::ChunkSize);

} // namespace corvana::cli
