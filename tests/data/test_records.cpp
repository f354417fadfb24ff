// The shared record codec against the tests' own encoder: a wrong offset or size in the codec
// shows here instead of agreeing with itself between corvana-mkdata and the readers.

#include "TestUtil.h"

#include "data/Records.h"

#include <gtest/gtest.h>

using namespace corvana;
using namespace corvana::test;

namespace {

const std::uint8_t* bytesOf(const std::string& s) {
    return reinterpret_cast<const std::uint8_t*>(s.data());
}

} // namespace

TEST(Records, ZipRecordMatchesTheTestEncoderBothWays) {
    struct Case {
        std::uint32_t zip;
        std::int32_t city;
        std::uint16_t county, area;
        std::uint8_t tz;
    };
    for (const Case& c : {Case{84101, 0, 0, 801, 5 | 128}, Case{501, 0x7FFFFFFF, NoCounty, 0, 0},
                          Case{99950, -1, 65534, 907, 0x89}, Case{10000, 0x01020304, 256, 1, 1}}) {
        const std::string theirs = zipDatRecord(c.zip, c.city, c.county, c.area, c.tz);
        ASSERT_EQ(theirs.size(), ZipRecord::Size);
        ZipRecord r = ZipRecord::decode(bytesOf(theirs));
        EXPECT_EQ(r.zipValue(), c.zip);
        EXPECT_EQ(r.cityOffset, c.city);
        EXPECT_EQ(r.county, c.county);
        EXPECT_EQ(r.areaCode, c.area);
        EXPECT_EQ(r.timeZone, c.tz);
        std::string ours;
        r.encode(ours);
        EXPECT_EQ(ours, theirs) << c.zip;
    }
}

TEST(Records, ZoneByteHoldsZoneAndDaylightSaving) {
    for (int zone = 0; zone <= 127; ++zone) {
        for (bool dst : {false, true}) {
            ZipRecord r;
            r.timeZone = ZipRecord::zoneByte(zone, dst);
            EXPECT_EQ(r.zone(), zone);
            EXPECT_EQ(r.observesDst(), dst);
        }
    }
    // As the data files hold them: Mountain with daylight-saving time, Hawaii without.
    EXPECT_EQ(ZipRecord::zoneByte(5, true), 0x85);
    EXPECT_EQ(ZipRecord::zoneByte(2, false), 0x02);
    EXPECT_EQ(ZipRecord::zoneOf(0x89), 9);
    EXPECT_TRUE(ZipRecord::dstOf(0x89));
}

TEST(Records, IndexAndAreaRecordsMatchTheTestEncoder) {
    const std::string idx = zipIdxRecord(841, 12345, 7, 0x00ABCDEF);
    ASSERT_EQ(idx.size(), ZipIndexRecord::Size);
    ZipIndexRecord z = ZipIndexRecord::decode(bytesOf(idx));
    EXPECT_EQ(z.prefix, 841);
    EXPECT_EQ(z.entry.first, 12345);
    EXPECT_EQ(z.entry.count, 7);
    EXPECT_EQ(z.entry.mainCity, 0x00ABCDEF);
    EXPECT_EQ(z.entry.spare, 0);
    std::string ours;
    z.encode(ours);
    EXPECT_EQ(ours, idx);

    const std::string area = areaDatRecord(972, 0x10203040);
    ASSERT_EQ(area.size(), AreaRecord::Size);
    AreaRecord a = AreaRecord::decode(bytesOf(area));
    EXPECT_EQ(a.code, 972);
    EXPECT_EQ(a.listOffset, 0x10203040);
    ours.clear();
    a.encode(ours);
    EXPECT_EQ(ours, area);
}

TEST(Records, CityIndexKeysOfOneAndTwoLetters) {
    std::string two;
    CityIndexRecord::of("SALT", 0x0102).encode(two);
    EXPECT_EQ(two, std::string("\x02SA", 3) + le32(0x0102));
    CityIndexRecord r = CityIndexRecord::decode(bytesOf(two));
    EXPECT_EQ(r.keyLength, 2);
    EXPECT_EQ(std::string(r.key, 2), "SA");
    EXPECT_EQ(r.cityOffset, 0x0102);

    std::string one;
    CityIndexRecord::of("Q", 77).encode(one);
    EXPECT_EQ(one, std::string("\x01Q\0", 3) + le32(77));
    EXPECT_EQ(one.size(), CityIndexRecord::Size);
    // The tests' own index pads with a blank; only the length byte says what counts.
    const std::string padded = std::string("\x01Q ", 3) + le32(77);
    EXPECT_EQ(CityIndexRecord::decode(bytesOf(padded)).keyLength, 1);
    EXPECT_EQ(CityIndexRecord::decode(bytesOf(padded)).cityOffset, 77);
}

TEST(Records, NamedBodiesAndZipListsMatchTheTestEncoder) {
    std::string city;
    EncodeNamedBody(city, "Zu\xF1i", 3);
    EncodeZipList(city, {13, 65535});
    EXPECT_EQ(city, cityDatRecord("Zu\xF1i", 3, {13, 65535}));

    std::string county;
    EncodeNamedBody(county, "Salt Lake", 0);
    storeI32(county, 42);
    EXPECT_EQ(county, countyDatRecord("Salt Lake", 0, 42));

    std::string empty;
    EncodeZipList(empty, {});
    EXPECT_EQ(empty, zipList({}));
}
