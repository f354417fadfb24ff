#include "TestClock.h"

#include "format/SystemZone.h"

#include "format/LocalTime.h"
#include "settings/IniFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <vector>

using namespace corvana;
using corvana::test::TestClock;

namespace {

constexpr long Hour = 3600;

// A clock whose zone has one offset in winter (January) and one in summer (July); an empty
// offset is a zone the clock does not know.
TestClock zoneClock(std::optional<long> january, std::optional<long> july) {
    TestClock clock(LocalDateTime{2026, 12, 8, 1, 30});
    clock.winterOffset = january;
    clock.summerOffset = july;
    return clock;
}

UserZone zoneOf(std::optional<long> january, std::optional<long> july) {
    return ClockUserZone(zoneClock(january, july));
}

// Sets TZ for one scope and gives the previous value back after it.
class ScopedTz {
public:
    explicit ScopedTz(const char* tz) {
        if (const char* old = std::getenv("TZ"))
            old_ = old;
        ::setenv("TZ", tz, 1);
    }
    ~ScopedTz() {
        if (old_)
            ::setenv("TZ", old_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::optional<std::string> old_;
};

} // namespace

TEST(SystemZone, StandardOffsetAndSummerTime) {
    const UserZone unknown; // the program's old defaults
    EXPECT_EQ(unknown, (UserZone{8, true}));

    EXPECT_EQ(zoneOf(-5 * Hour, -4 * Hour), (UserZone{7, true}));    // New York
    EXPECT_EQ(zoneOf(-7 * Hour, -7 * Hour), (UserZone{5, false}));   // Phoenix
    EXPECT_EQ(zoneOf(-10 * Hour, -10 * Hour), (UserZone{2, false})); // Honolulu
    EXPECT_EQ(zoneOf(0, 0), (UserZone{12, false}));                  // UTC
    EXPECT_EQ(zoneOf(0, Hour), (UserZone{12, true}));                // London
    // South of the equator summer time falls in January: the standard offset is still the
    // smaller one.
    EXPECT_EQ(zoneOf(11 * Hour, 10 * Hour), (UserZone{22, true})); // Sydney
    EXPECT_EQ(zoneOf(13 * Hour, 12 * Hour), (UserZone{24, true})); // Auckland
    // Both ends of the scale.
    EXPECT_EQ(zoneOf(-12 * Hour, -12 * Hour), (UserZone{0, false}));
    EXPECT_EQ(zoneOf(12 * Hour, 12 * Hour), (UserZone{24, false}));

    // Off the scale, not whole hours, or not known: the old defaults.
    EXPECT_EQ(zoneOf(14 * Hour, 14 * Hour), unknown); // Kiritimati
    EXPECT_EQ(zoneOf(-13 * Hour, -13 * Hour), unknown);
    EXPECT_EQ(zoneOf(-11 * Hour - 1, -11 * Hour - 1), unknown);
    EXPECT_EQ(zoneOf(5 * Hour + 1800, 5 * Hour + 1800), unknown);   // Kolkata
    EXPECT_EQ(zoneOf(-3 * Hour - 1800, -2 * Hour - 1800), unknown); // St. John's
    EXPECT_EQ(zoneOf(10 * Hour + 1800, 11 * Hour), unknown);        // Lord Howe
    EXPECT_EQ(zoneOf(std::nullopt, std::nullopt), unknown);
    EXPECT_EQ(zoneOf(-5 * Hour, std::nullopt), unknown);
    EXPECT_EQ(zoneOf(std::nullopt, -4 * Hour), unknown);

    // A clock that cannot tell its zone at all.
    EXPECT_EQ(ClockUserZone(TestClock(LocalDateTime{})), unknown);
}

TEST(SystemZone, AsksAtNoonOfMidJanuaryAndMidJulyOfTheClocksYear) {
    const TestClock clock = zoneClock(-5 * Hour, -4 * Hour);
    ClockUserZone(clock);
    // 2026-01-15 12:00 and 2026-07-15 12:00 UTC
    EXPECT_EQ(clock.asked, (std::vector<std::int64_t>{1768478400, 1784116800}));
}

TEST(SystemZone, SystemClockReadsTheZoneOfTz) {
    struct Case {
        const char* tz;
        UserZone zone;
    };
    const Case cases[] = {
        {"America/New_York", {7, true}},
        {"America/Chicago", {6, true}},
        {"America/Denver", {5, true}},
        {"America/Phoenix", {5, false}},
        {"America/Los_Angeles", {4, true}},
        {"America/Anchorage", {3, true}},
        {"Pacific/Honolulu", {2, false}},
        {"America/Puerto_Rico", {8, false}},
        {"Pacific/Guam", {22, false}},
        {"UTC", {12, false}},
        {"Europe/London", {12, true}},
        {"Europe/Lisbon", {12, true}},
        {"Africa/Abidjan", {12, false}},
        {"Australia/Sydney", {22, true}},
        {"EST5EDT", {7, true}},
        {"Asia/Kolkata", UserZone()},
        {"Pacific/Kiritimati", UserZone()},
        {"Foo/Bar", UserZone()},
        {"Factory", UserZone()},
    };
    for (const Case& c : cases) {
        ScopedTz tz(c.tz);
        EXPECT_EQ(ClockUserZone(SystemClock()), c.zone) << c.tz;
    }
    {
        ScopedTz tz("America/Denver");
        // 2026-01-15 12:00 UTC is 05:00 MST; 2026-07-15 12:00 UTC is 06:00 MDT.
        EXPECT_EQ(SystemClock().utcOffset(1768478400), -7 * Hour);
        EXPECT_EQ(SystemClock().utcOffset(1784116800), -6 * Hour);
    }
    {
        ScopedTz tz("Foo/Bar");
        EXPECT_EQ(SystemClock().utcOffset(1768478400), std::nullopt);
    }
}

TEST(SystemZone, OnlyMissingKeysTakeTheSystemZone) {
    const UserZone phoenix{5, false};
    Settings s = LoadSettings(IniFile(), phoenix);
    EXPECT_EQ(s.timeZone, 5);
    EXPECT_FALSE(s.daylightSavings);
    Settings others = s;
    others.timeZone = Settings().timeZone;
    others.daylightSavings = Settings().daylightSavings;
    EXPECT_EQ(others, Settings()); // nothing else changes

    // No argument: the old defaults.
    EXPECT_EQ(LoadSettings(IniFile()), Settings());

    // A present key keeps its meaning, even empty: 0 and off.
    s = LoadSettings(IniFile("[Time Zone]\nTime Zone=\nDaylight Savings=\n"), phoenix);
    EXPECT_EQ(s.timeZone, 0);
    EXPECT_FALSE(s.daylightSavings);
    s = LoadSettings(IniFile("[Time Zone]\nTime Zone=7\nDaylight Savings=Yes\n"), phoenix);
    EXPECT_EQ(s.timeZone, 7);
    EXPECT_TRUE(s.daylightSavings);

    // Each key on its own.
    s = LoadSettings(IniFile("[Time Zone]\nTime Zone=20\n"), UserZone{7, true});
    EXPECT_EQ(s.timeZone, 20);
    EXPECT_TRUE(s.daylightSavings);
    s = LoadSettings(IniFile("[time zone]\ndaylight savings=no\n"), UserZone{7, true});
    EXPECT_EQ(s.timeZone, 7);
    EXPECT_FALSE(s.daylightSavings);
    // The key in another section is not the key.
    s = LoadSettings(IniFile("[Misc]\nTime Zone=3\n"), phoenix);
    EXPECT_EQ(s.timeZone, 5);

    // What a first run stores at close reads back the same with any system zone.
    IniFile saved;
    SaveSettings(LoadSettings(IniFile(), phoenix), saved);
    EXPECT_EQ(LoadSettings(saved, UserZone{7, true}).timeZone, 5);
    EXPECT_FALSE(LoadSettings(saved, UserZone{7, true}).daylightSavings);
}
