// The searches over damaged data files. The fixture's files are parsed here independently of
// the program, so each case knows which bytes a search must read: a search that reads only
// intact bytes answers exactly as on the intact set, one that reaches the damage gives the
// damaged file's own message, and a file cut between two records of a scan ends the scan as
// the end of the file does. Every other search of a case must still give one of those.
#include "DataFiles.h"
#include "TestClock.h"

#include "data/DataSet.h"
#include "data/Errors.h"
#include "data/Records.h"
#include "data/ZipFile.h"
#include "search/Search.h"
#include "text/ShortString.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>

using namespace corvana;
using namespace corvana::test;

namespace {

const DataFiles& files() {
    static const DataFiles set = DataFiles::fromDir(fixtureDir("small"));
    return set;
}

std::uint16_t u16(const std::string& s, std::size_t at) {
    return loadU16(reinterpret_cast<const std::uint8_t*>(s.data()) + at);
}
std::int32_t i32(const std::string& s, std::size_t at) {
    return loadI32(reinterpret_cast<const std::uint8_t*>(s.data()) + at);
}
std::string put16(std::string s, std::size_t at, std::uint16_t v) {
    s.replace(at, 2, le16(v));
    return s;
}
std::string put32(std::string s, std::size_t at, std::int32_t v) {
    s.replace(at, 4, le32(v));
    return s;
}

// The fixture as this test reads it.
struct CityRec {
    std::size_t begin, headerEnd, end; // headerEnd: after the state byte
    std::string name;
    std::vector<std::uint16_t> zips;
};
struct Model {
    std::vector<CityRec> cities;
    std::vector<std::pair<std::string, std::int32_t>> cityIdx; // key, offset
    std::size_t zipRecords = 0;
};

Model parse() {
    Model m;
    const std::string& city = files()["CITY.DAT"];
    for (const auto& span : cityRecords(city)) {
        CityRec c;
        c.begin = span.begin;
        c.end = span.end;
        std::size_t len = std::uint8_t(city[span.begin]);
        c.headerEnd = span.begin + 1 + len;
        c.name = city.substr(span.begin + 1, len - 1);
        for (std::size_t at = c.headerEnd + 2; at < span.end; at += 2)
            c.zips.push_back(u16(city, at));
        m.cities.push_back(c);
    }
    const std::string& idx = files()["CITY.IDX"];
    for (std::size_t at = 0; at + 7 <= idx.size(); at += 7)
        m.cityIdx.emplace_back(idx.substr(at + 1, std::uint8_t(idx[at])), i32(idx, at + 3));
    m.zipRecords = files()["ZIPCODE.DAT"].size() / 13;
    return m;
}

const Model& model() {
    static const Model m = parse();
    return m;
}

const CityRec& cityAt(std::int32_t offset) {
    for (const auto& c : model().cities)
        if (std::int32_t(c.begin) == offset)
            return c;
    throw std::runtime_error("no city record at " + std::to_string(offset));
}

std::int32_t cityOffsetOf(std::size_t record) {
    return i32(files()["ZIPCODE.DAT"], record * 13 + 4);
}

std::size_t prefixOf(std::size_t record) {
    const std::string& zips = files()["ZIPCODE.DAT"];
    return (std::uint8_t(zips[record * 13]) * 10000u + u16(zips, record * 13 + 1)) / 100;
}

// One search as the window runs it.
struct Query {
    enum Kind { Zip, City, CityInState, County, Area } kind;
    std::string text;
    std::vector<int> chosen; // CityInState

    std::string name() const {
        static const char* kinds[] = {"zip", "city", "state-city", "county", "area"};
        return std::string(kinds[kind]) + " \"" + text + "\"";
    }
};

SearchResult run(const Query& q, const DataSet& data) {
    static const TestClock clock(LocalDateTime{2026, 7, 4, 9, 30, 0, 0});
    Settings settings;
    settings.showTimeZone = true;
    SearchContext ctx{data, settings, TimeContext{true, &clock, FormatTimeC}};
    switch (q.kind) {
    case Query::Zip:
        return SearchTheZip(q.text, ctx);
    case Query::City:
        return SearchTheCity(q.text, ctx, "");
    case Query::CityInState:
        return SearchTheCityWithState(q.text, ctx, q.chosen);
    case Query::County:
        return SearchTheCounty(q.text, ctx, "");
    case Query::Area:
        return SearchTheArea(q.text, ctx);
    }
    return {};
}

std::vector<Query> allQueries(const DataSet& data) {
    std::vector<Query> qs;
    for (std::size_t p = 0; p < 1000; ++p) {
        if (data.zipIndex[p].first < 0)
            continue;
        std::string three = std::to_string(p);
        three.insert(0, 3 - three.size(), '0');
        qs.push_back({Query::Zip, three, {}});
        qs.push_back({Query::Zip, three.substr(0, 2), {}});
    }
    for (const auto& [key, offset] : model().cityIdx)
        qs.push_back({Query::City, key, {}});
    for (const auto& c : model().cities) {
        qs.push_back({Query::City, c.name.substr(0, 30), {}});
        int state = std::uint8_t(files()["CITY.DAT"][c.headerEnd - 1]);
        auto chosen = ChooseStates(data, data.stateAbbrev(state));
        qs.push_back({Query::CityInState, c.name.substr(0, 1), chosen});
        qs.push_back({Query::CityInState, c.name.substr(0, 30), chosen});
    }
    for (const auto& c : data.counties) {
        qs.push_back({Query::County, std::string(c.name().substr(0, 2)), {}});
        qs.push_back({Query::County, std::string(c.name().substr(0, 30)), {}});
    }
    for (std::size_t code = 0; code < 1000; ++code)
        if (data.areaTable[code] >= 0)
            qs.push_back({Query::Area, std::to_string(code), {}});
    return qs;
}

// What one case's searches give on the intact set.
struct Baseline {
    DataSet data;
    std::vector<Query> queries;
    std::vector<SearchResult> results;
};

const Baseline& baseline() {
    // A copy of its own, so that the cases damaging the shared one never touch it.
    static const DataFiles intactFiles = DataFiles::fromDir(fixtureDir("small"));
    static const Baseline b = [] {
        Baseline b;
        b.data = intactFiles.intact();
        if (!LoadInData(b.data).ok())
            throw std::runtime_error("the fixture does not load");
        b.queries = allQueries(b.data);
        for (const auto& q : b.queries)
            b.results.push_back(run(q, b.data));
        return b;
    }();
    return b;
}

const SearchResult& intactResult(const Query& q) {
    const auto& b = baseline();
    for (std::size_t i = 0; i < b.queries.size(); ++i)
        if (b.queries[i].kind == q.kind && b.queries[i].text == q.text &&
            b.queries[i].chosen == q.chosen)
            return b.results[i];
    throw std::runtime_error("no baseline for " + q.name());
}

bool subsetOf(const std::vector<ResultItem>& part, const std::vector<ResultItem>& whole) {
    std::vector<ResultItem> left = whole;
    for (const auto& item : part) {
        auto it = std::find(left.begin(), left.end(), item);
        if (it == left.end())
            return false;
        left.erase(it);
    }
    return true;
}

bool onlyNoMatch(const SearchResult& r) {
    return r.items.size() == 1 && r.items[0].text.starts_with("No match");
}

// The expected outcome of one search in one case.
enum class Want {
    Same,     // exactly the intact answer
    Message,  // the damaged file's fatal message
    Cut,      // the scan ended early as at the end of the file: fewer lines, no message
    NoMatch,  // the single "No match..." line
    ReadPast, // the read-past-end error, with the lines read until then
    // A count running past the end: the numbers read before the end are other records'
    // bytes, and one of them may name a record past the end of ZIPCODE.DAT first.
    MessageOrReadPast,
    Sound, // any answer without a message, as many lines as intact, each sound
};

std::string describe(const SearchResult& r) {
    if (!r.fatal.empty())
        return "fatal \"" + r.fatal.front() + "\"";
    std::string s = r.ioError ? "I/O error, " : "";
    s += std::to_string(r.items.size()) + " lines";
    if (!r.items.empty())
        s += ", first \"" + r.items[0].text + "\"";
    return s;
}

// A sound list: sorted, and every ZIP line names a record of the file that has its ZIP code.
void expectSound(const SearchResult& r, const DataSet& d, const std::string& where) {
    auto zips = ZipFile::open(d);
    for (std::size_t i = 0; i < r.items.size(); ++i) {
        if (i > 0) {
            EXPECT_FALSE(ItemLess(r.items[i].text, r.items[i - 1].text)) << where;
        }
        if (const auto record = r.items[i].record()) {
            ASSERT_TRUE(zips && *record < zips->recordCount()) << where;
            EXPECT_EQ(r.items[i].text.substr(0, 5), zips->read(*record).zipText()) << where;
        }
    }
}

void expectOutcome(const Query& q, const DataSet& d, Want want, const char* message,
                   const std::string& caseName) {
    SearchResult got = run(q, d);
    const SearchResult& intact = intactResult(q);
    std::string where = caseName + ", " + q.name() + ": got " + describe(got);
    countCase();
    switch (want) {
    case Want::Same:
        EXPECT_TRUE(got.ok()) << where;
        EXPECT_EQ(got.items, intact.items) << where;
        break;
    case Want::Message:
        EXPECT_EQ(got.fatal, Fatal(message)) << where;
        break;
    case Want::Cut:
        EXPECT_TRUE(got.ok()) << where;
        EXPECT_TRUE(onlyNoMatch(got) || subsetOf(got.items, intact.items)) << where;
        break;
    case Want::NoMatch:
        EXPECT_TRUE(got.ok()) << where;
        EXPECT_TRUE(onlyNoMatch(got)) << where;
        break;
    case Want::ReadPast:
        EXPECT_TRUE(got.fatal.empty()) << where;
        EXPECT_EQ(got.ioError.value_or(""), msg::ReadPastEnd) << where;
        EXPECT_TRUE(subsetOf(got.items, intact.items)) << where;
        break;
    case Want::MessageOrReadPast:
        EXPECT_TRUE(!got.fatal.empty() ? got.fatal == Fatal(message)
                                       : got.ioError == msg::ReadPastEnd)
            << where;
        break;
    case Want::Sound:
        EXPECT_TRUE(got.ok()) << where;
        EXPECT_EQ(got.items.size(), intact.items.size()) << where;
        expectSound(got, d, where);
        break;
    }
}

// Every search of the case: its own answer, the file's message, an early end, or the
// read-past-end error; never another file's message and never an unsound list.
void sweep(const DataSet& d, const char* message, const std::string& caseName) {
    for (const auto& q : baseline().queries) {
        SearchResult got = run(q, d);
        const SearchResult& intact = intactResult(q);
        std::string where = caseName + ", " + q.name() + ": got " + describe(got);
        countCase();
        if (!got.fatal.empty()) {
            EXPECT_EQ(got.fatal, Fatal(message)) << where;
            continue;
        }
        EXPECT_TRUE(got.items == intact.items || onlyNoMatch(got) ||
                    subsetOf(got.items, intact.items))
            << where;
        expectSound(got, d, where);
    }
}

DataSet loaded(DataSet d) {
    LoadResult r = LoadInData(d);
    EXPECT_TRUE(r.ok());
    return d;
}

Query zipQuery(std::size_t prefix) {
    std::string three = std::to_string(prefix % 1000);
    return {Query::Zip, std::string(3 - three.size(), '0') + three, {}};
}

// The block of a prefix: which ZIPCODE.DAT records it lists.
std::vector<std::size_t> blockOf(std::size_t prefix) {
    const auto& e = baseline().data.zipIndex[prefix];
    std::vector<std::size_t> records;
    for (std::size_t k = 0; k < e.count; ++k)
        records.push_back(std::size_t(e.first) + k);
    return records;
}

std::vector<std::size_t> prefixes() {
    std::vector<std::size_t> list;
    for (std::size_t p = 0; p < 1000; ++p)
        if (baseline().data.zipIndex[p].first >= 0)
            list.push_back(p);
    return list;
}

std::string upper(std::string s) {
    return upperAscii(s);
}

// The first record of the two-letter block that a typed name searches.
std::size_t blockStart(const std::string& name) {
    for (const auto& [key, offset] : model().cityIdx)
        if (key.size() == 2 && key == upper(name.substr(0, 2)))
            return std::size_t(offset);
    throw std::runtime_error("no block for " + name);
}

bool isBoundary(std::size_t t) {
    for (const auto& c : model().cities)
        if (c.begin == t || c.end == t)
            return true;
    return false;
}

// Where the whole sweep runs: at every record boundary and in the middle of every record
// (the searches that the cut must reach are checked at every byte).
bool sweepsAt(std::size_t t, const std::vector<std::size_t>& starts, std::size_t size) {
    for (std::size_t i = 0; i < starts.size(); ++i) {
        std::size_t end = i + 1 < starts.size() ? starts[i + 1] : size;
        if (t == starts[i] || t == (starts[i] + end) / 2)
            return true;
    }
    return false;
}

std::vector<std::size_t> fixedStarts(std::size_t size, std::size_t recordSize) {
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < size; at += recordSize)
        starts.push_back(at);
    return starts;
}

std::vector<std::size_t> cityStarts() {
    std::vector<std::size_t> starts;
    for (const auto& c : model().cities)
        starts.push_back(c.begin);
    return starts;
}

// The ZIP lists of COUNTY.IDX or AREA.IDX lie back to back; each begins where a table points.
std::vector<std::size_t> listStarts(const std::string& bytes) {
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < bytes.size(); at += 2 + 2 * u16(bytes, at))
        starts.push_back(at);
    return starts;
}

} // namespace

TEST(CorruptSearch, CityFileCutAtEveryByte) {
    const std::string& whole = files()["CITY.DAT"];
    for (std::size_t t = 0; t < whole.size(); ++t) {
        std::string name = "CITY.DAT cut at " + std::to_string(t);
        DataSet d = loaded(files().with("CITY.DAT", whole.substr(0, t)));
        // The ZIP search reads the city of every record of a block, and of every main city.
        for (std::size_t p : prefixes()) {
            bool reachesCut = false;
            for (std::size_t rec : blockOf(p))
                reachesCut |= cityAt(cityOffsetOf(rec)).headerEnd > t;
            expectOutcome(zipQuery(p), d, reachesCut ? Want::Message : Want::Same, msg::CityCorrupt,
                          name);
        }
        // A city's full name scans its block from the start through its own record.
        for (const auto& c : model().cities) {
            if (c.name.size() < 3)
                continue;
            std::size_t start = blockStart(c.name);
            Want want = Want::Sound;
            if (t <= start)
                want = Want::NoMatch;
            else if (t < c.end)
                want = isBoundary(t) ? Want::Cut : Want::Message;
            if (want != Want::Sound)
                expectOutcome({Query::City, c.name.substr(0, 30), {}}, d, want, msg::CityCorrupt,
                              name);
        }
        if (sweepsAt(t, cityStarts(), whole.size()))
            sweep(d, msg::CityCorrupt, name);
    }
}

TEST(CorruptSearch, CityIndexCutAtEveryByte) {
    const std::string& whole = files()["CITY.IDX"];
    for (std::size_t t = 0; t < whole.size(); ++t) {
        std::string name = "CITY.IDX cut at " + std::to_string(t);
        DataSet d = loaded(files().with("CITY.IDX", whole.substr(0, t)));
        // The index is read record by record up to the first that matches.
        for (std::size_t k = 0; k < model().cityIdx.size(); ++k) {
            Want want = t >= 7 * (k + 1) ? Want::Same : t % 7 == 0 ? Want::NoMatch : Want::ReadPast;
            expectOutcome({Query::City, model().cityIdx[k].first, {}}, d, want, nullptr, name);
        }
        if (sweepsAt(t, fixedStarts(whole.size(), 7), whole.size()))
            sweep(d, msg::CityCorrupt, name);
    }
}

TEST(CorruptSearch, ZipListFilesCutAtEveryByte) {
    struct ListFile {
        const char* name;
        const char* corrupt;
    };
    const DataSet& full = baseline().data;
    for (ListFile f : {ListFile{"COUNTY.IDX", msg::CountyIndexCorrupt},
                       ListFile{"AREA.IDX", msg::AreaIndexCorrupt}}) {
        const std::string& whole = files()[f.name];
        auto listEnd = [&](std::int32_t offset) {
            return std::size_t(offset) + 2 + 2 * u16(whole, std::size_t(offset));
        };
        for (std::size_t t = 0; t < whole.size(); ++t) {
            std::string name = std::string(f.name) + " cut at " + std::to_string(t);
            DataSet d = loaded(files().with(f.name, whole.substr(0, t)));
            if (f.name == std::string("AREA.IDX")) {
                for (std::size_t code = 0; code < 1000; ++code) {
                    if (full.areaTable[code] < 0)
                        continue;
                    Want want = listEnd(full.areaTable[code]) > t ? Want::Message : Want::Same;
                    expectOutcome({Query::Area, std::to_string(code), {}}, d, want, f.corrupt,
                                  name);
                }
            } else {
                // A typed county name matches every county whose name begins with it.
                for (const auto& c : full.counties) {
                    std::string typed(c.name().substr(0, 30));
                    if (typed.size() < 3)
                        continue;
                    bool reachesCut = false;
                    for (const auto& other : full.counties)
                        if (upper(other.text).starts_with(upper(typed)))
                            reachesCut |= listEnd(other.zipListOffset) > t;
                    expectOutcome({Query::County, typed, {}}, d,
                                  reachesCut ? Want::Message : Want::Same, f.corrupt, name);
                }
            }
            if (sweepsAt(t, listStarts(whole), whole.size()))
                sweep(d, f.corrupt, name);
        }
    }
}

TEST(CorruptSearch, ZipFileCutAtEveryRecordAndInside) {
    const std::string& whole = files()["ZIPCODE.DAT"];
    const DataSet& full = baseline().data;
    for (std::size_t t = 0; t < whole.size(); ++t) {
        std::string name = "ZIPCODE.DAT cut at " + std::to_string(t);
        DataSet d = loaded(files().with("ZIPCODE.DAT", whole.substr(0, t)));
        const std::size_t whole13 = t / 13;
        for (std::size_t p : prefixes()) {
            auto block = blockOf(p);
            bool past = std::any_of(block.begin(), block.end(),
                                    [&](std::size_t r) { return r >= whole13; });
            expectOutcome(zipQuery(p), d, past ? Want::ReadPast : Want::Same, nullptr, name);
        }
        const std::string& area = files()["AREA.IDX"];
        for (std::size_t code = 0; code < 1000; ++code) {
            std::int32_t at = full.areaTable[code];
            if (at < 0)
                continue;
            bool past = false;
            for (std::size_t i = 0; i < u16(area, std::size_t(at)); ++i)
                past |= u16(area, std::size_t(at) + 2 + 2 * i) >= whole13;
            expectOutcome({Query::Area, std::to_string(code), {}}, d,
                          past ? Want::ReadPast : Want::Same, nullptr, name);
        }
        if (sweepsAt(t, fixedStarts(whole.size(), 13), whole.size()))
            sweep(d, "", name);
    }
}

TEST(CorruptSearch, OffsetsNegativeOrPastTheEnd) {
    const DataSet& full = baseline().data;
    const std::int32_t citySize = std::int32_t(files()["CITY.DAT"].size());
    const std::int32_t records = std::int32_t(model().zipRecords);
    const std::int32_t negative[] = {-2, -1000, INT32_MIN};

    // ZIPCODE.IDX: a block's first record, and its main city.
    const std::string& zidx = files()["ZIPCODE.IDX"];
    for (std::size_t at = 0; at < zidx.size(); at += 13) {
        std::size_t p = u16(zidx, at);
        std::string name = "prefix " + std::to_string(p) + " first record ";
        for (std::int32_t first : {-2, INT32_MIN})
            expectOutcome(zipQuery(p),
                          loaded(files().with("ZIPCODE.IDX", put32(zidx, at + 2, first))),
                          Want::NoMatch, nullptr, name + std::to_string(first));
        for (std::int32_t first : {records, records + 5, INT32_MAX})
            expectOutcome(zipQuery(p),
                          loaded(files().with("ZIPCODE.IDX", put32(zidx, at + 2, first))),
                          Want::ReadPast, nullptr, name + std::to_string(first));
        Query two{Query::Zip, zipQuery(p).text.substr(0, 2), {}};
        for (std::int32_t city : negative)
            expectOutcome(two, loaded(files().with("ZIPCODE.IDX", put32(zidx, at + 8, city))),
                          Want::Message, msg::CitySeekFailed,
                          "prefix " + std::to_string(p) + " main city " + std::to_string(city));
        for (std::int32_t city : {citySize, citySize + 1, INT32_MAX})
            expectOutcome(two, loaded(files().with("ZIPCODE.IDX", put32(zidx, at + 8, city))),
                          Want::Message, msg::CityCorrupt,
                          "prefix " + std::to_string(p) + " main city " + std::to_string(city));
    }

    // ZIPCODE.DAT: the city offset of every record.
    const std::string& zdat = files()["ZIPCODE.DAT"];
    for (std::size_t p : prefixes()) {
        for (std::size_t rec : blockOf(p)) {
            std::string name = "record " + std::to_string(rec) + " city offset ";
            for (std::int32_t city : negative)
                expectOutcome(zipQuery(p),
                              loaded(files().with("ZIPCODE.DAT", put32(zdat, rec * 13 + 4, city))),
                              Want::Message, msg::CitySeekFailed, name + std::to_string(city));
            for (std::int32_t city : {citySize, INT32_MAX})
                expectOutcome(zipQuery(p),
                              loaded(files().with("ZIPCODE.DAT", put32(zdat, rec * 13 + 4, city))),
                              Want::Message, msg::CityCorrupt, name + std::to_string(city));
        }
    }

    // CITY.IDX: where a block starts. Past the end of CITY.DAT the scan finds nothing.
    const std::string& cidx = files()["CITY.IDX"];
    for (std::size_t k = 0; k < model().cityIdx.size(); ++k) {
        Query q{Query::City, model().cityIdx[k].first, {}};
        std::string name = "CITY.IDX record " + std::to_string(k) + " offset ";
        for (std::int32_t offset : negative)
            expectOutcome(q, loaded(files().with("CITY.IDX", put32(cidx, 7 * k + 3, offset))),
                          Want::Message, msg::CitySeekFailed, name + std::to_string(offset));
        for (std::int32_t offset : {citySize, citySize + 9, INT32_MAX})
            expectOutcome(q, loaded(files().with("CITY.IDX", put32(cidx, 7 * k + 3, offset))),
                          Want::NoMatch, nullptr, name + std::to_string(offset));
    }

    // COUNTY.DAT and AREA.DAT: where a ZIP list starts.
    const std::string& county = files()["COUNTY.DAT"];
    const std::int32_t countyIdxSize = std::int32_t(files()["COUNTY.IDX"].size());
    for (const auto& span : countyRecords(county)) {
        std::string typed = county.substr(span.begin + 1, std::uint8_t(county[span.begin]) - 1);
        if (typed.size() < 3)
            continue;
        for (std::int32_t offset : {-1, -2, INT32_MIN, countyIdxSize, countyIdxSize - 1, INT32_MAX})
            expectOutcome({Query::County, typed, {}},
                          loaded(files().with("COUNTY.DAT", put32(county, span.end - 4, offset))),
                          Want::Message, msg::CountyIndexCorrupt,
                          "county " + typed + " list offset " + std::to_string(offset));
    }
    const std::string& area = files()["AREA.DAT"];
    const std::int32_t areaIdxSize = std::int32_t(files()["AREA.IDX"].size());
    for (std::size_t at = 0; at < area.size(); at += 6) {
        Query q{Query::Area, std::to_string(u16(area, at)), {}};
        if (full.areaTable[u16(area, at)] != i32(area, at + 2))
            continue; // a later record for the same code wins
        std::string name = "area code " + q.text + " list offset ";
        expectOutcome(q, loaded(files().with("AREA.DAT", put32(area, at + 2, -1))), Want::NoMatch,
                      nullptr, name + "-1");
        for (std::int32_t offset : {-2, INT32_MIN, areaIdxSize, areaIdxSize - 1, INT32_MAX})
            expectOutcome(q, loaded(files().with("AREA.DAT", put32(area, at + 2, offset))),
                          Want::Message, msg::AreaIndexCorrupt, name + std::to_string(offset));
    }
}

TEST(CorruptSearch, StateAndCountyNumbersOutOfRange) {
    const DataSet& full = baseline().data;
    // A city's state byte outside the state table: every search that reads the city.
    const std::string& city = files()["CITY.DAT"];
    for (const auto& c : model().cities) {
        for (std::size_t state : {full.states.size(), std::size_t(255)}) {
            std::string bad = city;
            bad[c.headerEnd - 1] = char(state);
            DataSet d = loaded(files().with("CITY.DAT", bad));
            std::string name = "city " + c.name + " state " + std::to_string(state);
            for (std::uint16_t rec : c.zips)
                expectOutcome(zipQuery(prefixOf(rec)), d, Want::Message, msg::CityCorrupt, name);
            if (c.name.size() >= 3)
                expectOutcome({Query::City, c.name.substr(0, 30), {}}, d, Want::Message,
                              msg::CityCorrupt, name);
            sweep(d, msg::CityCorrupt, name);
        }
    }
    // A ZIP record's county number outside the county table: no county, and nothing else.
    const std::string& zdat = files()["ZIPCODE.DAT"];
    for (std::size_t p : prefixes()) {
        for (std::size_t rec : blockOf(p)) {
            for (std::uint16_t county :
                 {std::uint16_t(full.counties.size()), std::uint16_t(65534), std::uint16_t(65535)})
                expectOutcome(
                    zipQuery(p),
                    loaded(files().with("ZIPCODE.DAT", put16(zdat, rec * 13 + 8, county))),
                    Want::Sound, nullptr,
                    "record " + std::to_string(rec) + " county " + std::to_string(county));
        }
    }
}

TEST(CorruptSearch, LengthsAndCountsRunningPastTheEnd) {
    const DataSet& full = baseline().data;
    // A city's length byte, or its ZIP count, reaching past the end of CITY.DAT.
    const std::string& city = files()["CITY.DAT"];
    for (const auto& c : model().cities) {
        if (c.name.size() < 3)
            continue;
        Query q{Query::City, c.name.substr(0, 30), {}};
        for (std::size_t len = city.size() - c.begin; len <= 255; len += 7) {
            std::string bad = city;
            bad[c.begin] = char(len);
            expectOutcome(q, loaded(files().with("CITY.DAT", bad)), Want::Message, msg::CityCorrupt,
                          "city " + c.name + " length " + std::to_string(len));
        }
        std::size_t room = (city.size() - c.headerEnd - 2) / 2;
        Want want = c.end == city.size() ? Want::Message : Want::MessageOrReadPast;
        for (std::size_t n : {room + 1, std::size_t(65535)})
            expectOutcome(
                q, loaded(files().with("CITY.DAT", put16(city, c.headerEnd, std::uint16_t(n)))),
                want, msg::CityCorrupt, "city " + c.name + " ZIP count " + std::to_string(n));
    }
    // A county's or an area code's ZIP count reaching past the end of its list file.
    const std::string& cidx = files()["COUNTY.IDX"];
    for (const auto& c : full.counties) {
        std::string typed(c.name().substr(0, 30));
        if (typed.size() < 3)
            continue;
        std::size_t room = (cidx.size() - std::size_t(c.zipListOffset) - 2) / 2;
        for (std::size_t n : {room + 1, std::size_t(65535)})
            expectOutcome(
                {Query::County, typed, {}},
                loaded(files().with("COUNTY.IDX",
                                    put16(cidx, std::size_t(c.zipListOffset), std::uint16_t(n)))),
                Want::MessageOrReadPast, msg::CountyIndexCorrupt,
                "county " + typed + " ZIP count " + std::to_string(n));
    }
    const std::string& aidx = files()["AREA.IDX"];
    for (std::size_t code = 0; code < 1000; ++code) {
        std::int32_t at = full.areaTable[code];
        if (at < 0)
            continue;
        std::size_t room = (aidx.size() - std::size_t(at) - 2) / 2;
        for (std::size_t n : {room + 1, std::size_t(65535)})
            expectOutcome(
                {Query::Area, std::to_string(code), {}},
                loaded(files().with("AREA.IDX", put16(aidx, std::size_t(at), std::uint16_t(n)))),
                Want::MessageOrReadPast, msg::AreaIndexCorrupt,
                "area code " + std::to_string(code) + " ZIP count " + std::to_string(n));
    }
}
