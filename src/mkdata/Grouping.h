#pragma once

// The rows of the table gathered into what the data files list: the states with their leading
// digits, the cities and counties of each state and the area codes, each with the record
// numbers of its ZIP codes; then numbered in the order of their files.

#include "data/FileWriters.h"
#include "mkdata/Table.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace corvana::mkdata {

// A city or a county of one state with the records of its ZIP codes.
struct Group : NamedZipList {
    std::string upper;
};

// Collects the cities or counties: one group per name and state, in order of first use.
class Groups {
public:
    // The group of name and state, made on first use with stateLine; record joins its list.
    std::size_t add(const std::string& name, const std::string& state, std::uint8_t stateLine,
                    std::uint16_t record);

    bool contains(const std::string& name, const std::string& state);

    const std::vector<Group>& all() const { return groups_; }

    // Group numbers sorted by upper-cased name, then state line; the stored name settles
    // names that differ in case only, so the order never depends on the table's order.
    std::vector<std::size_t> sortedOrder() const;

private:
    const std::string& keyOf(const std::string& name, const std::string& state);

    std::vector<Group> groups_;
    std::unordered_map<std::string, std::size_t> index_;
    std::string key_;
};

// The table with its rows gathered and numbered. The lists point into the groups, so a
// GroupedTable stays where GroupTable made it.
struct GroupedTable {
    Table table;

    // The lines of STATE.DAT, one per state and leading digit, sorted by abbreviation then
    // digit; the line of each record.
    std::vector<std::string> stateLines;
    std::vector<std::uint8_t> stateOf;

    Groups cities;
    Groups counties;
    Groups countyNames;                // further county names that are no county of their state
    std::vector<std::size_t> cityOf;   // the main city of each record
    std::vector<std::size_t> countyOf; // the main county of each record, SIZE_MAX for none
    std::array<std::vector<std::uint16_t>, 1000> areaLists; // by area code

    // CITY.DAT's cities in file order, sorted by upper-cased name so that each two-letter
    // beginning is one block; the offset of each city in the file by its group number.
    NamedZipLists citiesInOrder;
    std::vector<std::int32_t> cityOffsets;
    // COUNTY.DAT's entries in county-number order: the counties, then the further names; the
    // county number of each county by its group number.
    NamedZipLists countiesInOrder;
    std::vector<std::uint16_t> countyNumbers;
    // AREA.DAT's area codes: every one that has ZIP codes, in code order.
    std::vector<AreaZipList> areas;

    GroupedTable() = default;
    GroupedTable(const GroupedTable&) = delete;
    GroupedTable& operator=(const GroupedTable&) = delete;
};

// Gathers and numbers the rows into grouped. Throws InputError (line 0) for more states, lists
// or counties than the files can number.
void GroupTable(Table table, GroupedTable& grouped);

} // namespace corvana::mkdata
