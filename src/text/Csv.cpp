#include "text/Csv.h"

#include <algorithm>
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

// The scan of one record over the bytes read so far. When the bytes run out before the record
// ends, run() returns false and goes on where it stopped once more bytes are there, so that a
// long record costs no more than a short one, however the reads cut it.
class RecordScan {
public:
    RecordScan(bool loneCrEndsLine, std::size_t line, std::size_t start)
        : loneCr_(loneCrEndsLine), line_(line), i_(start) {}

    // The bytes of the record from its first byte on; `eof` when no more will come.
    void see(const char* bytes, std::size_t n, bool eof) {
        b_ = bytes;
        n_ = n;
        eof_ = eof;
    }

    // Adds the fields found to `fields`; true once the record is complete.
    bool run(std::vector<CsvField>& fields);

    std::size_t length() const { return i_; }              // the record without its line end
    std::size_t lineEndLength() const { return lineEnd_; } // 0 for the last line without one
    std::size_t lines() const { return lines_; }           // lines the record takes

private:
    enum class State { FieldStart, Quoted, AfterQuote, Unquoted, FieldEnd };

    bool scanQuoted();
    bool scanUnquoted();
    int lineEndAt(std::size_t at) const;
    std::size_t lineBreaks(std::size_t from, std::size_t to) const;
    CsvError error(CsvProblem problem, std::size_t line, std::string_view text) const {
        return CsvError(problem, line, std::string(text));
    }

    const bool loneCr_;
    const std::size_t line_;
    const char* b_ = nullptr;
    std::size_t n_ = 0;
    bool eof_ = false;
    State state_ = State::FieldStart;
    std::size_t i_;
    std::size_t lines_ = 0;     // line breaks before i_
    std::size_t quoteLine_ = 0; // where the open quoted field began
    std::size_t lineEnd_ = 0;
    CsvField field_;
};

// The length of the line end at `at`, 0 for none, -1 when the byte after a CR is still to come.
int RecordScan::lineEndAt(std::size_t at) const {
    if (at >= n_ || (b_[at] != '\n' && b_[at] != '\r'))
        return 0;
    if (b_[at] == '\n')
        return 1;
    if (at + 1 == n_ && !eof_)
        return -1;
    if (at + 1 < n_ && b_[at + 1] == '\n')
        return 2;
    return loneCr_ ? 1 : 0;
}

// Line breaks in [from, to) inside a quoted field, where a CR before `to` is not followed by
// LF: LF and CR LF count once each, and so does a lone CR when it ends lines.
std::size_t RecordScan::lineBreaks(std::size_t from, std::size_t to) const {
    std::size_t lines = std::size_t(std::count(b_ + from, b_ + to, '\n'));
    if (loneCr_) {
        for (std::size_t k = from; k < to; ++k)
            lines += b_[k] == '\r' && (k + 1 == to || b_[k + 1] != '\n');
    }
    return lines;
}

bool RecordScan::scanQuoted() {
    while (true) {
        const void* quote = std::memchr(b_ + i_, '"', n_ - i_);
        if (!quote) {
            if (eof_)
                throw error(CsvProblem::UnclosedQuote, quoteLine_,
                            "a quoted field is never closed");
            // Count what is there, but for a CR at the end, whose LF may still come.
            const std::size_t stop = (n_ > i_ && b_[n_ - 1] == '\r') ? n_ - 1 : n_;
            lines_ += lineBreaks(i_, stop);
            i_ = stop;
            return false;
        }
        const std::size_t at = std::size_t(static_cast<const char*>(quote) - b_);
        lines_ += lineBreaks(i_, at);
        i_ = at;
        if (at + 1 == n_ && !eof_)
            return false; // a doubled quote or the closing one: the next byte tells
        if (at + 1 < n_ && b_[at + 1] == '"') {
            i_ = at + 2;
            continue;
        }
        field_.end = at;
        i_ = at + 1;
        return true;
    }
}

bool RecordScan::scanUnquoted() {
    for (; i_ < n_; ++i_) {
        const char c = b_[i_];
        if (c == ',' || c == '\n')
            break;
        if (c == '\r') {
            const int end = lineEndAt(i_);
            if (end < 0)
                return false;
            if (end > 0)
                break;
        } else if (c == '"') {
            throw error(CsvProblem::QuoteInUnquotedField, line_ + lines_,
                        "a quote inside a field that does not begin with one");
        }
    }
    if (i_ == n_ && !eof_)
        return false;
    field_.end = i_;
    return true;
}

bool RecordScan::run(std::vector<CsvField>& fields) {
    while (true) {
        switch (state_) {
        case State::FieldStart:
            if (i_ == n_ && !eof_)
                return false;
            if (i_ < n_ && b_[i_] == '"') {
                quoteLine_ = line_ + lines_;
                field_ = CsvField{i_ + 1, i_ + 1, true};
                ++i_;
                state_ = State::Quoted;
            } else {
                field_ = CsvField{i_, i_, false};
                state_ = State::Unquoted;
            }
            break;
        case State::Quoted:
            if (!scanQuoted())
                return false;
            state_ = State::AfterQuote;
            break;
        case State::AfterQuote:
            if (i_ < n_ && b_[i_] != ',') {
                const int end = lineEndAt(i_);
                if (end < 0)
                    return false;
                if (end == 0)
                    throw error(CsvProblem::TextAfterQuote, line_ + lines_,
                                "text after the closing quote of a field");
            }
            fields.push_back(field_);
            state_ = State::FieldEnd;
            break;
        case State::Unquoted:
            if (!scanUnquoted())
                return false;
            fields.push_back(field_);
            state_ = State::FieldEnd;
            break;
        case State::FieldEnd: {
            if (i_ < n_ && b_[i_] == ',') {
                ++i_;
                state_ = State::FieldStart;
                break;
            }
            const int end = lineEndAt(i_);
            if (end < 0)
                return false;
            lineEnd_ = std::size_t(end);
            lines_ += end > 0;
            return true;
        }
        }
    }
}

std::string_view LineEndOf(std::string_view bytes) {
    // Views of literals, so that a record keeps a valid line end when it is copied or kept.
    if (bytes == "\r\n")
        return "\r\n";
    if (bytes == "\n")
        return "\n";
    if (bytes == "\r")
        return "\r";
    return {};
}

} // namespace

CsvReader::CsvReader(Source source, CsvOptions options)
    : source_(std::move(source)), options_(options) {}

bool CsvReader::fill() {
    if (begin_ > 0) {
        std::memmove(buf_.data(), buf_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (buf_.size() < end_ + ChunkSize)
        buf_.resize(end_ + ChunkSize);
    const std::size_t got = source_(buf_.data() + end_, ChunkSize);
    eof_ = got == 0;
    end_ += got;
    return got > 0;
}

bool CsvReader::next(CsvRecord& rec) {
    if (!started_) {
        while (end_ < ByteOrderMark.size() && fill()) {
        }
        bom_ = std::string_view(buf_.data(), end_).starts_with(ByteOrderMark);
    }
    while (begin_ == end_) {
        if (eof_)
            return false;
        fill();
    }
    // The byte-order mark stays in the first record's bytes but belongs to no field.
    RecordScan scan(options_.loneCrEndsLine, line_, !started_ && bom_ ? ByteOrderMark.size() : 0);
    started_ = true;
    rec.fields.clear();
    while (true) {
        scan.see(buf_.data() + begin_, end_ - begin_, eof_);
        if (scan.run(rec.fields))
            break;
        if (end_ - begin_ >= options_.maxRecord)
            throw CsvError(CsvProblem::RecordTooLong, line_,
                           "a record longer than " + std::to_string(options_.maxRecord >> 20) +
                               " MiB");
        fill();
    }
    const char* bytes = buf_.data() + begin_;
    rec.raw.assign(bytes, scan.length());
    rec.lineEnd = LineEndOf(std::string_view(bytes + scan.length(), scan.lineEndLength()));
    rec.line = line_;
    begin_ += scan.length() + scan.lineEndLength();
    line_ += scan.lines();
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

} // namespace corvana
