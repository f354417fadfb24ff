// PEOPLE.DAT damaged in every way a file can be: missing, unreadable, cut at every byte, one
// byte longer, any byte changed, made for other data. Each gives the corrupt message or a file
// whose every figure lies within what the file may hold; the rest of the data set works as
// before.
#include "DataFiles.h"

#include "data/FileNames.h"
#include "data/People.h"
#include "search/Search.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace corvana;
using namespace corvana::test;

namespace {

const DataFiles& pointFiles() {
    static const DataFiles set = DataFiles::fromDir(fixtureDir("points"));
    return set;
}

PeopleLoad loadWith(const std::string& bytes) {
    countCase();
    return LoadPeople(pointFiles().with(filenames::PeopleDat, bytes));
}

void expectCorrupt(const std::string& bytes, const std::string& label) {
    const PeopleLoad load = loadWith(bytes);
    EXPECT_EQ(load.status, PeopleStatus::Damaged) << label;
    EXPECT_EQ(load.message, msg::PeopleCorrupt) << label;
    EXPECT_FALSE(load.people) << label;
}

void expectSoundFigures(const People& people, const std::string& label) {
    for (std::uint32_t n = 0; n < people.recordCount(); ++n) {
        const auto f = people.ofRecord(n);
        ASSERT_TRUE(f) << label;
        EXPECT_LE(f->population.value_or(0), MaxPopulation) << label;
        EXPECT_LE(f->densityTenths.value_or(0), MaxDensityTenths) << label;
    }
    EXPECT_FALSE(people.ofRecord(std::uint32_t(people.recordCount()))) << label;
}

std::string header(std::uint32_t count) {
    std::string out;
    PeopleHeader{count}.encode(out);
    return out;
}

} // namespace

TEST(CorruptPeople, MissingOrUnreadableLeavesTheRestAsItWas) {
    DataSet none = pointFiles().without(filenames::PeopleDat);
    const PeopleLoad load = LoadPeople(none);
    EXPECT_EQ(load.status, PeopleStatus::Missing);
    EXPECT_EQ(load.message, msg::NoPeople);
    EXPECT_TRUE(LoadInData(none).ok());

    DataSet folder = pointFiles().without(filenames::PeopleDat);
    std::filesystem::create_directory(folder.path(filenames::PeopleDat));
    const PeopleLoad unreadable = LoadPeople(folder);
    EXPECT_EQ(unreadable.status, PeopleStatus::Damaged);
    EXPECT_EQ(unreadable.message, msg::PeopleUnreadable);
    EXPECT_TRUE(LoadInData(folder).ok());
    std::filesystem::remove(folder.path(filenames::PeopleDat));

    // A damaged file leaves the searches as they were: they do not read it.
    DataSet damaged = pointFiles().with(filenames::PeopleDat, "CVP1");
    EXPECT_EQ(LoadPeople(damaged).message, msg::PeopleCorrupt);
    ASSERT_TRUE(LoadInData(damaged).ok());
    const Settings settings;
    const SearchResult s = SearchTheZip("84101", SearchContext{damaged, settings, {}});
    EXPECT_TRUE(s.ok());
    EXPECT_EQ(s.items.size(), 1u);
}

TEST(CorruptPeople, CutLongerOrMadeForOtherData) {
    const std::string& whole = pointFiles()[filenames::PeopleDat];
    const PeopleLoad intact = loadWith(whole);
    ASSERT_EQ(intact.status, PeopleStatus::Loaded);
    expectSoundFigures(*intact.people, "intact");
    for (std::size_t n = 0; n < whole.size(); ++n)
        expectCorrupt(whole.substr(0, n), "cut at " + std::to_string(n));
    expectCorrupt(whole + '\0', "one byte more");
    expectCorrupt(whole + std::string(PeopleRecord::Size, '\0'), "one record more");

    // Counts that a size check must not multiply into overflow, or that disagree with the size.
    for (std::uint32_t count : {0u, 1u, 65537u, 0x20000000u, 0xFFFFFFFFu})
        expectCorrupt(header(count) + whole.substr(PeopleHeader::Size),
                      "count " + std::to_string(count));

    // A sound file of another record count belongs to other ZIP data.
    std::string other = header(3);
    for (int i = 0; i < 3; ++i)
        PeopleRecord{100, 1000}.encode(other);
    ASSERT_TRUE(People::fromBytes(
        std::span(reinterpret_cast<const std::uint8_t*>(other.data()), other.size())));
    expectCorrupt(other, "other data");
}

TEST(CorruptPeople, FiguresAboveTheirMaximumAreRefused) {
    const std::size_t records =
        (pointFiles()[filenames::PeopleDat].size() - PeopleHeader::Size) / PeopleRecord::Size;
    auto file = [&](PeopleRecord r) {
        std::string out = header(std::uint32_t(records));
        for (std::size_t i = 0; i < records; ++i)
            r.encode(out);
        return out;
    };
    EXPECT_EQ(loadWith(file({MaxPopulation, MaxDensityTenths})).status, PeopleStatus::Loaded);
    EXPECT_EQ(loadWith(file({NoFigure, NoFigure})).status, PeopleStatus::Loaded);
    expectCorrupt(file({MaxPopulation + 1, 0}), "population");
    expectCorrupt(file({0, MaxDensityTenths + 1}), "density");
    expectCorrupt(file({NoFigure - 1, 0}), "population one short of no figure");
}

TEST(CorruptPeople, AnyByteChangedIsRefusedOrReadsBackSound) {
    const std::string& whole = pointFiles()[filenames::PeopleDat];
    std::size_t loaded = 0, refused = 0;
    for (std::size_t at = 0; at < whole.size(); ++at) {
        for (std::uint8_t flip : {0x01, 0x80, 0xFF}) {
            std::string s = whole;
            s[at] = char(s[at] ^ flip);
            const PeopleLoad load = loadWith(s);
            if (load.status == PeopleStatus::Loaded) {
                ++loaded;
                expectSoundFigures(*load.people, "byte " + std::to_string(at));
            } else {
                ++refused;
                EXPECT_EQ(load.message, msg::PeopleCorrupt);
            }
        }
    }
    // Low bytes of a figure may change and stay sound; the magic, the count and high bytes may not.
    EXPECT_GT(loaded, 0u);
    EXPECT_GT(refused, 0u);
}

TEST(CorruptPeople, CommandsThatShowPeopleEndWithTheMessage) {
    // What corvana-query does with each state of the file: show goes on without the figures
    // when there are none, and every command ends with exit 3 and the message when they are
    // damaged; a command about people needs them.
    const TempDir work;
    // Each set is checked as soon as it is written: the sets share one folder.
    auto check = [&](const std::string& label, const DataSet& data, const std::string& message) {
        const bool missing = message == msg::NoPeople;
        auto run = [&](std::vector<std::string> args) {
            args.insert(args.begin(), {"--data", data.dir});
            return RunQuery(work, args);
        };
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"reach", "84101", "--miles", "5"},
              {"reach", "40.7,-111.9", "--people", "10"},
              {"county", "salt lake", "--sort", "population"}}) {
            const QueryOutcome r = run(args);
            EXPECT_EQ(r.status, 3) << label << " " << args[0];
            EXPECT_EQ(r.out, "") << label;
            EXPECT_NE(r.err.find(message), std::string::npos) << label << ": " << r.err;
        }
        const QueryOutcome show = run({"show", "84101"});
        const QueryOutcome lookup = run({"lookup", "--columns", "population,density", "84101"});
        if (missing) {
            EXPECT_EQ(show.status, 0) << show.err;
            EXPECT_NE(show.out.find("Zip Code: 84101"), std::string::npos);
            EXPECT_EQ(show.out.find("Population"), std::string::npos);
            EXPECT_EQ(lookup.status, 0) << lookup.err;
            EXPECT_EQ(lookup.out, "zip,population,density\r\n84101,,\r\n");
        } else {
            for (const QueryOutcome* r : {&show, &lookup}) {
                EXPECT_EQ(r->status, 3) << label;
                EXPECT_EQ(r->out, "") << label;
                EXPECT_NE(r->err.find(message), std::string::npos) << label << ": " << r->err;
            }
        }
    };
    check("missing", pointFiles().without(filenames::PeopleDat), msg::NoPeople);
    check("cut", pointFiles().with(filenames::PeopleDat, "CVP1"), msg::PeopleCorrupt);
    check("other data", pointFiles().with(filenames::PeopleDat, header(0)), msg::PeopleCorrupt);
    check("a byte changed",
          pointFiles().with(filenames::PeopleDat,
                            "CVP2" + pointFiles()[filenames::PeopleDat].substr(4)),
          msg::PeopleCorrupt);
    DataSet folder = pointFiles().without(filenames::PeopleDat);
    std::filesystem::create_directory(folder.path(filenames::PeopleDat));
    check("unreadable", folder, msg::PeopleUnreadable);
    std::filesystem::remove(folder.path(filenames::PeopleDat));
}
