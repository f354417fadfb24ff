// The CSV reader of corvana-mkdata on arbitrary bytes, and the builder behind it: a table is
// either refused with an InputError or turned into data files that the program loads and reads
// without a single fault, positions included.
#include "FuzzUtil.h"

#include "data/DataSet.h"
#include "data/Errors.h"
#include "data/Records.h"
#include "data/ZipFile.h"
#include "geo/Points.h"
#include "mkdata/Builder.h"
#include "mkdata/Csv.h"
#include "settings/Settings.h"

using namespace corvana;
using namespace corvana::mkdata;
using corvana::fuzz::FileSplit;

namespace {

std::string quoteAll(const std::vector<CsvRecord>& records) {
    std::string out;
    for (const auto& r : records) {
        for (std::size_t i = 0; i < r.fields.size(); ++i) {
            out += i ? ",\"" : "\"";
            for (char c : r.fields[i])
                out += c == '"' ? std::string("\"\"") : std::string(1, c);
            out += '"';
        }
        out += "\r\n";
    }
    return out;
}

void checkRecords(std::string_view text) {
    std::vector<CsvRecord> records;
    try {
        records = ParseCsv(text);
    } catch (const InputError& e) {
        FUZZ_CHECK(e.line() >= 1);
        return;
    }
    std::size_t lastLine = 0;
    for (const auto& r : records) {
        FUZZ_CHECK(r.line > lastLine);
        FUZZ_CHECK(!r.fields.empty());
        lastLine = r.line;
    }
    // Written again with every field quoted, the records read back field for field.
    auto again = ParseCsv(quoteAll(records));
    FUZZ_CHECK(again.size() == records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        FUZZ_CHECK(again[i].fields == records[i].fields);
}

void checkDataFiles(const mkdata::DataFiles& files) {
    auto& scratch = fuzz::Scratch::get();
    for (const auto& [name, bytes] : files)
        scratch.put(name, bytes);
    if (!files.count(PointsFileName))
        scratch.put(PointsFileName, "", false);
    DataSet data;
    data.dir = scratch.dir();
    FUZZ_CHECK(LoadInData(data).ok());
    // Positions, when the table has them, load as written.
    geo::PointsLoad points = geo::LoadPoints(data);
    FUZZ_CHECK(points.status == (files.count(PointsFileName) ? geo::PointsStatus::Loaded
                                                             : geo::PointsStatus::NoLocations));
    auto city = CityFile::open(data);
    auto zips = ZipFile::open(data);
    FUZZ_CHECK(city && zips);
    Settings settings;
    for (std::size_t prefix = 0; prefix < data.zipIndex.size(); ++prefix) {
        const ZipIndexEntry& e = data.zipIndex[prefix];
        if (e.first < 0)
            continue;
        GetCityState(*city, e.mainCity, settings.citiesInCaps, data);
        // Every record of a block carries the block's prefix, and leads to its city and county.
        for (std::uint32_t k = 0; k < e.count; ++k) {
            ZipRecord r = zips->read(std::int64_t(e.first) + k);
            FUZZ_CHECK(r.zipValue() / 100 == prefix);
            GetCityState(*city, r.cityOffset, settings.citiesInCaps, data);
            FUZZ_CHECK(r.county == NoCounty || r.county < data.counties.size());
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FileSplit in(bytes, size);
    std::string_view date = in.shortText();
    std::string_view csv = in.next().bytes;
    checkRecords(csv);

    mkdata::DataFiles files;
    try {
        files = BuildDataFiles(csv, date);
    } catch (const InputError&) {
        return 0;
    }
    FUZZ_CHECK(files.size() == 10 + files.count(PointsFileName));
    checkDataFiles(files);
    return 0;
}
