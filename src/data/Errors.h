#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace corvana {

// A data file is missing or damaged. The window shows the message under "FATAL ERROR" and the
// program ends; inside the core it is thrown by the readers and turned into a value at the top
// of each search or load, so callers only ever see it as data.
class FatalError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The general input/output error: a read that no check of ours covers failed (a partial record,
// a record number past the end of the ZIP file). It ends the current command only.
class IoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What went wrong in one load, search or collection of output: the messages shown under
// "FATAL ERROR", in the order they arose, and the general input/output error.
struct Problems {
    std::vector<std::string> fatal;
    std::optional<std::string> ioError;

    bool ok() const { return fatal.empty() && !ioError; }
};

namespace msg {
inline constexpr const char* ZipIndexNotFound = "Zip Code Index File could not be found.";
inline constexpr const char* AreaDataNotFound = "Area Code Data File could not be found.";
inline constexpr const char* ZipFileNotFound = "Zip Code File could not be found.";
inline constexpr const char* StateNotFound =
    "File containing state definitions could not be found.";
inline constexpr const char* CountyNotFound =
    "File containing county definitions could not be found.";
inline constexpr const char* CountyCorrupt = "File containing county definitions is corrupt.";
inline constexpr const char* CityNotFound = "File containing city definitions could not be found.";
inline constexpr const char* CitySeekFailed = "Seek in City File failed.";
inline constexpr const char* CityCorrupt = "File containing city definitions is corrupt.";
inline constexpr const char* CityIndexNotFound = "File containing city indexes could not be found.";
inline constexpr const char* CountyIndexNotFound =
    "File containing county indexes could not be found.";
inline constexpr const char* CountyIndexCorrupt = "File containing county indexes is corrupt.";
inline constexpr const char* AreaIndexNotFound =
    "File containing area code indexes could not be found.";
inline constexpr const char* AreaIndexCorrupt = "File containing area code indexes is corrupt.";
inline constexpr const char* VersionNotFound =
    "Unable to locate file containing version date of Zip Code Data.";
// Wording of the general input/output error (error 100 is a read past the end of a file).
inline constexpr const char* ReadPastEnd = "I/O error 100: read beyond the end of the file.";
} // namespace msg

namespace caption {
inline constexpr const char* Fatal = "FATAL ERROR";
inline constexpr const char* Error = "Error";
inline constexpr const char* Sorry = "Sorry";
inline constexpr const char* Notice = "Notice";
inline constexpr const char* Version = "Version";
} // namespace caption

} // namespace corvana
