#include "format/LocalTime.h"

#include "data/Records.h"
#include "settings/Settings.h"
#include "text/ShortString.h"

#include <chrono>
#include <ctime>

namespace corvana {

const std::array<std::string_view, 25> ZoneLabels = {
    "",
    " (GMT -11:00)",
    " (GMT -10:00)",
    " (GMT -09:00)",
    " (PST)",
    " (MST)",
    " (CST)",
    " (EST)",
    " (GMT -04:00)",
    " (GMT -03:00)",
    " (GMT -02:00)",
    " (GMT -01:00)",
    " (GMT)",
    " (GMT +01:00)",
    " (GMT +02:00)",
    " (GMT +03:00)",
    " (GMT +04:00)",
    " (GMT +05:00)",
    " (GMT +06:00)",
    " (GMT +07:00)",
    " (GMT +08:00)",
    " (GMT +09:00)",
    " (GMT +10:00)",
    " (GMT +11:00)",
    " (GMT +12:00)",
};

const std::array<std::string_view, 25> ZoneChoices = {
    " (GMT -12:00) Eniwotek, Kwajalein",
    " (GMT -11:00) Midway Island Samoa",
    " (GMT -10:00) Hawaii",
    " (GMT -09:00) Alaska",
    " (GMT -08:00) Pacific Standard Time",
    " (GMT -07:00) Mountain Standard Time",
    " (GMT -06:00) Central Standard Time",
    " (GMT -05:00) Eastern Standard Time",
    " (GMT -04:00) Atlantic Time",
    " (GMT -03:00) Brasilia",
    " (GMT -02:00) Mid-Atlantic",
    " (GMT -01:00) Azores, Cape Verde Is.",
    " (GMT) Greenwich Mean Time",
    " (GMT +01:00) Paris",
    " (GMT +02:00) Eastern Europe",
    " (GMT +03:00) Moscow",
    " (GMT +04:00) Abu Dhabi",
    " (GMT +05:00) Islamabad",
    " (GMT +06:00) Almaty",
    " (GMT +07:00) Bangkok",
    " (GMT +08:00) Hong Kong",
    " (GMT +09:00) Tokyo",
    " (GMT +10:00) Brisbane",
    " (GMT +11:00) Magadan",
    " (GMT +12:00) Wellington",
};

namespace {

bool validZone(int zone) {
    return zone >= 1 && zone <= 24;
}

} // namespace

std::string ZoneName(int zone) {
    if (!validZone(zone))
        return {};
    std::string_view label = ZoneLabels[std::size_t(zone)];
    return std::string(label.substr(2, label.size() - 3));
}

bool IsDaylightPeriod(const LocalDateTime& t) {
    using namespace std::chrono;
    const year y{t.year};
    // The Energy Policy Act moved both changeovers from 2007 on.
    const sys_days start =
        t.year >= 2007 ? sys_days{y / March / Sunday[2]} : sys_days{y / April / Sunday[1]};
    const sys_days end =
        t.year >= 2007 ? sys_days{y / November / Sunday[1]} : sys_days{y / October / Sunday[last]};
    const sys_days day{y / month(unsigned(t.month)) / unsigned(t.day)};
    const auto at =
        day + hours(t.hour) + minutes(t.minute) + seconds(t.second) + milliseconds(t.millisecond);
    return at > start + hours(2) && at < end + hours(2);
}

std::optional<long> Clock::utcOffset(std::int64_t) const {
    return std::nullopt;
}

std::optional<long> SystemClock::utcOffset(std::int64_t utcSeconds) const {
    // TZ may have changed since the C library last looked.
    ::tzset();
    const std::time_t t = std::time_t(utcSeconds);
    std::tm tm{};
    if (!localtime_r(&t, &tm))
        return std::nullopt;
    // A zone the C library cannot load runs on UTC under the letters of its name ("Foo" for
    // Foo/Bar); the zone database calls a zero offset only by these.
    if (tm.tm_gmtoff == 0) {
        const std::string_view abbrev = tm.tm_zone ? tm.tm_zone : "";
        if (abbrev != "UTC" && abbrev != "GMT" && abbrev != "UCT" && abbrev != "WET" &&
            abbrev != "+00")
            return std::nullopt;
    }
    return tm.tm_gmtoff;
}

LocalDateTime SystemClock::now() const {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&secs, &tm);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()) % 1000;
    LocalDateTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    t.millisecond = int(ms.count() < 0 ? ms.count() + 1000 : ms.count());
    return t;
}

std::string FormatTimeC(const TimeOfDay& t) {
    std::tm tm{};
    tm.tm_year = 100;
    tm.tm_mday = 1;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    char buf[ShortMax + 1];
    std::size_t n = std::strftime(buf, sizeof buf, "%X", &tm);
    return std::string(buf, n);
}

std::string DoTime(std::uint8_t code, const Settings& settings, const TimeContext& time) {
    const int zone = ZipRecord::zoneOf(code);
    // Codes or a user zone off the scale would index past the labels and push the hour out
    // of the day: such a place shows neither.
    if (!validZone(zone) || settings.timeZone < 0 || settings.timeZone > 24)
        return {};

    std::string out;
    if (settings.showTimeZone)
        out = ZoneLabels[std::size_t(zone)];
    if (!settings.showCurrentTime)
        return out;

    static const SystemClock systemClock;
    const LocalDateTime now = (time.clock ? *time.clock : systemClock).now();
    int h = now.hour + zone - settings.timeZone;
    // The clock already runs on summer time when the user keeps it: the user's standard zone
    // is an hour behind it. A place that keeps summer time gains that hour back.
    if (time.daylightInEffect) {
        if (settings.daylightSavings)
            h -= 1;
        if (ZipRecord::dstOf(code))
            h += 1;
    }
    h = ((h % 24) + 24) % 24;

    const TimeOfDay t{h, now.minute, now.second, now.millisecond};
    appendCut(out, " ");
    appendCut(out, time.formatter ? time.formatter(t) : FormatTimeC(t));
    return out;
}

const std::string& ZoneTimes::text(std::uint8_t code, const Settings& settings,
                                   const TimeContext& time) {
    for (const auto& [known, text] : known_)
        if (known == code)
            return text;
    return known_.emplace_back(code, DoTime(code, settings, time)).second;
}

} // namespace corvana
