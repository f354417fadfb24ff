#include "mkdata/Table.h"

#include "mkdata/InputError.h"
#include "mkdata/PeopleFile.h"
#include "mkdata/TableFields.h"

#include "text/Blanks.h"
#include "text/Csv.h"

#include <algorithm>
#include <array>

namespace corvana::mkdata {

namespace {

// ZIP lists hold 16-bit record numbers, so records past 65535 could never be listed.
constexpr std::size_t MaxZipCodes = 65536;

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

} // namespace

Table ReadTable(std::string_view csv) {
    std::vector<CsvRecord> records = readTable(csv);
    if (records.empty())
        throw InputError(0, "the table is empty: no header line");
    const auto where = headerColumns(records.front());
    Table table;
    table.hasPlaces = where[ColLatitude] != SIZE_MAX || where[ColLongitude] != SIZE_MAX ||
                      where[ColCountyFips] != SIZE_MAX;
    table.hasFacts = where[ColKind] != SIZE_MAX || where[ColTimeZone] != SIZE_MAX;
    table.hasPeople = where[ColPopulation] != SIZE_MAX || where[ColDensity] != SIZE_MAX;

    std::vector<Row>& rows = table.rows;
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
    return table;
}

} // namespace corvana::mkdata
