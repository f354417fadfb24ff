#include "cli/Lookup.h"

#include "cli/OutputFields.h"
#include "search/ZipDetails.h"
#include "search/ZipFields.h"
#include "text/Blanks.h"
#include "text/Csv.h"
#include "text/Win1252.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace corvana::cli {

const std::vector<std::string_view> ZipColumnNames = {"zip",      "zipcode",     "zip_code",
                                                      "zip code", "postal_code", "postcode"};

const std::vector<std::string_view> LookupColumns = {"city",      "state",      "county",
                                                     "area_code", "utc_offset", "dst"};

bool NeedsPoints(std::string_view column) {
    return column == "latitude" || column == "longitude" || column == "county_fips";
}

bool NeedsPeople(std::string_view column) {
    return column == "population" || column == "density";
}

std::optional<std::uint32_t> ParseZipText(std::string_view text) {
    text = trimBlanks(text);
    // ZIP+4 with its hyphen: check the four digits after it, then read the five before it.
    if (text.size() == 10 && text[5] == '-') {
        for (char c : text.substr(6))
            if (c < '0' || c > '9')
                return std::nullopt;
        text = text.substr(0, 5);
    }
    const std::size_t n = text.size();
    if (n != 3 && n != 4 && n != 5 && n != 9)
        return std::nullopt;
    std::uint32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + std::uint32_t(c - '0');
    }
    return n == 9 ? value / 10000 : value;
}

RecordPlaces::RecordPlaces(const geo::Points& points, const std::vector<std::string>& columns,
                           std::optional<geo::GeoPoint> centre) {
    const auto wants = [&](std::string_view c) {
        return std::find(columns.begin(), columns.end(), c) != columns.end();
    };
    const std::uint32_t n = std::uint32_t(points.recordCount());
    const double none = std::nan("");
    if (wants("latitude") || wants("longitude")) {
        at_.resize(n, geo::GeoPoint{none, none});
        for (std::uint32_t r = 0; r < n; ++r)
            if (auto p = points.position(r))
                at_[r] = *p;
    }
    if (wants("county_fips")) {
        fips_.resize(n);
        for (std::uint32_t r = 0; r < n; ++r)
            fips_[r] = points.countyCode(r);
    }
    if (centre) {
        geo::DistancesFrom from(points, *centre);
        km_.resize(n, none);
        for (std::uint32_t r = 0; r < n; ++r)
            if (auto d = from.km(r))
                km_[r] = *d;
    }
}

std::optional<geo::GeoPoint> RecordPlaces::position(std::uint32_t record) const {
    if (record >= at_.size() || std::isnan(at_[record].latitude))
        return std::nullopt;
    return at_[record];
}

std::string RecordPlaces::countyFips(std::uint32_t record) const {
    if (record >= fips_.size() || fips_[record] == 0)
        return {};
    char digits[16];
    std::snprintf(digits, sizeof digits, "%05u", unsigned(fips_[record]));
    return digits;
}

std::optional<double> RecordPlaces::km(std::uint32_t record) const {
    if (record >= km_.size() || std::isnan(km_[record]))
        return std::nullopt;
    return km_[record];
}

ZipAnnotator::ZipAnnotator(const DataSet& data, const Settings& settings, LookupAppends appends)
    : data_(data), settings_(settings), appends_(std::move(appends)), columns_(appends_.columns),
      zips_(OpenZipFile(data)), cities_(OpenCityFile(data)), entry_(100000, NotRead) {
    if (appends_.places && appends_.places->hasDistances())
        columns_.insert(columns_.end(), {"distance_miles", "distance_km"});
    noFields_.assign(columns_.size(), ',');
}

namespace {

// Decimal degrees with the five decimals that POINTS.DAT keeps: "-111.90090".
std::string Degrees(double value) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%.5f", value);
    return buf;
}

} // namespace

void ZipAnnotator::appendFields(std::uint32_t record, const ZipRecord& rec) {
    // Columns from the positions alone need no city record.
    std::optional<CityHeader> city;
    std::optional<ZipFields> f;
    auto fields = [&]() -> const ZipFields& {
        if (!f) {
            city = cities_.readHeader(rec.cityOffset, data_);
            f = ProjectZip(rec, *city, data_, settings_);
        }
        return *f;
    };
    const std::optional<geo::GeoPoint> at =
        appends_.places ? appends_.places->position(record) : std::nullopt;
    for (const std::string& column : appends_.columns) {
        text_ += ',';
        if (column == "city")
            AppendCsvField(text_, Utf8(fields().city));
        else if (column == "state")
            AppendCsvField(text_, Win1252ToUtf8(fields().state));
        else if (column == "county")
            AppendCsvField(text_, Utf8(fields().county));
        else if (column == "area_code" && fields().areaCode)
            text_ += std::to_string(*fields().areaCode);
        else if (column == "utc_offset" && fields().hasZone())
            text_ += std::to_string(*fields().utcOffset());
        else if (column == "dst" && fields().hasZone())
            text_ += fields().dst ? "true" : "false";
        else if (column == "latitude" && at)
            text_ += Degrees(at->latitude);
        else if (column == "longitude" && at)
            text_ += Degrees(at->longitude);
        else if (column == "county_fips" && appends_.places)
            text_ += appends_.places->countyFips(record);
        else if (NeedsPeople(column))
            appendPeople(column, record);
        else if (const std::optional<FactColumn> fact = FactColumnOf(column))
            AppendCsvField(text_, FactColumnValue(*fact, appends_.facts, record, settings_));
    }
    if (appends_.places && appends_.places->hasDistances()) {
        const std::optional<double> km = appends_.places->km(record);
        const geo::DistanceFigures d = km ? geo::DistanceColumns(*km) : geo::DistanceFigures{};
        text_ += ',' + d.miles + ',' + d.km;
    }
}

void ZipAnnotator::appendPeople(std::string_view column, std::uint32_t record) {
    if (!appends_.people)
        return;
    const std::optional<PeopleFigures> f = appends_.people->ofRecord(record);
    if (!f)
        return;
    if (column == "population" && f->population) {
        text_ += std::to_string(*f->population);
    } else if (column == "density" && f->densityTenths) {
        // Tenths as the table gives them: "3989.1".
        text_ += std::to_string(*f->densityTenths / 10);
        text_ += '.';
        text_ += char('0' + *f->densityTenths % 10);
    }
}

void ZipAnnotator::loadBlock(std::uint32_t prefix) {
    std::fill_n(entry_.begin() + prefix * 100, 100, Unknown);
    char digits[8];
    std::snprintf(digits, sizeof digits, "%03u", unsigned(prefix));
    ForEachZipRecord(data_, zips_, digits, [&](std::uint32_t record, const ZipRecord& rec) {
        const std::uint32_t zip = rec.zipValue();
        // A five-digit search of the block lists only its own ZIP codes; the first record of a
        // ZIP code answers for it.
        if (zip / 100 != prefix || entry_[zip] != Unknown)
            return;
        appendFields(record, rec);
        entry_[zip] = std::int32_t(offsets_.size() - 1);
        offsets_.push_back(std::uint32_t(text_.size()));
    });
}

std::optional<std::string_view> ZipAnnotator::fields(std::uint32_t zip) {
    if (zip >= entry_.size())
        return std::nullopt;
    if (entry_[zip] == NotRead)
        loadBlock(zip / 100);
    const std::int32_t e = entry_[zip];
    if (e < 0)
        return std::nullopt;
    return std::string_view(text_).substr(offsets_[std::size_t(e)],
                                          offsets_[std::size_t(e) + 1] - offsets_[std::size_t(e)]);
}

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// The next record; input that is not CSV is refused with the advice for a spreadsheet's user.
bool NextRecord(CsvReader& in, CsvRecord& rec) {
    try {
        return in.next(rec);
    } catch (const CsvError& e) {
        throw LookupError(e.line(),
                          e.description() + (e.problem() == CsvProblem::QuoteInUnquotedField
                                                 ? " (quote the whole field)"
                                                 : ""));
    }
}

std::string LowerTrimmed(std::string_view s) {
    std::string r(trimBlanks(s));
    for (char& c : r)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return r;
}

// Collects the output and hands it on in large pieces.
class Writer {
public:
    explicit Writer(const OutputSink& sink) : sink_(sink) { buf_.reserve(FlushAt + 64 * 1024); }
    std::string& buf() { return buf_; }
    void maybeFlush() {
        if (buf_.size() >= FlushAt)
            flush();
    }
    void flush() {
        if (!buf_.empty())
            sink_(buf_);
        buf_.clear();
    }

private:
    static constexpr std::size_t FlushAt = 192 * 1024;
    const OutputSink& sink_;
    std::string buf_;
};

// Writes one row: its bytes, empty fields up to the header's width, the appended fields of its
// ZIP code and its line end.
void AnnotateRow(Writer& w, std::string_view raw, std::size_t fields, std::size_t width,
                 std::optional<std::string_view> zipText, std::string_view lineEnd,
                 ZipAnnotator& annotator, LookupCounts& counts) {
    std::string& out = w.buf();
    ++counts.rows;
    out += raw;
    out.append(width > fields ? width - fields : 0, ',');
    const auto zip = zipText ? ParseZipText(*zipText) : std::nullopt;
    std::optional<std::string_view> appended;
    if (!zip)
        ++counts.malformed;
    else if ((appended = annotator.fields(*zip)))
        ++counts.found;
    else
        ++counts.notFound;
    out += appended ? *appended : annotator.noFields();
    out += lineEnd;
    w.maybeFlush();
}

// The appended names, each with the prefix zip_ until it clashes with no name of the input.
std::string AppendedHeader(std::vector<std::string> taken, const ZipAnnotator& annotator) {
    std::string header;
    for (std::string_view column : annotator.columns()) {
        std::string name(column);
        while (std::find(taken.begin(), taken.end(), name) != taken.end())
            name = "zip_" + name;
        taken.push_back(name);
        header += ',' + name;
    }
    return header;
}

} // namespace

LookupCounts LookupCsv(CsvReader& in, const OutputSink& out, ZipAnnotator& annotator,
                       const std::optional<std::string>& column) {
    LookupCounts counts;
    Writer w(out);
    CsvRecord rec;
    if (!NextRecord(in, rec))
        return counts;

    std::vector<std::string> names;
    for (std::size_t i = 0; i < rec.fields.size(); ++i)
        names.push_back(LowerTrimmed(rec.value(i)));
    std::optional<std::size_t> zipColumn;
    if (column) {
        const std::string wanted = LowerTrimmed(*column);
        auto it = std::find(names.begin(), names.end(), wanted);
        if (it == names.end())
            throw LookupError(rec.line, "the header has no column named \"" + *column + "\"");
        zipColumn = std::size_t(it - names.begin());
    } else {
        for (std::size_t i = 0; i < names.size() && !zipColumn; ++i) {
            if (std::find(ZipColumnNames.begin(), ZipColumnNames.end(), names[i]) !=
                ZipColumnNames.end())
                zipColumn = i;
        }
    }

    std::size_t width = rec.fields.size();
    const bool plainList = !zipColumn;
    if (plainList) {
        if (rec.fields.size() != 1 || !ParseZipText(rec.value(0)))
            throw LookupError(rec.line, "no ZIP code column in the header (zip, zipcode, zip_code, "
                                        "zip code, postal_code or postcode; or name it with "
                                        "--column), and the line is not one ZIP code");
        zipColumn = 0;
        width = 1;
        if (in.hadByteOrderMark())
            w.buf() += ByteOrderMark;
        w.buf() += "zip" + AppendedHeader({"zip"}, annotator);
        w.buf() += rec.lineEnd.empty() ? std::string_view("\r\n") : rec.lineEnd;
        std::string_view raw = rec.raw;
        if (in.hadByteOrderMark())
            raw.remove_prefix(ByteOrderMark.size());
        AnnotateRow(w, raw, 1, 1, rec.text(rec.fields[0]), rec.lineEnd, annotator, counts);
    } else {
        w.buf() += rec.raw;
        w.buf() += AppendedHeader(names, annotator);
        w.buf() += rec.lineEnd;
    }

    while (NextRecord(in, rec)) {
        if (rec.fields.size() > width)
            throw LookupError(
                rec.line, plainList ? "more than one field in a list of ZIP codes (a file with "
                                      "several columns needs a header row)"
                                    : std::to_string(rec.fields.size()) +
                                          " fields where the header has " + std::to_string(width));
        std::optional<std::string_view> zipText;
        if (*zipColumn < rec.fields.size())
            zipText = rec.text(rec.fields[*zipColumn]);
        AnnotateRow(w, rec.raw, rec.fields.size(), width, zipText, rec.lineEnd, annotator, counts);
    }
    w.flush();
    return counts;
}

LookupCounts LookupList(const std::vector<std::string>& zips, const OutputSink& out,
                        ZipAnnotator& annotator) {
    LookupCounts counts;
    Writer w(out);
    w.buf() += "zip" + AppendedHeader({"zip"}, annotator) + "\r\n";
    std::string field;
    for (const std::string& zip : zips) {
        field.clear();
        AppendCsvField(field, zip);
        AnnotateRow(w, field, 1, 1, zip, "\r\n", annotator, counts);
    }
    w.flush();
    return counts;
}

CsvReader::Source FdSource(int fd) {
    return [fd](char* dst, std::size_t n) -> std::size_t {
        while (true) {
            const ssize_t got = ::read(fd, dst, n);
            if (got >= 0)
                return std::size_t(got);
            if (errno != EINTR)
                throw std::runtime_error(std::string("cannot read the input: ") +
                                         std::strerror(errno));
        }
    };
}

std::string CountsLine(const LookupCounts& c) {
    return std::to_string(c.rows) + " rows read, " + std::to_string(c.found) + " found, " +
           std::to_string(c.notFound) + " not found, " + std::to_string(c.malformed) + " malformed";
}

} // namespace corvana::cli
