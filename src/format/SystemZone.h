#pragma once

#include "settings/Settings.h"

namespace corvana {

class Clock;

// The user's zone as the clock's own zone gives it: the standard offset from UTC in whole hours
// plus 12, and daylight saving on when the offsets of mid-January and mid-July differ. An
// unknown zone, or one whose offset is not a whole number of hours within -12..+12, gives the
// defaults of UserZone.
UserZone ClockUserZone(const Clock& clock);

} // namespace corvana
