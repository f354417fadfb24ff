// ZIPFACTS.DAT damaged in every way a file can be: cut, lengthened, any byte changed, made for
// other data, or not a file. Each gives the corrupt message or a file whose every record reads
// back within its limits; the rest of the data set works as before.
#include "DataFiles.h"

#include "data/FileNames.h"
#include "data/ZipFacts.h"
#include "search/Search.h"
#include "search/ZipDetails.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace corvana;
using namespace corvana::test;

namespace {

const DataFiles& pointFiles() {
    static const DataFiles set = DataFiles::fromDir(fixtureDir("points"));
    return set;
}

FactsLoad loadFactsWith(const std::string& bytes) {
    DataSet d = pointFiles().with(filenames::FactsDat, bytes);
    countCase();
    return LoadFacts(d);
}

void expectCorrupt(const std::string& bytes, const std::string& label) {
    const FactsLoad load = loadFactsWith(bytes);
    EXPECT_EQ(load.status, FactsStatus::Damaged) << label;
    EXPECT_EQ(load.message, msg::FactsCorrupt) << label;
    EXPECT_FALSE(load.facts) << label;
}

// Every record of a loaded file reads back, each value within what the file may hold.
void expectSoundRecords(const ZipFacts& facts, const std::string& label) {
    const Settings settings;
    for (std::uint32_t n = 0; n < facts.recordCount(); ++n) {
        auto e = facts.entry(n);
        ASSERT_TRUE(e) << label;
        EXPECT_EQ(e->kind, facts.kind(n)) << label;
        EXPECT_TRUE(e->zoneName.empty() || IsZoneNameForm(e->zoneName)) << label;
        for (std::uint16_t code : e->areaCodes)
            EXPECT_TRUE(code >= 1 && code <= 999) << label;
        for (const auto& c : e->counties)
            EXPECT_FALSE(c.name.empty()) << label;
        for (std::string_view column : FactColumnNames)
            FactColumnValue(*FactColumnOf(column), &facts, n, settings);
    }
}

} // namespace

TEST(CorruptFacts, MissingCutOrLongerFile) {
    DataSet none = pointFiles().without(filenames::FactsDat);
    FactsLoad load = LoadFacts(none);
    EXPECT_EQ(load.status, FactsStatus::Missing);
    EXPECT_EQ(load.message, msg::NoFacts);
    EXPECT_TRUE(LoadInData(none).ok());

    const std::string& whole = pointFiles()[filenames::FactsDat];
    ASSERT_EQ(loadFactsWith(whole).status, FactsStatus::Loaded);
    for (std::size_t n = 0; n < whole.size(); ++n)
        expectCorrupt(whole.substr(0, n), "cut at " + std::to_string(n));
    expectCorrupt(whole + '\0', "one byte more");

    // Facts made for other ZIP data: the small set's ZIP file has another record count.
    const DataFiles small = DataFiles::fromDir(fixtureDir("small"));
    DataSet other = small.intact();
    std::filesystem::copy_file(fixtureDir("points") + "/ZIPFACTS.DAT",
                               other.path(filenames::FactsDat));
    EXPECT_EQ(LoadFacts(other).message, msg::FactsCorrupt);

    // A folder in its place cannot be read.
    DataSet d = pointFiles().without(filenames::FactsDat);
    std::filesystem::create_directory(d.path(filenames::FactsDat));
    EXPECT_EQ(LoadFacts(d).message, msg::FactsUnreadable);
    std::filesystem::remove(d.path(filenames::FactsDat));
}

TEST(CorruptFacts, AnyByteChangedIsRefusedOrReadsBackSound) {
    const std::string& whole = pointFiles()[filenames::FactsDat];
    std::size_t loaded = 0;
    for (std::size_t at = 0; at < whole.size(); ++at) {
        for (std::uint8_t flip : {0x01, 0x80, 0xFF}) {
            std::string s = whole;
            s[at] = char(s[at] ^ flip);
            const FactsLoad load = loadFactsWith(s);
            if (load.status == FactsStatus::Loaded) {
                ++loaded;
                expectSoundRecords(*load.facts, "byte " + std::to_string(at));
            } else {
                EXPECT_EQ(load.message, msg::FactsCorrupt);
            }
        }
    }
    // Names, codes and kinds may change and stay sound; the structure may not.
    EXPECT_GT(loaded, 0u);
}

TEST(CorruptFacts, DetailsStopWithTheMessageAndSearchesGoOn) {
    const std::string& whole = pointFiles()[filenames::FactsDat];
    DataSet d = pointFiles().with(filenames::FactsDat, whole.substr(0, whole.size() / 2));
    ASSERT_TRUE(LoadInData(d).ok());
    const Settings settings;
    const LazyFacts facts(d);
    const ZipDetailsResult r =
        DetailsOfZip("84101", DetailsContext{d, settings, {}, nullptr, &facts});
    EXPECT_EQ(r.fatal, Fatal(msg::FactsCorrupt));
    EXPECT_TRUE(r.records.empty());
    // The searches do not read the facts.
    const SearchResult s = SearchTheZip("84101", SearchContext{d, settings, {}});
    EXPECT_TRUE(s.ok());
    EXPECT_EQ(s.items.size(), 1u);
}
