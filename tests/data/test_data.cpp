#include "TestUtil.h"

#include "data/DataSet.h"
#include "data/Errors.h"
#include "data/MappedFile.h"
#include "data/ZipFile.h"
#include "settings/Settings.h"
#include "text/Win1252.h"

#include <gtest/gtest.h>

#include <set>

using namespace corvana;
using namespace corvana::test;

namespace {

// A small consistent data set: two states, one county, one city with two ZIP codes.
struct HandMade {
    TempDir dir;
    HandMade() {
        dir.write("STATE.DAT", "UT8\r\nTX7\r\nTX8\r\n");
        dir.write("COUNTY.DAT", countyDatRecord("Salt Lake", 0, 0));
        dir.write("CITY.DAT", cityDatRecord("Salt Lake City", 0, {0, 1}));
        dir.write("ZIPCODE.IDX", zipIdxRecord(841, 0, 2, 0) + zipIdxRecord(5, 2, 1, 0));
        dir.write("ZIPCODE.DAT", zipDatRecord(84101, 0, 0, 801, 5 | 128) +
                                     zipDatRecord(84102, 0, 0, 801, 5 | 128) +
                                     zipDatRecord(501, 0, NoCounty, 0, 0));
        dir.write("AREA.DAT", areaDatRecord(801, 0));
        dir.write("AREA.IDX", zipList({0, 1}));
    }
    DataSet data() const {
        DataSet d;
        d.dir = dir.str();
        return d;
    }
};

} // namespace

TEST(DataLoad, LoadsEveryResidentTable) {
    HandMade h;
    DataSet d = h.data();
    auto r = LoadInData(d);
    EXPECT_TRUE(r.ok());
    ASSERT_EQ(d.states.size(), 3u);
    EXPECT_EQ(d.stateAbbrev(1), "TX");
    EXPECT_EQ(d.stateAbbrev(2), "TX");
    EXPECT_EQ(d.stateAbbrev(3), "");
    ASSERT_EQ(d.counties.size(), 1u);
    EXPECT_EQ(d.counties[0].name(), "Salt Lake");
    EXPECT_EQ(d.counties[0].stateNumber(), 0);
    EXPECT_EQ(d.countyName(NoCounty), "");
    EXPECT_EQ(d.zipIndex[841].first, 0);
    EXPECT_EQ(d.zipIndex[841].count, 2);
    EXPECT_EQ(d.zipIndex[5].first, 2);
    EXPECT_EQ(d.zipIndex[840].first, -1);
    EXPECT_EQ(d.areaTable[801], 0);
    EXPECT_EQ(d.areaTable[802], -1);
}

TEST(DataLoad, MissingFilesGiveTheirMessagesInOrder) {
    HandMade h;
    {
        h.dir.remove("ZIPCODE.IDX");
        h.dir.remove("AREA.DAT");
        DataSet d = h.data();
        auto r = LoadInData(d);
        EXPECT_EQ(r.fatal,
                  (std::vector<std::string>{msg::ZipIndexNotFound, msg::AreaDataNotFound}));
    }
    {
        h.dir.remove("COUNTY.DAT");
        DataSet d = h.data();
        EXPECT_EQ(LoadInData(d).fatal, std::vector<std::string>{msg::CountyNotFound});
    }
    {
        h.dir.remove("STATE.DAT");
        DataSet d = h.data();
        EXPECT_EQ(LoadInData(d).fatal, std::vector<std::string>{msg::StateNotFound});
    }
}

TEST(DataLoad, EmptyAndDuplicatedRecords) {
    HandMade h;
    h.dir.write("COUNTY.DAT", "");
    h.dir.write("ZIPCODE.IDX", zipIdxRecord(841, 0, 2, 0) + zipIdxRecord(841, 7, 3, 9) +
                                   zipIdxRecord(1000, 1, 1, 1) + zipIdxRecord(65535, 1, 1, 1));
    h.dir.write("AREA.DAT", areaDatRecord(801, 5) + areaDatRecord(801, 9) + areaDatRecord(1000, 1) +
                                areaDatRecord(999, 3));
    DataSet d = h.data();
    auto r = LoadInData(d);
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(d.counties.empty());
    // The later record for a prefix or area code replaces the earlier one whole.
    EXPECT_EQ(d.zipIndex[841].first, 7);
    EXPECT_EQ(d.zipIndex[841].count, 3);
    EXPECT_EQ(d.zipIndex[841].mainCity, 9);
    EXPECT_EQ(d.areaTable[801], 9);
    EXPECT_EQ(d.areaTable[999], 3);

    h.dir.write("ZIPCODE.IDX", "");
    h.dir.write("AREA.DAT", "");
    DataSet e = h.data();
    EXPECT_TRUE(LoadInData(e).ok());
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(e.zipIndex[std::size_t(i)].first, -1);
        ASSERT_EQ(e.areaTable[std::size_t(i)], -1);
    }
}

TEST(DataLoad, CorruptCountyFileStopsBeforeTheZipIndex) {
    HandMade h;
    const std::string good = countyDatRecord("Salt Lake", 0, 0);
    // Cut after the length byte, inside the body, and after the body without its offset.
    for (std::size_t cut : {std::size_t(1), std::size_t(5), good.size() - 4, good.size() - 1}) {
        h.dir.write("COUNTY.DAT", good + good.substr(0, cut));
        DataSet d = h.data();
        auto r = LoadInData(d);
        EXPECT_EQ(r.fatal, std::vector<std::string>{msg::CountyCorrupt}) << cut;
        EXPECT_EQ(d.zipIndex[841].first, -1) << "ZIP index must not load after " << cut;
    }
    // A state number the state table lacks, and an empty body, are as bad as a short file.
    for (const std::string& bad :
         {countyDatRecord("Nowhere", 3, 0), std::string("\0\0\0\0\0", 5)}) {
        h.dir.write("COUNTY.DAT", bad);
        DataSet d = h.data();
        EXPECT_EQ(LoadInData(d).fatal, std::vector<std::string>{msg::CountyCorrupt});
    }
}

TEST(DataLoad, PartialIndexRecordIsAnIoError) {
    HandMade h;
    h.dir.write("ZIPCODE.IDX", zipIdxRecord(841, 0, 2, 0) + "\x01\x02\x03");
    DataSet d = h.data();
    auto r = LoadInData(d);
    EXPECT_TRUE(r.fatal.empty());
    ASSERT_TRUE(r.ioError);
    EXPECT_EQ(d.zipIndex[841].first, 0);
}

TEST(DataLoad, StateLinesAreCutAndKeptInOrder) {
    TempDir dir;
    dir.write("STATE.DAT", "AL3\nAK9 extra text\r\n" + std::string(300, 'x') + "\nWY8");
    DataSet d;
    d.dir = dir.str();
    LoadInData(d);
    ASSERT_EQ(d.states.size(), 4u);
    EXPECT_EQ(d.states[1], "AK9 extra text");
    EXPECT_EQ(d.states[2].size(), 255u);
    EXPECT_EQ(d.states[3], "WY8");
}

TEST(ZipRecords, DecodeAndRangeChecks) {
    HandMade h;
    DataSet d = h.data();
    LoadInData(d);
    auto zf = ZipFile::open(d);
    ASSERT_TRUE(zf);
    EXPECT_EQ(zf->recordCount(), 3u);
    ZipRecord r = zf->read(0);
    EXPECT_EQ(r.zipText(), "84101");
    EXPECT_EQ(r.areaCode, 801);
    EXPECT_EQ(r.timeZone, 5 | 128);
    EXPECT_EQ(zf->read(2).zipText(), "00501");
    EXPECT_THROW(zf->read(3), IoError);
    EXPECT_THROW(zf->read(-1), IoError);

    h.dir.write("ZIPCODE.DAT", zipDatRecord(84101, 0, 0, 801, 5) + "\x08\x00");
    auto partial = ZipFile::open(d);
    EXPECT_EQ(partial->read(0).zipText(), "84101");
    EXPECT_THROW(partial->read(1), IoError);

    h.dir.remove("ZIPCODE.DAT");
    EXPECT_FALSE(ZipFile::open(d));
}

TEST(CityRecords, GetCityStateAndItsFaults) {
    HandMade h;
    DataSet d = h.data();
    LoadInData(d);
    Settings s;
    auto city = CityFile::open(d);
    ASSERT_TRUE(city);
    EXPECT_EQ(GetCityState(*city, 0, s.citiesInCaps, d), "Salt Lake City, UT");
    s.citiesInCaps = true;
    EXPECT_EQ(GetCityState(*city, 0, s.citiesInCaps, d), "SALT LAKE CITY, UT");

    auto fatalOf = [&](std::int64_t offset) -> std::string {
        try {
            GetCityState(*city, offset, s.citiesInCaps, d);
        } catch (const FatalError& e) {
            return e.what();
        }
        return "";
    };
    EXPECT_EQ(fatalOf(-1), msg::CitySeekFailed);
    EXPECT_EQ(fatalOf(std::int64_t(city->size())), msg::CityCorrupt);
    EXPECT_EQ(fatalOf(1 << 30), msg::CityCorrupt);

    // A length byte that runs past the end, and a state number outside the state table.
    h.dir.write("CITY.DAT", std::string("\x30", 1) + "Short");
    auto cut = CityFile::open(d);
    EXPECT_THROW(cut->readHeader(0, d), FatalError);
    h.dir.write("CITY.DAT", cityDatRecord("Elsewhere", 9, {}));
    auto badState = CityFile::open(d);
    EXPECT_THROW(badState->readHeader(0, d), FatalError);

    h.dir.remove("CITY.DAT");
    EXPECT_FALSE(CityFile::open(d));
}

TEST(StateNames, LookupRules) {
    Settings s;
    EXPECT_EQ(GetState("AE", s.statesInCaps), "APO/FPO");
    EXPECT_EQ(GetState("AA", s.statesInCaps), "APO/FPO");
    EXPECT_EQ(GetState("AP", s.statesInCaps), "APO/FPO");
    EXPECT_EQ(GetState("FM", s.statesInCaps), "Fed States of Micronesia");
    EXPECT_EQ(GetState("VI", s.statesInCaps), "U.S. Virgin Islands");
    EXPECT_EQ(GetState("al", s.statesInCaps), "al");
    EXPECT_EQ(GetState("XX", s.statesInCaps), "XX");
    EXPECT_EQ(GetState("A", s.statesInCaps), "A");
    EXPECT_EQ(GetState(std::string(40, 'Q'), s.statesInCaps), std::string(25, 'Q'));
    s.statesInCaps = true;
    EXPECT_EQ(GetState("al", s.statesInCaps), "AL");
    EXPECT_EQ(GetState("NY", s.statesInCaps), "NEW YORK");
    // Every row is found by its own abbreviation and none is listed twice.
    std::set<std::string> seen;
    for (const auto& row : StateNames)
        EXPECT_TRUE(seen.insert(row.abbrev).second) << row.abbrev;
    EXPECT_EQ(seen.size(), 62u);
}

TEST(ZipVersion, MessageFromTheFirstLine) {
    HandMade h;
    DataSet d = h.data();
    EXPECT_EQ(ZipVersionMessage(d), msg::VersionNotFound);
    h.dir.write("ZIPVER.DAT", "June 1996\r\nsecond line\r\n");
    EXPECT_EQ(ZipVersionMessage(d), "This version of the Zip Code Data was updated in June 1996.");
    EXPECT_EQ(ZipDataDate(d), "June 1996");
    h.dir.write("ZIPVER.DAT", "");
    EXPECT_EQ(ZipVersionMessage(d), "This version of the Zip Code Data was updated in .");
    h.dir.write("ZIPVER.DAT", std::string(400, 'y'));
    EXPECT_EQ(ZipVersionMessage(d).size(), 255u);
}

TEST(ProgramDir, PathsJoinWithOneSlash) {
    DataSet d;
    d.dir = "";
    EXPECT_EQ(d.path("ZIPCODE.IDX"), "/ZIPCODE.IDX");
    d.dir = "/opt/corvana";
    EXPECT_EQ(d.path("CITY.DAT"), "/opt/corvana/CITY.DAT");
    EXPECT_FALSE(ProgramDirectory().empty());
    EXPECT_NE(ProgramDirectory().back(), '/');
}

TEST(Win1252, RoundTripsEveryByte) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += char(b);
    auto back = Utf8ToWin1252(Win1252ToUtf8(all));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, all);
    EXPECT_EQ(Win1252ToUtf8("Ca\xf1on \x80"), "Ca\xc3\xb1on \xe2\x82\xac");
    EXPECT_FALSE(Utf8ToWin1252("\xe4\xb8\xad"));     // a CJK character
    EXPECT_FALSE(Utf8ToWin1252("\xc3"));             // cut short
    EXPECT_FALSE(Utf8ToWin1252("\xc0\xaf"));         // overlong
    EXPECT_FALSE(Utf8ToWin1252("\xf0\x9f\x98\x80")); // outside the code page
}

TEST(DataFiles, PositionedReadsAcrossPiecesAndPastTheEnd) {
    TempDir dir;
    std::string bytes;
    for (int i = 0; i < 10000; ++i)
        bytes += char(i * 7 + i / 256);
    dir.write("BIG.DAT", bytes);
    auto f = DataFile::open(dir.str() + "/BIG.DAT");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->size(), bytes.size());
    // Reads that start and end inside a piece, straddle one or two piece edges, or end exactly
    // at the end of the file, all give the file's bytes.
    for (auto [off, n] : {std::pair<std::size_t, std::size_t>{0, 13},
                          {4090, 13},
                          {4095, 4200},
                          {8191, 1},
                          {9990, 10},
                          {0, 10000}}) {
        std::string got(n, '\0');
        ASSERT_TRUE(f->read(off, got.data(), n)) << off;
        EXPECT_EQ(got, bytes.substr(off, n)) << off;
    }
    char c;
    std::string tail(6, '\0');
    EXPECT_FALSE(f->read(9995, tail.data(), 6));
    EXPECT_FALSE(f->read(std::uint64_t(1) << 40, &c, 1));
    EXPECT_TRUE(f->read(10000, &c, 0));

    ByteCursor in(*f);
    std::uint16_t v = 0;
    ASSERT_TRUE(in.seek(4095));
    ASSERT_TRUE(in.readU16(v));
    EXPECT_EQ(v, std::uint16_t(std::uint8_t(bytes[4095]) | std::uint8_t(bytes[4096]) << 8));
    EXPECT_TRUE(in.seek(20000));
    EXPECT_FALSE(in.readU16(v));
    EXPECT_FALSE(in.seek(-1));

    // A directory or a missing file is no data file.
    EXPECT_FALSE(DataFile::open(dir.str()));
    EXPECT_FALSE(DataFile::open(dir.str() + "/NONE.DAT"));
}

TEST(DataFiles, ManyScatteredReadsSwitchToOneWholeReadWithTheSameBytes) {
    TempDir dir;
    std::string bytes;
    for (int i = 0; i < 200000; ++i)
        bytes += char((i * 31) ^ (i >> 9));
    dir.write("BIG.DAT", bytes);
    auto f = DataFile::open(dir.str() + "/BIG.DAT");
    ASSERT_TRUE(f);
    // Visit pieces far apart, as a long area-code list does: part-way through, the file is read
    // whole, and every read before and after gives the file's bytes.
    for (std::size_t k = 0; k < 60; ++k) {
        const std::size_t off = (k * 7919 * 13) % (bytes.size() - 20);
        std::string got(20, '\0');
        ASSERT_TRUE(f->read(off, got.data(), got.size())) << k;
        ASSERT_EQ(got, bytes.substr(off, 20)) << k;
    }
    std::string all(bytes.size(), '\0');
    ASSERT_TRUE(f->read(0, all.data(), all.size()));
    EXPECT_EQ(all, bytes);
    char c;
    EXPECT_FALSE(f->read(bytes.size(), &c, 1));
}
