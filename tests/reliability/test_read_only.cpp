// The data files are only ever read: every open asks for reading alone and nothing in the
// program directory changes. Runs the readers in a child process whose file-changing system
// calls kill it, so an open for writing shows even where permission bits would not stop it
// (the tests run as root).
#include "DataFiles.h"
#include "Syscalls.h"

#include "data/DataSet.h"
#include "data/Errors.h"
#include "data/ZipFile.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

using namespace corvana;
using namespace corvana::test;
namespace fs = std::filesystem;

namespace {

// Size, modification time and contents of every file of a directory.
struct FileState {
    std::uintmax_t size = 0;
    std::int64_t mtimeNs = 0;
    std::string bytes;
    bool operator==(const FileState&) const = default;
};

std::map<std::string, FileState> snapshot(const fs::path& dir) {
    std::map<std::string, FileState> files;
    for (const auto& e : fs::directory_iterator(dir)) {
        struct stat st {};
        ::stat(e.path().c_str(), &st);
        files[e.path().filename().string()] = {
            std::uintmax_t(st.st_size),
            std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, readFile(e.path())};
    }
    return files;
}

// Loads the tables and reads every record that the ZIP index reaches, as the searches do.
int readEverything(const std::string& dir) {
    DataSet d;
    d.dir = dir;
    if (!LoadInData(d).ok())
        return 2;
    auto city = CityFile::open(d);
    auto zips = ZipFile::open(d);
    if (!city || !zips)
        return 3;
    Settings settings;
    for (const auto& e : d.zipIndex) {
        if (e.first < 0)
            continue;
        GetCityState(*city, e.mainCity, settings.citiesInCaps, d);
        for (std::uint32_t k = 0; k < e.count; ++k)
            GetCityState(*city, zips->read(e.first + k).cityOffset, settings.citiesInCaps, d);
    }
    ZipVersionMessage(d);
    return 0;
}

std::string dataDir() {
    return fixtureDir("small");
}

} // namespace

TEST(ReadOnly, TheFilterCatchesAnOpenForWriting) {
    if (!filtersAvailable())
        GTEST_SKIP() << "this kernel does not filter system calls";
    TempDir dir;
    std::string path = dir.str() + "/x";
    auto rules = fileChangingCalls(killProcess());
    EXPECT_EQ(runFiltered(rules, [&] { return ::open(path.c_str(), O_WRONLY | O_CREAT, 0644) < 0; })
                  .signal,
              SIGSYS);
    dir.write("x", "abc");
    EXPECT_EQ(runFiltered(rules, [&] { return ::open(path.c_str(), O_RDWR); }).signal, SIGSYS);
    EXPECT_EQ(runFiltered(rules, [&] { return ::unlink(path.c_str()); }).signal, SIGSYS);
    EXPECT_TRUE(runFiltered(rules, [&] {
                    int fd = ::open(path.c_str(), O_RDONLY);
                    return fd >= 0 ? 0 : 1;
                }).exitedWith(0));
}

TEST(ReadOnly, TheTracerNamesEveryFileChanged) {
    if (!tracingAvailable())
        GTEST_SKIP() << "processes cannot be traced here";
    TempDir dir;
    dir.write("old", "x");
    std::string data = dataDir();
    TracedRun run = traceFileChanges([&] {
        readEverything(data);
        if (::chdir(dir.str().c_str()) != 0)
            return 1;
        int fd = ::open("new", O_WRONLY | O_CREAT, 0644);
        ::close(fd);
        ::rename("new", "newer");
        ::unlink((dir.str() + "/old").c_str());
        return 0;
    });
    ASSERT_TRUE(run.end.exitedWith(0));
    ASSERT_EQ(run.changes.size(), 3u);
    std::string real = fs::canonical(dir.path()).string();
    EXPECT_EQ(run.changes[0].paths, std::vector<std::string>{real + "/new"});
    EXPECT_EQ(run.changes[1].paths, (std::vector<std::string>{real + "/new", real + "/newer"}));
    EXPECT_EQ(run.changes[2].call, "unlink");
}

TEST(ReadOnly, LoadingAndReadingOpenTheDataFilesForReadingOnly) {
    if (!filtersAvailable())
        GTEST_SKIP() << "this kernel does not filter system calls";
    std::string dir = dataDir();
    auto before = snapshot(dir);
    auto end = runFiltered(fileChangingCalls(killProcess()), [&] { return readEverything(dir); });
    EXPECT_TRUE(end.exitedWith(0)) << "exit " << end.code << " signal " << end.signal;
    EXPECT_TRUE(snapshot(dir) == before);
}

TEST(ReadOnly, TheQueryProgramChangesNothing) {
    if (!filtersAvailable())
        GTEST_SKIP() << "this kernel does not filter system calls";
    // The program and its data in a directory of their own, made read-only; the settings
    // directory holds no file and must still hold none afterwards.
    TempDir prog;
    TempDir config;
    fs::copy_file(fs::path(CORVANA_BIN_DIR) / "corvana-query", prog.path() / "corvana-query");
    for (const auto& e : fs::directory_iterator(fixtureDir("small")))
        fs::copy_file(e.path(), prog.path() / e.path().filename());
    for (const auto& e : fs::directory_iterator(prog.path()))
        fs::permissions(e.path(),
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    fs::permissions(prog.path(), fs::perms::owner_write, fs::perm_options::remove);
    ::setenv("XDG_CONFIG_HOME", config.str().c_str(), 1);
    auto before = snapshot(prog.path());

    const std::string program = (prog.path() / "corvana-query").string();
    const std::vector<std::vector<std::string>> runs = {
        {"zip", "8"},         {"zip", "84"},
        {"zip", "841"},       {"zip", "84101"},
        {"city", "Sa"},       {"city", "Salem"},
        {"state", "UT", "S"}, {"state", "OR", "Sal"},
        {"county", "Sa"},     {"county", "Salt"},
        {"area", "801"},      {"--format", "4", "city", "Salem"},
        {"--version"},        {"--state", "OR", "city", "Salem"},
    };
    for (const auto& args : runs) {
        std::vector<std::string> argv{program};
        argv.insert(argv.end(), args.begin(), args.end());
        ChildEnd end = runProgram(fileChangingCalls(killProcess()), argv);
        EXPECT_TRUE(end.exitedWith(0))
            << args[0] << " " << args.back() << ": exit " << end.code << " signal " << end.signal;
        EXPECT_FALSE(end.output.empty()) << args[0] << " " << args.back();
    }
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_TRUE(snapshot(prog.path()) == before);
    EXPECT_TRUE(fs::is_empty(config.path()));
}
