#include "cli/CsvReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace corvana::cli {

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

CsvReader::CsvReader(Source source) : source_(std::move(source)) {}

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

namespace {

// Line breaks inside a quoted field: LF, CR LF or a lone CR each count once.
std::size_t CountLineBreaks(const char* p, std::size_t n) {
    std::size_t lines = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (p[i] == '\n' || (p[i] == '\r' && (i + 1 == n || p[i + 1] != '\n')))
            ++lines;
    }
    return lines;
}

bool EndsField(char c) {
    return c == ',' || c == '\n' || c == '\r';
}

} // namespace

CsvReader::Scan CsvReader::scan(CsvRecord& rec, std::size_t& consumed, std::size_t& lines) {
    const char* b = buf_.data() + begin_;
    const std::size_t n = end_ - begin_;
    // The byte-order mark stays in the first record's bytes but belongs to no field.
    std::size_t i = (bom_ && !started_) ? 3 : 0;
    rec.fields.clear();
    lines = 0;
    while (true) {
        CsvField f;
        if (i < n && b[i] == '"') {
            f.quoted = true;
            f.begin = std::uint32_t(++i);
            while (true) {
                const void* q = std::memchr(b + i, '"', n - i);
                if (!q) {
                    if (!eof_)
                        return Scan::NeedMore;
                    throw CsvError(line_ + lines, "a quoted field is never closed");
                }
                const std::size_t at = std::size_t(static_cast<const char*>(q) - b);
                lines += CountLineBreaks(b + i, at - i);
                i = at + 1;
                if (i == n && !eof_)
                    return Scan::NeedMore;
                if (i < n && b[i] == '"') {
                    ++i;
                    continue;
                }
                f.end = std::uint32_t(at);
                break;
            }
            if (i < n && !EndsField(b[i]))
                throw CsvError(line_ + lines, "text after the closing quote of a field");
        } else {
            f.begin = std::uint32_t(i);
            while (i < n && !EndsField(b[i])) {
                if (b[i] == '"')
                    throw CsvError(line_ + lines, "a quote inside a field that does not begin "
                                                  "with one (quote the whole field)");
                ++i;
            }
            if (i == n && !eof_)
                return Scan::NeedMore;
            f.end = std::uint32_t(i);
        }
        rec.fields.push_back(f);
        if (i < n && b[i] == ',') {
            ++i;
            continue;
        }
        std::size_t endLen = 0;
        if (i < n) {
            endLen = 1;
            if (b[i] == '\r') {
                if (i + 1 == n && !eof_)
                    return Scan::NeedMore;
                if (i + 1 < n && b[i + 1] == '\n')
                    endLen = 2;
            }
        }
        rec.raw = std::string_view(b, i);
        rec.lineEnd = std::string_view(b + i, endLen);
        rec.line = line_;
        consumed = i + endLen;
        lines += endLen ? 1 : 0;
        return Scan::Complete;
    }
}

bool CsvReader::next(CsvRecord& rec) {
    if (!started_) {
        while (end_ < 3 && fill()) {
        }
        bom_ = end_ >= 3 && std::memcmp(buf_.data(), "\xEF\xBB\xBF", 3) == 0;
    }
    while (true) {
        if (begin_ == end_) {
            if (eof_)
                return false;
            fill();
            continue;
        }
        std::size_t consumed = 0, lines = 0;
        if (scan(rec, consumed, lines) == Scan::Complete) {
            begin_ += consumed;
            line_ += lines;
            started_ = true;
            return true;
        }
        if (end_ - begin_ >= MaxRecord)
            throw CsvError(line_,
                           "a record longer than " + std::to_string(MaxRecord >> 20) + " MiB");
        fill();
    }
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

CsvReader::Source TextSource(std::string_view text, std::size_t step) {
    return [text, step](char* dst, std::size_t n) mutable -> std::size_t {
        const std::size_t take = std::min({n, step, text.size()});
        text.copy(dst, take);
        text.remove_prefix(take);
        return take;
    };
}

} // namespace corvana::cli
