#include "mkdata/Grouping.h"

#include "mkdata/InputError.h"
#include "mkdata/TableFields.h"

#include "text/ShortString.h"
#include "text/Win1252.h"

#include <algorithm>
#include <map>

namespace corvana::mkdata {

namespace {

constexpr std::size_t MaxListLength = 65535;
// County number 65535 is "no county".
constexpr std::size_t MaxCounties = 65535;
constexpr std::size_t MaxStateLines = 256;

} // namespace

std::size_t Groups::add(const std::string& name, const std::string& state, std::uint8_t stateLine,
                        std::uint16_t record) {
    auto [it, made] = index_.try_emplace(keyOf(name, state), groups_.size());
    if (made) {
        Group g;
        g.name = name;
        g.upper = upperAscii(name);
        g.state = stateLine;
        groups_.push_back(std::move(g));
    }
    // Kept in record order; a record named twice for one group (a county repeated in
    // other_counties) is listed once.
    std::vector<std::uint16_t>& records = groups_[it->second].records;
    auto at = std::lower_bound(records.begin(), records.end(), record);
    if (at == records.end() || *at != record)
        records.insert(at, record);
    return it->second;
}

bool Groups::contains(const std::string& name, const std::string& state) {
    return index_.count(keyOf(name, state)) != 0;
}

std::vector<std::size_t> Groups::sortedOrder() const {
    std::vector<std::size_t> order(groups_.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const Group& x = groups_[a];
        const Group& y = groups_[b];
        if (int c = x.upper.compare(y.upper))
            return c < 0;
        if (x.state != y.state)
            return x.state < y.state;
        return x.name < y.name;
    });
    return order;
}

const std::string& Groups::keyOf(const std::string& name, const std::string& state) {
    key_.assign(name);
    key_ += '\0';
    key_ += state;
    return key_;
}

namespace {

void checkListLength(std::size_t length, std::string_view what) {
    if (length > MaxListLength)
        throw InputError(0, std::string(what) + " has " + std::to_string(length) +
                                " ZIP codes; a list holds at most 65,535");
}

void numberStates(GroupedTable& g) {
    const std::vector<Row>& rows = g.table.rows;
    auto stateKey = [](const Row& row) { return row.state + char('0' + row.zip / 10000); };
    std::map<std::string, std::size_t> numbers;
    for (const Row& row : rows)
        numbers.emplace(stateKey(row), 0);
    if (numbers.size() > MaxStateLines)
        throw InputError(0, std::to_string(numbers.size()) +
                                " pairs of state and leading digit; the state number is one "
                                "byte, so at most 256 fit");
    for (auto& [key, number] : numbers) {
        number = g.stateLines.size();
        g.stateLines.push_back(key);
    }
    g.stateOf.reserve(rows.size());
    for (const Row& row : rows)
        g.stateOf.push_back(std::uint8_t(numbers.at(stateKey(row))));
}

// A city or county takes the state line of its first ZIP code.
void collectLists(GroupedTable& g) {
    const std::vector<Row>& rows = g.table.rows;
    g.cityOf.resize(rows.size());
    g.countyOf.assign(rows.size(), SIZE_MAX);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        auto record = std::uint16_t(i);
        const std::uint8_t line = g.stateOf[i];
        g.cityOf[i] = g.cities.add(row.city, row.state, line, record);
        if (!row.county.empty())
            g.countyOf[i] = g.counties.add(row.county, row.state, line, record);
        for (const std::string& other : row.otherCounties)
            g.counties.add(other, row.state, line, record);
        // A further name of the place is a city record of its own with every ZIP code that
        // carries the name; the ZIP record still points at the main city.
        for (const std::string& other : row.otherCities)
            g.cities.add(other, row.state, line, record);
        if (row.areaCode != NoAreaCode)
            g.areaLists[row.areaCode].push_back(record);
        for (std::uint16_t code : row.otherAreaCodes)
            if (g.areaLists[code].empty() || g.areaLists[code].back() != record)
                g.areaLists[code].push_back(record);
    }

    // A further name of a county is an entry of its own with the same ZIP codes. Once every
    // county is known: a name that is already a county of the state lists the ZIP codes there.
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        for (const std::string& name : row.otherCountyNames)
            (g.counties.contains(name, row.state) ? g.counties : g.countyNames)
                .add(name, row.state, g.stateOf[i], std::uint16_t(i));
    }
}

// The offsets are where CITY.DAT puts each city, so they come from laying the file out; its
// bytes are made again, from the same lists, when the files are encoded.
void numberCities(GroupedTable& g) {
    const std::vector<std::size_t> order = g.cities.sortedOrder();
    for (std::size_t c : order) {
        const Group& city = g.cities.all()[c];
        checkListLength(city.records.size(), "city " + inQuotes(Win1252ToUtf8(city.name)));
        g.citiesInOrder.push_back(&city);
    }
    std::vector<std::int32_t> offsets;
    WriteCityFile(g.citiesInOrder, offsets);
    g.cityOffsets.resize(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        g.cityOffsets[order[i]] = offsets[i];
}

// The further names come after the counties, so that the counties keep their numbers.
void numberCounties(GroupedTable& g) {
    const std::size_t entries = g.counties.all().size() + g.countyNames.all().size();
    if (entries > MaxCounties)
        throw InputError(0, std::to_string(entries) +
                                " counties; county number 65535 means none, so at most "
                                "65,535 fit");
    g.countyNumbers.resize(g.counties.all().size());
    for (const Groups* groups : {&g.counties, &g.countyNames}) {
        for (std::size_t c : groups->sortedOrder()) {
            const Group& county = groups->all()[c];
            checkListLength(county.records.size(),
                            "county " + inQuotes(Win1252ToUtf8(county.name)));
            if (groups == &g.counties)
                g.countyNumbers[c] = std::uint16_t(g.countiesInOrder.size());
            g.countiesInOrder.push_back(&county);
        }
    }
}

void numberAreas(GroupedTable& g) {
    for (std::size_t code = 0; code < g.areaLists.size(); ++code) {
        const std::vector<std::uint16_t>& records = g.areaLists[code];
        if (records.empty())
            continue;
        checkListLength(records.size(), "area code " + std::to_string(code));
        g.areas.push_back(AreaZipList{std::uint16_t(code), records});
    }
}

} // namespace

void GroupTable(Table table, GroupedTable& grouped) {
    grouped.table = std::move(table);
    numberStates(grouped);
    collectLists(grouped);
    numberCities(grouped);
    numberCounties(grouped);
    numberAreas(grouped);
}

} // namespace corvana::mkdata
