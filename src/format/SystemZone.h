#pragma once

#include "format/ZoneInfo.h"
#include "settings/Settings.h"

#include <string_view>

namespace corvana {

class Clock;

// The user's zone as the clock's own zone gives it: the standard offset from UTC in whole hours
// plus 12, and daylight saving on when the offsets of mid-January and mid-July differ. An
// unknown zone, or one whose offset is not a whole number of hours within -12..+12, gives the
// defaults of UserZone.
UserZone ClockUserZone(const Clock& clock);

// The rules of a zone of the system's time-zone database (the folder of $TZDIR, else
// /usr/share/zoneinfo), read the first time a name is asked for and kept for the run. Nothing
// for a name that is no zone there or whose file cannot be read. Safe from several threads.
const ZoneInfo* SystemZoneInfo(std::string_view name);

} // namespace corvana
