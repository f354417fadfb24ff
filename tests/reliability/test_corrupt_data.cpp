// Every data file damaged in every way a copy can be damaged: cut at each record boundary and
// inside each record, a length byte running past the end, offsets negative or past the end,
// state and county numbers outside their tables. Each case names the message it must give, or
// the sound result it must give instead.
#include "DataFiles.h"

#include "data/DataSet.h"
#include "data/Errors.h"
#include "data/Records.h"
#include "data/ZipFile.h"
#include "geo/Nearby.h"
#include "geo/Points.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <iostream>
#include <map>

using namespace corvana;
using namespace corvana::test;

namespace {

const DataFiles& files() {
    static const DataFiles set = DataFiles::fromDir(fixtureDir("small"));
    return set;
}

bool noZipIndex(const DataSet& d) {
    for (const auto& e : d.zipIndex)
        if (e.first != -1)
            return false;
    return true;
}

bool noAreaTable(const DataSet& d) {
    for (auto v : d.areaTable)
        if (v != -1)
            return false;
    return true;
}

std::string cut(const std::string& s, std::size_t n) {
    return s.substr(0, n);
}

// The state number of a record whose last body byte is its state, at `stateAt`.
std::string withByte(std::string s, std::size_t at, std::uint8_t value) {
    s[at] = char(value);
    return s;
}

} // namespace

TEST(CorruptLoad, EachMissingResidentFileGivesItsMessage) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"STATE.DAT", {msg::StateNotFound}},
        {"COUNTY.DAT", {msg::CountyNotFound}},
        {"ZIPCODE.IDX", {msg::ZipIndexNotFound}},
        {"AREA.DAT", {msg::AreaDataNotFound}},
    };
    for (const auto& [name, messages] : cases) {
        DataSet d = files().without(name);
        EXPECT_EQ(LoadInData(d).fatal, messages) << name;
        countCase();
    }
    DataSet d = files().intact();
    EXPECT_TRUE(LoadInData(d).ok());
}

TEST(CorruptLoad, CountyFileCutAtEveryByte) {
    const std::string& whole = files()["COUNTY.DAT"];
    auto records = countyRecords(whole);
    for (std::size_t n = 0; n < whole.size(); ++n) {
        DataSet d = files().with("COUNTY.DAT", cut(whole, n));
        LoadResult r = LoadInData(d);
        std::size_t complete = 0;
        bool boundary = n == 0;
        for (const auto& rec : records) {
            complete += rec.end <= n;
            boundary |= rec.end == n;
        }
        if (boundary) {
            // Whole records only: a shorter but sound table, and the ZIP index loads.
            EXPECT_TRUE(r.ok()) << "cut at " << n;
            EXPECT_EQ(d.counties.size(), complete) << "cut at " << n;
            EXPECT_FALSE(noZipIndex(d) || noAreaTable(d)) << "cut at " << n;
        } else {
            EXPECT_EQ(r.fatal, std::vector<std::string>{msg::CountyCorrupt}) << "cut at " << n;
            EXPECT_FALSE(r.ioError);
            EXPECT_TRUE(noZipIndex(d) && noAreaTable(d)) << "cut at " << n;
        }
        countCase();
    }
}

TEST(CorruptLoad, CountyLengthByteRunningPastTheEnd) {
    const std::string& whole = files()["COUNTY.DAT"];
    for (const auto& rec : countyRecords(whole)) {
        std::size_t left = whole.size() - rec.begin - 1;
        // From a body that ends just short of the offset to the longest body a byte can give.
        for (std::size_t len = left - 3; len <= 255; ++len) {
            DataSet d = files().with("COUNTY.DAT", withByte(whole, rec.begin, std::uint8_t(len)));
            LoadResult r = LoadInData(d);
            EXPECT_EQ(r.fatal, std::vector<std::string>{msg::CountyCorrupt})
                << "record at " << rec.begin << " length " << len;
            EXPECT_TRUE(noZipIndex(d));
            countCase();
        }
    }
}

TEST(CorruptLoad, CountyStateNumberOutsideTheStateTable) {
    const std::string& whole = files()["COUNTY.DAT"];
    DataSet probe = files().intact();
    ASSERT_TRUE(LoadInData(probe).ok());
    const std::size_t states = probe.states.size();
    for (const auto& rec : countyRecords(whole)) {
        std::size_t stateAt = rec.end - 5;
        for (std::size_t s : {states - 1, states, states + 1, std::size_t(255)}) {
            DataSet d = files().with("COUNTY.DAT", withByte(whole, stateAt, std::uint8_t(s)));
            LoadResult r = LoadInData(d);
            if (s < states) {
                EXPECT_TRUE(r.ok());
                EXPECT_EQ(d.stateAbbrev(d.counties[0].stateNumber()).size(), 2u);
            } else {
                EXPECT_EQ(r.fatal, std::vector<std::string>{msg::CountyCorrupt})
                    << "record at " << rec.begin << " state " << s;
            }
            countCase();
        }
    }
    // A body of length 0 has no state byte at all.
    DataSet d = files().with("COUNTY.DAT", std::string(5, '\0'));
    EXPECT_EQ(LoadInData(d).fatal, std::vector<std::string>{msg::CountyCorrupt});
    countCase();
}

TEST(CorruptLoad, StateFileCutAtEveryByte) {
    // Fewer state lines than the counties refer to make the county file corrupt; otherwise the
    // shorter table loads as it stands.
    const std::string& whole = files()["STATE.DAT"];
    DataSet full = files().intact();
    ASSERT_TRUE(LoadInData(full).ok());
    int highest = 0;
    for (const auto& c : full.counties)
        highest = std::max(highest, c.stateNumber());
    for (std::size_t n = 0; n <= whole.size(); ++n) {
        DataSet d = files().with("STATE.DAT", cut(whole, n));
        LoadResult r = LoadInData(d);
        if (int(d.states.size()) > highest) {
            EXPECT_TRUE(r.ok()) << "cut at " << n;
        } else {
            EXPECT_EQ(r.fatal, std::vector<std::string>{msg::CountyCorrupt}) << "cut at " << n;
        }
        for (const auto& s : d.states)
            EXPECT_EQ(s.find_first_of("\r\n"), std::string::npos);
        countCase();
    }
}

TEST(CorruptLoad, FixedRecordFilesCutAtEveryByte) {
    struct File {
        const char* name;
        std::size_t recordSize;
    };
    for (File f : {File{"ZIPCODE.IDX", 13}, File{"AREA.DAT", 6}}) {
        const std::string& whole = files()[f.name];
        DataSet full = files().intact();
        ASSERT_TRUE(LoadInData(full).ok());
        for (std::size_t n = 0; n < whole.size(); ++n) {
            DataSet d = files().with(f.name, cut(whole, n));
            LoadResult r = LoadInData(d);
            EXPECT_TRUE(r.fatal.empty()) << f.name << " cut at " << n;
            std::size_t complete = n / f.recordSize;
            if (n % f.recordSize == 0) {
                EXPECT_FALSE(r.ioError) << f.name << " cut at " << n;
            } else {
                // A partial last record is the read-past-end error; the whole records before
                // it are in the table.
                EXPECT_EQ(r.ioError, std::optional<std::string>(msg::ReadPastEnd))
                    << f.name << " cut at " << n;
            }
            for (std::size_t i = 0; i < whole.size() / f.recordSize; ++i) {
                std::uint16_t key =
                    loadU16(reinterpret_cast<const std::uint8_t*>(whole.data()) + i * f.recordSize);
                bool isZipIndex = f.recordSize == 13;
                std::int32_t got = isZipIndex ? d.zipIndex[key].first : d.areaTable[key];
                std::int32_t want = isZipIndex ? full.zipIndex[key].first : full.areaTable[key];
                EXPECT_EQ(got, i < complete ? want : -1) << f.name << " cut at " << n;
            }
            // A damaged ZIP index stops the load before the area-code table.
            if (f.recordSize == 13 && n % 13 != 0) {
                EXPECT_TRUE(noAreaTable(d));
            }
            countCase();
        }
    }
}

TEST(CorruptLoad, KeysOutsideTheTablesAreLeftOut) {
    DataSet full = files().intact();
    ASSERT_TRUE(LoadInData(full).ok());
    for (std::uint16_t key : {std::uint16_t(1000), std::uint16_t(4096), std::uint16_t(65535)}) {
        DataSet d =
            files().with("ZIPCODE.IDX", files()["ZIPCODE.IDX"] + zipIdxRecord(key, 0, 1, 0));
        EXPECT_TRUE(LoadInData(d).ok());
        for (std::size_t p = 0; p < 1000; ++p)
            EXPECT_EQ(d.zipIndex[p].first, full.zipIndex[p].first);
        DataSet e = files().with("AREA.DAT", files()["AREA.DAT"] + areaDatRecord(key, 0));
        EXPECT_TRUE(LoadInData(e).ok());
        EXPECT_EQ(e.areaTable, full.areaTable);
        countCase(2);
    }
}

TEST(CorruptRecords, CityFileCutAtEveryByte) {
    const std::string& whole = files()["CITY.DAT"];
    auto records = cityRecords(whole);
    Settings settings;
    // The intact texts first: every case below rewrites the file that they come from.
    DataSet full = files().intact();
    ASSERT_TRUE(LoadInData(full).ok());
    std::map<std::size_t, std::string> intactText;
    auto fullCity = CityFile::open(full);
    for (const auto& rec : records)
        intactText[rec.begin] =
            GetCityState(*fullCity, std::int64_t(rec.begin), settings.citiesInCaps, full);
    for (std::size_t n = 0; n < whole.size(); ++n) {
        DataSet d = files().with("CITY.DAT", cut(whole, n));
        ASSERT_TRUE(LoadInData(d).ok());
        auto city = CityFile::open(d);
        ASSERT_TRUE(city);
        for (const auto& rec : records) {
            // GetCityState reads the length byte, the name and the state byte only.
            std::size_t needed = rec.begin + 1 + std::uint8_t(whole[rec.begin]);
            try {
                std::string text =
                    GetCityState(*city, std::int64_t(rec.begin), settings.citiesInCaps, d);
                EXPECT_LE(needed, n) << "record at " << rec.begin << " cut at " << n;
                EXPECT_EQ(text, intactText[rec.begin]);
            } catch (const FatalError& e) {
                EXPECT_GT(needed, n) << "record at " << rec.begin << " cut at " << n;
                EXPECT_EQ(std::string(e.what()), msg::CityCorrupt);
            }
            countCase();
        }
    }
}

TEST(CorruptRecords, CityOffsetsLengthsAndStatesOutOfRange) {
    const std::string& whole = files()["CITY.DAT"];
    Settings settings;
    auto fatalOf = [&](const DataSet& d, std::int64_t offset) -> std::string {
        auto city = CityFile::open(d);
        try {
            GetCityState(*city, offset, settings.citiesInCaps, d);
        } catch (const FatalError& e) {
            return e.what();
        }
        return "";
    };
    DataSet d = files().intact();
    ASSERT_TRUE(LoadInData(d).ok());
    const std::int64_t size = std::int64_t(whole.size());
    for (std::int64_t offset : {std::int64_t(-1), std::int64_t(-2), std::int64_t(INT32_MIN)}) {
        EXPECT_EQ(fatalOf(d, offset), msg::CitySeekFailed) << offset;
        countCase();
    }
    for (std::int64_t offset : {size, size + 1, std::int64_t(INT32_MAX)}) {
        EXPECT_EQ(fatalOf(d, offset), msg::CityCorrupt) << offset;
        countCase();
    }
    for (const auto& rec : cityRecords(whole)) {
        std::size_t len = std::uint8_t(whole[rec.begin]);
        // A length byte running past the end of the file.
        for (std::size_t bad = whole.size() - rec.begin; bad <= 255; ++bad) {
            DataSet e = files().with("CITY.DAT", withByte(whole, rec.begin, std::uint8_t(bad)));
            ASSERT_TRUE(LoadInData(e).ok());
            EXPECT_EQ(fatalOf(e, std::int64_t(rec.begin)), msg::CityCorrupt);
            countCase();
        }
        // A state number outside the state table.
        for (std::uint8_t state : {std::uint8_t(d.states.size()), std::uint8_t(255)}) {
            DataSet e = files().with("CITY.DAT", withByte(whole, rec.begin + len, state));
            ASSERT_TRUE(LoadInData(e).ok());
            EXPECT_EQ(fatalOf(e, std::int64_t(rec.begin)), msg::CityCorrupt);
            countCase();
        }
        // A length of 0 leaves no room for the state.
        DataSet e = files().with("CITY.DAT", withByte(whole, rec.begin, 0));
        ASSERT_TRUE(LoadInData(e).ok());
        EXPECT_EQ(fatalOf(e, std::int64_t(rec.begin)), msg::CityCorrupt);
        countCase();
    }
}

TEST(CorruptRecords, ZipFileCutAtEveryByte) {
    const std::string& whole = files()["ZIPCODE.DAT"];
    std::vector<std::uint32_t> intactZips;
    {
        DataSet full = files().intact();
        auto fullZips = ZipFile::open(full);
        for (std::size_t r = 0; r < fullZips->recordCount(); ++r)
            intactZips.push_back(fullZips->read(std::int64_t(r)).zipValue());
    }
    for (std::size_t n = 0; n < whole.size(); ++n) {
        DataSet d = files().with("ZIPCODE.DAT", cut(whole, n));
        auto zips = ZipFile::open(d);
        ASSERT_TRUE(zips);
        for (std::int64_t r = -1; r <= std::int64_t(whole.size() / 13); ++r) {
            if (r >= 0 && std::size_t(r + 1) * 13 <= n) {
                EXPECT_EQ(zips->read(r).zipValue(), intactZips[std::size_t(r)]);
            } else {
                EXPECT_THROW(zips->read(r), IoError) << "record " << r << " cut at " << n;
            }
            countCase();
        }
    }
}

namespace {

const DataFiles& pointFiles() {
    static const DataFiles set = DataFiles::fromDir(fixtureDir("points"));
    return set;
}

// A loaded points file answers as the scan of its own positions does, whatever its bytes were.
void expectSoundAnswers(const geo::Points& points, const std::string& label) {
    for (geo::GeoPoint centre : {geo::GeoPoint{40.7, -111.9}, geo::GeoPoint{52, 179.9}}) {
        std::vector<geo::NearbyZip> want;
        for (std::uint32_t r = 0; r < points.recordCount(); ++r)
            if (auto p = points.position(r))
                if (double km = geo::GeodesicKm(centre, *p); km <= 5000)
                    want.push_back({r, km});
        std::stable_sort(want.begin(), want.end(),
                         [](const auto& a, const auto& b) { return a.km < b.km; });
        EXPECT_EQ(geo::Near(points, centre, 5000).zips, want) << label;
    }
}

geo::PointsLoad loadPointsWith(const std::string& bytes) {
    DataSet d = pointFiles().with("POINTS.DAT", bytes);
    countCase();
    return geo::LoadPoints(d);
}

void expectCorrupt(const std::string& bytes, const std::string& label) {
    geo::PointsLoad load = loadPointsWith(bytes);
    EXPECT_EQ(load.status, geo::PointsStatus::Damaged) << label;
    EXPECT_EQ(load.message, msg::PointsCorrupt) << label;
    EXPECT_FALSE(load.points) << label;
}

} // namespace

TEST(CorruptPoints, MissingCutOrLongerFile) {
    DataSet none = pointFiles().without("POINTS.DAT");
    geo::PointsLoad load = geo::LoadPoints(none);
    EXPECT_EQ(load.status, geo::PointsStatus::NoLocations);
    EXPECT_EQ(load.message, msg::NoLocations);
    // The rest of the set works as before.
    EXPECT_TRUE(LoadInData(none).ok());

    const std::string& whole = pointFiles()["POINTS.DAT"];
    ASSERT_EQ(loadPointsWith(whole).status, geo::PointsStatus::Loaded);
    for (std::size_t n = 0; n < whole.size(); ++n)
        expectCorrupt(cut(whole, n), "cut at " + std::to_string(n));
    expectCorrupt(whole + '\0', "one byte more");

    // Positions made for other ZIP data: the small set's ZIP file has another record count.
    const DataFiles small = DataFiles::fromDir(fixtureDir("small"));
    DataSet other = small.intact();
    std::filesystem::copy_file(fixtureDir("points") + "/POINTS.DAT", other.path("POINTS.DAT"));
    geo::PointsLoad foreign = geo::LoadPoints(other);
    EXPECT_EQ(foreign.status, geo::PointsStatus::Damaged);
    EXPECT_EQ(foreign.message, "File containing ZIP code locations belongs to other ZIP code "
                               "data: build the data files again together with corvana-mkdata, "
                               "or remove POINTS.DAT.");

    // A folder in its place cannot be read.
    DataSet d = pointFiles().without("POINTS.DAT");
    std::filesystem::create_directory(d.path("POINTS.DAT"));
    EXPECT_EQ(geo::LoadPoints(d).message, msg::PointsUnreadable);
    std::filesystem::remove(d.path("POINTS.DAT"));
}

TEST(CorruptPoints, FieldsOutOfRange) {
    const std::string whole = pointFiles()["POINTS.DAT"];
    auto bytes = [&](std::size_t at) { return reinterpret_cast<const std::uint8_t*>(&whole[at]); };
    const PointsHeader header = PointsHeader::decode(bytes(0));
    const std::size_t listAt = PointsHeader::Size + header.recordCount * PointRecord::Size;
    auto with = [&](std::size_t at, std::string bytes) {
        std::string s = whole;
        s.replace(at, bytes.size(), bytes);
        return s;
    };
    expectCorrupt(with(PointsHeader::RecordsAt, le32(std::int32_t(header.recordCount + 1))),
                  "records+1");
    expectCorrupt(with(PointsHeader::ListAt, le32(std::int32_t(header.listCount - 1))), "list-1");
    expectCorrupt(with(PointsHeader::LeafAt, std::string(1, '\0')), "leaf size 0");
    for (std::size_t r = 0; r < header.recordCount; ++r) {
        const std::size_t at = PointsHeader::Size + r * PointRecord::Size;
        const std::string label = "record " + std::to_string(r);
        expectCorrupt(with(at + PointRecord::LatitudeAt, le32(9000001)), label + " latitude");
        expectCorrupt(with(at + PointRecord::LatitudeAt, le32(-9000001)), label + " latitude");
        expectCorrupt(with(at + PointRecord::LongitudeAt, le32(18000001)), label + " longitude");
        expectCorrupt(with(at + PointRecord::StateAt, std::string(1, char(100))), label + " state");
        expectCorrupt(with(at + PointRecord::CountyAt, le16(1000)), label + " county");
        // A position with one half missing, or the other way round.
        const bool placed = loadI32(bytes(at)) != INT32_MIN;
        expectCorrupt(with(at + (placed ? PointRecord::LongitudeAt : PointRecord::LatitudeAt),
                           le32(placed ? INT32_MIN : 0)),
                      label + " half a position");
    }
    for (std::size_t i = 0; i < header.listCount; ++i) {
        const std::size_t at = listAt + 2 * i;
        const std::string label = "list entry " + std::to_string(i);
        expectCorrupt(with(at, le16(std::uint16_t(header.recordCount))), label + " past the end");
        // Every other entry named twice, or a record without a position named.
        for (std::uint16_t r = 0; r < header.recordCount; ++r)
            if (r != loadU16(bytes(at)))
                expectCorrupt(with(at, le16(r)), label + " names " + std::to_string(r));
    }
}

TEST(CorruptPoints, AnyByteChangedIsRefusedOrStillAnswersRight) {
    const std::string& whole = pointFiles()["POINTS.DAT"];
    std::size_t loaded = 0;
    for (std::size_t at = 0; at < whole.size(); ++at) {
        for (std::uint8_t flip : {0x01, 0x80, 0xFF}) {
            std::string s = whole;
            s[at] = char(s[at] ^ flip);
            geo::PointsLoad load = loadPointsWith(s);
            if (load.status == geo::PointsStatus::Loaded) {
                ++loaded;
                expectSoundAnswers(*load.points, "byte " + std::to_string(at));
            } else {
                EXPECT_EQ(load.message, msg::PointsCorrupt);
            }
        }
    }
    // Positions and county codes may change and stay sound; the structure may not.
    EXPECT_GT(loaded, 0u);
}
