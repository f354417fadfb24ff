#include "cli/PhoneLookup.h"

#include "text/Blanks.h"

#include <algorithm>

namespace corvana::cli {

namespace {

bool NextRow(CsvReader& in, CsvRecord& rec) {
    try {
        return in.next(rec);
    } catch (const CsvError& e) {
        throw LookupError(e.line(), e.description());
    }
}

std::string Lower(std::string_view s) {
    std::string r(trimBlanks(s));
    std::transform(r.begin(), r.end(), r.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    return r;
}

} // namespace

PhoneCounts LookupPhoneCsv(CsvReader& in, const OutputSink& out, PhoneAnnotator& annotator,
                           std::string_view column) {
    // Written in pieces of a few hundred kilobytes, as the ZIP look-up writes.
    constexpr std::size_t FlushAt = 192 * 1024;
    std::string buf;
    buf.reserve(FlushAt + 64 * 1024);
    CsvRecord rec;
    if (!NextRow(in, rec))
        return annotator.counts();

    std::vector<std::string> names;
    for (std::size_t i = 0; i < rec.fields.size(); ++i)
        names.push_back(Lower(rec.value(i)));
    const auto it = std::find(names.begin(), names.end(), Lower(column));
    if (it == names.end())
        throw LookupError(rec.line,
                          "the header has no column named \"" + std::string(column) + "\"");
    const std::size_t phoneColumn = std::size_t(it - names.begin());
    const std::size_t width = rec.fields.size();

    buf += rec.raw;
    for (std::string_view appended : PhoneAnnotator::Columns) {
        std::string name(appended);
        while (std::find(names.begin(), names.end(), name) != names.end())
            name = "phone_" + name;
        names.push_back(name);
        buf += ',' + name;
    }
    buf += rec.lineEnd;

    while (NextRow(in, rec)) {
        if (rec.fields.size() > width)
            throw LookupError(rec.line, std::to_string(rec.fields.size()) +
                                            " fields where the header has " +
                                            std::to_string(width));
        buf += rec.raw;
        buf.append(width - rec.fields.size(), ',');
        std::string_view cell;
        std::string unquoted;
        if (phoneColumn < rec.fields.size()) {
            cell = rec.text(rec.fields[phoneColumn]);
            if (cell.starts_with('"'))
                cell = unquoted = rec.value(phoneColumn);
        }
        buf += annotator.fields(cell);
        buf += rec.lineEnd;
        if (buf.size() >= FlushAt) {
            out(buf);
            buf.clear();
        }
    }
    if (!buf.empty())
        out(buf);
    return annotator.counts();
}

std::string PhoneCountsLine(const PhoneCounts& c) {
    return std::to_string(c.rows) + " rows read, " + std::to_string(c.placed) + " placed, " +
           std::to_string(c.areaCodeOnly) + " area code only, " + std::to_string(c.tollFree) +
           " toll-free, " + std::to_string(c.notInData) + " not in this data, " +
           std::to_string(c.malformed) + " malformed";
}

} // namespace corvana::cli
