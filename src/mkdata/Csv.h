#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace corvana::mkdata {

// A fault in the input table. line() is the line of the table it was found on, 0 when the
// fault belongs to the table as a whole; what() begins with "line N: " when there is a line.
class InputError : public std::runtime_error {
public:
    InputError(std::size_t line, const std::string& problem);
    std::size_t line() const { return line_; }

private:
    std::size_t line_;
};

struct CsvRecord {
    std::size_t line = 0; // the line the record begins on, from 1
    std::vector<std::string> fields;
};

// Splits comma-separated text into records: CR LF or LF end a record, a field in double quotes
// may hold commas, line ends and doubled quotes. Empty lines and a leading UTF-8 byte-order
// mark are skipped. A quote left open, a quote inside an unquoted field, or text after a
// closing quote throws InputError.
std::vector<CsvRecord> ParseCsv(std::string_view text);

} // namespace corvana::mkdata
