#pragma once

#include "TestUtil.h"

#include "data/DataSet.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace corvana::test {

// The intact files of one data set, held in memory, and a directory into which a variant of
// them is written for each case: every file as it was except the one being damaged.
class DataFiles {
public:
    explicit DataFiles(std::map<std::string, std::string> files);
    ~DataFiles();
    DataFiles(const DataFiles&) = delete;
    DataFiles& operator=(const DataFiles&) = delete;

    // Every data file of a directory (names in capitals ending in .DAT or .IDX).
    static DataFiles fromDir(const std::string& dir);

    const std::string& operator[](const std::string& name) const { return files_.at(name); }

    // Writes the set with `name` replaced by `bytes` and returns a DataSet pointing at it;
    // nothing is loaded yet.
    DataSet with(const std::string& name, const std::string& bytes) const;
    DataSet without(const std::string& name) const;
    DataSet intact() const;

private:
    void put(const std::string& name, const std::string& bytes) const;
    DataSet writeAll(const std::string& name, const std::string* bytes) const;

    std::map<std::string, std::string> files_;
    // On tmpfs when there is one: thousands of cases rewrite a file each, and a disk
    // flushes every file that is truncated and written again.
    std::string dir_;
    mutable bool written_ = false;
    mutable std::string changed_;
};

// Where each record of a variable-length file begins, parsed independently of the program.
struct RecordSpan {
    std::size_t begin = 0;
    std::size_t end = 0; // one past the last byte
};
std::vector<RecordSpan> countyRecords(const std::string& bytes);
std::vector<RecordSpan> cityRecords(const std::string& bytes);

// Counts the cases a matrix test has tried, for the summary printed at the end of the run.
void countCase(std::size_t n = 1);
std::size_t casesTried();

} // namespace corvana::test
