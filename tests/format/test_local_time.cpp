#include "format/LocalTime.h"

#include "TestClock.h"

#include "settings/Settings.h"

#include <cstdio>
#include <gtest/gtest.h>

using namespace corvana;
using corvana::test::TestClock;

namespace {

std::string plainTime(const TimeOfDay& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03d", t.hour, t.minute, t.second,
                  t.millisecond);
    return buf;
}

LocalDateTime at(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0) {
    return LocalDateTime{y, mo, d, h, mi, s, ms};
}

struct TimeFixture : ::testing::Test {
    TestClock clock{LocalDateTime{}};
    Settings settings;
    TimeContext ctx{false, &clock, plainTime};

    TimeFixture() {
        settings.showTimeZone = false;
        settings.showCurrentTime = true;
    }

    // The hour and minute shown for a zone code, the user's clock at h:m.
    std::string timeAt(std::uint8_t code, int h, int m) {
        clock.time = at(2026, 7, 1, h, m, 0, 0);
        std::string out = DoTime(code, settings, ctx);
        return out.size() >= 6 ? out.substr(1, 5) : out;
    }
};

} // namespace

TEST(LocalTime, ZoneTables) {
    EXPECT_EQ(ZoneLabels[0], "");
    EXPECT_EQ(ZoneLabels[4], " (PST)");
    EXPECT_EQ(ZoneLabels[12], " (GMT)");
    EXPECT_EQ(ZoneLabels[24], " (GMT +12:00)");
    EXPECT_EQ(ZoneChoices[0], " (GMT -12:00) Eniwotek, Kwajalein");
    EXPECT_EQ(ZoneChoices[8], " (GMT -04:00) Atlantic Time");
    EXPECT_EQ(ZoneChoices[11], " (GMT -01:00) Azores, Cape Verde Is.");
    EXPECT_EQ(ZoneChoices[24], " (GMT +12:00) Wellington");
    for (std::size_t z = 1; z < ZoneLabels.size(); ++z) {
        EXPECT_EQ(ZoneLabels[z].front(), ' ');
        EXPECT_LE(ZoneLabels[z].size(), 13u);
    }
    for (auto c : ZoneChoices) {
        EXPECT_EQ(c.front(), ' ');
        EXPECT_LE(c.size(), 40u);
    }
}

TEST(LocalTime, ZoneName) {
    EXPECT_EQ(ZoneName(4), "PST");
    EXPECT_EQ(ZoneName(7), "EST");
    EXPECT_EQ(ZoneName(8), "GMT -04:00");
    EXPECT_EQ(ZoneName(12), "GMT");
    EXPECT_EQ(ZoneName(24), "GMT +12:00");
    EXPECT_EQ(ZoneName(0), "");
    EXPECT_EQ(ZoneName(25), "");
    EXPECT_EQ(ZoneName(-1), "");
    EXPECT_EQ(ZoneName(132), "");
}

TEST(LocalTime, PeriodBefore2007RunsFromAprilToOctober) {
    // 2006: first Sunday of April is the 2nd, last Sunday of October the 29th.
    EXPECT_FALSE(IsDaylightPeriod(at(2006, 3, 12, 12, 0)));
    EXPECT_FALSE(IsDaylightPeriod(at(2006, 4, 2, 1, 59)));
    EXPECT_FALSE(IsDaylightPeriod(at(2006, 4, 2, 2, 0)));
    EXPECT_TRUE(IsDaylightPeriod(at(2006, 4, 2, 2, 0, 0, 1)));
    EXPECT_TRUE(IsDaylightPeriod(at(2006, 4, 2, 2, 1)));
    EXPECT_TRUE(IsDaylightPeriod(at(2006, 7, 4, 0, 0)));
    EXPECT_TRUE(IsDaylightPeriod(at(2006, 10, 29, 1, 59, 59, 999)));
    EXPECT_FALSE(IsDaylightPeriod(at(2006, 10, 29, 2, 0)));
    EXPECT_FALSE(IsDaylightPeriod(at(2006, 10, 29, 2, 1)));
    EXPECT_FALSE(IsDaylightPeriod(at(2006, 11, 1, 12, 0)));
    // Changeover days that fall on the first and last day of the search.
    EXPECT_FALSE(IsDaylightPeriod(at(2001, 4, 1, 2, 0)));
    EXPECT_TRUE(IsDaylightPeriod(at(2001, 4, 1, 2, 1)));
    EXPECT_TRUE(IsDaylightPeriod(at(2004, 10, 31, 1, 59)));
    EXPECT_FALSE(IsDaylightPeriod(at(2004, 10, 31, 2, 0)));
}

TEST(LocalTime, PeriodFrom2007RunsFromMarchToNovember) {
    // 2026: second Sunday of March is the 8th, first Sunday of November the 1st.
    EXPECT_FALSE(IsDaylightPeriod(at(2026, 1, 15, 12, 0)));
    EXPECT_FALSE(IsDaylightPeriod(at(2026, 3, 1, 12, 0)));
    EXPECT_FALSE(IsDaylightPeriod(at(2026, 3, 8, 2, 0)));
    EXPECT_TRUE(IsDaylightPeriod(at(2026, 3, 8, 2, 1)));
    EXPECT_TRUE(IsDaylightPeriod(at(2026, 4, 1, 12, 0)));
    EXPECT_TRUE(IsDaylightPeriod(at(2026, 10, 31, 23, 0)));
    EXPECT_TRUE(IsDaylightPeriod(at(2026, 11, 1, 1, 59)));
    EXPECT_FALSE(IsDaylightPeriod(at(2026, 11, 1, 2, 0)));
    EXPECT_FALSE(IsDaylightPeriod(at(2026, 11, 1, 2, 1)));
    EXPECT_FALSE(IsDaylightPeriod(at(2026, 12, 25, 12, 0)));
    EXPECT_FALSE(IsDaylightPeriod(at(2007, 3, 11, 2, 0)));
    EXPECT_TRUE(IsDaylightPeriod(at(2007, 3, 11, 2, 1)));
    EXPECT_TRUE(IsDaylightPeriod(at(2007, 11, 4, 1, 59)));
}

TEST_F(TimeFixture, LabelAndTimeCombinations) {
    settings.timeZone = 5;
    clock.time = at(2026, 1, 10, 15, 45, 12, 250);
    settings.showTimeZone = true;
    EXPECT_EQ(DoTime(5, settings, ctx), " (MST) 15:45:12.250");
    settings.showCurrentTime = false;
    EXPECT_EQ(DoTime(5, settings, ctx), " (MST)");
    settings.showTimeZone = false;
    EXPECT_EQ(DoTime(5, settings, ctx), "");
    settings.showCurrentTime = true;
    EXPECT_EQ(DoTime(5, settings, ctx), " 15:45:12.250");
    // The daylight flag of the code plays no part in the label.
    settings.showTimeZone = true;
    settings.showCurrentTime = false;
    EXPECT_EQ(DoTime(4 | 128, settings, ctx), " (PST)");
}

TEST_F(TimeFixture, OutsideThePeriodOnlyZonesCount) {
    settings.timeZone = 7;
    EXPECT_EQ(timeAt(7, 9, 15), "09:15");
    EXPECT_EQ(timeAt(7 | 128, 9, 15), "09:15");
    EXPECT_EQ(timeAt(4, 1, 30), "22:30");
    EXPECT_EQ(timeAt(4 | 128, 1, 30), "22:30");
    settings.timeZone = 4;
    EXPECT_EQ(timeAt(7, 23, 10), "02:10");
}

TEST_F(TimeFixture, InsideThePeriodTheUsersClockIsAnHourAhead) {
    ctx.daylightInEffect = true;
    settings.timeZone = 7;
    settings.daylightSavings = true;
    EXPECT_EQ(timeAt(7 | 128, 12, 0), "12:00"); // New York
    EXPECT_EQ(timeAt(6 | 128, 12, 0), "11:00"); // Chicago
    EXPECT_EQ(timeAt(5, 12, 0), "09:00");       // Phoenix
    EXPECT_EQ(timeAt(4 | 128, 12, 0), "09:00"); // Los Angeles
    EXPECT_EQ(timeAt(2, 12, 0), "06:00");       // Honolulu

    // A user who keeps no summer time (Phoenix) sees summer-time places an hour later.
    settings.timeZone = 5;
    settings.daylightSavings = false;
    EXPECT_EQ(timeAt(4 | 128, 9, 0), "09:00");
    EXPECT_EQ(timeAt(7 | 128, 9, 0), "12:00");
    EXPECT_EQ(timeAt(5, 9, 0), "09:00");
}

TEST_F(TimeFixture, HourStaysInTheDayAtTheEndsOfTheScale) {
    ctx.daylightInEffect = true;
    settings.daylightSavings = false;
    settings.timeZone = 0;
    EXPECT_EQ(timeAt(24 | 128, 23, 30), "00:30");
    settings.timeZone = 24;
    settings.daylightSavings = true;
    EXPECT_EQ(timeAt(1, 0, 30), "00:30");
    ctx.daylightInEffect = false;
    EXPECT_EQ(timeAt(1, 0, 30), "01:30");
}

TEST_F(TimeFixture, CodesAndUserZonesOffTheScaleShowNothing) {
    settings.showTimeZone = true;
    settings.timeZone = 7;
    clock.time = at(2026, 7, 1, 12, 0);
    for (int code : {0, 128, 25, 127, 255})
        EXPECT_EQ(DoTime(std::uint8_t(code), settings, ctx), "") << code;
    for (int zone : {-1, 25, 1000}) {
        settings.timeZone = zone;
        EXPECT_EQ(DoTime(7, settings, ctx), "") << zone;
    }
    settings.timeZone = 0;
    EXPECT_EQ(DoTime(24, settings, ctx), " (GMT +12:00) 12:00:00.000");
}

TEST_F(TimeFixture, ResultIsCutTo255) {
    settings.showTimeZone = true;
    settings.timeZone = 7;
    ctx.formatter = [](const TimeOfDay&) { return std::string(300, 't'); };
    std::string out = DoTime(7, settings, ctx);
    EXPECT_EQ(out, " (EST) " + std::string(248, 't'));
}

TEST(LocalTime, CLibraryFormatInTheCLocale) {
    EXPECT_EQ(FormatTimeC({9, 5, 3, 999}), "09:05:03");
    EXPECT_EQ(FormatTimeC({23, 59, 59, 0}), "23:59:59");
}
