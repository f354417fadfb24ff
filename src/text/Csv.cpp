#include "text/Csv.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace corvana {

CsvError::CsvError(CsvProblem problem, std::size_t line, std::string description)
    : std::runtime_error("line " + std::to_string(line) + ": " + description), problem_(problem),
      line_(line), description_(std::move(description)) {}

std::string CsvRecord::value(std::size_t i) const {
    const std::string_view t = text(fields[i]);
    if (!fields[i].quoted)
        return std::string(t);
    std::string v;
    v.reserve(t.size());
    for (std::size_t k = 0; k < t.size(); ++k) {
        v += t[k];
        if (t[k] == '"')
            ++k; // the second quote of a doubled pair
    }
    return v;
}

bool CsvRecord::isEmptyLine() const {
    return fields.size() == 1 && !fields[0].quoted && fields[0].begin == fields[0].end;
}

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// The bytes an unquoted field ends at or refuses.
constexpr std::array<bool, 256> StopsUnquoted = [] {
    std::array<bool, 256> stops{};
    for (unsigned char c : {',', '\n', '\r', '"'})
        stops[c] = true;
    return stops;
}();

// Where a complete record ends.
struct RecordEnd {
    std::size_t length = 0;   // the record without its line end
    std::string_view lineEnd; // a view of a literal, so that it outlives the bytes read
    std::size_t lines = 0;    // the lines the record takes
};

// Scans one record in the bytes held. Returns false when they end before the record does and
// more may come; the caller then reads more and scans again from the record's start.
class RecordScan {
public:
    RecordScan(const char* bytes, std::size_t n, bool eof, bool loneCrEndsLine, std::size_t line)
        : b_(bytes), n_(n), eof_(eof), loneCr_(loneCrEndsLine), line_(line) {}

    bool run(std::size_t start, std::vector<CsvField>& fields, RecordEnd& end);

private:
    static constexpr int NeedMore = -1;

    int lineEndAt(std::size_t at) const;
    std::size_t lineBreaks(std::size_t from, std::size_t to) const;
    bool quoted(std::size_t& i, std::size_t& lines, CsvField& f) const;
    bool unquoted(std::size_t& i, std::size_t lines, CsvField& f) const;

    const char* const b_;
    const std::size_t n_;
    const bool eof_;
    const bool loneCr_;
    const std::size_t line_; // the line the record begins on
};

// The length of the line end at `at`, 0 for none, NeedMore when the byte after a CR is still to
// come.
int RecordScan::lineEndAt(std::size_t at) const {
    if (at >= n_ || (b_[at] != '\n' && b_[at] != '\r'))
        return 0;
    if (b_[at] == '\n')
        return 1;
    if (at + 1 == n_ && !eof_)
        return NeedMore;
    if (at + 1 < n_ && b_[at + 1] == '\n')
        return 2;
    return loneCr_ ? 1 : 0;
}

// Line breaks in [from, to) inside a quoted field, which a quote follows: LF and CR LF count
// once each, and so does a lone CR when it ends lines.
std::size_t RecordScan::lineBreaks(std::size_t from, std::size_t to) const {
    std::size_t lines = 0;
    for (std::size_t k = from; k < to; ++k)
        lines += b_[k] == '\n' || (loneCr_ && b_[k] == '\r' && (k + 1 == to || b_[k + 1] != '\n'));
    return lines;
}

// The quoted field whose opening quote is at i; i ends past its closing quote.
bool RecordScan::quoted(std::size_t& i, std::size_t& lines, CsvField& f) const {
    const std::size_t opened = line_ + lines;
    f.quoted = true;
    f.begin = ++i;
    while (true) {
        const void* quote = std::memchr(b_ + i, '"', n_ - i);
        if (!quote) {
            if (!eof_)
                return false;
            throw CsvError(CsvProblem::UnclosedQuote, opened, "a quoted field is never closed");
        }
        const std::size_t at = std::size_t(static_cast<const char*>(quote) - b_);
        lines += lineBreaks(i, at);
        i = at + 1;
        if (i == n_ && !eof_)
            return false; // a doubled quote or the closing one: the next byte tells
        if (i < n_ && b_[i] == '"') {
            ++i;
            continue;
        }
        f.end = at;
        break;
    }
    if (i < n_ && b_[i] != ',') {
        const int end = lineEndAt(i);
        if (end == NeedMore)
            return false;
        if (end == 0)
            throw CsvError(CsvProblem::TextAfterQuote, line_ + lines,
                           "text after the closing quote of a field");
    }
    return true;
}

// The unquoted field that begins at i; i ends at the comma or line end after it.
bool RecordScan::unquoted(std::size_t& i, std::size_t lines, CsvField& f) const {
    f.begin = i;
    while (true) {
        while (i < n_ && !StopsUnquoted[std::uint8_t(b_[i])])
            ++i;
        if (i == n_ || b_[i] != '\r')
            break;
        const int end = lineEndAt(i);
        if (end == NeedMore)
            return false;
        if (end > 0)
            break;
        ++i; // a CR that ends no line is data
    }
    if (i < n_ && b_[i] == '"')
        throw CsvError(CsvProblem::QuoteInUnquotedField, line_ + lines,
                       "a quote inside a field that does not begin with one");
    if (i == n_ && !eof_)
        return false;
    f.end = i;
    return true;
}

bool RecordScan::run(std::size_t i, std::vector<CsvField>& fields, RecordEnd& end) {
    fields.clear();
    std::size_t lines = 0;
    while (true) {
        if (i == n_ && !eof_)
            return false; // the next field may begin with a quote
        CsvField f;
        if (!(i < n_ && b_[i] == '"' ? quoted(i, lines, f) : unquoted(i, lines, f)))
            return false;
        fields.push_back(f);
        if (i < n_ && b_[i] == ',') {
            ++i;
            continue;
        }
        const int length = lineEndAt(i);
        if (length == NeedMore)
            return false;
        static constexpr std::string_view LineEnds[] = {"", "\n", "\r\n"};
        end.length = i;
        end.lineEnd = length == 1 && b_[i] == '\r' ? "\r" : LineEnds[length];
        end.lines = lines + (length > 0);
        return true;
    }
}

} // namespace

CsvReader::CsvReader(Source source, CsvOptions options)
    : source_(std::move(source)), options_(options) {}

CsvReader::CsvReader(std::string_view text, CsvOptions options)
    : options_(options), data_(text.data()), end_(text.size()), eof_(true) {}

bool CsvReader::fill(std::size_t atLeast) {
    if (begin_ > 0) {
        std::memmove(buf_.data(), buf_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    const std::size_t want = end_ + atLeast;
    if (buf_.size() < std::max(want, end_ + readSize_))
        buf_.resize(std::max(want, end_ + readSize_));
    data_ = buf_.data();
    bool got = false;
    while (end_ < want) {
        const std::size_t room = buf_.size() - end_;
        const std::size_t n = source_(buf_.data() + end_, room);
        if (n == 0) {
            eof_ = true;
            break;
        }
        if (n == room)
            readSize_ = std::min(ChunkSize, readSize_ * 2);
        end_ += n;
        got = true;
    }
    return got;
}

bool CsvReader::next(CsvRecord& rec) {
    if (!started_) {
        while (end_ < ByteOrderMark.size() && !eof_ && fill(1)) {
        }
        bom_ = std::string_view(data_, end_).starts_with(ByteOrderMark);
    }
    while (begin_ == end_) {
        if (eof_)
            return false;
        fill(1);
    }
    // The byte-order mark stays in the first record's bytes but belongs to no field.
    const std::size_t start = !started_ && bom_ ? ByteOrderMark.size() : 0;
    started_ = true;
    RecordEnd end;
    while (!RecordScan(data_ + begin_, end_ - begin_, eof_, options_.loneCrEndsLine, line_)
                .run(start, rec.fields, end)) {
        const std::size_t held = end_ - begin_;
        if (held >= options_.maxRecord)
            throw CsvError(CsvProblem::RecordTooLong, line_,
                           "a record longer than " + std::to_string(options_.maxRecord >> 20) +
                               " MiB");
        // Reading at least as much again as is held keeps the scans from the record's start
        // to twice its length in all.
        fill(std::min(held, options_.maxRecord - held) + 1);
    }
    rec.raw = std::string_view(data_ + begin_, end.length);
    rec.lineEnd = end.lineEnd;
    rec.line = line_;
    begin_ += end.length + end.lineEnd.size();
    line_ += end.lines;
    return true;
}

CsvReader::Source TextSource(std::string_view text, std::size_t step) {
    return [text, step](char* dst, std::size_t n) mutable -> std::size_t {
        const std::size_t take = std::min({n, step, text.size()});
        text.copy(dst, take);
        text.remove_prefix(take);
        return take;
    };
}

void AppendCsvField(std::string& out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

std::string ToCsvField(std::string_view text) {
    std::string out;
    AppendCsvField(out, text);
    return out;
}

} // namespace corvana
