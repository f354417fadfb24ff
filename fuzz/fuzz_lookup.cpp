// The batch look-up of corvana-query on arbitrary input: the input is refused with a CsvError or
// annotated so that every row comes out with its fields as they went in, however the reads cut
// the input.
#include "FuzzUtil.h"

#include "cli/CsvReader.h"
#include "cli/Lookup.h"
#include "data/DataSet.h"
#include "mkdata/Builder.h"
#include "settings/Settings.h"

#include <memory>
#include <vector>

using namespace corvana;
using namespace corvana::cli;

namespace {

constexpr std::string_view Table =
    "zip,city,state,county,area_code,utc_offset,dst,other_counties,other_area_codes\n"
    "00501,Holtsville,NY,Suffolk,631,-5,Y,,\n"
    "02108,Boston,MA,Suffolk,617,-5,Y,,857\n"
    "84101,Salt Lake City,UT,Salt Lake,801,-7,Y,,385\n"
    "84120,\"West Valley City\",UT,Salt Lake,,-7,Y,,\n"
    "96799,Pago Pago,AS,Eastern District,684,-11,N,,\n"
    "09001,APO,AE,,,,N,,\n";

const DataSet& Data() {
    static const std::unique_ptr<DataSet> data = [] {
        auto& scratch = fuzz::Scratch::get();
        for (const auto& [name, bytes] : mkdata::BuildDataFiles(Table, "March 2026"))
            scratch.put(name, bytes);
        auto d = std::make_unique<DataSet>();
        d->dir = scratch.dir();
        FUZZ_CHECK(LoadInData(*d).ok());
        return d;
    }();
    return *data;
}

using Rows = std::vector<std::vector<std::string>>;

Rows Records(std::string_view text, std::size_t step) {
    CsvReader in(TextSource(text, step));
    CsvRecord rec;
    Rows rows;
    while (in.next(rec)) {
        std::vector<std::string> row;
        for (std::size_t i = 0; i < rec.fields.size(); ++i) {
            FUZZ_CHECK(rec.fields[i].begin <= rec.fields[i].end &&
                       rec.fields[i].end <= rec.raw.size());
            row.push_back(rec.value(i));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size < 2)
        return 0;
    const std::size_t step = bytes[0] % 16 + 1;
    const bool named = bytes[1] & 1;
    const std::string_view input(reinterpret_cast<const char*>(bytes + 2), size - 2);

    Rows in;
    try {
        in = Records(input, step);
    } catch (const CsvError& e) {
        FUZZ_CHECK(e.line() >= 1);
        return 0;
    }

    static const Settings settings;
    ZipAnnotator annotator(Data(), settings);
    std::string out;
    LookupCounts counts;
    try {
        CsvReader reader(TextSource(input, 17 - step));
        counts = LookupCsv(
            reader, [&](std::string_view s) { out += s; }, annotator,
            named ? std::optional<std::string>("zip") : std::nullopt);
    } catch (const CsvError&) {
        return 0; // no ZIP column, or a row longer than the header
    }
    FUZZ_CHECK(counts.rows == counts.found + counts.notFound + counts.malformed);
    if (in.empty()) {
        FUZZ_CHECK(out.empty());
        return 0;
    }
    // The output reads back as CSV: the header, then each row with its own fields first, empty
    // ones up to the header's width, then the six appended fields.
    const Rows back = Records(out, 4096);
    FUZZ_CHECK(back.size() == counts.rows + 1);
    const bool plainList = in.size() == counts.rows;
    FUZZ_CHECK(plainList || in.size() == counts.rows + 1);
    const std::size_t width = plainList ? 1 : in[0].size();
    for (std::size_t r = 0; r < back.size(); ++r) {
        FUZZ_CHECK(back[r].size() == width + 6);
        if (r == 0 && plainList)
            continue;
        const auto& src = in[plainList ? r - 1 : r];
        for (std::size_t i = 0; i < width; ++i)
            FUZZ_CHECK(back[r][i] == (i < src.size() ? src[i] : std::string()));
    }
    return 0;
}
