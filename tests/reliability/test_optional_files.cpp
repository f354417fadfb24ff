// The data files a set may go without (locations, facts, telephone exchanges, outlines) are
// missing only when nothing lies at their path. Whatever lies there but cannot be read is
// unreadable, and every reader says so alike: a data set is never taken for one without a file
// that is there but damaged.
#include "DataFiles.h"
#include "Syscalls.h"

#include "data/Exchanges.h"
#include "data/FileNames.h"
#include "data/MappedFile.h"
#include "data/ZipFacts.h"
#include "geo/Points.h"
#include "map/Outlines.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <sys/syscall.h>

using namespace corvana;
using namespace corvana::test;
namespace fs = std::filesystem;

namespace {

// What each reader answers for a data set, in one line per file.
std::vector<std::string> answersFor(const DataSet& data) {
    return {geo::LoadPoints(data).message, LoadFacts(data).message, LoadExchanges(data).message,
            map::loadOutlines(data.path(filenames::OutlineDat)).error};
}

const std::vector<std::string> Missing = {msg::NoLocations, msg::NoFacts, msg::NoExchanges,
                                          map::msg::OutlinesNotFound};
const std::vector<std::string> Unreadable = {msg::PointsUnreadable, msg::FactsUnreadable,
                                             msg::ExchangesUnreadable,
                                             map::msg::OutlinesUnreadable};

constexpr const char* OptionalFiles[] = {filenames::PointsDat, filenames::FactsDat,
                                         filenames::ExchangeDat, filenames::OutlineDat};

// A data set whose every optional file is made by `make` at its path.
struct Case {
    const char* name;
    std::function<void(const fs::path&)> make;
};

DataSet dataSetOf(const TempDir& dir, const Case& c) {
    DataSet data;
    data.dir = dir.str();
    for (const char* name : OptionalFiles)
        c.make(dir.path() / name);
    return data;
}

} // namespace

TEST(OptionalFiles, NothingAtThePathIsMissing) {
    const Case cases[] = {
        {"no file", [](const fs::path&) {}},
        {"a link to nothing", [](const fs::path& p) { fs::create_symlink("gone", p); }},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const DataSet data = dataSetOf(dir, c);
        for (const char* name : OptionalFiles)
            EXPECT_TRUE(DataFileMissing(data.path(name))) << c.name << ' ' << name;
        EXPECT_EQ(answersFor(data), Missing) << c.name;
        countCase();
    }
    // A data directory that is a file holds nothing.
    TempDir dir;
    dir.write("set", "");
    DataSet data;
    data.dir = dir.str() + "/set";
    EXPECT_TRUE(DataFileMissing(data.path(filenames::PointsDat)));
    EXPECT_EQ(answersFor(data), Missing);
    countCase();
}

TEST(OptionalFiles, WhatIsThereButCannotBeReadIsUnreadable) {
    const Case cases[] = {
        {"a folder", [](const fs::path& p) { fs::create_directory(p); }},
        // Even looking at the path fails: something is there, and it cannot be read.
        {"a link to itself", [](const fs::path& p) { fs::create_symlink(p.filename(), p); }},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const DataSet data = dataSetOf(dir, c);
        for (const char* name : OptionalFiles)
            EXPECT_FALSE(DataFileMissing(data.path(name))) << c.name << ' ' << name;
        EXPECT_EQ(answersFor(data), Unreadable) << c.name;
        countCase();
    }
}

TEST(OptionalFiles, AFileThatCannotBeOpenedIsUnreadable) {
    if (!filtersAvailable())
        GTEST_SKIP() << "this kernel does not filter system calls";
    TempDir dir;
    const DataSet data = dataSetOf(
        dir, {"a file", [&](const fs::path& p) { dir.write(p.filename().string(), "bytes"); }});
    for (int err : {EACCES, EIO, EMFILE}) {
        // The child reports through its exit code: 0 when every reader said "could not be read".
        const ChildEnd end = runFiltered({{SYS_openat, -1, 0, failWith(err)}},
                                         [&] { return answersFor(data) == Unreadable ? 0 : 1; });
        EXPECT_TRUE(end.exitedWith(0)) << "errno " << err << " signal " << end.signal;
        countCase();
    }
}
