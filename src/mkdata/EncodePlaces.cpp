#include "mkdata/Encoders.h"

#include "mkdata/InputError.h"
#include "mkdata/TableFields.h"

#include "data/FactsFormat.h"
#include "data/FileNames.h"
#include "data/FileWriters.h"
#include "data/People.h"
#include "geo/Points.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace corvana::mkdata {

namespace {

// One POINTS.DAT record per row: the position in units of 1e-5 degree, which the at most five
// decimals of the table give exactly, and the county code.
std::vector<PointRecord> pointRecords(const std::vector<Row>& rows) {
    std::vector<PointRecord> records;
    records.reserve(rows.size());
    for (const Row& row : rows) {
        PointRecord p;
        if (row.hasPoint) {
            p.latitude = std::int32_t(std::lround(row.latitude * PointRecord::PerDegree));
            p.longitude = std::int32_t(std::lround(row.longitude * PointRecord::PerDegree));
        }
        if (!row.countyFips.empty()) {
            p.stateFips = std::uint8_t(digitsValue(std::string_view(row.countyFips).substr(0, 2)));
            p.countyFips = std::uint16_t(digitsValue(std::string_view(row.countyFips).substr(2)));
        }
        records.push_back(p);
    }
    return records;
}

std::uint32_t fipsValue(const std::string& fips) {
    return fips.empty() ? 0 : std::uint32_t(digitsValue(fips));
}

void checkFactsItems(std::size_t n, const Row& row, std::string_view what) {
    if (n > MaxFactsItems)
        throw InputError(row.line, std::to_string(n) + " " + std::string(what) +
                                       "; ZIPFACTS.DAT holds at most 255 of them per ZIP code");
}

// ZIPFACTS.DAT: each row's kind and zone name, its counties with their FIPS codes, area codes
// and other city names. The table gives the FIPS code of the main county only; a further county
// takes the code that the rows whose main county it is give it in the same state, none when
// no row has it as its main county.
std::string factsFile(const std::vector<Row>& rows) {
    std::map<std::string, std::uint32_t> fipsOf; // name '\0' state
    for (const Row& row : rows)
        if (!row.county.empty() && !row.countyFips.empty())
            fipsOf.emplace(row.county + '\0' + row.state, fipsValue(row.countyFips));
    std::map<std::string, std::uint8_t> zoneNumber;
    for (const Row& row : rows)
        if (!row.zoneName.empty())
            zoneNumber.emplace(row.zoneName, 0);
    if (zoneNumber.size() > MaxFactsItems)
        throw InputError(0, std::to_string(zoneNumber.size()) +
                                " time zone names; ZIPFACTS.DAT holds at most 255");
    std::vector<std::string> zoneNames;
    for (auto& [name, number] : zoneNumber) {
        zoneNames.push_back(name);
        number = std::uint8_t(zoneNames.size());
    }

    std::vector<FactsRecord> records;
    records.reserve(rows.size());
    for (const Row& row : rows) {
        FactsRecord r;
        r.kind = row.kind;
        r.zone = row.zoneName.empty() ? NoZoneName : zoneNumber.at(row.zoneName);
        if (!row.county.empty()) {
            r.counties.push_back(FactsCounty{fipsValue(row.countyFips), row.county});
            r.flags |= FactsRecord::MainCounty;
        }
        for (const std::string& other : row.otherCounties) {
            if (other == row.county ||
                std::any_of(r.counties.begin(), r.counties.end(),
                            [&](const FactsCounty& c) { return c.name == other; }))
                continue;
            auto known = fipsOf.find(other + '\0' + row.state);
            r.counties.push_back(FactsCounty{known == fipsOf.end() ? 0 : known->second, other});
        }
        if (row.areaCode != NoAreaCode) {
            r.areaCodes.push_back(row.areaCode);
            r.flags |= FactsRecord::MainAreaCode;
        }
        for (std::uint16_t code : row.otherAreaCodes)
            if (std::find(r.areaCodes.begin(), r.areaCodes.end(), code) == r.areaCodes.end())
                r.areaCodes.push_back(code);
        for (const std::string& other : row.otherCities)
            if (other != row.city &&
                std::find(r.otherCities.begin(), r.otherCities.end(), other) == r.otherCities.end())
                r.otherCities.push_back(other);
        checkFactsItems(r.counties.size(), row, "counties");
        checkFactsItems(r.areaCodes.size(), row, "area codes");
        checkFactsItems(r.otherCities.size(), row, "other city names");
        records.push_back(std::move(r));
    }
    return WriteFactsFile(zoneNames, records);
}

} // namespace

void EncodePoints(const GroupedTable& grouped, DataFiles& files) {
    if (grouped.table.hasPlaces)
        files[filenames::PointsDat] = geo::BuildPointsFile(pointRecords(grouped.table.rows));
}

void EncodeFacts(const GroupedTable& grouped, DataFiles& files) {
    if (grouped.table.hasFacts)
        files[filenames::FactsDat] = factsFile(grouped.table.rows);
}

void EncodePeople(const GroupedTable& grouped, DataFiles& files) {
    if (!grouped.table.hasPeople)
        return;
    std::vector<PeopleRecord> people;
    people.reserve(grouped.table.rows.size());
    for (const Row& row : grouped.table.rows)
        people.push_back(row.people);
    files[filenames::PeopleDat] = WritePeopleFile(people);
}

} // namespace corvana::mkdata
