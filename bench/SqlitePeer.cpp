#include "SqlitePeer.h"

#include "data/MappedFile.h"
#include "data/ZipFile.h"
#include "text/ShortString.h"

#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

using namespace corvana;

namespace {

void check(int rc, sqlite3* db) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(sqlite3_errmsg(db));
}

void exec(sqlite3* db, const char* sql) {
    check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), db);
}

std::string text(sqlite3_stmt* st, int col) {
    auto p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
    return p ? std::string(p, std::size_t(sqlite3_column_bytes(st, col))) : std::string();
}

// The upper bound of a prefix range: the prefix with its last byte raised by one.
std::string after(std::string p) {
    while (!p.empty() && std::uint8_t(p.back()) == 0xff)
        p.pop_back();
    if (!p.empty())
        p.back() = char(std::uint8_t(p.back()) + 1);
    return p;
}

void bindText(sqlite3_stmt* st, int i, const std::string& s) {
    sqlite3_bind_text(st, i, s.data(), int(s.size()), SQLITE_TRANSIENT);
}

std::vector<std::uint16_t> readList(const MappedFile& f, std::int32_t offset) {
    std::vector<std::uint16_t> out;
    ByteCursor in(f.bytes());
    std::uint16_t n = 0, r = 0;
    if (!in.seek(offset) || !in.readU16(n))
        return out;
    for (unsigned k = 0; k < n && in.readU16(r); ++k)
        out.push_back(r);
    return out;
}

} // namespace

SqlitePeer::SqlitePeer(const DataSet& data, const Settings& settings, TimeContext time)
    : data_(data), settings_(settings), time_(std::move(time)) {
    // A database file, as a program that answers from SQLite would ship it, with the connection
    // kept open for the run; the page cache holds it as it holds our files. With
    // CORVANA_PEER_IN_MEMORY set, the database lives in memory instead.
    if (std::getenv("CORVANA_PEER_IN_MEMORY")) {
        path_ = ":memory:";
    } else {
        path_ = std::filesystem::temp_directory_path() /
                ("corvana-peer-" + std::to_string(::getpid()) + ".db");
        std::filesystem::remove(path_);
    }
    check(sqlite3_open(path_.c_str(), &db_), db_);
    exec(db_, "CREATE TABLE zips(rec INTEGER PRIMARY KEY, zip TEXT, city TEXT, city_upper TEXT,"
              " state TEXT, county TEXT, area INTEGER, tz INTEGER);"
              "CREATE TABLE county_zips(county TEXT, county_upper TEXT, state TEXT, rec INTEGER);"
              "CREATE TABLE area_zips(area INTEGER, rec INTEGER);"
              "CREATE TABLE state_digits(state TEXT, digit TEXT);");

    // Fill the tables from the program's own data files, so both answer from the same data.
    auto zf = ZipFile::open(data);
    auto cf = CityFile::open(data);
    if (!zf || !cf)
        throw std::runtime_error("data files missing");
    exec(db_, "BEGIN");
    sqlite3_stmt* ins = prepare("INSERT INTO zips VALUES(?,?,?,?,?,?,?,?)");
    for (std::size_t n = 0; n < zf->recordCount(); ++n) {
        ZipRecord r = zf->read(std::int64_t(n));
        CityHeader h = cf->readHeader(r.cityOffset, data);
        sqlite3_bind_int64(ins, 1, std::int64_t(n));
        bindText(ins, 2, r.zipText());
        bindText(ins, 3, h.name);
        bindText(ins, 4, upperAscii(h.name));
        bindText(ins, 5, std::string(data.stateAbbrev(h.state)));
        bindText(ins, 6, std::string(data.countyName(r.county)));
        sqlite3_bind_int(ins, 7, r.areaCode);
        sqlite3_bind_int(ins, 8, r.timeZone);
        check(sqlite3_step(ins), db_);
        sqlite3_reset(ins);
    }
    auto cidx = MappedFile::open(data.path("COUNTY.IDX"));
    sqlite3_stmt* insC = prepare("INSERT INTO county_zips VALUES(?,?,?,?)");
    for (const auto& c : data.counties) {
        for (auto rec : readList(*cidx, c.zipListOffset)) {
            bindText(insC, 1, std::string(c.name()));
            bindText(insC, 2, upperAscii(c.name()));
            bindText(insC, 3, std::string(data.stateAbbrev(c.stateNumber())));
            sqlite3_bind_int(insC, 4, rec);
            check(sqlite3_step(insC), db_);
            sqlite3_reset(insC);
        }
    }
    auto aidx = MappedFile::open(data.path("AREA.IDX"));
    sqlite3_stmt* insA = prepare("INSERT INTO area_zips VALUES(?,?)");
    for (int code = 0; code < 1000; ++code) {
        if (data.areaTable[std::size_t(code)] < 0)
            continue;
        for (auto rec : readList(*aidx, data.areaTable[std::size_t(code)])) {
            sqlite3_bind_int(insA, 1, code);
            sqlite3_bind_int(insA, 2, rec);
            check(sqlite3_step(insA), db_);
            sqlite3_reset(insA);
        }
    }
    sqlite3_stmt* insS = prepare("INSERT INTO state_digits VALUES(?,?)");
    for (const auto& line : data.states) {
        bindText(insS, 1, line.substr(0, 2));
        bindText(insS, 2, line.size() > 2 ? line.substr(2, 1) : std::string());
        check(sqlite3_step(insS), db_);
        sqlite3_reset(insS);
    }
    exec(db_, "COMMIT;"
              "CREATE INDEX zips_zip ON zips(zip);"
              "CREATE INDEX zips_city ON zips(city_upper);"
              "CREATE INDEX county_upper ON county_zips(county_upper);"
              "CREATE INDEX area_code ON area_zips(area);"
              "ANALYZE;");

    const char* cols = "z.rec, z.zip, z.city, z.state, z.county, z.area, z.tz";
    byDigit_ = prepare("SELECT state FROM state_digits WHERE digit = ?1");
    mainCities_ = prepare("SELECT substr(zip,1,3) p, city, state, count(*) c, min(zip) m FROM zips"
                          " WHERE zip >= ?1 AND zip < ?2 GROUP BY p, city, state"
                          " ORDER BY p, c DESC, m");
    zipRange_ = prepare(
        (std::string("SELECT ") + cols + " FROM zips z WHERE z.zip >= ?1 AND z.zip < ?2").c_str());
    cityNames_ = prepare("SELECT DISTINCT city, state FROM zips"
                         " WHERE city_upper >= ?1 AND city_upper < ?2");
    cityZips_ = prepare((std::string("SELECT ") + cols +
                         " FROM zips z WHERE z.city_upper >= ?1 AND z.city_upper < ?2")
                            .c_str());
    stateCities_ = prepare("SELECT DISTINCT city, state FROM zips"
                           " WHERE city_upper >= ?1 AND city_upper < ?2 AND state = ?3");
    stateCityZips_ = prepare((std::string("SELECT ") + cols +
                              " FROM zips z WHERE z.city_upper >= ?1 AND z.city_upper < ?2"
                              " AND z.state = ?3")
                                 .c_str());
    countyNames_ = prepare("SELECT DISTINCT county, state FROM county_zips"
                           " WHERE county_upper >= ?1 AND county_upper < ?2");
    countyZips_ = prepare((std::string("SELECT ") + cols +
                           " FROM county_zips c JOIN zips z ON z.rec = c.rec"
                           " WHERE c.county_upper >= ?1 AND c.county_upper < ?2")
                              .c_str());
    areaZips_ = prepare((std::string("SELECT ") + cols +
                         " FROM area_zips a JOIN zips z ON z.rec = a.rec WHERE a.area = ?1")
                            .c_str());
}

SqlitePeer::~SqlitePeer() {
    for (auto* st : stmts_)
        sqlite3_finalize(st);
    sqlite3_close(db_);
    if (path_ != ":memory:")
        std::filesystem::remove(path_);
}

sqlite3_stmt* SqlitePeer::prepare(const char* sql) {
    sqlite3_stmt* st = nullptr;
    check(sqlite3_prepare_v2(db_, sql, -1, &st, nullptr), db_);
    stmts_.push_back(st);
    return st;
}

std::string SqlitePeer::zipLine(sqlite3_stmt* row, bool forceCounty) const {
    std::string city = text(row, 2);
    std::string line = text(row, 1) + " " + (settings_.citiesInCaps ? upperAscii(city) : city) +
                       ", " + text(row, 3);
    std::string county = text(row, 4);
    if ((settings_.showCounty || forceCounty) && !county.empty())
        line += " (" + (settings_.countiesInCaps ? upperAscii(county) : county) + ")";
    int area = sqlite3_column_int(row, 5);
    if (settings_.showAreaCode && area != 0)
        line += " (" + std::to_string(area) + ")";
    if (settings_.showTimeZone || settings_.showCurrentTime)
        line += DoTime(std::uint8_t(sqlite3_column_int(row, 6)), settings_, time_);
    return cutTo(line, ShortMax);
}

void SqlitePeer::zipLines(sqlite3_stmt* st, std::vector<ResultItem>& out, bool forceCounty) {
    while (sqlite3_step(st) == SQLITE_ROW)
        out.push_back(
            {zipLine(st, forceCounty), ZipItem{std::uint32_t(sqlite3_column_int64(st, 0))}});
    sqlite3_reset(st);
}

std::vector<ResultItem> SqlitePeer::zip(std::string_view digits) {
    std::vector<ResultItem> out;
    std::string d(digits);
    if (d.size() == 1) {
        bindText(byDigit_, 1, d);
        while (sqlite3_step(byDigit_) == SQLITE_ROW)
            out.push_back({GetState(text(byDigit_, 0), settings_.statesInCaps), StateItem{}});
        sqlite3_reset(byDigit_);
    } else if (d.size() == 2) {
        bindText(mainCities_, 1, d);
        bindText(mainCities_, 2, after(d));
        std::string last;
        while (sqlite3_step(mainCities_) == SQLITE_ROW) {
            std::string p = text(mainCities_, 0);
            if (p == last)
                continue;
            last = p;
            std::string city = text(mainCities_, 1);
            out.push_back({p + " " + (settings_.citiesInCaps ? upperAscii(city) : city) + ", " +
                               text(mainCities_, 2),
                           MainCityItem{}});
        }
        sqlite3_reset(mainCities_);
    } else {
        bindText(zipRange_, 1, d);
        bindText(zipRange_, 2, after(d));
        zipLines(zipRange_, out, false);
    }
    if (out.empty() && d.size() >= 3)
        out.push_back({"No matching zip codes found.", NoMatchItem{}});
    SortItems(out);
    return out;
}

std::vector<ResultItem> SqlitePeer::city(std::string_view t) {
    std::vector<ResultItem> out;
    std::string p = upperAscii(t);
    if (p.size() == 2) {
        bindText(cityNames_, 1, p);
        bindText(cityNames_, 2, after(p));
        while (sqlite3_step(cityNames_) == SQLITE_ROW) {
            std::string c = text(cityNames_, 0);
            out.push_back(
                {(settings_.citiesInCaps ? upperAscii(c) : c) + ", " + text(cityNames_, 1),
                 CityItem{}});
        }
        sqlite3_reset(cityNames_);
    } else {
        bindText(cityZips_, 1, p);
        bindText(cityZips_, 2, after(p));
        zipLines(cityZips_, out, false);
    }
    if (out.empty())
        out.push_back({"No matching cities found.", NoMatchItem{}});
    SortItems(out);
    return out;
}

std::vector<ResultItem> SqlitePeer::cityInState(std::string_view abbrev, std::string_view t) {
    std::vector<ResultItem> out;
    std::string p = upperAscii(t);
    std::string st(abbrev);
    if (p.size() == 1) {
        bindText(stateCities_, 1, p);
        bindText(stateCities_, 2, after(p));
        bindText(stateCities_, 3, st);
        while (sqlite3_step(stateCities_) == SQLITE_ROW) {
            std::string c = text(stateCities_, 0);
            out.push_back(
                {(settings_.citiesInCaps ? upperAscii(c) : c) + ", " + text(stateCities_, 1),
                 CityItem{}});
        }
        sqlite3_reset(stateCities_);
    } else {
        bindText(stateCityZips_, 1, p);
        bindText(stateCityZips_, 2, after(p));
        bindText(stateCityZips_, 3, st);
        zipLines(stateCityZips_, out, false);
    }
    if (out.empty())
        out.push_back({"No matching cities found.", NoMatchItem{}});
    SortItems(out);
    return out;
}

std::vector<ResultItem> SqlitePeer::county(std::string_view t) {
    std::vector<ResultItem> out;
    std::string p = upperAscii(t);
    if (p.size() <= 2) {
        bindText(countyNames_, 1, p);
        bindText(countyNames_, 2, after(p));
        while (sqlite3_step(countyNames_) == SQLITE_ROW) {
            std::string c = text(countyNames_, 0);
            out.push_back(
                {(settings_.countiesInCaps ? upperAscii(c) : c) + ", " + text(countyNames_, 1),
                 CountyItem{}});
        }
        sqlite3_reset(countyNames_);
    } else {
        bindText(countyZips_, 1, p);
        bindText(countyZips_, 2, after(p));
        zipLines(countyZips_, out, true);
    }
    if (out.empty())
        out.push_back({"No matching counties found.", NoMatchItem{}});
    SortItems(out);
    return out;
}

std::vector<ResultItem> SqlitePeer::area(std::string_view t) {
    std::vector<ResultItem> out;
    sqlite3_bind_int(areaZips_, 1, std::stoi(std::string(t)));
    zipLines(areaZips_, out, false);
    if (out.empty())
        out.push_back({"No matching area codes found.", NoMatchItem{}});
    SortItems(out);
    return out;
}
