// The records of a ZIP code or prefix, found through the ZIP index: the one look-up that the
// searches, the command line and the map share.

#include "TestUtil.h"

#include "data/DataSet.h"
#include "data/Errors.h"
#include "data/ZipFile.h"

#include <gtest/gtest.h>

#include <vector>

using namespace corvana;
using namespace corvana::test;

namespace {

// Block 841: 84101 twice (two cities), 84102, 84110 and a record of another prefix that a damaged
// index put there. Block 5 claims three records where the file ends after one; block 846 is
// there but empty.
struct Blocks {
    TempDir dir;
    DataSet data;
    Blocks() {
        dir.write("ZIPCODE.DAT",
                  zipDatRecord(84101, 0, 0, 801, 5) + zipDatRecord(84101, 7, 0, 801, 5) +
                      zipDatRecord(84102, 0, 0, 801, 5) + zipDatRecord(84110, 0, 0, 801, 5) +
                      zipDatRecord(84299, 0, 0, 801, 5) + zipDatRecord(501, 0, NoCounty, 0, 0));
        data.dir = dir.str();
        data.zipIndex[841] = ZipIndexEntry{0, 5, 0, 0};
        data.zipIndex[5] = ZipIndexEntry{5, 3, 0, 0};
        data.zipIndex[846] = ZipIndexEntry{6, 0, 0, 0};
        data.zipIndex[842].count = 4; // no first record: empty whatever the count
    }
    // The record numbers, each with its ZIP code.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> walk(std::string_view digits) const {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> seen;
        ForEachZipRecord(data, OpenZipFile(data), digits, [&](std::uint32_t n, const ZipRecord& r) {
            seen.emplace_back(n, r.zipValue());
        });
        return seen;
    }
};

using Seen = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

} // namespace

TEST(ZipRecords, PrefixTakesItsBlockWholeMoreDigitsNarrowIt) {
    const Blocks b;
    EXPECT_EQ(b.walk("841"), (Seen{{0, 84101}, {1, 84101}, {2, 84102}, {3, 84110}, {4, 84299}}));
    EXPECT_EQ(b.walk("8410"), (Seen{{0, 84101}, {1, 84101}, {2, 84102}}));
    EXPECT_EQ(b.walk("8411"), (Seen{{3, 84110}}));
    EXPECT_EQ(b.walk("84101"), (Seen{{0, 84101}, {1, 84101}}));
    EXPECT_EQ(b.walk("84103"), Seen{});
    // The stray record belongs to its own ZIP code only through the block it was put in.
    EXPECT_EQ(b.walk("84299"), Seen{});
    EXPECT_EQ(b.walk("842"), Seen{});
}

TEST(ZipRecords, OnlyThreeToFiveDigitsFindAnything) {
    const Blocks b;
    for (std::string_view digits : {"", "8", "84", "841011", "84 1", "84a", "-841", "8410 "})
        EXPECT_TRUE(ZipBlock(b.data, digits).empty()) << digits;
    EXPECT_FALSE(ZipBlock(b.data, "00501").empty());
    // A block the index gives no records is there but yields none; one without a first record
    // is not there at all.
    EXPECT_FALSE(ZipBlock(b.data, "846").empty());
    EXPECT_EQ(b.walk("846"), Seen{});
    EXPECT_TRUE(ZipBlock(b.data, "842").empty());
    EXPECT_EQ(b.walk("84201"), Seen{});
    const ZipBlock block(b.data, "8410");
    EXPECT_EQ(block.first(), 0u);
    EXPECT_EQ(block.count(), 5u);
}

TEST(ZipRecords, WalkStopsWhenAskedAndHandsOnWhatPrecedesADamagedRecord) {
    const Blocks b;
    std::vector<std::uint32_t> numbers;
    ForEachZipRecord(b.data, OpenZipFile(b.data), "841", [&](std::uint32_t n, const ZipRecord&) {
        numbers.push_back(n);
        return numbers.size() < 2;
    });
    EXPECT_EQ(numbers, (std::vector<std::uint32_t>{0, 1}));

    // Block 5 runs past the end of the file: the record before the end comes first.
    numbers.clear();
    EXPECT_THROW(ForEachZipRecord(b.data, OpenZipFile(b.data), "005",
                                  [&](std::uint32_t n, const ZipRecord&) { numbers.push_back(n); }),
                 IoError);
    EXPECT_EQ(numbers, (std::vector<std::uint32_t>{5}));
}

TEST(ZipRecords, OpenersNameTheMissingFile) {
    TempDir empty;
    DataSet data;
    data.dir = empty.str();
    const auto message = [&](auto open) {
        try {
            open();
        } catch (const FatalError& e) {
            return std::string(e.what());
        }
        return std::string("opened");
    };
    EXPECT_EQ(message([&] { OpenZipFile(data); }), msg::ZipFileNotFound);
    EXPECT_EQ(message([&] { OpenCityFile(data); }), msg::CityNotFound);
    EXPECT_EQ(message([&] { OpenDataFile(data, "COUNTY.IDX", msg::CountyIndexNotFound); }),
              msg::CountyIndexNotFound);
}
