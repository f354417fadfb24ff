#include "DataFiles.h"

#include <filesystem>

namespace corvana::test {

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

DataSet DataFiles::writeAll(const std::string& name, const std::string* bytes) const {
    // Only the file damaged by the last case differs from the intact set.
    if (!written_) {
        for (const auto& [n, b] : files_)
            dir_.write(n, b);
        written_ = true;
    } else if (!changed_.empty()) {
        dir_.write(changed_, files_.at(changed_));
    }
    changed_ = name;
    if (bytes)
        dir_.write(name, *bytes);
    else if (!name.empty())
        dir_.remove(name);
    DataSet d;
    d.dir = dir_.str();
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

namespace {
std::size_t cases = 0;
}

void countCase(std::size_t n) {
    cases += n;
}
std::size_t casesTried() {
    return cases;
}

} // namespace corvana::test
