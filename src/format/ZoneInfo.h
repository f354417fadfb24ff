#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvana {

// What a zone's clock says at one instant: how far it runs ahead of UTC, whether that is summer
// time, and the zone's own abbreviation ("MST", "NDT", "HST", or "-03" where the zone has none).
struct ZoneMoment {
    long offset = 0; // seconds
    bool daylight = false;
    std::string abbreviation;
};

// The rules of one zone of the time-zone database, read from its compiled (TZif) file: the
// transitions it lists, and after the last of them the POSIX rule of its footer, so that a
// file built without transitions past today ("slim") still keeps summer time right.
class ZoneInfo {
public:
    // Nothing when the bytes are not a TZif file of version 1 to 4 or any count, index or
    // offset in them is out of bounds. The footer's rule is used only when it can be read
    // whole; otherwise the last transition's time type holds from then on.
    static std::optional<ZoneInfo> fromBytes(std::span<const std::uint8_t> bytes);

    ZoneMoment at(std::int64_t utcSeconds) const;

    // The zone's standard offset in a year: the lesser of mid-January's and mid-July's, since
    // summer time runs ahead wherever it is kept.
    long standardOffset(int year) const;

private:
    struct Type {
        long offset = 0;
        bool daylight = false;
        std::string abbreviation;
    };
    // A POSIX rule "NST3:30NDT,M3.2.0,M11.1.0": a standard type and, if summer time is kept,
    // its type and the two changes as month, week (5 = last), weekday and seconds after local
    // midnight.
    struct Change {
        int month = 0, week = 0, weekday = 0;
        long time = 7200;
    };
    struct Rule {
        Type standard;
        std::optional<Type> summer;
        Change start, end;
    };
    static std::optional<Rule> parseRule(std::string_view text);
    ZoneMoment ruleAt(const Rule& rule, std::int64_t utcSeconds) const;

    std::vector<std::int64_t> transitions_;
    std::vector<std::uint8_t> typeOf_; // per transition, an index into types_
    std::vector<Type> types_;
    std::optional<Rule> rule_;
};

} // namespace corvana
