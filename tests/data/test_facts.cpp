// ZIPFACTS.DAT read back from bytes made here by hand: every fault of its structure refused,
// never read past.
#include "TestUtil.h"

#include "data/FileNames.h"
#include "data/ZipFacts.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace corvana;
using namespace corvana::test;

namespace {

std::string u8(unsigned v) {
    return std::string(1, char(v));
}
std::string text(std::string_view s) {
    return u8(unsigned(s.size())) + std::string(s);
}

// Kind, zone, flags, counties (code, name), area codes, other city names.
std::string record(unsigned kind, unsigned zone, unsigned flags,
                   std::vector<std::pair<std::int32_t, std::string>> counties,
                   std::vector<std::uint16_t> codes, std::vector<std::string> cities) {
    std::string r = u8(kind) + u8(zone) + u8(flags) + u8(unsigned(counties.size()));
    for (const auto& [fips, name] : counties)
        r += le32(fips) + text(name);
    r += u8(unsigned(codes.size()));
    for (std::uint16_t c : codes)
        r += le16(c);
    r += u8(unsigned(cities.size()));
    for (const auto& c : cities)
        r += text(c);
    return r;
}

std::string file(const std::vector<std::string>& zones, const std::vector<std::string>& records) {
    std::string body, offsets = le32(0);
    for (const auto& r : records) {
        body += r;
        offsets += le32(std::int32_t(body.size()));
    }
    std::string out = "ZFC1" + le32(std::int32_t(records.size())) +
                      le32(std::int32_t(zones.size())) + le32(std::int32_t(body.size()));
    for (const auto& z : zones)
        out += text(z);
    return out + offsets + body;
}

std::optional<ZipFacts> read(const std::string& bytes) {
    return ZipFacts::fromBytes(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

const std::vector<std::string> Zones = {"America/Denver", "America/Indiana/Knox"};
const std::vector<std::string> Records = {
    record(1, 1, 3, {{49035, "Salt Lake"}, {49049, "Utah"}}, {801, 385}, {}),
    record(3, 0, 0, {}, {}, {}),
    record(2, 2, 0, {{0, "Starke"}}, {574}, {"Ft Knox", "Ft. Knox"}),
};

} // namespace

TEST(FactsFile, ReadsBackWhatWasWritten) {
    const auto facts = read(file(Zones, Records));
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->recordCount(), 3u);
    EXPECT_EQ(facts->zoneNames(), Zones);

    const ZipFactsEntry slc = *facts->entry(0);
    EXPECT_EQ(slc.kind, ZipKind::Standard);
    EXPECT_EQ(slc.zoneName, "America/Denver");
    ASSERT_EQ(slc.counties.size(), 2u);
    EXPECT_TRUE(slc.hasMainCounty && slc.hasMainAreaCode);
    EXPECT_EQ(slc.counties[1].name, "Utah");
    EXPECT_EQ(slc.counties[1].fipsText(), "49049");
    EXPECT_EQ(slc.otherCounties().size(), 1u);
    EXPECT_EQ(slc.otherAreaCodes()[0], 385);

    const ZipFactsEntry apo = *facts->entry(1);
    EXPECT_EQ(apo.kind, ZipKind::Military);
    EXPECT_EQ(apo.zoneName, "");
    EXPECT_TRUE(apo.counties.empty() && apo.areaCodes.empty());

    // Without the main flags every county and code is another one.
    const ZipFactsEntry knox = *facts->entry(2);
    EXPECT_EQ(knox.zoneName, "America/Indiana/Knox");
    EXPECT_EQ(knox.otherCounties().size(), 1u);
    EXPECT_EQ(knox.otherCounties()[0].fipsText(), "");
    EXPECT_EQ(knox.otherAreaCodes().size(), 1u);
    EXPECT_EQ(knox.otherCities, (std::vector<std::string_view>{"Ft Knox", "Ft. Knox"}));
    EXPECT_EQ(facts->kind(2), ZipKind::PoBoxOrUnique);
    EXPECT_EQ(facts->kind(3), ZipKind::Unknown);
    EXPECT_FALSE(facts->entry(3));

    // FIPS codes keep their leading zero.
    EXPECT_EQ((FactsCountyView{1001, "Autauga"}).fipsText(), "01001");
    // An empty file set is sound too.
    EXPECT_EQ(read(file({}, {}))->recordCount(), 0u);
}

TEST(FactsFile, EveryCutAndEveryStructuralFaultIsRefused) {
    const std::string whole = file(Zones, Records);
    for (std::size_t n = 0; n < whole.size(); ++n)
        EXPECT_FALSE(read(whole.substr(0, n))) << "cut at " << n;
    EXPECT_FALSE(read(whole + '\0'));

    auto refused = [&](std::vector<std::string> zones, std::vector<std::string> records) {
        return !read(file(zones, records));
    };
    EXPECT_TRUE(refused(Zones, {record(4, 0, 0, {}, {}, {})}));              // no such kind
    EXPECT_TRUE(refused(Zones, {record(1, 3, 0, {}, {}, {})}));              // no such zone
    EXPECT_TRUE(refused(Zones, {record(1, 0, 4, {}, {}, {})}));              // unknown flag
    EXPECT_TRUE(refused(Zones, {record(1, 0, 1, {}, {}, {})}));              // main county, none
    EXPECT_TRUE(refused(Zones, {record(1, 0, 2, {}, {}, {})}));              // main code, none
    EXPECT_TRUE(refused(Zones, {record(1, 0, 0, {{100000, "X"}}, {}, {})})); // six digits
    EXPECT_TRUE(refused(Zones, {record(1, 0, 0, {{0, ""}}, {}, {})}));       // empty name
    EXPECT_TRUE(refused(Zones, {record(1, 0, 0, {}, {0}, {})}));             // area code 0
    EXPECT_TRUE(refused(Zones, {record(1, 0, 0, {}, {1000}, {})}));
    EXPECT_TRUE(refused(Zones, {record(1, 0, 0, {}, {}, {""})}));
    EXPECT_TRUE(refused(Zones, {record(1, 0, 0, {}, {}, {}) + "x"})); // a byte left over
    for (const char* zone :
         {"Denver", "America/", "/Denver", "america/Denver", "A/B/C/D", "America/Den ver", ""})
        EXPECT_TRUE(refused({zone}, {record(1, 1, 0, {}, {}, {})})) << zone;

    // Offsets that do not start at 0, fall, or pass the body.
    auto withOffset = [&](std::size_t i, std::int32_t value) {
        std::string s = whole;
        std::size_t at = 16;
        for (const auto& z : Zones)
            at += 1 + z.size();
        s.replace(at + 4 * i, 4, le32(value));
        return s;
    };
    EXPECT_FALSE(read(withOffset(0, 1)));
    EXPECT_FALSE(read(withOffset(2, 0)));
    EXPECT_FALSE(read(withOffset(3, 100000)));
    // A record split at the wrong place leaves bytes to one and takes them from the next.
    EXPECT_FALSE(read(withOffset(1, std::int32_t(Records[0].size() + 1))));

    // Counts far beyond the file, and another magic.
    std::string s = whole;
    s.replace(4, 4, le32(-1));
    EXPECT_FALSE(read(s));
    s = whole;
    s.replace(8, 4, le32(256));
    EXPECT_FALSE(read(s));
    s = whole;
    s.replace(12, 4, le32(-1));
    EXPECT_FALSE(read(s));
    s = whole;
    s[3] = '2';
    EXPECT_FALSE(read(s));
}

TEST(FactsFile, ZoneNameForm) {
    for (const char* good :
         {"America/Boise", "Pacific/Guam", "America/Indiana/Tell_City", "America/Port-au-Prince",
          "Etc/GMT+5", "America/North_Dakota/New_Salem"})
        EXPECT_TRUE(IsZoneNameForm(good)) << good;
    for (const char* bad : {"", "UTC", "EST5EDT", "america/Boise", "America/Boise/",
                            "America Boise", "A/B/C/D", "America/Bo.ise"})
        EXPECT_FALSE(IsZoneNameForm(bad)) << bad;
    EXPECT_FALSE(IsZoneNameForm("America/" + std::string(60, 'x')));
}

TEST(FactsFile, LoadedOnFirstUseFromTheDataDirectory) {
    TempDir dir;
    DataSet data;
    data.dir = dir.str();
    // No file: nothing to show, and no error.
    const LazyFacts missing(data);
    EXPECT_EQ(missing.get().status, FactsStatus::Missing);
    EXPECT_EQ(missing.get().message, msg::NoFacts);
    EXPECT_EQ(missing.facts(), nullptr);

    // Three records beside a ZIP file of three: loaded. Of two: facts of other data.
    dir.write(filenames::FactsDat, file(Zones, Records));
    dir.write(filenames::ZipDat, std::string(3 * 13, '\0'));
    const LazyFacts lazy(data);
    EXPECT_EQ(lazy.get().status, FactsStatus::Loaded);
    ASSERT_NE(lazy.facts(), nullptr);
    EXPECT_EQ(lazy.facts()->entry(0)->counties[0].name, "Salt Lake");
    // Read once: a file changed afterwards is not read again.
    dir.write(filenames::FactsDat, "x");
    EXPECT_EQ(lazy.get().status, FactsStatus::Loaded);
    EXPECT_EQ(LoadFacts(data).message, msg::FactsCorrupt);

    dir.write(filenames::FactsDat, file(Zones, Records));
    dir.write(filenames::ZipDat, std::string(2 * 13, '\0'));
    EXPECT_EQ(LoadFacts(data).status, FactsStatus::Damaged);

    // A folder in its place cannot be read.
    dir.remove(filenames::FactsDat);
    std::filesystem::create_directory(dir.path() / filenames::FactsDat);
    EXPECT_EQ(LoadFacts(data).message, msg::FactsUnreadable);
}
