#include "mkdata/Builder.h"
#include "mkdata/ExchangeTable.h"
#include "mkdata/PeopleFile.h"

#include "data/DataSet.h"
#include "data/FactsFormat.h"
#include "data/FileNames.h"
#include "data/FileWriters.h"
#include "data/People.h"
#include "data/Records.h"
#include "data/ZipFacts.h"
#include "geo/GeoPoint.h"
#include "geo/Points.h"
#include "text/Blanks.h"
#include "text/Csv.h"
#include "text/ShortString.h"
#include "text/Utf8.h"
#include "text/Win1252.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <optional>
#include <ostream>
#include <random>
#include <sstream>
#include <unordered_map>
#include <variant>

namespace corvana::mkdata {

namespace {

// ZIP lists hold 16-bit record numbers, so records past 65535 could never be listed.
constexpr std::size_t MaxZipCodes = 65536;
// A name and its state byte share one length byte.
constexpr std::size_t MaxNameBytes = 254;
constexpr std::size_t MaxListLength = 65535;
// County number 65535 is "no county".
constexpr std::size_t MaxCounties = 65535;
constexpr std::size_t MaxStateLines = 256;

enum Column {
    ColZip,
    ColCity,
    ColState,
    ColCounty,
    ColAreaCode,
    ColUtcOffset,
    ColDst,
    ColOtherCounties,
    ColOtherAreaCodes,
    ColOtherCities,
    ColOtherCountyNames,
    ColLatitude,
    ColLongitude,
    ColCountyFips,
    ColKind,
    ColTimeZone,
    ColPopulation,
    ColDensity,
    ColumnCount
};
static_assert(std::size(TableColumns) == ColumnCount && FirstOptionalColumn == ColOtherCities);

struct Row {
    std::size_t line = 0;
    std::uint32_t zip = 0;
    std::string city; // Windows-1252, as are state and the counties
    std::string state;
    std::string county;
    std::uint16_t areaCode = NoAreaCode;
    std::uint8_t timeZone = NoZone;
    std::vector<std::string> otherCounties;
    std::vector<std::uint16_t> otherAreaCodes;
    std::vector<std::string> otherCities;
    std::vector<std::string> otherCountyNames;
    // The place of the ZIP code, where the table gives one; the FIPS code of its main county.
    bool hasPoint = false;
    double latitude = 0;
    double longitude = 0;
    std::string countyFips;
    ZipKind kind = ZipKind::Unknown;
    std::string zoneName; // IANA, "America/Boise"; empty when none
    PeopleRecord people;
};

// A city or a county of one state with the records of its ZIP codes.
struct Group : NamedZipList {
    std::string upper;
};

std::string inQuotes(std::string_view s) {
    return "\"" + std::string(s) + "\"";
}

bool allDigits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int digitsValue(std::string_view s) {
    int v = 0;
    for (char c : s)
        v = v * 10 + (c - '0');
    return v;
}

// Windows-1252 text of a table field; what is the column's description in messages.
std::string convertText(std::string_view utf8, std::string_view what, std::size_t line) {
    if (!IsUtf8(utf8))
        throw InputError(line, std::string(what) + " is not valid UTF-8");
    // A control character would show as garbage in the results list, and a line end in the date
    // would cut the first line of ZIPVER.DAT short.
    if (!IsPlainUtf8(utf8))
        throw InputError(line,
                         std::string(what) + " " + inQuotes(utf8) + " holds a control character");
    auto text = Utf8ToWin1252(utf8);
    if (!text)
        throw InputError(line, std::string(what) + " " + inQuotes(utf8) +
                                   " holds a character that Windows-1252 cannot represent");
    return *text;
}

std::string nameText(std::string_view field, std::string_view what, std::size_t line) {
    std::string text = convertText(field, what, line);
    if (text.empty())
        throw InputError(line, "empty " + std::string(what));
    if (text.size() > MaxNameBytes)
        throw InputError(line, std::string(what) + " " + inQuotes(field) + " is " +
                                   std::to_string(text.size()) +
                                   " bytes long in Windows-1252; at most 254 fit");
    return text;
}

std::uint16_t areaCodeValue(std::string_view field, std::string_view what, std::size_t line) {
    // 000 would read as "no area code".
    if (field.size() != 3 || !allDigits(field) || field == "000")
        throw InputError(line, "bad " + std::string(what) + " " + inQuotes(field) +
                                   " (three digits other than 000 wanted)");
    return std::uint16_t(digitsValue(field));
}

std::uint8_t timeZoneCode(std::string_view offset, std::string_view dst, std::size_t line) {
    if (offset.empty()) {
        // Without a zone there is no flag to keep; military rows often leave dst empty.
        if (dst != "Y" && dst != "N" && !dst.empty())
            throw InputError(line, "bad dst " + inQuotes(dst) + " (Y, N or empty wanted)");
        return NoZone;
    }
    std::string_view digits = offset;
    bool negative = false;
    if (digits.front() == '+' || digits.front() == '-') {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    // Checked before converting: a long run of digits would overflow the conversion.
    int hours = 99;
    if (!digits.empty() && digits.size() <= 2 && allDigits(digits))
        hours = digitsValue(digits);
    if (negative)
        hours = -hours;
    // Zone number 0, which UTC-12 would give, is "no time zone": the zones are 1 to 24.
    if (hours < -11 || hours > 12)
        throw InputError(line, "bad utc_offset " + inQuotes(offset) +
                                   " (whole hours from -11 to 12 wanted)");
    if (dst != "Y" && dst != "N")
        throw InputError(line, "bad dst " + inQuotes(dst) + " (Y or N wanted)");
    return ZipRecord::zoneByte(hours + 12, dst == "Y");
}

std::string degreesWanted(int limit) {
    return "decimal degrees from -" + std::to_string(limit) + " to " + std::to_string(limit) +
           " with at most " + std::to_string(geo::MaxDegreeDecimals) + " decimals";
}

// The point and county code of a row: latitude and longitude both given or both empty.
void readPlace(Row& row, std::string_view latitude, std::string_view longitude,
               std::string_view countyFips) {
    const std::size_t line = row.line;
    if (latitude.empty() != longitude.empty())
        throw InputError(line, latitude.empty() ? "longitude without a latitude"
                                                : "latitude without a longitude");
    if (!latitude.empty()) {
        const auto lat = geo::ParseDegrees(latitude, 90, geo::DegreesForm::Table);
        if (lat.error != geo::DegreesError::None)
            throw InputError(line, "bad latitude " + inQuotes(latitude) + " (" + degreesWanted(90) +
                                       " wanted)");
        const auto lon = geo::ParseDegrees(longitude, 180, geo::DegreesForm::Table);
        if (lon.error != geo::DegreesError::None)
            throw InputError(line, "bad longitude " + inQuotes(longitude) + " (" +
                                       degreesWanted(180) + " wanted)");
        row.hasPoint = true;
        row.latitude = lat.degrees;
        row.longitude = lon.degrees;
    }
    if (!countyFips.empty() && (countyFips.size() != 5 || !allDigits(countyFips)))
        throw InputError(line, "bad county_fips " + inQuotes(countyFips) + " (five digits wanted)");
    // POINTS.DAT keeps state code 00 for "no county code"; no state has it.
    if (countyFips.starts_with("00"))
        throw InputError(line,
                         "bad county_fips " + inQuotes(countyFips) + " (no state has the code 00)");
    row.countyFips = std::string(countyFips);
}

// The kind and zone name of a row: a known kind or none; a zone name only beside an offset.
void readFacts(Row& row, std::string_view kind, std::string_view zone, bool hasOffset) {
    if (!kind.empty()) {
        auto k = KindOfName(kind);
        if (!k)
            throw InputError(row.line, "bad kind " + inQuotes(kind) +
                                           " (standard, po_box_or_unique or military wanted)");
        row.kind = *k;
    }
    if (zone.empty())
        return;
    if (!IsZoneNameForm(zone))
        throw InputError(row.line, "bad time_zone " + inQuotes(zone) +
                                       " (an IANA zone name such as America/Boise wanted)");
    if (!hasOffset)
        throw InputError(row.line, "time_zone " + inQuotes(zone) + " without a utc_offset");
    row.zoneName = std::string(zone);
}

// The items of a ';'-separated list, trimmed, empty items dropped.
std::vector<std::string_view> listItems(std::string_view field) {
    std::vector<std::string_view> items;
    while (!field.empty()) {
        std::size_t semi = field.find(';');
        std::string_view item = trimBlanks(field.substr(0, semi));
        if (!item.empty())
            items.push_back(item);
        if (semi == std::string_view::npos)
            break;
        field.remove_prefix(semi + 1);
    }
    return items;
}

// The records of the table, empty lines left out. A fault of the CSV is worded for the table's
// author, who doubles a quote inside a field.
std::vector<CsvRecord> readTable(std::string_view csv) {
    CsvReader reader(csv, CsvOptions{.loneCrEndsLine = false});
    std::vector<CsvRecord> records;
    CsvRecord record;
    try {
        while (reader.next(record))
            if (!record.isEmptyLine())
                records.push_back(record);
    } catch (const CsvError& e) {
        throw InputError(e.line(),
                         e.description() + (e.problem() == CsvProblem::QuoteInUnquotedField
                                                ? " (quote the field and double the quote)"
                                                : ""));
    }
    return records;
}

std::array<std::size_t, ColumnCount> headerColumns(const CsvRecord& header) {
    std::array<std::size_t, ColumnCount> where;
    where.fill(SIZE_MAX);
    for (std::size_t f = 0; f < header.fields.size(); ++f) {
        const std::string value = header.value(f);
        std::string_view name = trimBlanks(value);
        auto known = std::find(std::begin(TableColumns), std::end(TableColumns), name);
        if (known == std::end(TableColumns))
            throw InputError(header.line, "unknown column " + inQuotes(name));
        std::size_t c = std::size_t(known - std::begin(TableColumns));
        if (where[c] != SIZE_MAX)
            throw InputError(header.line, "column " + inQuotes(name) + " appears twice");
        where[c] = f;
    }
    for (std::size_t c = 0; c < FirstOptionalColumn; ++c)
        if (where[c] == SIZE_MAX)
            throw InputError(header.line, "missing column " + inQuotes(TableColumns[c]));
    return where;
}

Row parseRow(const CsvRecord& record, const std::array<std::size_t, ColumnCount>& where,
             std::size_t headerSize) {
    const std::size_t line = record.line;
    if (record.fields.size() != headerSize)
        throw InputError(line, std::to_string(record.fields.size()) +
                                   " fields where the header has " + std::to_string(headerSize));
    std::array<std::string, ColumnCount> values;
    for (std::size_t c = 0; c < ColumnCount; ++c)
        if (where[c] != SIZE_MAX)
            values[c] = record.value(where[c]);
    auto field = [&](Column c) { return trimBlanks(values[c]); };

    Row row;
    row.line = line;
    std::string_view zip = field(ColZip);
    if (zip.size() != 5 || !allDigits(zip))
        throw InputError(line, "bad zip " + inQuotes(zip) + " (five digits wanted)");
    row.zip = std::uint32_t(digitsValue(zip));

    row.city = nameText(field(ColCity), "city", line);
    std::string_view state = field(ColState);
    if (state.empty())
        throw InputError(line, "empty state");
    // The state file gives each state two characters, then the leading ZIP digit.
    if (state.size() != 2 ||
        !std::all_of(state.begin(), state.end(), [](char c) { return c >= 'A' && c <= 'Z'; }))
        throw InputError(line, "bad state " + inQuotes(state) + " (two capital letters wanted)");
    row.state = std::string(state);

    if (!field(ColCounty).empty())
        row.county = nameText(field(ColCounty), "county", line);
    if (!field(ColAreaCode).empty())
        row.areaCode = areaCodeValue(field(ColAreaCode), "area_code", line);
    row.timeZone = timeZoneCode(field(ColUtcOffset), field(ColDst), line);

    for (std::string_view item : listItems(field(ColOtherCounties)))
        row.otherCounties.push_back(nameText(item, "county in other_counties", line));
    for (std::string_view item : listItems(field(ColOtherAreaCodes)))
        row.otherAreaCodes.push_back(areaCodeValue(item, "area code in other_area_codes", line));
    for (std::string_view item : listItems(field(ColOtherCities)))
        row.otherCities.push_back(nameText(item, "city in other_cities", line));
    for (std::string_view item : listItems(field(ColOtherCountyNames)))
        row.otherCountyNames.push_back(nameText(item, "county in other_county_names", line));
    readPlace(row, field(ColLatitude), field(ColLongitude), field(ColCountyFips));
    readFacts(row, field(ColKind), field(ColTimeZone), !field(ColUtcOffset).empty());
    row.people = ReadPeopleFigures(field(ColPopulation), field(ColDensity), line);
    return row;
}

// Collects the cities or counties: one group per name and state, in order of first use.
class Groups {
public:
    // The group of name and state, made on first use with stateLine; record joins its list.
    std::size_t add(const std::string& name, const std::string& state, std::uint8_t stateLine,
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

    bool contains(const std::string& name, const std::string& state) {
        return index_.count(keyOf(name, state)) != 0;
    }

    std::vector<Group>& all() { return groups_; }
    const std::vector<Group>& all() const { return groups_; }

    // Group numbers sorted by upper-cased name, then state line; the stored name settles
    // names that differ in case only, so the order never depends on the table's order.
    std::vector<std::size_t> sortedOrder() const {
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

private:
    const std::string& keyOf(const std::string& name, const std::string& state) {
        key_.assign(name);
        key_ += '\0';
        key_ += state;
        return key_;
    }

    std::vector<Group> groups_;
    std::unordered_map<std::string, std::size_t> index_;
    std::string key_;
};

void checkListLength(std::size_t length, std::string_view what) {
    if (length > MaxListLength)
        throw InputError(0, std::string(what) + " has " + std::to_string(length) +
                                " ZIP codes; a list holds at most 65,535");
}

// The rows of the table in ZIP order, which makes each prefix one block and puts every list
// of record numbers in ZIP order. hasPlaces: the header has a latitude, longitude or
// county_fips column; hasFacts: a kind or time_zone column; hasPeople: population or density.
std::vector<Row> readRows(std::string_view csv, bool& hasPlaces, bool& hasFacts, bool& hasPeople) {
    std::vector<CsvRecord> records = readTable(csv);
    if (records.empty())
        throw InputError(0, "the table is empty: no header line");
    const auto where = headerColumns(records.front());
    hasPlaces = where[ColLatitude] != SIZE_MAX || where[ColLongitude] != SIZE_MAX ||
                where[ColCountyFips] != SIZE_MAX;
    hasFacts = where[ColKind] != SIZE_MAX || where[ColTimeZone] != SIZE_MAX;
    hasPeople = where[ColPopulation] != SIZE_MAX || where[ColDensity] != SIZE_MAX;

    std::vector<Row> rows;
    rows.reserve(records.size() - 1);
    std::vector<std::size_t> lineOfZip(100000, 0);
    for (std::size_t r = 1; r < records.size(); ++r) {
        if (rows.size() == MaxZipCodes)
            throw InputError(records[r].line,
                             "more than 65,536 ZIP codes; the lists of record numbers stop at "
                             "65535");
        Row row = parseRow(records[r], where, records.front().fields.size());
        if (std::size_t first = lineOfZip[row.zip])
            throw InputError(row.line, "duplicate zip " +
                                           inQuotes(trimBlanks(records[r].value(where[ColZip]))) +
                                           " (first on line " + std::to_string(first) + ")");
        lineOfZip[row.zip] = row.line;
        rows.push_back(std::move(row));
    }
    if (rows.empty())
        throw InputError(0, "the table holds no ZIP codes");
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.zip < b.zip; });
    return rows;
}

// The lines of STATE.DAT, one per state and leading digit, sorted by abbreviation then digit.
struct StateLines {
    std::vector<std::string> lines;
    std::vector<std::uint8_t> ofRow; // the state number of each row
};

StateLines numberStates(const std::vector<Row>& rows) {
    auto stateKey = [](const Row& row) { return row.state + char('0' + row.zip / 10000); };
    std::map<std::string, std::size_t> numbers;
    for (const Row& row : rows)
        numbers.emplace(stateKey(row), 0);
    if (numbers.size() > MaxStateLines)
        throw InputError(0, std::to_string(numbers.size()) +
                                " pairs of state and leading digit; the state number is one "
                                "byte, so at most 256 fit");
    StateLines states;
    for (auto& [key, number] : numbers) {
        number = states.lines.size();
        states.lines.push_back(key);
    }
    states.ofRow.reserve(rows.size());
    for (const Row& row : rows)
        states.ofRow.push_back(std::uint8_t(numbers.at(stateKey(row))));
    return states;
}

// The cities, counties and area codes of the table, each with the records of its ZIP codes.
struct Lists {
    Groups cities;
    Groups counties;
    Groups countyNames;                // further county names that are no county of their state
    std::vector<std::size_t> cityOf;   // the main city of each record
    std::vector<std::size_t> countyOf; // the main county of each record, SIZE_MAX for none
    std::array<std::vector<std::uint16_t>, 1000> areas;
};

// A city or county takes the state line of its first ZIP code.
Lists collectLists(const std::vector<Row>& rows, const StateLines& states) {
    Lists lists;
    lists.cityOf.resize(rows.size());
    lists.countyOf.assign(rows.size(), SIZE_MAX);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        auto record = std::uint16_t(i);
        const std::uint8_t line = states.ofRow[i];
        lists.cityOf[i] = lists.cities.add(row.city, row.state, line, record);
        if (!row.county.empty())
            lists.countyOf[i] = lists.counties.add(row.county, row.state, line, record);
        for (const std::string& other : row.otherCounties)
            lists.counties.add(other, row.state, line, record);
        // A further name of the place is a city record of its own with every ZIP code that
        // carries the name; the ZIP record still points at the main city.
        for (const std::string& other : row.otherCities)
            lists.cities.add(other, row.state, line, record);
        if (row.areaCode != NoAreaCode)
            lists.areas[row.areaCode].push_back(record);
        for (std::uint16_t code : row.otherAreaCodes)
            if (lists.areas[code].empty() || lists.areas[code].back() != record)
                lists.areas[code].push_back(record);
    }

    // A further name of a county is an entry of its own with the same ZIP codes. Once every
    // county is known: a name that is already a county of the state lists the ZIP codes there.
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        for (const std::string& name : row.otherCountyNames)
            (lists.counties.contains(name, row.state) ? lists.counties : lists.countyNames)
                .add(name, row.state, states.ofRow[i], std::uint16_t(i));
    }
    return lists;
}

// Writes CITY.DAT and CITY.IDX, the cities sorted by upper-cased name so that each two-letter
// beginning is one block; returns the offset of each city by its group number.
std::vector<std::int32_t> writeCities(const Groups& cities, DataFiles& files) {
    const std::vector<std::size_t> order = cities.sortedOrder();
    NamedZipLists sorted;
    for (std::size_t c : order) {
        const Group& g = cities.all()[c];
        checkListLength(g.records.size(), "city " + inQuotes(Win1252ToUtf8(g.name)));
        sorted.push_back(&g);
    }
    std::vector<std::int32_t> offsets;
    files[filenames::CityDat] = WriteCityFile(sorted, offsets);
    files[filenames::CityIdx] = WriteCityIndexFile(sorted, offsets);
    std::vector<std::int32_t> byGroup(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        byGroup[order[i]] = offsets[i];
    return byGroup;
}

// Writes COUNTY.DAT and COUNTY.IDX; returns the county number of each county by its group
// number. The further names come after the counties, so that the counties keep their numbers.
std::vector<std::uint16_t> writeCounties(const Groups& counties, const Groups& countyNames,
                                         DataFiles& files) {
    const std::size_t entries = counties.all().size() + countyNames.all().size();
    if (entries > MaxCounties)
        throw InputError(0, std::to_string(entries) +
                                " counties; county number 65535 means none, so at most "
                                "65,535 fit");
    std::vector<std::uint16_t> countyNumber(counties.all().size());
    NamedZipLists numbered;
    for (const Groups* groups : {&counties, &countyNames}) {
        for (std::size_t c : groups->sortedOrder()) {
            const Group& g = groups->all()[c];
            checkListLength(g.records.size(), "county " + inQuotes(Win1252ToUtf8(g.name)));
            if (groups == &counties)
                countyNumber[c] = std::uint16_t(numbered.size());
            numbered.push_back(&g);
        }
    }
    files[filenames::CountyDat] = WriteCountyFile(numbered);
    files[filenames::CountyIdx] = WriteCountyListFile(numbered);
    return countyNumber;
}

// Writes AREA.DAT and AREA.IDX: every area code that has ZIP codes, in code order.
void writeAreas(const std::array<std::vector<std::uint16_t>, 1000>& areas, DataFiles& files) {
    std::vector<AreaZipList> used;
    for (std::size_t code = 0; code < areas.size(); ++code) {
        if (areas[code].empty())
            continue;
        checkListLength(areas[code].size(), "area code " + std::to_string(code));
        used.push_back(AreaZipList{std::uint16_t(code), areas[code]});
    }
    files[filenames::AreaDat] = WriteAreaFile(used);
    files[filenames::AreaIdx] = WriteAreaListFile(used);
}

std::vector<ZipRecord> zipRecords(const std::vector<Row>& rows, const Lists& lists,
                                  const std::vector<std::int32_t>& cityOffsets,
                                  const std::vector<std::uint16_t>& countyNumbers) {
    std::vector<ZipRecord> records;
    records.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        ZipRecord rec;
        rec.leading = std::uint8_t(row.zip / 10000);
        rec.last4 = std::uint16_t(row.zip % 10000);
        rec.cityOffset = cityOffsets[lists.cityOf[i]];
        rec.county = lists.countyOf[i] == SIZE_MAX ? NoCounty : countyNumbers[lists.countyOf[i]];
        rec.areaCode = row.areaCode;
        rec.timeZone = row.timeZone;
        records.push_back(rec);
    }
    return records;
}

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

// One record per prefix. The main city of a prefix has most ZIP codes in its block; of
// equals, the one whose first ZIP code is lowest, which in ZIP order is the one met first.
std::vector<ZipIndexRecord> prefixRecords(const std::vector<Row>& rows,
                                          const std::vector<std::size_t>& cityOf,
                                          const std::vector<std::int32_t>& cityOffsets) {
    std::vector<ZipIndexRecord> records;
    for (std::size_t first = 0; first < rows.size();) {
        const std::uint32_t prefix = rows[first].zip / 100;
        std::size_t end = first;
        std::vector<std::pair<std::size_t, std::size_t>> counts; // city, ZIP codes
        while (end < rows.size() && rows[end].zip / 100 == prefix) {
            auto it = std::find_if(counts.begin(), counts.end(),
                                   [&](const auto& c) { return c.first == cityOf[end]; });
            if (it == counts.end())
                counts.emplace_back(cityOf[end], 1);
            else
                ++it->second;
            ++end;
        }
        auto best = counts.begin();
        for (auto it = counts.begin(); it != counts.end(); ++it)
            if (it->second > best->second)
                best = it;
        ZipIndexRecord rec;
        rec.prefix = std::uint16_t(prefix);
        rec.entry = ZipIndexEntry{std::int32_t(first), std::uint16_t(end - first),
                                  cityOffsets[best->first], 0};
        records.push_back(rec);
        first = end;
    }
    return records;
}

} // namespace

std::string DateText(std::string_view utf8) {
    std::string text = convertText(utf8, "the date", 0);
    if (text.empty())
        throw InputError(0, "the date is empty");
    return text;
}

DataFiles BuildDataFiles(std::string_view csv, std::string_view date) {
    DataFiles files;
    files[filenames::ZipVerDat] = WriteVersionFile(DateText(date));
    bool hasPlaces = false, hasFacts = false, hasPeople = false;
    const std::vector<Row> rows = readRows(csv, hasPlaces, hasFacts, hasPeople);
    const StateLines states = numberStates(rows);
    files[filenames::StateDat] = WriteStateFile(states.lines);
    const Lists lists = collectLists(rows, states);
    const std::vector<std::int32_t> cityOffsets = writeCities(lists.cities, files);
    const std::vector<std::uint16_t> countyNumbers =
        writeCounties(lists.counties, lists.countyNames, files);
    writeAreas(lists.areas, files);
    files[filenames::ZipDat] = WriteZipFile(zipRecords(rows, lists, cityOffsets, countyNumbers));
    files[filenames::ZipIdx] = WriteZipIndexFile(prefixRecords(rows, lists.cityOf, cityOffsets));
    if (hasPlaces)
        files[filenames::PointsDat] = geo::BuildPointsFile(pointRecords(rows));
    if (hasFacts)
        files[filenames::FactsDat] = factsFile(rows);
    if (hasPeople) {
        std::vector<PeopleRecord> people;
        for (const Row& row : rows)
            people.push_back(row.people);
        files[filenames::PeopleDat] = WritePeopleFile(people);
    }
    return files;
}

namespace {

std::filesystem::path makeWorkFolder(const std::filesystem::path& dir) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::ostringstream name;
        name << ".corvana-mkdata-" << std::hex << random() << random();
        std::filesystem::path p = dir / name.str();
        if (std::filesystem::create_directory(p))
            return p;
    }
    throw std::runtime_error("cannot make a work folder in " + dir.string());
}

void writeWhole(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace

void WriteDataFiles(const DataFiles& files, const std::filesystem::path& dir) {
    namespace fs = std::filesystem;
    fs::create_directories(dir);
    const fs::path work = makeWorkFolder(dir);
    try {
        for (const auto& [name, bytes] : files)
            writeWhole(work / name, bytes);
        // Checked before the first rename, so that this cannot stop a set half replaced.
        for (const auto& [name, bytes] : files)
            if (fs::is_directory(dir / name))
                throw std::runtime_error((dir / name).string() + " is a folder");
        for (const auto& [name, bytes] : files)
            fs::rename(work / name, dir / name);
        fs::remove(work);
        // A file of the old set that the new one lacks would be read with the new files: old
        // positions, facts or exchanges would describe the new ZIP codes wrongly.
        for (const char* name : filenames::DataSetFiles)
            if (!files.count(name) && !fs::is_directory(dir / name))
                fs::remove(dir / name);
    } catch (...) {
        std::error_code ignored;
        fs::remove_all(work, ignored);
        throw;
    }
}

namespace {

constexpr const char* Usage =
    "Usage: corvana-mkdata --csv FILE --out DIR --date TEXT [--exchanges FILE]\n"
    "Builds the Corvana data files from a UTF-8 table with the header\n"
    "  zip,city,state,county,area_code,utc_offset,dst,other_counties,other_area_codes\n"
    "and optionally other_cities and other_county_names (further names of the place and of\n"
    "its counties, each a ';' list), latitude, longitude (decimal degrees), county_fips\n"
    "(five digits), kind (standard, po_box_or_unique or military) and time_zone (an IANA\n"
    "name such as America/Boise) into DIR; TEXT is the data date that the Version message\n"
    "shows (e.g. \"March 2026\"). POINTS.DAT is written when the table has a latitude,\n"
    "longitude or county_fips column, ZIPFACTS.DAT when it has kind or time_zone.\n"
    "PEOPLE.DAT is written when it has population (people) or density (people per square\n"
    "mile, at most one decimal).\n"
    "With --exchanges, EXCHANGE.DAT (where telephone numbers ring) is built from that table\n"
    "(area_code,exchange,city,state,zones; see dataset/exchanges.csv).\n"
    "Nothing in DIR is replaced unless every file could be built and written.\n";

struct Options {
    std::string csvPath, outDir, date, exchangesPath;
};

// The options of the command line; the exit status instead when the run ends with them (help
// asked for, or a wrong command line).
std::variant<Options, int> parseOptions(const std::vector<std::string>& args, std::ostream& out,
                                        std::ostream& err) {
    std::string csvPath, outDir, date, exchangesPath;
    bool haveCsv = false, haveOut = false, haveDate = false, haveExchanges = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            out << Usage;
            return 0;
        }
        std::string* value = a == "--csv"         ? &csvPath
                             : a == "--out"       ? &outDir
                             : a == "--date"      ? &date
                             : a == "--exchanges" ? &exchangesPath
                                                  : nullptr;
        bool* given = a == "--csv"    ? &haveCsv
                      : a == "--out"  ? &haveOut
                      : a == "--date" ? &haveDate
                                      : &haveExchanges;
        if (!value) {
            err << "corvana-mkdata: unknown argument " << inQuotes(a) << "\n" << Usage;
            return 2;
        }
        if (i + 1 >= args.size()) {
            err << "corvana-mkdata: " << a << " needs a value\n" << Usage;
            return 2;
        }
        *value = args[++i];
        *given = true;
    }
    if (!haveCsv || !haveOut || !haveDate || csvPath.empty() || outDir.empty()) {
        err << "corvana-mkdata: --csv, --out and --date are all needed\n" << Usage;
        return 2;
    }
    try {
        DateText(date);
    } catch (const InputError& e) {
        err << "corvana-mkdata: --date: " << e.what() << "\n";
        return 2;
    }
    if (haveExchanges && exchangesPath.empty()) {
        err << "corvana-mkdata: --exchanges needs a file\n" << Usage;
        return 2;
    }
    return Options{csvPath, outDir, date, exchangesPath};
}

} // namespace

int RunMkdata(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::variant<Options, int> options = parseOptions(args, out, err);
    if (const int* status = std::get_if<int>(&options))
        return *status;
    const auto& [csvPath, outDir, date, exchangesPath] = std::get<Options>(options);

    auto readText = [&err](const std::string& path) -> std::optional<std::string> {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        if (in.is_open())
            text << in.rdbuf();
        if (!in.is_open() || in.bad()) {
            err << "corvana-mkdata: cannot read " << path << "\n";
            return std::nullopt;
        }
        return text.str();
    };
    const std::optional<std::string> text = readText(csvPath);
    if (!text)
        return 1;
    DataFiles files;
    std::string_view reading = csvPath;
    try {
        files = BuildDataFiles(*text, date);
        if (!exchangesPath.empty()) {
            const std::optional<std::string> exchanges = readText(exchangesPath);
            if (!exchanges)
                return 1;
            reading = exchangesPath;
            files[filenames::ExchangeDat] = BuildExchangeFile(*exchanges);
        }
    } catch (const InputError& e) {
        err << "corvana-mkdata: " << reading << (e.line() ? ", " : ": ") << e.what() << "\n";
        return 1;
    }
    try {
        WriteDataFiles(files, outDir);
    } catch (const std::exception& e) {
        err << "corvana-mkdata: the data files in " << outDir
            << " were left as they were: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

} // namespace corvana::mkdata
