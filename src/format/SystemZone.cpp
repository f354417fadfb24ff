#include "format/SystemZone.h"

#include "format/LocalTime.h"

#include <algorithm>
#include <chrono>

namespace corvana {

UserZone ClockUserZone(const Clock& clock) {
    using namespace std::chrono;
    const year y{clock.now().year};
    // Noon UTC of the 15th: no changeover of any zone falls near it, and the two dates lie on
    // either side of both hemispheres' summers.
    auto noon = [](sys_days d) { return (d + hours(12)).time_since_epoch() / 1s; };
    const std::optional<long> january = clock.utcOffset(noon(sys_days{y / January / 15}));
    const std::optional<long> july = clock.utcOffset(noon(sys_days{y / July / 15}));
    if (!january || !july)
        return {};

    // Summer time is the later of the two offsets wherever it is kept.
    const long standard = std::min(*january, *july);
    if (standard % 3600 != 0 || standard < -12 * 3600 || standard > 12 * 3600)
        return {};
    return {std::int32_t(standard / 3600 + 12), *january != *july};
}

} // namespace corvana
