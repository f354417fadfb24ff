#pragma once

#include "format/LocalTime.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <vector>

namespace corvana::test {

// The clock of tests, fuzz harnesses and benches: it shows the time it was set to until it is
// set again, and knows the zone it is given as the zone's offsets from UTC in the first and the
// second half of the year, in seconds. By default it knows no zone.
class TestClock : public Clock {
public:
    TestClock() = default;
    explicit TestClock(LocalDateTime t) : time(t) {}

    LocalDateTime time{2024, 1, 15, 12, 0, 0, 0};
    std::optional<long> winterOffset;        // January to June
    std::optional<long> summerOffset;        // July to December
    mutable std::vector<std::int64_t> asked; // the instants utcOffset was asked about, in order

    LocalDateTime now() const override { return time; }

    std::optional<long> utcOffset(std::int64_t utcSeconds) const override {
        asked.push_back(utcSeconds);
        const std::time_t t = std::time_t(utcSeconds);
        std::tm tm{};
        gmtime_r(&t, &tm);
        return tm.tm_mon < 6 ? winterOffset : summerOffset;
    }
};

} // namespace corvana::test
