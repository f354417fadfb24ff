#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvana::test {

// A fresh directory under the system temp folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    void write(std::string_view name, std::string_view bytes) const;
    void remove(std::string_view name) const;

private:
    std::filesystem::path path_;
};

// Little-endian byte builders for hand-made data files.
// The fatal messages of a search that stopped at one damaged or missing file.
inline std::vector<std::string> Fatal(std::string_view message) {
    return {std::string(message)};
}

std::string le16(std::uint16_t v);
std::string le32(std::int32_t v);

// One record of each binary file, as the program reads them.
std::string zipIdxRecord(std::uint16_t prefix, std::int32_t first, std::uint16_t count,
                         std::int32_t mainCity);
std::string zipDatRecord(std::uint32_t zip, std::int32_t cityOffset, std::uint16_t county,
                         std::uint16_t area, std::uint8_t tz);
std::string areaDatRecord(std::uint16_t code, std::int32_t offset);
std::string countyDatRecord(std::string_view name, std::uint8_t state, std::int32_t offset);
std::string cityDatRecord(std::string_view name, std::uint8_t state,
                          std::initializer_list<std::uint16_t> zips);
std::string zipList(std::initializer_list<std::uint16_t> zips);

// Directory of a fixture data set built by corvana-mkdata from tests/fixtures/NAME.csv.
std::string fixtureDir(std::string_view name);

std::string readFile(const std::filesystem::path& p);

// What corvana-query printed and how it ended.
struct QueryOutcome {
    int status = -1; // the exit code, or -1 when it did not exit
    std::string out;
    std::string err;
};

// Runs corvana-query with ARGS as a user would, with WORK as its configuration directory (so the
// user's settings file is never read) and the C locale (so times look the same everywhere);
// INPUT, when given, is its standard input.
QueryOutcome RunQuery(const TempDir& work, const std::vector<std::string>& args,
                      const std::optional<std::string>& input = std::nullopt);

} // namespace corvana::test
