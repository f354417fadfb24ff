#include "mkdata/Csv.h"

namespace corvana::mkdata {

InputError::InputError(std::size_t line, const std::string& problem)
    : std::runtime_error(line ? "line " + std::to_string(line) + ": " + problem : problem),
      line_(line) {}

namespace {

// Length of the line end at i (LF or CR LF), 0 when there is none. A lone CR is data.
std::size_t lineEndAt(std::string_view text, std::size_t i) {
    if (i >= text.size())
        return 0;
    if (text[i] == '\n')
        return 1;
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
        return 2;
    return 0;
}

} // namespace

std::vector<CsvRecord> ParseCsv(std::string_view text) {
    std::vector<CsvRecord> records;
    const std::size_t n = text.size();
    std::size_t i = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    std::size_t line = 1;
    while (i < n) {
        if (std::size_t end = lineEndAt(text, i)) {
            i += end;
            ++line;
            continue;
        }
        CsvRecord record;
        record.line = line;
        for (;;) {
            std::string field;
            if (i < n && text[i] == '"') {
                const std::size_t opened = line;
                ++i;
                for (;;) {
                    if (i >= n)
                        throw InputError(opened, "a quoted field is never closed");
                    if (text[i] == '"') {
                        if (i + 1 < n && text[i + 1] == '"') {
                            field += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (text[i] == '\n')
                        ++line;
                    field += text[i++];
                }
                if (i < n && text[i] != ',' && !lineEndAt(text, i))
                    throw InputError(line, "text after the closing quote of a field");
            } else {
                const std::size_t start = i;
                while (i < n && text[i] != ',' && !lineEndAt(text, i)) {
                    if (text[i] == '"')
                        throw InputError(line, "a quote inside a field that does not begin "
                                               "with one (quote the field and double the quote)");
                    ++i;
                }
                field.assign(text.substr(start, i - start));
            }
            record.fields.push_back(std::move(field));
            if (i < n && text[i] == ',') {
                ++i;
                continue;
            }
            if (std::size_t end = lineEndAt(text, i)) {
                i += end;
                ++line;
            }
            break;
        }
        records.push_back(std::move(record));
    }
    return records;
}

} // namespace corvana::mkdata
