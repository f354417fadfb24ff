#include "format/ZoneInfo.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace corvana {

namespace {

constexpr std::size_t HeaderSize = 44;
constexpr long MaxOffset = 26 * 3600; // RFC 8536 allows -25:59:59 to 25:59:59

std::uint32_t be32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 |
           std::uint32_t(p[3]);
}

std::int64_t be64(const std::uint8_t* p) {
    return std::int64_t(std::uint64_t(be32(p)) << 32 | be32(p + 4));
}

struct Counts {
    std::uint32_t isUt = 0, isStd = 0, leap = 0, time = 0, type = 0, chars = 0;
    // The bytes of the data block after the header, with times of `timeSize` bytes.
    std::uint64_t size(std::uint64_t timeSize) const {
        return time * timeSize + time + type * 6ull + chars + leap * (timeSize + 4) + isStd + isUt;
    }
};

Counts countsAt(const std::uint8_t* p) {
    return Counts{be32(p + 20), be32(p + 24), be32(p + 28),
                  be32(p + 32), be32(p + 36), be32(p + 40)};
}

// Reads "[+-]hh[:mm[:ss]]" as seconds; POSIX writes west of Greenwich as positive.
std::optional<long> posixTime(std::string_view& s, bool signAllowed) {
    long sign = 1;
    if (signAllowed && !s.empty() && (s[0] == '+' || s[0] == '-')) {
        sign = s[0] == '-' ? -1 : 1;
        s.remove_prefix(1);
    }
    long total = 0;
    for (int part = 0; part < 3; ++part) {
        if (part > 0) {
            if (s.empty() || s[0] != ':')
                break;
            s.remove_prefix(1);
        }
        long v = 0;
        std::size_t n = 0;
        while (n < s.size() && n < 3 && s[n] >= '0' && s[n] <= '9')
            v = v * 10 + (s[n++] - '0');
        if (n == 0 || (part > 0 && v > 59))
            return std::nullopt;
        total += v * (part == 0 ? 3600 : part == 1 ? 60 : 1);
        s.remove_prefix(n);
    }
    if (total > 167 * 3600)
        return std::nullopt;
    return sign * total;
}

std::optional<std::string> posixName(std::string_view& s) {
    std::size_t n = 0;
    if (!s.empty() && s[0] == '<') {
        n = s.find('>');
        if (n == std::string_view::npos || n < 4)
            return std::nullopt;
        std::string name(s.substr(1, n - 1));
        s.remove_prefix(n + 1);
        return name;
    }
    while (n < s.size() && ((s[n] >= 'A' && s[n] <= 'Z') || (s[n] >= 'a' && s[n] <= 'z')))
        ++n;
    if (n < 3)
        return std::nullopt;
    std::string name(s.substr(0, n));
    s.remove_prefix(n);
    return name;
}

} // namespace

std::optional<ZoneInfo> ZoneInfo::fromBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < HeaderSize || std::memcmp(bytes.data(), "TZif", 4) != 0)
        return std::nullopt;
    const std::uint8_t version = bytes[4];
    if (version != 0 && (version < '2' || version > '4'))
        return std::nullopt;
    Counts c = countsAt(bytes.data());
    std::uint64_t at = HeaderSize;
    std::uint64_t timeSize = 4;
    if (version != 0) {
        // Version 2 on repeats the data with 64-bit times after the first block.
        at += c.size(4);
        if (at + HeaderSize > bytes.size() || std::memcmp(bytes.data() + at, "TZif", 4) != 0)
            return std::nullopt;
        c = countsAt(bytes.data() + at);
        at += HeaderSize;
        timeSize = 8;
    }
    if (c.type == 0 || c.type > 256 || c.chars == 0 || c.time > 100000 || c.chars > 10000 ||
        c.leap > 10000 || (c.isStd != 0 && c.isStd != c.type) ||
        (c.isUt != 0 && c.isUt != c.type) || at + c.size(timeSize) > bytes.size())
        return std::nullopt;

    ZoneInfo z;
    const std::uint8_t* p = bytes.data() + at;
    for (std::uint32_t i = 0; i < c.time; ++i, p += timeSize) {
        const std::int64_t t = timeSize == 8 ? be64(p) : std::int32_t(be32(p));
        if (!z.transitions_.empty() && t <= z.transitions_.back())
            return std::nullopt;
        z.transitions_.push_back(t);
    }
    for (std::uint32_t i = 0; i < c.time; ++i, ++p) {
        if (*p >= c.type)
            return std::nullopt;
        z.typeOf_.push_back(*p);
    }
    const std::uint8_t* chars = p + c.type * 6;
    for (std::uint32_t i = 0; i < c.type; ++i, p += 6) {
        const long offset = long(std::int32_t(be32(p)));
        const std::uint8_t index = p[5];
        if (offset <= -MaxOffset || offset >= MaxOffset || p[4] > 1 || index >= c.chars)
            return std::nullopt;
        const auto* text = reinterpret_cast<const char*>(chars + index);
        const std::size_t len = strnlen(text, c.chars - index);
        if (len == c.chars - index) // no terminating NUL inside the block
            return std::nullopt;
        z.types_.push_back(Type{offset, p[4] == 1, std::string(text, len)});
    }

    if (version != 0) {
        const std::uint64_t footer = at + c.size(timeSize);
        const auto* text = reinterpret_cast<const char*>(bytes.data()) + footer;
        const std::string_view rest(text, bytes.size() - footer);
        if (rest.size() >= 2 && rest[0] == '\n') {
            const std::size_t end = rest.find('\n', 1);
            if (end != std::string_view::npos)
                z.rule_ = parseRule(rest.substr(1, end - 1));
        }
    }
    return z;
}

std::optional<ZoneInfo::Rule> ZoneInfo::parseRule(std::string_view s) {
    Rule r;
    const auto stdName = posixName(s);
    const auto stdOffset = stdName ? posixTime(s, true) : std::nullopt;
    if (!stdOffset || *stdOffset <= -MaxOffset || *stdOffset >= MaxOffset)
        return std::nullopt;
    r.standard = Type{-*stdOffset, false, *stdName};
    if (s.empty())
        return r;
    const auto dstName = posixName(s);
    if (!dstName)
        return std::nullopt;
    long dstOffset = r.standard.offset + 3600;
    if (!s.empty() && s[0] != ',') {
        const auto o = posixTime(s, true);
        if (!o || *o <= -MaxOffset || *o >= MaxOffset)
            return std::nullopt;
        dstOffset = -*o;
    }
    if (dstOffset <= -MaxOffset || dstOffset >= MaxOffset)
        return std::nullopt;
    r.summer = Type{dstOffset, true, *dstName};
    // Only the month-week-day form; the footers of the database use no other.
    auto change = [&s](Change& c) {
        if (s.size() < 2 || s[0] != ',' || s[1] != 'M')
            return false;
        s.remove_prefix(2);
        int parts[3] = {0, 0, 0};
        for (int i = 0; i < 3; ++i) {
            if (i > 0) {
                if (s.empty() || s[0] != '.')
                    return false;
                s.remove_prefix(1);
            }
            std::size_t n = 0;
            while (n < s.size() && n < 2 && s[n] >= '0' && s[n] <= '9')
                parts[i] = parts[i] * 10 + (s[n++] - '0');
            if (n == 0)
                return false;
            s.remove_prefix(n);
        }
        c = Change{parts[0], parts[1], parts[2], 7200};
        if (c.month < 1 || c.month > 12 || c.week < 1 || c.week > 5 || c.weekday > 6)
            return false;
        if (!s.empty() && s[0] == '/') {
            s.remove_prefix(1);
            const auto t = posixTime(s, true);
            if (!t)
                return false;
            c.time = *t;
        }
        return true;
    };
    if (!change(r.start) || !change(r.end) || !s.empty())
        return std::nullopt;
    return r;
}

ZoneMoment ZoneInfo::ruleAt(const Rule& rule, std::int64_t utc) const {
    const Type& standard = rule.standard;
    if (!rule.summer)
        return {standard.offset, false, standard.abbreviation};
    using namespace std::chrono;
    const auto localDays = floor<days>(sys_seconds{seconds{utc + standard.offset}});
    const int y = int(year_month_day{localDays}.year());
    // The instant of a change in a year: its local day and time, on the clock before it.
    auto instant = [y](const Change& c, long before) {
        const year_month ym{year{y}, month{unsigned(c.month)}};
        const weekday wd{unsigned(c.weekday)};
        const sys_days day = c.week == 5 ? sys_days{ym / weekday_last{wd}}
                                         : sys_days{ym / weekday_indexed{wd, unsigned(c.week)}};
        return std::int64_t(day.time_since_epoch() / seconds{1}) + c.time - before;
    };
    const std::int64_t start = instant(rule.start, standard.offset);
    const std::int64_t end = instant(rule.end, rule.summer->offset);
    // South of the equator summer runs across the new year: the start comes after the end.
    const bool summer = start < end ? utc >= start && utc < end : !(utc >= end && utc < start);
    const Type& t = summer ? *rule.summer : standard;
    return {t.offset, t.daylight, t.abbreviation};
}

ZoneMoment ZoneInfo::at(std::int64_t utc) const {
    if (rule_ && (transitions_.empty() || utc >= transitions_.back()))
        return ruleAt(*rule_, utc);
    const Type* t = &types_[0];
    if (!transitions_.empty() && utc >= transitions_.front()) {
        const auto it = std::upper_bound(transitions_.begin(), transitions_.end(), utc);
        t = &types_[typeOf_[std::size_t(it - transitions_.begin()) - 1]];
    }
    return {t->offset, t->daylight, t->abbreviation};
}

long ZoneInfo::standardOffset(int year) const {
    using namespace std::chrono;
    auto noon = [](sys_days d) { return std::int64_t((d + hours(12)).time_since_epoch() / 1s); };
    const std::chrono::year y{year};
    return std::min(at(noon(sys_days{y / January / 15})).offset,
                    at(noon(sys_days{y / July / 15})).offset);
}

} // namespace corvana
