#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace corvana::mkdata {

// A fault in the input table. line() is the line of the table it was found on, 0 when the
// fault belongs to the table as a whole; what() begins with "line N: " when there is a line.
class InputError : public std::runtime_error {
public:
    InputError(std::size_t line, const std::string& problem)
        : std::runtime_error(line ? "line " + std::to_string(line) + ": " + problem : problem),
          line_(line) {}
    std::size_t line() const { return line_; }

private:
    std::size_t line_;
};

} // namespace corvana::mkdata
