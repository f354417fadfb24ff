// The first run of corvana-query, with no settings file, against the real data: the hour shown
// for a place is the hour its own clock shows, whatever zone the machine runs in.
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

using namespace corvana::test;

namespace {

const char* const SystemZones[] = {"America/New_York",
                                   "America/Chicago",
                                   "America/Denver",
                                   "America/Phoenix",
                                   "America/Los_Angeles",
                                   "Pacific/Honolulu",
                                   "UTC"};

struct Place {
    const char* zip;
    const char* zone;
};

// A place of every US zone, Arizona without summer time, and the territories.
const Place Places[] = {
    {"10001", "America/New_York"},    {"60601", "America/Chicago"},
    {"80202", "America/Denver"},      {"85004", "America/Phoenix"},
    {"90012", "America/Los_Angeles"}, {"99501", "America/Anchorage"},
    {"96813", "Pacific/Honolulu"},    {"96910", "Pacific/Guam"},
    {"00901", "America/Puerto_Rico"}, {"96799", "Pacific/Pago_Pago"},
};

std::string Output(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[512];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

struct FirstRun {
    TempDir config; // stays empty: no CORVANA.INI
    // Empty: the real clock; otherwise a fixed instant that the clock of both commands shows.
    std::optional<std::string> when;

    std::string fake() const {
        if (!when)
            return {};
        // The sanitizer runtime must otherwise come first among the preloaded libraries. The
        // instant is given in seconds, so that the process's own zone does not move it.
        const char* asan = std::getenv("ASAN_OPTIONS");
        const char* lib = std::getenv("CORVANA_LIBFAKETIME");
        return "ASAN_OPTIONS='" + std::string(asan ? asan : "") +
               ":verify_asan_link_order=0' LD_PRELOAD='" + std::string(lib ? lib : "") +
               "' FAKETIME_FMT=%s FAKETIME=\"@$(date -u -d '" + *when + "' +%s)\" ";
    }

    mutable std::string lastOutput; // what the last shownHour read, for a failure's message

    // The hour of the time that corvana-query prints for a ZIP code; -1 when there is none.
    int shownHour(const char* systemZone, const char* zip) const {
        const std::string out =
            Output("XDG_CONFIG_HOME='" + config.str() + "' LC_ALL=C TZ=" + systemZone + " " +
                   fake() + CORVANA_BIN_DIR + "/corvana-query --show time zip " + zip + " 2>&1");
        lastOutput = out;
        // "Possible Cities\n84101 Salt Lake City, UT 13:05:09\n"
        const std::size_t end = out.find_last_of(':');
        if (out.size() < 9 || end == std::string::npos || end < 6 || out[end - 3] != ':')
            return -1;
        return std::atoi(out.substr(end - 5, 2).c_str());
    }

    int realHour(const char* zone) const {
        const std::string at = when ? " -d '" + *when + "'" : "";
        const std::string out = Output(std::string("TZ=") + zone + " date" + at + " +%H");
        return out.empty() ? -2 : std::atoi(out.c_str());
    }

    // Every place under every system zone; the number that showed the wrong hour.
    int wrongHours() const {
        int wrong = 0;
        for (const char* system : SystemZones) {
            for (const Place& p : Places) {
                int real = realHour(p.zone);
                int shown = shownHour(system, p.zip);
                // The real clock may have passed the hour in between: once more.
                if (!when && realHour(p.zone) != real) {
                    real = realHour(p.zone);
                    shown = shownHour(system, p.zip);
                }
                if (shown != real) {
                    ++wrong;
                    ADD_FAILURE() << (when ? *when : "now") << ", system zone " << system << ": "
                                  << p.zip << " (" << p.zone << ") shows hour " << shown
                                  << ", its clock says " << real << "; it printed \"" << lastOutput
                                  << '"';
                }
            }
        }
        return wrong;
    }
};

// Whether the UTC date lies within a day of a US changeover: the one daylight-saving flag of a
// run cannot follow the hours in which the zones change one after another.
bool NearChangeover() {
    using namespace std::chrono;
    const auto today = floor<days>(system_clock::now());
    const year y = year_month_day{today}.year();
    for (sys_days change : {sys_days{y / March / Sunday[2]}, sys_days{y / November / Sunday[1]}})
        if (abs((today - change).count()) <= 1)
            return true;
    return false;
}

} // namespace

TEST(CliLocalTime, FixedInstantsInWinterSummerAndSpring) {
    const char* lib = std::getenv("CORVANA_LIBFAKETIME");
    ASSERT_TRUE(lib && *lib && !std::string(lib).ends_with("-NOTFOUND"))
        << "libfaketime is needed (scripts/setup.sh installs faketime)";
    for (const char* when : {"2026-01-15 17:30:00 UTC", "2026-07-15 16:30:00 UTC",
                             "2026-04-01 03:30:00 UTC", "2026-12-31 23:30:00 UTC"}) {
        FirstRun run;
        run.when = when;
        EXPECT_EQ(run.wrongHours(), 0) << when;
    }
}

TEST(CliLocalTime, Now) {
    if (NearChangeover())
        GTEST_SKIP() << "within a day of a daylight-saving changeover";
    EXPECT_EQ(FirstRun().wrongHours(), 0);
}
