#include "DataFiles.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <stdexcept>
#include <unistd.h>

namespace corvana::test {

namespace {

std::size_t cases = 0;
std::size_t variants = 0;

class Summary : public ::testing::Environment {
public:
    void TearDown() override {
        if (cases)
            std::cout << "corrupt-data cases tried: " << cases << " checks on " << variants
                      << " damaged data sets\n";
    }
};
const auto* summary = ::testing::AddGlobalTestEnvironment(new Summary);

} // namespace

DataFiles::DataFiles(std::map<std::string, std::string> files) : files_(std::move(files)) {
    std::string base = ::access("/dev/shm", W_OK) == 0
                           ? std::string("/dev/shm")
                           : std::filesystem::temp_directory_path().string();
    std::string templ = base + "/corvana-matrix-XXXXXX";
    if (!::mkdtemp(templ.data()))
        throw std::runtime_error("cannot create a scratch directory");
    dir_ = templ;
}

DataFiles::~DataFiles() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

DataFiles DataFiles::fromDir(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::string name = entry.path().filename().string();
        auto ext = entry.path().extension().string();
        if (ext == ".DAT" || ext == ".IDX")
            files[name] = readFile(entry.path());
    }
    return DataFiles(std::move(files));
}

void DataFiles::put(const std::string& name, const std::string& bytes) const {
    std::ofstream out(dir_ + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + name);
}

DataSet DataFiles::writeAll(const std::string& name, const std::string* bytes) const {
    // Only the file damaged by the last case differs from the intact set.
    if (!written_) {
        for (const auto& [n, b] : files_)
            put(n, b);
        written_ = true;
    } else if (!changed_.empty()) {
        put(changed_, files_.at(changed_));
    }
    changed_ = name;
    if (!name.empty())
        ++variants;
    if (bytes)
        put(name, *bytes);
    else if (!name.empty())
        std::filesystem::remove(dir_ + "/" + name);
    DataSet d;
    d.dir = dir_;
    return d;
}

DataSet DataFiles::with(const std::string& name, const std::string& bytes) const {
    return writeAll(name, &bytes);
}

DataSet DataFiles::without(const std::string& name) const {
    return writeAll(name, nullptr);
}

DataSet DataFiles::intact() const {
    return writeAll("", nullptr);
}

std::vector<RecordSpan> countyRecords(const std::string& bytes) {
    std::vector<RecordSpan> spans;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = pos + 1 + std::uint8_t(bytes[pos]) + 4;
        spans.push_back({pos, end});
        pos = end;
    }
    return spans;
}

std::vector<RecordSpan> cityRecords(const std::string& bytes) {
    std::vector<RecordSpan> spans;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t countAt = pos + 1 + std::uint8_t(bytes[pos]);
        std::size_t n = std::uint8_t(bytes[countAt]) | (std::uint8_t(bytes[countAt + 1]) << 8);
        std::size_t end = countAt + 2 + 2 * n;
        spans.push_back({pos, end});
        pos = end;
    }
    return spans;
}

void countCase(std::size_t n) {
    cases += n;
}
std::size_t casesTried() {
    return cases;
}

} // namespace corvana::test
