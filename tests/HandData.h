#pragma once

// A hand-made data set for the search and output tests, small enough to know every answer:
// two Texas lines of the state table, a state whose number is the code of "A", cities that share
// a name across states, a city without ZIP codes, counties that share a name, a ZIP code without
// county, area code or zone, a county list and an area-code list of count 0.

#include "TestClock.h"
#include "TestUtil.h"

#include "data/DataSet.h"
#include "format/LocalTime.h"
#include "search/Search.h"
#include "settings/Settings.h"

#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace corvana::test {

// State number 65 is the code of "A", so its byte matches a typed "a" after a name.
inline constexpr std::uint8_t StateA = 65;

struct HandCity {
    std::string name;
    std::uint8_t state;
    std::vector<std::uint16_t> zips;
};

struct HandZip {
    std::uint32_t zip;
    std::size_t city; // index into cities
    std::uint16_t county;
    std::uint16_t area;
    std::uint8_t tz;
};

class HandData {
public:
    // Sorted by upper-cased name, as the city search needs.
    std::vector<HandCity> cities = {
        {"Addison", 1, {3}},              // 0
        {"Adrian", 2, {5}},               // 1
        {"Allen", 1, {4}},                // 2
        {"Beverly Hills", 3, {7, 8}},     // 3
        {"Holtsville", 4, {6}},           // 4
        {"Jefferson", 1, {11}},           // 5
        {"Sal", StateA, {12}},            // 6
        {"Salem", 5, {9}},                // 7
        {"Salem", 0, {10}},               // 8
        {"Salt Lake City", 0, {0, 1, 2}}, // 9
        {"Saltdale", 3, {}},              // 10
        {"Zu\xF1i", 3, {13}},             // 11, a Windows-1252 letter
    };
    std::vector<HandZip> zips = {
        {84101, 9, 0, 801, 5 | 128}, // 0
        {84102, 9, 0, 801, 5 | 128}, // 1
        {84120, 9, 0, 801, 5 | 128}, // 2
        {75001, 0, 1, 972, 6},       // 3
        {75002, 2, 2, 0, 6},         // 4
        {79001, 1, 3, 806, 6},       // 5
        {501, 4, NoCounty, 0, 0},    // 6
        {90210, 3, 4, 310, 4},       // 7
        {90211, 3, 4, 310, 4},       // 8
        {97301, 7, 5, 503, 4},       // 9
        {84653, 8, 6, 801, 5},       // 10
        {75657, 5, 7, 903, 6},       // 11
        {85001, 6, 8, 602, 5},       // 12
        {96001, 11, 10, 530, 4},     // 13
    };
    struct County {
        std::string name;
        std::uint8_t state;
        std::vector<std::uint16_t> zips;
    };
    std::vector<County> counties = {
        {"Salt Lake", 0, {0, 1, 2}}, {"Dallas", 1, {3}}, {"Collin", 1, {4}},  {"Oldham", 2, {5}},
        {"Los Angeles", 3, {7, 8}},  {"Marion", 5, {9}}, {"Utah", 0, {10}},   {"Marion", 1, {11}},
        {"Ada", StateA, {12}},       {"Empty", 0, {}},   {"Shasta", 3, {13}},
    };
    std::map<std::uint16_t, std::vector<std::uint16_t>> areas = {
        {801, {0, 1, 2, 10}}, {972, {3}},  {806, {5}}, {310, {7, 8}}, {503, {9}},
        {903, {11}},          {602, {12}}, {555, {}},  {530, {13}},
    };

    TempDir dir;
    std::vector<std::int32_t> cityOffsets;

    HandData() { writeAll(); }

    std::string stateFile() const {
        std::string s = "UT8\r\nTX7\r\nTX8\r\nCA9\r\nNY0\r\nOR9\r\n";
        for (int i = 6; i < StateA; ++i)
            s += "ZZ\r\n"; // two characters only: never matches a digit
        s += "AZ8\r\n";
        return s;
    }

    void writeAll() {
        dir.write("STATE.DAT", stateFile());
        std::string city;
        cityOffsets.clear();
        for (const auto& c : cities) {
            cityOffsets.push_back(std::int32_t(city.size()));
            city +=
                std::string(1, char(c.name.size() + 1)) + c.name + std::string(1, char(c.state));
            city += le16(std::uint16_t(c.zips.size()));
            for (auto z : c.zips)
                city += le16(z);
        }
        dir.write("CITY.DAT", city);

        std::string idx;
        std::string lastKey;
        for (std::size_t i = 0; i < cities.size(); ++i) {
            std::string key = upper2(cities[i].name);
            if (key != lastKey)
                idx += std::string(1, char(key.size())) + key + std::string(2 - key.size(), ' ') +
                       le32(cityOffsets[i]);
            lastKey = key;
        }
        dir.write("CITY.IDX", idx);

        std::string dat;
        for (const auto& z : zips)
            dat += zipDatRecord(z.zip, cityOffsets[z.city], z.county, z.area, z.tz);
        dir.write("ZIPCODE.DAT", dat);

        // One block per prefix: the records above are grouped by prefix already.
        std::string zidx;
        for (std::size_t i = 0; i < zips.size();) {
            std::uint32_t prefix = zips[i].zip / 100;
            std::size_t j = i;
            while (j < zips.size() && zips[j].zip / 100 == prefix)
                ++j;
            zidx += zipIdxRecord(std::uint16_t(prefix), std::int32_t(i), std::uint16_t(j - i),
                                 cityOffsets[zips[i].city]);
            i = j;
        }
        dir.write("ZIPCODE.IDX", zidx);

        std::string cdat, cidx;
        for (const auto& c : counties) {
            cdat += countyDatRecord(c.name, c.state, std::int32_t(cidx.size()));
            cidx += le16(std::uint16_t(c.zips.size()));
            for (auto z : c.zips)
                cidx += le16(z);
        }
        dir.write("COUNTY.DAT", cdat);
        dir.write("COUNTY.IDX", cidx);

        std::string adat, aidx;
        for (const auto& [code, list] : areas) {
            adat += areaDatRecord(code, std::int32_t(aidx.size()));
            aidx += le16(std::uint16_t(list.size()));
            for (auto z : list)
                aidx += le16(z);
        }
        dir.write("AREA.DAT", adat);
        dir.write("AREA.IDX", aidx);
        dir.write("ZIPVER.DAT", "June 1996\r\n");
    }

    DataSet load() const {
        DataSet d;
        d.dir = dir.str();
        auto r = LoadInData(d);
        if (!r.ok())
            throw std::runtime_error("hand-made data did not load");
        return d;
    }

private:
    static std::string upper2(const std::string& name) {
        std::string k = name.substr(0, 2);
        for (char& c : k)
            if (c >= 'a' && c <= 'z')
                c = char(c - 'a' + 'A');
        return k;
    }
};

// Settings that keep result lines to ZIP code and city unless a test turns a part on.
inline Settings PlainSettings() {
    Settings s;
    s.showCounty = false;
    s.showAreaCode = false;
    s.showTimeZone = false;
    s.showCurrentTime = false;
    return s;
}

// A ZIP line as the searches list it, and a list of them.
inline ResultItem ZipLine(std::string text, std::uint32_t record) {
    return ResultItem{std::move(text), ZipItem{record}};
}
inline std::vector<ResultItem>
ZipLines(std::initializer_list<std::pair<const char*, std::uint32_t>> lines) {
    std::vector<ResultItem> items;
    for (const auto& [text, record] : lines)
        items.push_back(ZipLine(text, record));
    return items;
}

inline std::vector<std::string> Texts(const SearchResult& r) {
    std::vector<std::string> t;
    for (const auto& i : r.items)
        t.push_back(i.text);
    return t;
}

} // namespace corvana::test

namespace corvana::test {

// The hand-made data loaded, plain settings, and a clock stopped at 15:45:12.
struct SearchEnv {
    HandData hand;
    DataSet data = hand.load();
    Settings settings = PlainSettings();
    TestClock clock{LocalDateTime{2001, 1, 15, 15, 45, 12, 0}};
    bool daylight = false;

    SearchContext ctx() const {
        return SearchContext{data, settings, TimeContext{daylight, &clock, [](const TimeOfDay& t) {
                                                             char b[16];
                                                             std::snprintf(b, sizeof b,
                                                                           "%02d:%02d:%02d", t.hour,
                                                                           t.minute, t.second);
                                                             return std::string(b);
                                                         }}};
    }
    // Rewrites one file after the tables were loaded, as a damaged disk would.
    void write(std::string_view name, std::string_view bytes) const { hand.dir.write(name, bytes); }
    void remove(std::string_view name) const { hand.dir.remove(name); }
    std::string read(std::string_view name) const { return readFile(hand.dir.path() / name); }
};

// A data set that corvana-mkdata built from tests/fixtures/NAME.csv, loaded, with plain settings
// and a clock stopped at 9:30.
struct FixtureEnv {
    DataSet data;
    Settings settings = PlainSettings();
    TestClock clock{LocalDateTime{2001, 1, 15, 9, 30, 0, 0}};
    explicit FixtureEnv(std::string_view name) {
        data.dir = fixtureDir(name);
        if (!LoadInData(data).ok())
            throw std::runtime_error("the fixture " + std::string(name) + " did not load");
    }
    SearchContext ctx() const { return SearchContext{data, settings, TimeContext{false, &clock}}; }
};

} // namespace corvana::test
