#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvana {

struct Settings;

// Zone numbers are the standard offset from Greenwich in hours plus 12: 7 is Eastern.
extern const std::array<std::string_view, 25> ZoneLabels;  // [0] is empty: no label
extern const std::array<std::string_view, 25> ZoneChoices; // the user's time-zone list

// The zone name of the ZIP details ("PST", "GMT -04:00"); empty outside 1..24.
std::string ZoneName(int zone);

struct LocalDateTime {
    int year = 2000, month = 1, day = 1; // month 1..12
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

struct TimeOfDay {
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Whether daylight-saving time is in effect at a local date and time: from 2007 on, from the
// second Sunday of March after 02:00 to before 02:00 on the first Sunday of November; before
// 2007, from the first Sunday of April to the last Sunday of October.
bool IsDaylightPeriod(const LocalDateTime& t);

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() const = 0;
    // How far the clock's local time runs ahead of UTC, in seconds, at an instant given in
    // seconds since 1970; empty when the clock does not know its zone.
    virtual std::optional<long> utcOffset(std::int64_t utcSeconds) const;
};

// The machine's clock in the zone of TZ or /etc/localtime.
class SystemClock : public Clock {
public:
    LocalDateTime now() const override;
    std::optional<long> utcOffset(std::int64_t utcSeconds) const override;
};

// Turns a time of day into the user's long time format. The window passes the locale's format;
// the command line uses the C library's "%X".
using TimeFormatter = std::function<std::string(const TimeOfDay&)>;
std::string FormatTimeC(const TimeOfDay& t);

struct TimeContext {
    bool daylightInEffect = false;
    const Clock* clock = nullptr;
    TimeFormatter formatter = FormatTimeC;
};

// The text appended to a ZIP line for a time-zone code: the zone label when Show Time Zone is
// on, then a space and the place's current time when Show Current Time is on.
std::string DoTime(std::uint8_t code, const Settings& settings, const TimeContext& time);

// The time texts of one list, made once per zone code: within a list the text depends on the
// code alone, so a long list costs no clock reading per line and all its lines agree. A list
// spans few zones, so a short list of (code, text) pairs is the quickest lookup. The settings
// and time context must stay the same for every call on one object.
class ZoneTimes {
public:
    const std::string& text(std::uint8_t code, const Settings& settings, const TimeContext& time);

private:
    std::vector<std::pair<std::uint8_t, std::string>> known_;
};

} // namespace corvana
