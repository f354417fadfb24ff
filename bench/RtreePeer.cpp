#include "RtreePeer.h"

#include "SphereBox.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <unistd.h>

using namespace corvana;
using namespace corvana::geo;

namespace {

void check(int rc, sqlite3* db) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(sqlite3_errmsg(db));
}

} // namespace

RtreePeer::RtreePeer(const Points& points) {
    // A database file with the connection kept open, as SqlitePeer keeps its own; in memory
    // with CORVANA_PEER_IN_MEMORY set.
    if (std::getenv("CORVANA_PEER_IN_MEMORY")) {
        path_ = ":memory:";
    } else {
        path_ = std::filesystem::temp_directory_path() /
                ("corvana-rtree-" + std::to_string(::getpid()) + ".db");
        std::filesystem::remove(path_);
    }
    check(sqlite3_open(path_.c_str(), &db_), db_);
    check(sqlite3_exec(db_,
                       "CREATE VIRTUAL TABLE zip_box USING rtree(rec, south, north, west, east,"
                       " +lat, +lon);"
                       "BEGIN",
                       nullptr, nullptr, nullptr),
          db_);
    sqlite3_stmt* ins = nullptr;
    check(sqlite3_prepare_v2(db_, "INSERT INTO zip_box VALUES(?1, ?2, ?2, ?3, ?3, ?2, ?3)", -1,
                             &ins, nullptr),
          db_);
    for (std::uint32_t r = 0; r < points.recordCount(); ++r) {
        auto p = points.position(r);
        if (!p)
            continue;
        sqlite3_bind_int64(ins, 1, r);
        sqlite3_bind_double(ins, 2, p->latitude);
        sqlite3_bind_double(ins, 3, p->longitude);
        check(sqlite3_step(ins), db_);
        sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    check(sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr), db_);
    check(sqlite3_prepare_v2(db_,
                             "SELECT rec, lat, lon FROM zip_box WHERE north >= ?1 AND south <= ?2"
                             " AND east >= ?3 AND west <= ?4",
                             -1, &inBox_, nullptr),
          db_);
}

RtreePeer::~RtreePeer() {
    sqlite3_finalize(inBox_);
    sqlite3_close(db_);
    if (path_ != ":memory:")
        std::filesystem::remove(path_);
}

std::vector<std::pair<std::uint32_t, GeoPoint>> RtreePeer::inBox(GeoPoint centre, double radiusKm) {
    std::vector<std::pair<std::uint32_t, GeoPoint>> rows;
    const SphereBox box = BoxAround(centre, AngleWithin(radiusKm));
    for (const auto& [west, east] : box.longitudes) {
        sqlite3_bind_double(inBox_, 1, box.south);
        sqlite3_bind_double(inBox_, 2, box.north);
        sqlite3_bind_double(inBox_, 3, west);
        sqlite3_bind_double(inBox_, 4, east);
        while (sqlite3_step(inBox_) == SQLITE_ROW)
            rows.emplace_back(
                std::uint32_t(sqlite3_column_int64(inBox_, 0)),
                GeoPoint{sqlite3_column_double(inBox_, 1), sqlite3_column_double(inBox_, 2)});
        sqlite3_reset(inBox_);
    }
    return rows;
}

std::vector<NearbyZip> RtreePeer::near(GeoPoint centre, double radiusKm,
                                       std::optional<std::uint32_t> centreRecord) {
    std::vector<NearbyZip> out;
    for (const auto& [record, p] : inBox(centre, radiusKm))
        if (const double km = GeodesicKm(centre, p); km <= radiusKm)
            out.push_back({record, km});
    std::sort(out.begin(), out.end(), NearerFirst{centreRecord});
    return out;
}
