#pragma once

#include "search/Search.h"

#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The same table as the data files, in an SQLite database file with indexes on the ZIP
// code, the upper-cased city, the upper-cased county and the area code. Each query answers
// what one keystroke of ours answers and builds the same result lines, each of its kind; only
// the ZIP lines carry their number (the record), as the peer's tables keep no other.
class SqlitePeer {
public:
    SqlitePeer(const corvana::DataSet& data, const corvana::Settings& settings,
               corvana::TimeContext time);
    ~SqlitePeer();
    SqlitePeer(const SqlitePeer&) = delete;
    SqlitePeer& operator=(const SqlitePeer&) = delete;

    std::vector<corvana::ResultItem> zip(std::string_view digits);
    std::vector<corvana::ResultItem> city(std::string_view text);
    std::vector<corvana::ResultItem> cityInState(std::string_view abbrev, std::string_view text);
    std::vector<corvana::ResultItem> county(std::string_view text);
    std::vector<corvana::ResultItem> area(std::string_view text);

private:
    struct Stmt;
    sqlite3_stmt* prepare(const char* sql);
    std::string zipLine(sqlite3_stmt* row, bool forceCounty) const;
    void zipLines(sqlite3_stmt* st, std::vector<corvana::ResultItem>& out, bool forceCounty);

    const corvana::DataSet& data_;
    const corvana::Settings& settings_;
    corvana::TimeContext time_;
    std::filesystem::path path_;
    sqlite3* db_ = nullptr;
    std::vector<sqlite3_stmt*> stmts_;
    sqlite3_stmt *byDigit_, *mainCities_, *zipRange_, *cityNames_, *cityZips_, *stateCities_,
        *stateCityZips_, *countyNames_, *countyZips_, *areaZips_;
};
