#pragma once

#include "search/ZipDetails.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvana {

// The facts of one record as a person reads them: groups under a title, each a list of labelled
// values. A label is empty on the second and later values of a list ("Other county").
struct DetailsField {
    std::string label;
    std::string value;
    bool operator==(const DetailsField&) const = default;
};

struct DetailsGroup {
    std::string title;
    std::vector<DetailsField> fields;
    bool operator==(const DetailsGroup&) const = default;
};

// Place, Counties, Area Codes, Other City Names, Kind, Position, Population, Time Zone and
// Nearest Standard Zip Codes; a group the data has nothing for is left out.
std::vector<DetailsGroup> DetailsGroups(const RecordDetails& record);

// What a kind is, in words: "Standard (has an area)", "P.O. box or single address", "Military".
std::string KindDescription(ZipKind kind);

// A whole number with commas between the thousands: "7,358".
std::string GroupedNumber(std::uint64_t n);

// A density as a person reads it: "3,989 people per sq mi (1,540 per km²)", whole people.
std::string DensityText(const PeopleFigures& figures);

// A distance as "2.0 mi (3.2 km)".
std::string DistanceText(double miles, double km);

// Every record of a result as plain text: one block per record, a title line per group and
// each field on its own line, indented; blocks apart by an empty line. Lines end with '\n'.
std::string DetailsPlainText(const ZipDetailsResult& result);
// The same for the groups of each record, as given.
std::string GroupsPlainText(const std::vector<std::vector<DetailsGroup>>& records);

} // namespace corvana
