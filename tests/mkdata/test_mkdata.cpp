#include "TestUtil.h"

#include "data/DataSet.h"
#include "data/FileNames.h"
#include "data/MappedFile.h"
#include "data/Records.h"
#include "data/ZipFacts.h"
#include "data/ZipFile.h"
#include "geo/Points.h"
#include "mkdata/Builder.h"
#include "mkdata/ExchangeTable.h"
#include "text/Csv.h"
#include "text/ShortString.h"
#include "text/Win1252.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <sstream>

using namespace corvana;
using namespace corvana::mkdata;
using namespace corvana::test;
using corvana::geo::LoadPoints;
using corvana::geo::PointsLoad;

namespace {

using Records = std::vector<std::uint16_t>;
using Texts = std::vector<std::string>;

const std::string Header =
    "zip,city,state,county,area_code,utc_offset,dst,other_counties,other_area_codes\n";

Records listAt(std::span<const std::uint8_t> bytes, std::size_t pos) {
    ByteCursor in(bytes);
    std::uint16_t n = 0;
    if (!in.seek(std::int64_t(pos)) || !in.readU16(n))
        throw std::runtime_error("ZIP list cut short");
    Records list(n);
    for (auto& r : list)
        if (!in.readU16(r))
            throw std::runtime_error("ZIP list cut short");
    return list;
}

struct City {
    std::string name;
    int state = 0;
    std::int32_t offset = 0;
    Records records;
};

// One data set as the program's readers see it.
struct ReadBack {
    DataSet data;
    std::vector<ZipRecord> zips;
    std::vector<City> cities; // in file order
    std::map<std::int32_t, std::size_t> cityByOffset;
    std::vector<std::pair<std::string, std::int32_t>> cityIndex;
    std::vector<Records> countyLists; // by county number
    std::map<int, Records> areaLists;

    explicit ReadBack(const std::string& dir) {
        data.dir = dir;
        auto loaded = LoadInData(data);
        if (!loaded.ok())
            throw std::runtime_error("the data set does not load");
        auto zipFile = ZipFile::open(data);
        auto cityFile = CityFile::open(data);
        auto countyIdx = MappedFile::open(data.path("COUNTY.IDX"));
        auto areaIdx = MappedFile::open(data.path("AREA.IDX"));
        auto cityBytes = MappedFile::open(data.path("CITY.DAT"));
        if (!zipFile || !cityFile || !countyIdx || !areaIdx || !cityBytes)
            throw std::runtime_error("a data file is missing");
        for (std::size_t r = 0; r < zipFile->recordCount(); ++r)
            zips.push_back(zipFile->read(std::int64_t(r)));
        for (std::size_t pos = 0; pos < cityBytes->size();) {
            CityHeader h = cityFile->readHeader(std::int64_t(pos), data);
            Records list = listAt(cityBytes->bytes(), h.listPos);
            cityByOffset[std::int32_t(pos)] = cities.size();
            cities.push_back({h.name, h.state, std::int32_t(pos), list});
            pos = h.listPos + 2 + 2 * list.size();
        }
        std::string idx = readFile(data.path("CITY.IDX"));
        if (idx.size() % 7 != 0)
            throw std::runtime_error("CITY.IDX is not made of 7-byte records");
        for (std::size_t p = 0; p < idx.size(); p += 7)
            cityIndex.emplace_back(idx.substr(p + 1, std::uint8_t(idx[p])),
                                   loadI32(reinterpret_cast<const std::uint8_t*>(&idx[p + 3])));
        for (const auto& c : data.counties)
            countyLists.push_back(listAt(countyIdx->bytes(), std::size_t(c.zipListOffset)));
        for (int code = 0; code < 1000; ++code)
            if (data.areaTable[std::size_t(code)] >= 0)
                areaLists[code] =
                    listAt(areaIdx->bytes(), std::size_t(data.areaTable[std::size_t(code)]));
    }

    std::string zipsText(const Records& list) const {
        std::string s;
        for (auto r : list)
            s += (s.empty() ? "" : " ") + zips.at(r).zipText();
        return s;
    }
    std::string cityText(const City& c) const {
        return c.name + ", " + std::string(data.stateAbbrev(c.state));
    }
    const City& cityAt(std::int32_t offset) const {
        auto it = cityByOffset.find(offset);
        if (it == cityByOffset.end())
            throw std::runtime_error("no city record begins at " + std::to_string(offset));
        return cities[it->second];
    }
    const City& city(std::string_view text) const {
        for (const auto& c : cities)
            if (cityText(c) == text)
                return c;
        throw std::runtime_error("no city " + std::string(text));
    }
    std::string countyText(std::size_t n) const {
        return std::string(data.counties[n].name()) + ", " +
               std::string(data.stateAbbrev(data.counties[n].stateNumber()));
    }
    std::size_t county(std::string_view text) const {
        for (std::size_t n = 0; n < data.counties.size(); ++n)
            if (countyText(n) == text)
                return n;
        throw std::runtime_error("no county " + std::string(text));
    }
};

// What every data set must hold, whatever its table: the orders and indexes that the
// searches rely on, checked from the files alone.
void ExpectConsistent(const ReadBack& b) {
    const auto& zips = b.zips;
    for (std::size_t r = 1; r < zips.size(); ++r)
        ASSERT_LT(zips[r - 1].zipValue(), zips[r].zipValue()) << "record " << r;

    std::set<std::string> stateLines(b.data.states.begin(), b.data.states.end());
    EXPECT_TRUE(std::equal(stateLines.begin(), stateLines.end(), b.data.states.begin()))
        << "state lines sorted and unique";

    std::size_t covered = 0;
    for (std::size_t p = 0; p < 1000; ++p) {
        const ZipIndexEntry& e = b.data.zipIndex[p];
        if (e.first < 0)
            continue;
        ASSERT_GT(e.count, 0) << p;
        std::map<std::int32_t, std::pair<int, std::uint32_t>> perCity; // ZIP codes, lowest ZIP
        for (std::size_t r = std::size_t(e.first); r < std::size_t(e.first) + e.count; ++r) {
            ASSERT_EQ(zips.at(r).zipValue() / 100, p) << "record " << r << " in block " << p;
            auto [it, made] = perCity.try_emplace(zips[r].cityOffset, 0, zips[r].zipValue());
            ++it->second.first;
        }
        covered += e.count;
        auto best = perCity.at(e.mainCity);
        for (const auto& [offset, c] : perCity)
            EXPECT_TRUE(c.first < best.first || (c.first == best.first && c.second >= best.second))
                << "main city of prefix " << p;
    }
    EXPECT_EQ(covered, zips.size());

    std::string lastKey;
    std::size_t idx = 0;
    for (std::size_t i = 0; i < b.cities.size(); ++i) {
        const City& c = b.cities[i];
        if (i > 0) {
            const City& prev = b.cities[i - 1];
            auto order = upperAscii(prev.name).compare(upperAscii(c.name));
            EXPECT_TRUE(order < 0 || (order == 0 && prev.state <= c.state)) << c.name;
            EXPECT_NE(b.cityText(prev), b.cityText(c));
        }
        std::string key = upperAscii(c.name).substr(0, 2);
        if (key != lastKey) {
            ASSERT_LT(idx, b.cityIndex.size());
            EXPECT_EQ(b.cityIndex[idx], std::make_pair(key, c.offset));
            ++idx;
            lastKey = key;
        }
        ASSERT_FALSE(c.records.empty());
        EXPECT_EQ(b.data.states.at(std::size_t(c.state))[2],
                  char('0' + zips.at(c.records[0]).leading))
            << "a city takes the state line of its first ZIP code";
        // A record lists the ZIP codes of its name, main or further, all of its own state.
        for (std::size_t k = 0; k < c.records.size(); ++k) {
            const City& home = b.cityAt(zips.at(c.records[k]).cityOffset);
            EXPECT_EQ(b.data.stateAbbrev(home.state), b.data.stateAbbrev(c.state)) << c.name;
            if (k > 0) {
                EXPECT_LT(c.records[k - 1], c.records[k]);
            }
        }
    }
    EXPECT_EQ(idx, b.cityIndex.size());
    for (std::size_t r = 0; r < zips.size(); ++r) {
        const Records& list = b.cityAt(zips[r].cityOffset).records;
        EXPECT_TRUE(std::binary_search(list.begin(), list.end(), std::uint16_t(r)))
            << "a ZIP code is in the list of its main city";
    }

    // The counties in order, then the further names of counties in order.
    std::size_t runs = 1;
    std::set<std::string> countyTexts;
    for (std::size_t n = 0; n < b.data.counties.size(); ++n) {
        if (n > 0) {
            auto order = upperAscii(b.data.counties[n - 1].name())
                             .compare(upperAscii(b.data.counties[n].name()));
            if (!(order < 0 || (order == 0 && b.data.counties[n - 1].stateNumber() <=
                                                  b.data.counties[n].stateNumber())))
                ++runs;
        }
        EXPECT_TRUE(countyTexts.insert(b.countyText(n)).second) << b.countyText(n);
        const Records& list = b.countyLists[n];
        EXPECT_TRUE(std::is_sorted(list.begin(), list.end()));
        EXPECT_EQ(std::adjacent_find(list.begin(), list.end()), list.end());
    }
    EXPECT_LE(runs, 2u);
    for (std::size_t r = 0; r < zips.size(); ++r) {
        if (zips[r].county != NoCounty) {
            const Records& list = b.countyLists.at(zips[r].county);
            EXPECT_TRUE(std::binary_search(list.begin(), list.end(), std::uint16_t(r)));
        }
        if (zips[r].areaCode != NoAreaCode) {
            const Records& list = b.areaLists.at(zips[r].areaCode);
            EXPECT_TRUE(std::binary_search(list.begin(), list.end(), std::uint16_t(r)));
        }
    }
    for (const auto& [code, list] : b.areaLists) {
        EXPECT_TRUE(std::is_sorted(list.begin(), list.end()));
        EXPECT_EQ(std::adjacent_find(list.begin(), list.end()), list.end());
    }
}

// The values of every record of a table but its empty lines.
std::vector<Texts> tableRows(std::string_view csv) {
    CsvReader reader(TextSource(csv));
    CsvRecord rec;
    std::vector<Texts> rows;
    while (reader.next(rec)) {
        if (rec.isEmptyLine())
            continue;
        rows.emplace_back();
        for (std::size_t i = 0; i < rec.fields.size(); ++i)
            rows.back().push_back(rec.value(i));
    }
    return rows;
}

std::string errorOf(std::string_view csv, std::string_view date = "June 1996") {
    try {
        BuildDataFiles(csv, date);
    } catch (const InputError& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(SmallFixture, EveryRowReadsBackAsWritten) {
    ReadBack b(fixtureDir("small"));
    ExpectConsistent(b);
    EXPECT_EQ(ZipVersionMessage(b.data),
              "This version of the Zip Code Data was updated in June 1996.");
    EXPECT_EQ(b.data.states, (Texts{"AE0", "AZ8", "CO8", "CT0", "HI9", "IL6", "MA0", "NM8", "NY0",
                                    "OK7", "OR9", "TX7", "TX8", "UT8"}));

    auto table = tableRows(readFile(std::string(CORVANA_TEST_SOURCE_DIR) + "/fixtures/small.csv"));
    ASSERT_EQ(b.zips.size(), table.size() - 1);
    for (std::size_t t = 1; t < table.size(); ++t) {
        const auto& f = table[t];
        auto it = std::find_if(b.zips.begin(), b.zips.end(),
                               [&](const ZipRecord& z) { return z.zipText() == f[0]; });
        ASSERT_NE(it, b.zips.end()) << f[0];
        const City& c = b.cityAt(it->cityOffset);
        EXPECT_EQ(c.name, *Utf8ToWin1252(f[1])) << f[0];
        EXPECT_EQ(b.data.stateAbbrev(c.state), f[2]) << f[0];
        EXPECT_EQ(b.data.countyName(it->county), f[3]) << f[0];
        EXPECT_EQ(it->areaCode, f[4].empty() ? 0 : std::stoi(f[4])) << f[0];
    }
}

TEST(SmallFixture, MainCityHasMostZipCodesThenTheLowest) {
    ReadBack b(fixtureDir("small"));
    auto mainCity = [&](int prefix) {
        return b.cityText(b.cityAt(b.data.zipIndex[std::size_t(prefix)].mainCity));
    };
    // Draper holds the lowest ZIP code of 840, Sandy three of its four.
    EXPECT_EQ(mainCity(840), "Sandy, UT");
    // One each: St. George has the lower ZIP code though Washington comes first in the table.
    EXPECT_EQ(mainCity(847), "St. George, UT");
    // Two each: Aloha is first by name and in the table, Beaverton has 97005.
    EXPECT_EQ(mainCity(970), "Beaverton, OR");
    EXPECT_EQ(mainCity(5), "Holtsville, NY");
    EXPECT_EQ(mainCity(885), "El Paso, TX");

    const ZipIndexEntry& e5 = b.data.zipIndex[5];
    EXPECT_EQ(e5.first, 0);
    EXPECT_EQ(e5.count, 1);
    EXPECT_EQ(b.zips[0].zipText(), "00501");
    EXPECT_EQ(b.data.zipIndex[970].count, 4);
    EXPECT_EQ(b.data.zipIndex[6].first, -1);
}

TEST(SmallFixture, CitiesSortedByUpperCasedNameWithTheirIndex) {
    ReadBack b(fixtureDir("small"));
    Texts order;
    for (const auto& c : b.cities)
        order.push_back(b.cityText(c));
    // Upper-casing puts Decatur before DeKalb; the 1252 byte of n-tilde sorts after every letter.
    EXPECT_EQ(order,
              (Texts{"Aloha, OR",         "APO, AE",        "Beaverton, OR",  "Castle Rock, CO",
                     "Ca\xF1on City, CO", "Decatur, IL",    "DeKalb, IL",     "Draper, UT",
                     "El Paso, TX",       "Holtsville, NY", "Honolulu, HI",   "McAlester, OK",
                     "Phoenix, AZ",       "Salem, MA",      "Salem, OR",      "Salt Lake City, UT",
                     "San Antonio, TX",   "Sandy, UT",      "Sandy Hook, CT", "Santa Fe, NM",
                     "St. George, UT",    "Washington, UT"}));
    Texts keys;
    for (const auto& [key, offset] : b.cityIndex)
        keys.push_back(key);
    EXPECT_EQ(keys, (Texts{"AL", "AP", "BE", "CA", "DE", "DR", "EL", "HO", "MC", "PH", "SA", "ST",
                           "WA"}));
    EXPECT_EQ(b.cityIndex[10].second, b.city("Salem, MA").offset);
    EXPECT_EQ(b.zipsText(b.city("Sandy, UT").records), "84070 84092 84094");
    EXPECT_EQ(b.zipsText(b.city("El Paso, TX").records), "79901 79902 88510");
    EXPECT_EQ(b.data.states[std::size_t(b.city("El Paso, TX").state)], "TX7");
    EXPECT_EQ(b.zipsText(b.city("Salem, OR").records), "97301 97304");
}

TEST(SmallFixture, CountyAndAreaListsHoldTheOtherEntries) {
    ReadBack b(fixtureDir("small"));
    Texts order;
    for (std::size_t n = 0; n < b.data.counties.size(); ++n)
        order.push_back(b.countyText(n));
    EXPECT_EQ(order,
              (Texts{"Bexar, TX", "DeKalb, IL", "Douglas, CO", "El Paso, TX", "Essex, MA",
                     "Fairfield, CT", "Fremont, CO", "Honolulu, HI", "Macon, IL", "Maricopa, AZ",
                     "Marion, OR", "Pittsburg, OK", "Polk, OR", "Salt Lake, UT", "Santa Fe, NM",
                     "Suffolk, NY", "Utah, UT", "Washington, OR", "Washington, UT"}));
    auto countyZips = [&](std::string_view c) { return b.zipsText(b.countyLists[b.county(c)]); };
    EXPECT_EQ(countyZips("Marion, OR"), "97301 97304");
    EXPECT_EQ(countyZips("Polk, OR"), "97304");
    // Utah County is only ever another county of Draper's ZIP code.
    EXPECT_EQ(countyZips("Utah, UT"), "84020");
    EXPECT_EQ(countyZips("Washington, OR"), "97005 97006 97008 97078");
    EXPECT_EQ(countyZips("Washington, UT"), "84770 84780");
    EXPECT_EQ(countyZips("El Paso, TX"), "79901 79902 88510");

    auto areaZips = [&](int code) { return b.zipsText(b.areaLists.at(code)); };
    EXPECT_EQ(areaZips(971), "97005 97006 97008 97078 97301 97304");
    EXPECT_EQ(areaZips(503), areaZips(971));
    EXPECT_EQ(areaZips(385), "84020 84070 84092 84094 84101");
    EXPECT_EQ(areaZips(480), "85001");
    EXPECT_EQ(areaZips(623), "85001");
    EXPECT_EQ(b.areaLists.count(0), 0u);
    EXPECT_EQ(b.areaLists.size(), 25u);
}

TEST(SmallFixture, NoneEncodingsAndTimeZones) {
    ReadBack b(fixtureDir("small"));
    auto zip = [&](std::string_view text) {
        for (const auto& z : b.zips)
            if (z.zipText() == text)
                return z;
        throw std::runtime_error("no ZIP " + std::string(text));
    };
    ZipRecord apo = zip("09002");
    EXPECT_EQ(apo.county, NoCounty);
    EXPECT_EQ(apo.areaCode, NoAreaCode);
    EXPECT_EQ(apo.timeZone, NoZone);
    EXPECT_EQ(zip("97304").county, b.county("Polk, OR"));
    EXPECT_EQ(zip("97304").timeZone, 4 | 0x80);
    EXPECT_EQ(zip("00501").timeZone, 7 | 0x80);
    EXPECT_EQ(zip("85001").timeZone, 5);
    EXPECT_EQ(zip("96813").timeZone, 2);
    std::string zipDat = readFile(b.data.path("ZIPCODE.DAT"));
    std::string zipIdx = readFile(b.data.path("ZIPCODE.IDX"));
    for (std::size_t p = 3; p < zipDat.size(); p += 13)
        EXPECT_EQ(zipDat[p], '\0');
    for (std::size_t p = 12; p < zipIdx.size(); p += 13)
        EXPECT_EQ(zipIdx[p], '\0');
    EXPECT_EQ(readFile(b.data.path("ZIPVER.DAT")), "June 1996\r\n");
}

TEST(Builder, GeneratedTableOfEveryRecordNumber) {
    // 65,536 rows, names that differ in case and accents only, and ZIP codes spread over every
    // prefix from 000 to 999, so that record 65535 must still be reachable.
    std::mt19937 random(7);
    const Texts names = {"Salem",  "SALEM", "salem", "Sa",   "S", "\xC3\x89lan", "Elan", "Ela",
                         "Mc Coy", "McCoy", "Mccoy", "Zuni", "Z", "Ab",          "A B",  "A"};
    const Texts states = {"AA", "OR", "TX", "MA", "UT", "AE", "WY"};
    std::set<std::uint32_t> used;
    std::string csv = Header.substr(0, Header.size() - 1) + ",other_cities,other_county_names\n";
    while (used.size() < 65536) {
        std::uint32_t zip = random() % 100000;
        if (!used.insert(zip).second)
            continue;
        char line[200];
        std::snprintf(line, sizeof line, "%05u,%s,%s,%s,%s,%d,%s,%s,%s,%s,%s\n", zip,
                      names[random() % names.size()].c_str(),
                      states[random() % states.size()].c_str(),
                      random() % 5 ? names[random() % names.size()].c_str() : "",
                      random() % 9 ? std::to_string(200 + random() % 800).c_str() : "",
                      int(random() % 24) - 11, random() % 2 ? "Y" : "N",
                      random() % 3 ? "" : "Elan;Ela", random() % 3 ? "" : "208; 999",
                      random() % 4 ? "" : "Sa;St Coy", random() % 4 ? "" : "Ela;Ft Zuni");
        csv += line;
    }
    TempDir dir;
    WriteDataFiles(BuildDataFiles(csv, "May 2001"), dir.path());
    ReadBack b(dir.str());
    ASSERT_EQ(b.zips.size(), 65536u);
    ExpectConsistent(b);
    EXPECT_EQ(b.zips.back().zipValue(), *used.rbegin());

    EXPECT_EQ(errorOf(csv + "99999,Salem,OR,,,,N,,,,\n"),
              "line 65538: more than 65,536 ZIP codes; the lists of record numbers stop at 65535");
}

TEST(Builder, BadInputNamesItsLine) {
    const std::string good = "84101,Salt Lake City,UT,Salt Lake,801,-7,Y,,385\n";
    auto row = [&](std::string_view r) { return errorOf(Header + good + "\r\n" + std::string(r)); };
    // Line 1 the header, 2 a good row, 3 empty, 4 the row under test.
    EXPECT_EQ(row("8410,Sandy,UT,,,,N,,\n"), "line 4: bad zip \"8410\" (five digits wanted)");
    EXPECT_EQ(row("8410a,Sandy,UT,,,,N,,\n"), "line 4: bad zip \"8410a\" (five digits wanted)");
    EXPECT_EQ(row("84101,Sandy,UT,,,,N,,\n"), "line 4: duplicate zip \"84101\" (first on line 2)");
    EXPECT_EQ(row("84070,Sandy,UT,,,,N,\n"), "line 4: 8 fields where the header has 9");
    EXPECT_EQ(row("84070,Sandy,UT,,,,N,,,\n"), "line 4: 10 fields where the header has 9");
    EXPECT_EQ(row("84070,,UT,,,,N,,\n"), "line 4: empty city");
    EXPECT_EQ(row("84070,Sandy,,,,,N,,\n"), "line 4: empty state");
    EXPECT_EQ(row("84070,Sandy,Utah,,,,N,,\n"),
              "line 4: bad state \"Utah\" (two capital letters wanted)");
    EXPECT_EQ(row("84070,Sandy,ut,,,,N,,\n"),
              "line 4: bad state \"ut\" (two capital letters wanted)");
    EXPECT_EQ(row("84070,Sandy,UT,,80,,N,,\n"),
              "line 4: bad area_code \"80\" (three digits other than 000 wanted)");
    EXPECT_EQ(row("84070,Sandy,UT,,000,,N,,\n"),
              "line 4: bad area_code \"000\" (three digits other than 000 wanted)");
    EXPECT_EQ(row("84070,Sandy,UT,,801,,N,,385;38\n"),
              "line 4: bad area code in other_area_codes \"38\" (three digits other than 000 "
              "wanted)");
    for (std::string_view offset : {"-12", "13", "-7.5", "x", "+", "--7", "123", "-99999999999"})
        EXPECT_EQ(row("84070,Sandy,UT,,801," + std::string(offset) + ",Y,,\n"),
                  "line 4: bad utc_offset \"" + std::string(offset) +
                      "\" (whole hours from -11 to 12 wanted)");
    EXPECT_EQ(row("84070,Sandy,UT,,801,-7,y,,\n"), "line 4: bad dst \"y\" (Y or N wanted)");
    EXPECT_EQ(row("84070,Sandy,UT,,801,-7,,,\n"), "line 4: bad dst \"\" (Y or N wanted)");
    EXPECT_EQ(row("84070,Sandy,UT,,801,,X,,\n"), "line 4: bad dst \"X\" (Y, N or empty wanted)");
    EXPECT_EQ(row("84070,\xC5\x81\xC3\xB3"
                  "d\xC5\xBA,UT,,,,N,,\n"),
              "line 4: city \"\xC5\x81\xC3\xB3"
              "d\xC5\xBA\" holds a character that Windows-1252 "
              "cannot represent");
    EXPECT_EQ(row("84070,Sandy,UT,Salt\xFFLake,,,N,,\n"), "line 4: county is not valid UTF-8");
    EXPECT_EQ(row("84070,Sandy\xC0\xAF,UT,,,,N,,\n"), "line 4: city is not valid UTF-8");
    EXPECT_EQ(row("84070,Sandy,UT,,,,N,Utah;\xC3,\n"),
              "line 4: county in other_counties is not valid UTF-8");
    EXPECT_EQ(row("84070,\"Sandy\nHook\",UT,,,,N,,\n"),
              "line 4: city \"Sandy\nHook\" holds a control character");
    EXPECT_EQ(row("84070,\"Sandy,UT,,,,N,,\n"), "line 4: a quoted field is never closed");
    EXPECT_EQ(row("84070,\"Sandy\"x,UT,,,,N,,\n"),
              "line 4: text after the closing quote of a field");
    EXPECT_EQ(row("84070,Sa\"ndy,UT,,,,N,,\n"), "line 4: a quote inside a field that does not "
                                                "begin with one (quote the field and double the "
                                                "quote)");
    // A CR that no LF follows is part of the field.
    EXPECT_EQ(row("84070,Sa\rndy,UT,,,,N,,\n"),
              "line 4: city \"Sa\rndy\" holds a control character");
    // A byte-order mark and empty lines are no records, but the lines count.
    EXPECT_EQ(errorOf("\xEF\xBB\xBF" + Header + "\r\n\n" + good + good),
              "line 5: duplicate zip \"84101\" (first on line 4)");

    // Lengths count Windows-1252 bytes: e-acute is two bytes of UTF-8 but one here.
    std::string longest;
    for (int i = 0; i < 254; ++i)
        longest += "\xC3\xA9";
    EXPECT_EQ(row("84070," + longest + ",UT,,,,N,,\n"), "");
    EXPECT_EQ(row("84070,Sandy,UT," + longest + "\xC3\xA9,,,N,,\n"),
              "line 4: county \"" + longest +
                  "\xC3\xA9\" is 255 bytes long in Windows-1252; at "
                  "most 254 fit");
}

TEST(Builder, BadHeaderAndTable) {
    const std::string good = "84101,Salt Lake City,UT,Salt Lake,801,-7,Y,,385\n";
    EXPECT_EQ(errorOf("zipcode,city,state,county,area_code,utc_offset,dst,other_counties,"
                      "other_area_codes\n" +
                      good),
              "line 1: unknown column \"zipcode\"");
    EXPECT_EQ(errorOf("zip,city,state,county,area_code,utc_offset,other_counties,other_area_"
                      "codes\n" +
                      good),
              "line 1: missing column \"dst\"");
    EXPECT_EQ(errorOf("zip,city,state,county,area_code,utc_offset,dst,other_counties,zip\n"),
              "line 1: column \"zip\" appears twice");
    EXPECT_EQ(errorOf(""), "the table is empty: no header line");
    EXPECT_EQ(errorOf(Header), "the table holds no ZIP codes");
    EXPECT_EQ(errorOf(Header + good, ""), "the date is empty");
    EXPECT_EQ(errorOf(Header + good, "May\n2001"),
              "the date \"May\n2001\" holds a control character");

    // Columns may come in any order, fields may be quoted and padded with blanks.
    auto files = BuildDataFiles("dst,zip,other_area_codes,city,state,county,area_code,"
                                "utc_offset,other_counties\r\n"
                                "N , 84101 ,,\"Salt Lake City\",UT,,,,\r\n",
                                "June 1996");
    EXPECT_EQ(files.at("STATE.DAT"), "UT8\r\n");
    EXPECT_EQ(files.size(), 10u);
}

TEST(Builder, FurtherNamesOfPlacesAndCounties) {
    const std::string header =
        Header.substr(0, Header.size() - 1) + ",other_cities,other_county_names\n";
    // Alpha and Beta share a further name, which would win prefix 100 if it counted there;
    // Delta's further name is Gamma's main name.
    const std::string csv = header + "10001,Alpha,NY,St. Kings,,,N,,,Pt X,Saint Kings\n"
                                     "10002,Beta,NY,St. Kings,,,N,,,Pt X;; Pt X ,Saint Kings\n"
                                     "10003,Gamma,NY,Queens,,,N,,,,\n"
                                     "10004,Gamma,NY,Queens,,,N,St. Kings,,,Saint Kings\n"
                                     "10005,Delta,NY,Queens,,,N,,,Gamma,St. Kings;Mt Queens\n"
                                     "84101,Salt Lake City,UT,Salt Lake,,,N,,,Pt X,\n";
    TempDir dir;
    WriteDataFiles(BuildDataFiles(csv, "May 2001"), dir.path());
    ReadBack b(dir.str());
    ExpectConsistent(b);
    Texts order;
    for (const auto& c : b.cities)
        order.push_back(b.cityText(c));
    EXPECT_EQ(order, (Texts{"Alpha, NY", "Beta, NY", "Delta, NY", "Gamma, NY", "Pt X, NY",
                            "Pt X, UT", "Salt Lake City, UT"}));
    EXPECT_EQ(b.cityIndex.back(),
              std::make_pair(std::string("SA"), b.city("Salt Lake City, UT").offset));
    EXPECT_EQ(b.zipsText(b.city("Pt X, NY").records), "10001 10002");
    EXPECT_EQ(b.zipsText(b.city("Pt X, UT").records), "84101");
    EXPECT_EQ(b.zipsText(b.city("Gamma, NY").records), "10003 10004 10005");
    EXPECT_EQ(b.cityText(b.cityAt(b.zips[4].cityOffset)), "Delta, NY");
    EXPECT_EQ(b.cityText(b.cityAt(b.data.zipIndex[100].mainCity)), "Gamma, NY");

    // The counties keep the numbers they have without further names; these follow them, and
    // one that is already a county of the state lists its ZIP codes there.
    Texts counties;
    for (std::size_t n = 0; n < b.data.counties.size(); ++n)
        counties.push_back(b.countyText(n) + ": " + b.zipsText(b.countyLists[n]));
    EXPECT_EQ(counties, (Texts{"Queens, NY: 10003 10004 10005", "Salt Lake, UT: 84101",
                               "St. Kings, NY: 10001 10002 10004 10005", "Mt Queens, NY: 10005",
                               "Saint Kings, NY: 10001 10002 10004"}));
    EXPECT_EQ(b.zips[0].county, b.county("St. Kings, NY"));

    // Without the columns the same places give no further records and the same ZIP records.
    const std::string plain = Header + "10001,Alpha,NY,St. Kings,,,N,,\n"
                                       "10002,Beta,NY,St. Kings,,,N,,\n"
                                       "10003,Gamma,NY,Queens,,,N,,\n"
                                       "10004,Gamma,NY,Queens,,,N,St. Kings,\n"
                                       "10005,Delta,NY,Queens,,,N,St. Kings,\n"
                                       "84101,Salt Lake City,UT,Salt Lake,,,N,,\n";
    auto without = BuildDataFiles(plain, "May 2001");
    auto with = BuildDataFiles(csv, "May 2001");
    EXPECT_EQ(without.at("COUNTY.DAT"),
              with.at("COUNTY.DAT").substr(0, without.at("COUNTY.DAT").size()));
    EXPECT_LT(without.at("CITY.DAT").size(), with.at("CITY.DAT").size());

    auto row = [&](std::string_view r) { return errorOf(header + std::string(r)); };
    EXPECT_EQ(row("10001,Alpha,NY,,,,N,,,St\xC3,\n"),
              "line 2: city in other_cities is not valid UTF-8");
    EXPECT_EQ(row("10001,Alpha,NY,,,,N,,,,\"Mt\nX\"\n"),
              "line 2: county in other_county_names \"Mt\nX\" holds a control character");
    EXPECT_EQ(row("10001,Alpha,NY,,,,N,,,\n"), "line 2: 10 fields where the header has 11");
    EXPECT_EQ(row("10001,Alpha,NY,,,,N,,,Pt X," + std::string(255, 'x') + "\n"),
              "line 2: county in other_county_names \"" + std::string(255, 'x') +
                  "\" is 255 bytes long in Windows-1252; at most 254 fit");
}

TEST(Builder, PlacesAreCheckedAndChangeNoFile) {
    const std::string header = Header.substr(0, Header.size() - 1) +
                               ",other_cities,other_county_names,latitude,longitude,county_fips\n";
    const std::string rows[][2] = {
        {"84101,Salt Lake City,UT,Salt Lake,801,-7,Y,,385,,", "40.7559,-111.8967,49035"},
        {"96910,Hagatna,GU,,671,10,N,,,,", "13.47,144.74,"},
        {"99546,Adak,AK,Aleutians West,907,-10,Y,,,,", "+51.874,-176.63401,02016"},
        {"96952,Tinian,MP,Tinian,670,10,N,,,,", "15,145.63,69120"},
        {"09001,APO,AE,,,,N,,,,", ",,"}};
    std::string with = header, without = Header;
    for (const auto& [row, place] : rows) {
        with += row + "," + place + "\n";
        without += row.substr(0, row.size() - 2) + "\n";
    }
    // The positions go to POINTS.DAT alone.
    DataFiles withPlaces = BuildDataFiles(with, "May 2001");
    EXPECT_EQ(withPlaces.erase("POINTS.DAT"), 1u);
    EXPECT_EQ(withPlaces, BuildDataFiles(without, "May 2001"));

    auto place = [&](std::string_view p) {
        return errorOf(header + rows[0][0] + "," + rows[0][1] + "\n" + rows[1][0] + "," +
                       std::string(p) + "\n");
    };
    const std::string latWanted =
        " (decimal degrees from -90 to 90 with at most 5 decimals wanted)";
    const std::string lonWanted =
        " (decimal degrees from -180 to 180 with at most 5 decimals wanted)";
    EXPECT_EQ(place("144.74,13.47,"), "line 3: bad latitude \"144.74\"" + latWanted);
    EXPECT_EQ(place("-90.00001,0,"), "line 3: bad latitude \"-90.00001\"" + latWanted);
    EXPECT_EQ(place("13.47,180.5,"), "line 3: bad longitude \"180.5\"" + lonWanted);
    for (std::string_view bad : {"1e1", "nan", "13.", ".5", "13.474747", "1 3", "--13", "0x1"})
        EXPECT_EQ(place(std::string(bad) + ",144.74,"),
                  "line 3: bad latitude \"" + std::string(bad) + "\"" + latWanted);
    EXPECT_EQ(place("13.47,,"), "line 3: latitude without a longitude");
    EXPECT_EQ(place(",144.74,66010"), "line 3: longitude without a latitude");
    for (std::string_view bad : {"6601", "660100", "66O10", "-6601"})
        EXPECT_EQ(place("13.47,144.74," + std::string(bad)),
                  "line 3: bad county_fips \"" + std::string(bad) + "\" (five digits wanted)");
    EXPECT_EQ(place("13.47,144.74,00010"),
              "line 3: bad county_fips \"00010\" (no state has the code 00)");
    // A table with a latitude column but no longitude column has no whole point.
    EXPECT_EQ(errorOf(Header.substr(0, Header.size() - 1) + ",latitude\n" +
                      "84101,Salt Lake City,UT,,,,N,,,40.7559\n"),
              "line 2: latitude without a longitude");
}

TEST(Builder, FailedBuildLeavesTheSetInPlace) {
    TempDir dir;
    const std::string out = dir.str() + "/bin";
    const std::string csv = std::string(CORVANA_TEST_SOURCE_DIR) + "/fixtures/small.csv";
    // The regular files of the folder; anything else left there (a work folder) fails the test.
    auto snapshot = [&] {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(out)) {
            std::string name = entry.path().filename().string();
            if (entry.is_regular_file())
                files[name] = readFile(entry.path());
            else
                EXPECT_EQ(name, "ZIPCODE.DAT") << "left in the folder";
        }
        return files;
    };
    std::ostringstream sout, serr;
    ASSERT_EQ(RunMkdata({"--csv", csv, "--out", out, "--date", "June 1996"}, sout, serr), 0)
        << serr.str();
    dir.write("bin/corvana", "the program");
    auto before = snapshot();
    ASSERT_EQ(before.size(), 11u);

    dir.write("bad.csv", Header + "84101,Salt Lake City,UT,,,,N,,\n8410,Sandy,UT,,,,N,,\n");
    EXPECT_EQ(RunMkdata({"--csv", dir.str() + "/bad.csv", "--out", out, "--date", "May 2001"}, sout,
                        serr),
              1);
    EXPECT_EQ(serr.str(), "corvana-mkdata: " + dir.str() +
                              "/bad.csv, line 3: bad zip \"8410\" (five digits wanted)\n");
    EXPECT_EQ(snapshot(), before);

    // A folder where ZIPCODE.DAT should go makes the write fail after every file was written
    // to the work folder: none of the others may have been replaced.
    std::filesystem::remove(out + "/ZIPCODE.DAT");
    std::filesystem::create_directory(out + "/ZIPCODE.DAT");
    before.erase("ZIPCODE.DAT");
    auto files = BuildDataFiles(readFile(csv), "May 2001");
    EXPECT_THROW(WriteDataFiles(files, out), std::runtime_error);
    EXPECT_EQ(snapshot(), before);

    std::filesystem::remove(out + "/ZIPCODE.DAT");
    WriteDataFiles(files, out);
    auto after = snapshot();
    EXPECT_EQ(after.size(), 11u);
    EXPECT_EQ(after["ZIPVER.DAT"], "May 2001\r\n");
    EXPECT_EQ(after["corvana"], "the program");
}

TEST(Builder, CommandLine) {
    std::ostringstream out, err;
    EXPECT_EQ(RunMkdata({"--help"}, out, err), 0);
    EXPECT_NE(out.str().find("Usage: corvana-mkdata --csv FILE --out DIR --date TEXT"),
              std::string::npos);
    EXPECT_EQ(RunMkdata({}, out, err), 2);
    EXPECT_EQ(RunMkdata({"--csv", "a.csv", "--out"}, out, err), 2);
    EXPECT_EQ(RunMkdata({"--csv", "a.csv", "--out", "x", "--date", "1996", "--zip"}, out, err), 2);
    EXPECT_EQ(RunMkdata({"--csv", "a.csv", "--out", "x", "--date", ""}, out, err), 2);
    TempDir dir;
    err.str("");
    EXPECT_EQ(RunMkdata({"--csv", dir.str() + "/none.csv", "--out", dir.str(), "--date", "1996"},
                        out, err),
              1);
    EXPECT_EQ(err.str(), "corvana-mkdata: cannot read " + dir.str() + "/none.csv\n");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(Builder, PositionsAndCountyCodesReadBackExactly) {
    const std::string csv = readFile(std::string(CORVANA_TEST_SOURCE_DIR) + "/fixtures/points.csv");
    ReadBack b(fixtureDir("points"));
    PointsLoad loaded = LoadPoints(b.data);
    ASSERT_EQ(loaded.status, geo::PointsStatus::Loaded) << loaded.message;
    const geo::Points& points = *loaded.points;
    ASSERT_EQ(points.recordCount(), b.zips.size());
    // Each row's figures as written, to the last of the five decimals.
    std::istringstream rows(csv);
    std::string line;
    std::getline(rows, line);
    std::size_t checked = 0;
    while (std::getline(rows, line)) {
        Texts f;
        for (std::size_t at = 0;; at = line.find(',', at) + 1) {
            f.push_back(line.substr(at, line.find(',', at) - at));
            if (line.find(',', at) == std::string::npos)
                break;
        }
        ASSERT_EQ(f.size(), 18u);
        std::uint32_t record = 0;
        while (b.zips.at(record).zipText() != f[0])
            ++record;
        auto at = points.position(record);
        EXPECT_EQ(at.has_value(), !f[11].empty()) << f[0];
        if (at) {
            EXPECT_EQ(*at, (geo::GeoPoint{std::stod(f[11]), std::stod(f[12])})) << f[0];
        }
        EXPECT_EQ(points.countyFips(record), f[13]) << f[0];
        ++checked;
    }
    EXPECT_EQ(checked, b.zips.size());

    // Built again without positions, the set loses its POINTS.DAT with the rest replaced.
    DataFiles full = BuildDataFiles(csv, "June 1996");
    DataFiles plain =
        BuildDataFiles(readFile(CORVANA_TEST_SOURCE_DIR "/fixtures/small.csv"), "June 1996");
    TempDir dir;
    WriteDataFiles(full, dir.path());
    WriteDataFiles(plain, dir.path());
    DataSet data;
    data.dir = dir.str();
    EXPECT_EQ(LoadPoints(data).status, geo::PointsStatus::NoLocations);
    EXPECT_EQ(LoadPoints(data).message, msg::NoLocations);
}

namespace {

ZipFacts factsOf(const DataFiles& files) {
    const std::string& bytes = files.at(filenames::FactsDat);
    auto facts = ZipFacts::fromBytes(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    if (!facts)
        throw std::runtime_error("ZIPFACTS.DAT does not read back");
    return *facts;
}

} // namespace

TEST(Builder, FactsOfKindsZoneNamesCountiesCodesAndNames) {
    const std::string header = Header.substr(0, Header.size() - 1) +
                               ",other_cities,other_county_names,county_fips,kind,time_zone\n";
    const std::string rows[] = {
        "09001,APO,AE,,,,N,,,,,,military,",
        "84070,Sandy,UT,Salt Lake,801,-7,Y,Utah;Salt Lake,385;801,,,49035,standard,America/Denver",
        "84101,Salt Lake City,UT,Salt Lake,801,-7,Y,,385,,,49035,standard,America/Denver",
        "84601,Provo,UT,Utah,801,-7,Y,Wasatch,,,,49049,,America/Denver",
        "99591,Saint George Island,AK,Aleutians West,,-9,Y,,907,"
        "St George Island;St. George Island,,02016,po_box_or_unique,America/Anchorage"};
    std::string csv = header;
    for (const auto& row : rows)
        csv += row + "\n";
    const DataFiles files = BuildDataFiles(csv, "May 2001");
    const ZipFacts facts = factsOf(files);
    ASSERT_EQ(facts.recordCount(), 5u);
    EXPECT_EQ(facts.zoneNames(), (Texts{"America/Anchorage", "America/Denver"}));

    auto apo = *facts.entry(0);
    EXPECT_EQ(apo.kind, ZipKind::Military);
    EXPECT_EQ(apo.zoneName, "");
    EXPECT_TRUE(apo.counties.empty() && apo.areaCodes.empty() && apo.otherCities.empty());
    EXPECT_FALSE(apo.hasMainCounty || apo.hasMainAreaCode);

    // A further county takes the code of the rows whose main county it is; the main county and
    // area code are not repeated among the others.
    auto sandy = *facts.entry(1);
    EXPECT_EQ(sandy.kind, ZipKind::Standard);
    EXPECT_EQ(sandy.zoneName, "America/Denver");
    ASSERT_EQ(sandy.counties.size(), 2u);
    EXPECT_EQ(sandy.counties[0].name, "Salt Lake");
    EXPECT_EQ(sandy.counties[0].fipsText(), "49035");
    EXPECT_EQ(sandy.counties[1].name, "Utah");
    EXPECT_EQ(sandy.counties[1].fips, 49049u);
    EXPECT_EQ(sandy.areaCodes, (std::vector<std::uint16_t>{801, 385}));
    // No row has Wasatch as its main county: no code. An empty kind is Unknown.
    auto provo = *facts.entry(3);
    EXPECT_EQ(provo.kind, ZipKind::Unknown);
    EXPECT_EQ(provo.counties.at(1).fips, 0u);
    EXPECT_EQ(provo.counties.at(1).fipsText(), "");

    // Further area codes without a main one stay others.
    auto island = *facts.entry(4);
    EXPECT_FALSE(island.hasMainAreaCode);
    EXPECT_EQ(island.areaCodes, (std::vector<std::uint16_t>{907}));
    EXPECT_EQ(island.otherAreaCodes().size(), 1u);
    EXPECT_TRUE(island.otherCounties().empty());
    EXPECT_EQ(island.otherCities,
              (std::vector<std::string_view>{"St George Island", "St. George Island"}));
    EXPECT_EQ(facts.kind(4), ZipKind::PoBoxOrUnique);
    EXPECT_FALSE(facts.entry(5));

    // The other files keep their bytes: the table without the two columns builds the same set,
    // less ZIPFACTS.DAT.
    std::string plain =
        Header.substr(0, Header.size() - 1) + ",other_cities,other_county_names,county_fips\n";
    for (const auto& row : rows)
        plain += row.substr(0, row.rfind(',', row.rfind(',') - 1)) + "\n";
    DataFiles without = BuildDataFiles(plain, "May 2001");
    EXPECT_FALSE(without.count(filenames::FactsDat));
    DataFiles with = files;
    with.erase(filenames::FactsDat);
    EXPECT_EQ(with, without);
    // A time_zone column alone is enough for the file.
    EXPECT_TRUE(BuildDataFiles(Header.substr(0, Header.size() - 1) + ",time_zone\n" +
                                   "84101,Salt Lake City,UT,,,-7,Y,,,America/Denver\n",
                               "May 2001")
                    .count(filenames::FactsDat));
}

TEST(Builder, KindsAndZoneNamesAreChecked) {
    const std::string header = Header.substr(0, Header.size() - 1) + ",kind,time_zone\n";
    auto row = [&](std::string_view offset, std::string_view kind, std::string_view zone) {
        return errorOf(header + "84101,Salt Lake City,UT,,," + std::string(offset) + ",Y,,," +
                       std::string(kind) + "," + std::string(zone) + "\n");
    };
    EXPECT_EQ(row("-7", "standard", "America/Denver"), "");
    EXPECT_EQ(row("-7", "standard", "America/Indiana/Knox"), "");
    EXPECT_EQ(row("-7", "Standard", "America/Denver"),
              "line 2: bad kind \"Standard\" (standard, po_box_or_unique or military wanted)");
    for (std::string_view bad : {"Denver", "america/Denver", "America/", "America//Denver",
                                 "America/Den ver", "A/B/C/D", "America/Denver\u00e9"})
        EXPECT_EQ(row("-7", "", bad), "line 2: bad time_zone \"" + std::string(bad) +
                                          "\" (an IANA zone name such as America/Boise wanted)")
            << bad;
    EXPECT_EQ(row("", "military", "America/Denver"),
              "line 2: time_zone \"America/Denver\" without a utc_offset");
}

TEST(Builder, ASetWithoutFactsLosesTheOldFactsFile) {
    const std::string csv = readFile(std::string(CORVANA_TEST_SOURCE_DIR) + "/fixtures/points.csv");
    TempDir dir;
    WriteDataFiles(BuildDataFiles(csv, "June 1996"), dir.path());
    DataSet data;
    data.dir = dir.str();
    EXPECT_EQ(LoadFacts(data).status, FactsStatus::Loaded);
    WriteDataFiles(
        BuildDataFiles(readFile(CORVANA_TEST_SOURCE_DIR "/fixtures/small.csv"), "June 1996"),
        dir.path());
    EXPECT_EQ(LoadFacts(data).status, FactsStatus::Missing);
    EXPECT_EQ(LoadFacts(data).message, msg::NoFacts);
}

TEST(Builder, ABuildReplacesTheWholeSetOfDataFiles) {
    // Every file a build writes is one of the set, and a table with positions and kinds, with an
    // exchange table beside it, gives all of them.
    DataFiles full =
        BuildDataFiles(readFile(CORVANA_TEST_SOURCE_DIR "/fixtures/points.csv"), "June 1996");
    full[filenames::ExchangeDat] = mkdata::BuildExchangeFile(
        readFile(CORVANA_TEST_SOURCE_DIR "/fixtures/phone.exchanges.csv"));
    std::set<std::string> built, listed;
    for (const auto& [name, bytes] : full)
        built.insert(name);
    for (const char* name : filenames::DataSetFiles)
        listed.insert(name);
    EXPECT_EQ(built, listed);

    // Files of the set that a build does not write again are removed; the program, the help,
    // the map's outlines and the user's own files stay.
    TempDir dir;
    for (const char* name : filenames::DataSetFiles)
        dir.write(name, "old");
    for (const char* name : {"corvana", "CORVA.HLP", "OUTLINE.DAT", "notes.txt"})
        dir.write(name, name);
    DataFiles partial = full;
    partial.erase(filenames::PointsDat);
    partial.erase(filenames::CityIdx);
    WriteDataFiles(partial, dir.path());
    std::set<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        left.insert(entry.path().filename().string());
    std::set<std::string> want = {"corvana", "CORVA.HLP", "OUTLINE.DAT", "notes.txt"};
    for (const auto& [name, bytes] : partial) {
        want.insert(name);
        EXPECT_EQ(readFile(dir.path() / name), bytes) << name;
    }
    EXPECT_EQ(left, want);
    EXPECT_EQ(readFile(dir.path() / "OUTLINE.DAT"), "OUTLINE.DAT");

    // A folder that bears a data file's name is no file of ours: it stays.
    std::filesystem::create_directory(dir.path() / filenames::PointsDat);
    WriteDataFiles(partial, dir.path());
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / filenames::PointsDat));
}

// The rows are put in ZIP order before anything is gathered or numbered, and every list is
// sorted, so a table whose rows come in another order gives the same bytes.
TEST(Builder, TheOrderOfTheRowsChangesNoByte) {
    for (const char* name : {"small", "names", "points"}) {
        const std::string table =
            readFile(std::string(CORVANA_TEST_SOURCE_DIR) + "/fixtures/" + name + ".csv");
        std::vector<std::string> lines;
        std::istringstream in(table);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line + "\n");
        ASSERT_GT(lines.size(), 3u) << name;
        std::string reversed = lines.front();
        for (std::size_t i = lines.size() - 1; i > 0; --i)
            reversed += lines[i];
        const DataFiles files = BuildDataFiles(table, "June 1996");
        const DataFiles again = BuildDataFiles(reversed, "June 1996");
        ASSERT_EQ(files.size(), again.size()) << name;
        for (const auto& [file, bytes] : files)
            EXPECT_TRUE(again.at(file) == bytes) << name << " " << file;
    }
}

// The help tells whoever installs new data files which of them belong together.
TEST(Builder, HelpNamesEveryFileOfTheSet) {
    const std::string help = readFile(CORVANA_TEST_SOURCE_DIR "/../src/main/help/CORVA.HLP");
    const std::size_t from = help.find("<a name=\"updates\">");
    ASSERT_NE(from, std::string::npos);
    const std::string topic = help.substr(from, help.find("<h2>", from) - from);
    for (const char* name : filenames::DataSetFiles)
        EXPECT_NE(topic.find(name), std::string::npos) << name;
}

TEST(Builder, RealDataSetIsConsistent) {
    const std::string dir = CORVANA_REAL_DATA_DIR;
    if (!std::filesystem::exists(dir + "/ZIPCODE.DAT"))
        GTEST_SKIP() << "no real data set in " << dir;
    ReadBack b(dir);
    ExpectConsistent(b);
    EXPECT_GT(b.zips.size(), 40000u);
}
