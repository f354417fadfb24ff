#include "TestUtil.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>

namespace corvana::test {

TempDir::TempDir() {
    std::random_device rd;
    for (int i = 0; i < 100; ++i) {
        auto p = std::filesystem::temp_directory_path() /
                 ("corvana-test-" + std::to_string(rd()) + std::to_string(rd()));
        if (std::filesystem::create_directory(p)) {
            path_ = p;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

void TempDir::write(std::string_view name, std::string_view bytes) const {
    std::ofstream out(path_ / std::string(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write test file");
}

void TempDir::remove(std::string_view name) const {
    std::filesystem::remove(path_ / std::string(name));
}

std::string le16(std::uint16_t v) {
    return {char(v & 0xff), char(v >> 8)};
}

std::string le32(std::int32_t v) {
    auto u = std::uint32_t(v);
    return {char(u & 0xff), char((u >> 8) & 0xff), char((u >> 16) & 0xff), char(u >> 24)};
}

std::string zipIdxRecord(std::uint16_t prefix, std::int32_t first, std::uint16_t count,
                         std::int32_t mainCity) {
    return le16(prefix) + le32(first) + le16(count) + le32(mainCity) + std::string(1, '\0');
}

std::string zipDatRecord(std::uint32_t zip, std::int32_t cityOffset, std::uint16_t county,
                         std::uint16_t area, std::uint8_t tz) {
    return std::string(1, char(zip / 10000)) + le16(std::uint16_t(zip % 10000)) +
           std::string(1, '\0') + le32(cityOffset) + le16(county) + le16(area) +
           std::string(1, char(tz));
}

std::string areaDatRecord(std::uint16_t code, std::int32_t offset) {
    return le16(code) + le32(offset);
}

std::string countyDatRecord(std::string_view name, std::uint8_t state, std::int32_t offset) {
    return std::string(1, char(name.size() + 1)) + std::string(name) + std::string(1, char(state)) +
           le32(offset);
}

std::string zipList(std::initializer_list<std::uint16_t> zips) {
    std::string s = le16(std::uint16_t(zips.size()));
    for (auto z : zips)
        s += le16(z);
    return s;
}

std::string cityDatRecord(std::string_view name, std::uint8_t state,
                          std::initializer_list<std::uint16_t> zips) {
    return std::string(1, char(name.size() + 1)) + std::string(name) + std::string(1, char(state)) +
           zipList(zips);
}

std::string fixtureDir(std::string_view name) {
    return std::string(CORVANA_FIXTURE_ROOT) + "/" + std::string(name);
}

std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

namespace {

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

} // namespace

QueryOutcome RunQuery(const TempDir& work, const std::vector<std::string>& args,
                      const std::optional<std::string>& input) {
    std::string cmd = "XDG_CONFIG_HOME=" + Quote(work.str()) + " LC_ALL=C " +
                      Quote(std::string(CORVANA_BIN_DIR) + "/corvana-query");
    for (const auto& a : args)
        cmd += " " + Quote(a);
    if (input) {
        work.write("in", *input);
        cmd += " <" + Quote((work.path() / "in").string());
    }
    cmd += " >" + Quote((work.path() / "out").string()) + " 2>" +
           Quote((work.path() / "err").string());
    QueryOutcome r;
    const int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = readFile(work.path() / "out");
    r.err = readFile(work.path() / "err");
    return r;
}

} // namespace corvana::test
