// The zones of the system's time-zone database as the phone answer reads them: offsets and
// abbreviations on both sides of each change, half-hour zones, zones without summer time, the
// footer's rule past the listed transitions, and files and names that are refused.
#include "format/SystemZone.h"
#include "format/ZoneInfo.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace corvana;

namespace {

std::int64_t Utc(int y, unsigned m, unsigned d, int h, int min = 0) {
    using namespace std::chrono;
    const sys_days date{year{y} / month{m} / day{d}};
    return std::int64_t((date + hours(h) + minutes(min)).time_since_epoch() / seconds(1));
}

const ZoneInfo& Zone(std::string_view name) {
    const ZoneInfo* z = SystemZoneInfo(name);
    if (!z)
        throw std::runtime_error("no zone " + std::string(name) + " in the system's database");
    return *z;
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(v >> shift));
}

// A version 2 file without transitions: one time type and the footer, as "slim" files of a zone
// that changes every year look past their last listed transition.
std::vector<std::uint8_t> SlimFile(long offset, std::string_view abbrev, std::string_view footer) {
    std::vector<std::uint8_t> out;
    auto header = [&](std::uint8_t version) {
        out.insert(out.end(), {'T', 'Z', 'i', 'f', version});
        out.resize(out.size() + 15);
        for (std::uint32_t v : {0u, 0u, 0u, 0u, 1u, std::uint32_t(abbrev.size() + 1)})
            Put32(out, v);
    };
    auto block = [&] {
        Put32(out, std::uint32_t(std::int32_t(offset)));
        out.push_back(0);
        out.push_back(0);
        out.insert(out.end(), abbrev.begin(), abbrev.end());
        out.push_back(0);
    };
    header('2');
    block();
    header('2');
    block();
    out.push_back('\n');
    out.insert(out.end(), footer.begin(), footer.end());
    out.push_back('\n');
    return out;
}

} // namespace

TEST(ZoneInfo, OffsetsAndAbbreviationsOnBothSidesOfEachChange) {
    const ZoneInfo& denver = Zone("America/Denver");
    // 10 March 2024, 2:00 MST is 9:00 UTC; 3 November, 2:00 MDT is 8:00 UTC.
    EXPECT_EQ(denver.at(Utc(2024, 3, 10, 8, 59)).offset, -7 * 3600);
    EXPECT_EQ(denver.at(Utc(2024, 3, 10, 8, 59)).abbreviation, "MST");
    EXPECT_EQ(denver.at(Utc(2024, 3, 10, 9)).offset, -6 * 3600);
    EXPECT_EQ(denver.at(Utc(2024, 3, 10, 9)).abbreviation, "MDT");
    EXPECT_TRUE(denver.at(Utc(2024, 11, 3, 7, 59)).daylight);
    EXPECT_FALSE(denver.at(Utc(2024, 11, 3, 8)).daylight);
    EXPECT_EQ(denver.standardOffset(2024), -7 * 3600);

    // Half an hour off the whole hours, both seasons.
    const ZoneInfo& stJohns = Zone("America/St_Johns");
    EXPECT_EQ(stJohns.at(Utc(2024, 1, 15, 12)).offset, -(3 * 3600 + 1800));
    EXPECT_EQ(stJohns.at(Utc(2024, 1, 15, 12)).abbreviation, "NST");
    EXPECT_EQ(stJohns.at(Utc(2024, 7, 15, 12)).offset, -(2 * 3600 + 1800));
    EXPECT_EQ(stJohns.at(Utc(2024, 7, 15, 12)).abbreviation, "NDT");

    // The same offset all year.
    for (unsigned month : {1u, 7u}) {
        EXPECT_EQ(Zone("America/Whitehorse").at(Utc(2024, month, 15, 12)).offset, -7 * 3600);
        EXPECT_EQ(Zone("America/Regina").at(Utc(2024, month, 15, 12)).offset, -6 * 3600);
        EXPECT_EQ(Zone("Pacific/Honolulu").at(Utc(2024, month, 15, 12)).abbreviation, "HST");
    }
    // Past the transitions the file lists, its footer's rule keeps summer time.
    EXPECT_EQ(Zone("America/New_York").at(Utc(2100, 7, 1, 12)).abbreviation, "EDT");
    EXPECT_EQ(Zone("America/New_York").at(Utc(2100, 12, 1, 12)).abbreviation, "EST");
}

TEST(ZoneInfo, AFootersRuleAloneKeepsSummerTimeNorthAndSouth) {
    const auto east = ZoneInfo::fromBytes(SlimFile(-5 * 3600, "EST", "EST5EDT,M3.2.0,M11.1.0"));
    ASSERT_TRUE(east);
    EXPECT_EQ(east->at(Utc(2030, 3, 10, 6, 59)).abbreviation, "EST");
    EXPECT_EQ(east->at(Utc(2030, 3, 10, 7)).abbreviation, "EDT");
    EXPECT_EQ(east->at(Utc(2030, 11, 3, 5, 59)).offset, -4 * 3600);
    EXPECT_EQ(east->at(Utc(2030, 11, 3, 6)).offset, -5 * 3600);

    // New Zealand: summer from the last Sunday of September to the first of April.
    const auto nz = ZoneInfo::fromBytes(SlimFile(12 * 3600, "NZST", "NZST-12NZDT,M9.5.0,M4.1.0/3"));
    ASSERT_TRUE(nz);
    EXPECT_EQ(nz->at(Utc(2030, 1, 15, 0)).abbreviation, "NZDT");
    EXPECT_EQ(nz->at(Utc(2030, 7, 15, 0)).abbreviation, "NZST");
    EXPECT_EQ(nz->standardOffset(2030), 12 * 3600);

    // Names in angle brackets, a half hour, and no summer time.
    const auto half = ZoneInfo::fromBytes(SlimFile(-9000, "-0230", "<-0230>2:30"));
    ASSERT_TRUE(half);
    EXPECT_EQ(half->at(Utc(2030, 7, 1, 0)).offset, -9000);
    EXPECT_EQ(half->at(Utc(2030, 7, 1, 0)).abbreviation, "-0230");
    // A footer that cannot be read leaves the last time type in force.
    const auto odd = ZoneInfo::fromBytes(SlimFile(3600, "CET", "CET-1CEST,J60,J300"));
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->at(Utc(2030, 7, 1, 0)).abbreviation, "CET");
}

TEST(ZoneInfo, DamagedFilesAndStrangeNamesAreRefused) {
    const std::vector<std::uint8_t> good = SlimFile(-5 * 3600, "EST", "EST5");
    ASSERT_TRUE(ZoneInfo::fromBytes(good));
    for (std::size_t cut = 0; cut < 80; ++cut)
        EXPECT_FALSE(ZoneInfo::fromBytes(std::span(good).first(cut))) << cut;
    std::vector<std::uint8_t> bad = good;
    bad[4] = '9'; // no such version
    EXPECT_FALSE(ZoneInfo::fromBytes(bad));
    // The second block's time type starts at 98 (a header, the first block of 10 bytes, a
    // header), its characters "EST" and a NUL at 104.
    bad = good;
    bad[98 + 5] = 7; // the abbreviation starts past the characters
    EXPECT_FALSE(ZoneInfo::fromBytes(bad));
    bad = good;
    bad[107] = 'X'; // it runs to the block's end without a NUL
    EXPECT_FALSE(ZoneInfo::fromBytes(bad));
    bad = good;
    bad[98] = 0x7F; // an offset of years
    EXPECT_FALSE(ZoneInfo::fromBytes(bad));

    for (std::string_view name : {"", "/etc/localtime", "../zoneinfo/UTC", "America//Denver",
                                  "America/./Denver", "America/Den ver", "America/Denver/"})
        EXPECT_EQ(SystemZoneInfo(name), nullptr) << name;
    EXPECT_NE(SystemZoneInfo("America/Argentina/Buenos_Aires"), nullptr);
    EXPECT_NE(SystemZoneInfo("Etc/GMT+10"), nullptr);
    EXPECT_EQ(SystemZoneInfo("../zoneinfo/America/Denver"), nullptr);
    EXPECT_EQ(SystemZoneInfo("America/Nowhere_Town"), nullptr);
    EXPECT_EQ(SystemZoneInfo("America/Denver"), SystemZoneInfo("America/Denver"));
}
