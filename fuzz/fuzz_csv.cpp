// The CSV reader on arbitrary bytes, and the two programs that read CSV through it.
//
// The reader, in both its dialects, gives the same records or the same error however the reads
// cut the input; the records' raw bytes and line ends put together are the input byte for byte;
// written again with every field quoted, the records read back value for value. The data
// builder refuses a table with an InputError or makes data files that the program loads and
// reads without a single fault, positions included; so does it an exchange table, and every
// place of its exchange file is a printable city and two capital letters. The batch look-up refuses
// its input with a LookupError or writes every row with its own fields as they came, then the
// appended ones; so does the look-up of telephone numbers, by its column "phone", counting every
// row once.
//
// Input: a byte for the read step (1 to 16), a byte of flags (1: the look-up is told the ZIP
// column's name), the data date as a length byte and its bytes, then the CSV text.
#include "FuzzUtil.h"

#include "TestClock.h"
#include "cli/Lookup.h"
#include "cli/PhoneLookup.h"
#include "data/DataSet.h"
#include "data/Errors.h"
#include "data/ExchangeRules.h"
#include "data/Exchanges.h"
#include "data/FileNames.h"
#include "data/People.h"
#include "data/Records.h"
#include "data/ZipFile.h"
#include "geo/Points.h"
#include "mkdata/Builder.h"
#include "mkdata/ExchangeTable.h"
#include "settings/Settings.h"
#include "text/Csv.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

using namespace corvana;
using corvana::fuzz::FileSplit;

namespace {

struct Read {
    std::vector<CsvRecord> records; // their bytes lie in the text read
    std::optional<CsvProblem> problem;
    std::size_t errorLine = 0;
};

Read ReadWhole(std::string_view text, CsvOptions options) {
    Read r;
    CsvReader in(text, options);
    CsvRecord rec;
    try {
        while (in.next(rec))
            r.records.push_back(rec);
    } catch (const CsvError& e) {
        FUZZ_CHECK(e.line() >= 1);
        r.problem = e.problem();
        r.errorLine = e.line();
    }
    return r;
}

bool SameRecord(const CsvRecord& a, const CsvRecord& b) {
    if (a.raw != b.raw || a.lineEnd != b.lineEnd || a.line != b.line ||
        a.fields.size() != b.fields.size())
        return false;
    for (std::size_t i = 0; i < a.fields.size(); ++i) {
        if (a.fields[i].begin != b.fields[i].begin || a.fields[i].end != b.fields[i].end ||
            a.fields[i].quoted != b.fields[i].quoted)
            return false;
    }
    return true;
}

using Rows = std::vector<std::vector<std::string>>;

Rows ValuesOf(const std::vector<CsvRecord>& records) {
    Rows rows;
    for (const CsvRecord& rec : records) {
        rows.emplace_back();
        for (std::size_t i = 0; i < rec.fields.size(); ++i)
            rows.back().push_back(rec.value(i));
    }
    return rows;
}

std::string QuoteAll(const Rows& rows) {
    std::string out;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            out += i ? ",\"" : "\"";
            for (char c : row[i])
                out += c == '"' ? std::string("\"\"") : std::string(1, c);
            out += '"';
        }
        out += "\r\n";
    }
    return out;
}

// Read `step` bytes at a time, the text gives the records of the whole text, each as it comes
// (its bytes last only until the next read), and then the same error.
void CheckCutReads(std::string_view text, std::size_t step, CsvOptions options, const Read& whole) {
    CsvReader in(TextSource(text, step), options);
    CsvRecord rec;
    std::size_t k = 0;
    try {
        while (in.next(rec)) {
            FUZZ_CHECK(k < whole.records.size());
            FUZZ_CHECK(SameRecord(rec, whole.records[k++]));
        }
        FUZZ_CHECK(!whole.problem);
    } catch (const CsvError& e) {
        FUZZ_CHECK(whole.problem == e.problem() && whole.errorLine == e.line());
    }
    FUZZ_CHECK(k == whole.records.size());
}

// The records of one dialect; nothing when the text is not CSV.
std::optional<Rows> CheckReader(std::string_view text, std::size_t step, CsvOptions options) {
    const Read whole = ReadWhole(text, options);
    CheckCutReads(text, step, options, whole);
    if (whole.problem)
        return std::nullopt;

    std::string joined;
    std::size_t lastLine = 0;
    for (const CsvRecord& rec : whole.records) {
        FUZZ_CHECK(rec.line > lastLine && !rec.fields.empty());
        lastLine = rec.line;
        std::size_t from = 0;
        for (const CsvField& f : rec.fields) {
            FUZZ_CHECK(from <= f.begin && f.begin <= f.end && f.end <= rec.raw.size());
            from = f.end;
        }
        joined += rec.raw;
        joined += rec.lineEnd;
    }
    FUZZ_CHECK(joined == text);

    const Rows values = ValuesOf(whole.records);
    const std::string quoted = QuoteAll(values);
    const Read again = ReadWhole(quoted, options);
    FUZZ_CHECK(!again.problem);
    FUZZ_CHECK(ValuesOf(again.records) == values);
    return values;
}

void CheckDataFiles(const mkdata::DataFiles& files) {
    auto& scratch = fuzz::Scratch::get();
    for (const auto& [name, bytes] : files)
        scratch.put(name, bytes);
    if (!files.count(filenames::PointsDat))
        scratch.put(filenames::PointsDat, "", false);
    DataSet data;
    data.dir = scratch.dir();
    FUZZ_CHECK(LoadInData(data).ok());
    // Positions, when the table has them, load as written.
    geo::PointsLoad points = geo::LoadPoints(data);
    FUZZ_CHECK(points.status == (files.count(filenames::PointsDat)
                                     ? geo::PointsStatus::Loaded
                                     : geo::PointsStatus::NoLocations));
    // So do the population figures.
    if (files.count(filenames::PeopleDat))
        FUZZ_CHECK(LoadPeople(data).status == PeopleStatus::Loaded);
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

void CheckBuilder(std::string_view csv, std::string_view date) {
    mkdata::DataFiles files;
    try {
        files = mkdata::BuildDataFiles(csv, date);
    } catch (const mkdata::InputError&) {
        return;
    }
    // The ten files of every set, and the optional ones of the columns the table has.
    FUZZ_CHECK(files.size() == 10 + files.count(filenames::PointsDat) +
                                   files.count(filenames::FactsDat) +
                                   files.count(filenames::PeopleDat));
    CheckDataFiles(files);
}

void CheckExchangeBuilder(std::string_view csv) {
    std::string file;
    try {
        file = mkdata::BuildExchangeFile(csv);
    } catch (const mkdata::InputError&) {
        return;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(file.data());
    FUZZ_CHECK(Exchanges::fromBytes({bytes, file.size()}).has_value());
    // The place names come before the zone names, which end the file: per place a length
    // byte, the city, the state's two letters (two 0 bytes for a place without a state).
    const auto h = ExchangeHeader::decode(bytes, file.size());
    FUZZ_CHECK(h && h->version == ExchangeVersion::V2);
    const std::size_t namesEnd = file.size() - h->zoneNamesSize - std::size_t(h->zoneNameCount) * 4;
    std::string_view names = std::string_view(file).substr(0, namesEnd);
    names.remove_prefix(names.size() - h->namesSize);
    for (std::uint32_t n = 0; n < h->placeCount; ++n) {
        FUZZ_CHECK(!names.empty() && names.size() > std::uint8_t(names[0]));
        const std::string_view key = names.substr(1, std::uint8_t(names[0]));
        FUZZ_CHECK(key.size() > 2);
        FUZZ_CHECK(CheckPlaceCity(key.substr(0, key.size() - 2)) == PlaceCityFault::None);
        const std::string_view state = key.substr(key.size() - 2);
        FUZZ_CHECK(IsStateLetters(state) || state == std::string_view("\0\0", 2));
        names.remove_prefix(1 + key.size());
    }
    FUZZ_CHECK(names.empty());
}

constexpr std::string_view LookupTable =
    "zip,city,state,county,area_code,utc_offset,dst,other_counties,other_area_codes\n"
    "00501,Holtsville,NY,Suffolk,631,-5,Y,,\n"
    "02108,Boston,MA,Suffolk,617,-5,Y,,857\n"
    "84101,Salt Lake City,UT,Salt Lake,801,-7,Y,,385\n"
    "84120,\"West Valley City\",UT,Salt Lake,,-7,Y,,\n"
    "96799,Pago Pago,AS,Eastern District,684,-11,N,,\n"
    "09001,APO,AE,,,,N,,\n";

// The look-up's data set, in a folder of its own: the builder's check writes over the other.
const DataSet& LookupData() {
    static const std::unique_ptr<DataSet> data = [] {
        auto& scratch = fuzz::Scratch::get();
        std::filesystem::create_directory(scratch.dir() + "/lookup");
        for (const auto& [name, bytes] : mkdata::BuildDataFiles(LookupTable, "March 2026"))
            scratch.put("lookup/" + name, bytes);
        auto d = std::make_unique<DataSet>();
        d->dir = scratch.dir() + "/lookup";
        FUZZ_CHECK(LoadInData(*d).ok());
        return d;
    }();
    return *data;
}

// `in` is the input's records as the look-up's reader sees them.
void CheckLookup(std::string_view input, const Rows& in, std::size_t step, bool named) {
    static const Settings settings;
    cli::ZipAnnotator annotator(LookupData(), settings);
    std::string out;
    cli::LookupCounts counts;
    try {
        CsvReader reader(TextSource(input, 17 - step));
        counts = cli::LookupCsv(
            reader, [&](std::string_view s) { out += s; }, annotator,
            named ? std::optional<std::string>("zip") : std::nullopt);
    } catch (const cli::LookupError&) {
        return; // no ZIP column, or a row longer than the header
    }
    FUZZ_CHECK(counts.rows == counts.found + counts.notFound + counts.malformed);
    if (in.empty()) {
        FUZZ_CHECK(out.empty());
        return;
    }
    // The output reads back as CSV: the header, then each row with its own fields first, empty
    // ones up to the header's width, then the six appended fields.
    const Read back = ReadWhole(out, {});
    FUZZ_CHECK(!back.problem);
    const Rows rows = ValuesOf(back.records);
    FUZZ_CHECK(rows.size() == counts.rows + 1);
    const bool plainList = in.size() == counts.rows;
    FUZZ_CHECK(plainList || in.size() == counts.rows + 1);
    const std::size_t width = plainList ? 1 : in[0].size();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        FUZZ_CHECK(rows[r].size() == width + 6);
        if (r == 0 && plainList)
            continue;
        const auto& src = in[plainList ? r - 1 : r];
        for (std::size_t i = 0; i < width; ++i)
            FUZZ_CHECK(rows[r][i] == (i < src.size() ? src[i] : std::string()));
    }
}

// A small exchange file: 208 with two zones and one placed exchange.
const ExchangesLoad& PhoneExchanges() {
    static const ExchangesLoad load = [] {
        const std::uint8_t mst = ZipRecord::zoneByte(5, true), pst = ZipRecord::zoneByte(4, true);
        const std::string bytes =
            WriteExchangeFile({{208, "ID", {mst, pst}}}, {{208, 334, "Boise", "ID", {mst}}});
        ExchangesLoad l;
        l.exchanges = Exchanges::fromBytes(
            {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
        FUZZ_CHECK(l.exchanges.has_value());
        l.status = ExchangesStatus::Loaded;
        return l;
    }();
    return load;
}

void CheckPhoneLookup(std::string_view input, const Rows& in, std::size_t step) {
    static const Settings settings;
    static const test::TestClock clock{LocalDateTime{2024, 7, 10, 12, 0, 0, 0}};
    PhoneAnnotator annotator(
        PhoneContext{PhoneExchanges(), settings, TimeContext{true, &clock}, CallWindow{}});
    std::string out;
    PhoneCounts counts;
    try {
        CsvReader reader(TextSource(input, 17 - step));
        counts = cli::LookupPhoneCsv(
            reader, [&](std::string_view s) { out += s; }, annotator, "phone");
    } catch (const cli::LookupError&) {
        return; // no phone column, or a row longer than the header
    }
    FUZZ_CHECK(counts.rows == counts.placed + counts.areaCodeOnly + counts.tollFree +
                                  counts.notInData + counts.malformed);
    if (in.empty()) {
        FUZZ_CHECK(out.empty());
        return;
    }
    const Read back = ReadWhole(out, {});
    FUZZ_CHECK(!back.problem);
    const Rows rows = ValuesOf(back.records);
    FUZZ_CHECK(rows.size() == counts.rows + 1 && in.size() == rows.size());
    const std::size_t width = in[0].size();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        FUZZ_CHECK(rows[r].size() == width + PhoneAnnotator::Columns.size());
        for (std::size_t i = 0; i < width; ++i)
            FUZZ_CHECK(rows[r][i] == (i < in[r].size() ? in[r][i] : std::string()));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FileSplit split(bytes, size);
    const std::size_t step = split.byte() % 16 + 1;
    const bool named = split.byte() & 1;
    const std::string_view date = split.shortText();
    const std::string_view csv = split.rest();

    CheckReader(csv, step, CsvOptions{.loneCrEndsLine = false});
    CheckBuilder(csv, date);
    CheckExchangeBuilder(csv);
    if (const auto rows = CheckReader(csv, step, CsvOptions{})) {
        CheckLookup(csv, *rows, step, named);
        CheckPhoneLookup(csv, *rows, step);
    }
    return 0;
}
