"""The importer's report: coverage of every column, where each value came
from, what the rules changed, and the quality bars.

Standard library only.
"""

import hashlib
from collections import Counter

import kinds
import names
import outlines
import people
import positions
from checks import unreached_codes
from fetch import DATA_DATE, PACKAGES
from schema import COLUMNS, MILITARY


def coverage(p, lines, src, log, size):
    n = len(lines)
    p("Corvana ZIP data, data date %s" % DATA_DATE)
    p("Sources: " + ", ".join("%s %s" % PACKAGES[k] for k in sorted(PACKAGES))
      + ", python3-phonenumbers %s (libphonenumber data)" % log["phonenumbers"])
    p("Rows: %d   (%d bytes written)" % (n, size))
    for line in outlines.report_lines(log["outlines"]):
        p(line)
    p("")
    p("%-18s %8s %8s" % ("column", "filled", "percent"))
    for i, col in enumerate(COLUMNS):
        k = sum(1 for l in lines if l[i])
        note = ""
        if col == "dst":
            note = "  (Y on %d rows; N also where utc_offset is empty)" % sum(
                1 for l in lines if l[i] == "Y")
        p("%-18s %8d %7.2f%%%s" % (col, k, 100.0 * k / n, note))
    p("")
    p("Sources per column (rows filled):")
    for col in COLUMNS:
        key = "utc_offset" if col == "dst" else col
        if col in ("zip", "dst", "longitude"):
            continue
        for s, k in sorted(src.get(key, {}).items(), key=lambda kv: (-kv[1], kv[0])):
            p("  %-17s %-46s %6d" % (col, s, k))


def gaps(p, lines):
    by_state = Counter(l[2] for l in lines)
    p("")
    p("Rows per state/territory: " + " ".join(
        "%s:%d" % kv for kv in sorted(by_state.items())))
    mil = sum(by_state[s] for s in MILITARY)
    no_county = Counter(l[2] for l in lines if not l[3] and l[2] not in MILITARY)
    no_ac = Counter(l[2] for l in lines if not l[4] and l[2] not in MILITARY)
    p("Military ZIPs (no county, area code or time zone): %d" % mil)
    p("Non-military ZIPs without county: %d %s" % (
        sum(no_county.values()), dict(sorted(no_county.items()))))
    p("Non-military ZIPs without area code: %d %s" % (
        sum(no_ac.values()), dict(sorted(no_ac.items()))))


def rules(p, lines, log, stats):
    total, hit_near, hit_vote = log["agreement"]
    if total:
        p("Area codes of unnamed places, agreement on %d held-out city-matched"
          " ZIPs" % total)
        p("  (predicted from the matched ZIPs of other cities):")
        p("  nearest ZIP: %.1f%%; county vote: %.1f%%; used: %s"
          % (100.0 * hit_near / total, 100.0 * hit_vote / total, log["rule"]))
    p("Texts transliterated to fit Windows-1252: %d" % stats["transliterated"])
    p("Further names (spellings of Saint, Sainte, Fort, Mount):")
    for key in names.COUNT_KEYS:
        p("  %-46s %6d" % (key, stats[key]))

    gains = log["overlay_gains"]
    p("")
    p("Overlay codes added as further area codes (code: ZIPs): " + " ".join(
        "%s:%d" % (c, len(gains[c])) for c in sorted(gains)))
    geo = log["geographic_codes"]
    missing = unreached_codes(lines, log)
    p("Geographic area codes of the phone data reached: %d of %d%s"
      % (len(geo) - len(missing), len(geo),
         " (not reached: %s)" % " ".join(missing) if missing else ""))


def changes(p, log):
    county = log["county_changes"]
    p("")
    p("Main county changed to agree with the crosswalk: %d ZIP codes "
      "(%d crosswalk county, %d Connecticut historic county)" % (
          len(county), sum(1 for c in county if c[3] == "crosswalk county"),
          sum(1 for c in county if c[3] == "historic county")))
    for z, old, new, why in county:
        if why == "crosswalk county":
            p("  %s: %s -> %s" % (z, old, new))
    zones = log["zone_changes"]
    p("Time zone set by the federal boundaries: %d ZIP codes" % len(zones))
    for z, old, new, why in zones:
        p("  %s: %s -> %s (%s)" % (z, old, new, why))


def zone_outliers(p, lines, log):
    by_zip = {l[0]: l for l in lines}
    p("Time-zone outliers (a zone unlike that of every other ZIP code of the same "
      "city and county): %d" % len(log["zone_outliers"]))
    for z, value, others, zone, reason in log["zone_outliers"]:
        l = by_zip[z]
        p("  %s %s, %s (%s): %s %s; the other ZIP codes %s" % (
            z, l[1], l[2], l[3], value[0], value[1],
            ", ".join("%s %s (%d)" % (v[0], v[1], k) for v, k in sorted(others.items()))))
        p("    %s: %s" % ("mended to %s (%s %s)" % (zone, l[5], l[6]) if zone else "kept",
                          reason))
    stale = log["stale_outliers"]
    p("Decided outliers the sources no longer show: %s" % (" ".join(stale) or "none"))


def kinds_and_zones(p, lines, log):
    kind_count, zone_count, undecided = kinds.counts(lines)
    p("")
    p("Kinds (an area in the 2020 ZIP Code Tabulation Areas of %s %s: standard):"
      % PACKAGES["zctas"])
    for kind in kinds.KINDS:
        p("  %-18s %6d" % (kind, kind_count[kind]))
    missing = log["areas_not_in_table"]
    p("Areas whose ZIP code the table lacks (their kind could not be decided): %d%s"
      % (len(missing), (" (%s)" % " ".join(missing)) if missing else ""))
    mil = log["military_with_area"]
    p("Military ZIP codes with an area (kept military): %d%s"
      % (len(mil), (" (%s)" % " ".join(mil)) if mil else ""))
    p("Time-zone names (military ZIP codes have none):")
    for name, k in sorted(zone_count.items(), key=lambda kv: (-kv[1], kv[0])):
        p("  %-32s %6d" % (name, k))
    p("Non-military ZIP codes without a zone name: %d%s"
      % (len(undecided), (" (%s)" % " ".join(undecided)) if undecided else ""))


def places(p, lines, log):
    n, near1, near10, worst = log["points_compared"]
    p("")
    p("Every point lies in its state's box, every county_fips begins with its "
      "state's code.")
    for line in positions.report_lines(log["positions"]):
        p(line)
    if not n:
        return
    p("Coordinates compared with %s %s on the %d ZIP codes both give"
      % (PACKAGES["zipcodes"] + (n,)))
    p("  (the package took GeoNames' points where GeoNames had the ZIP code, so most "
      "agree by construction):")
    p("  within 1 km: %d (%.2f%%); within 10 km: %d (%.2f%%); farther: %d"
      % (near1, 100.0 * near1 / n, near10, 100.0 * near10 / n, n - near10))
    by_zip = {l[0]: l for l in lines}
    p("  farther than 1 km, farthest first:")
    for km, z, ours, theirs in (w for w in worst if w[0] > 1.0):
        p("    %s %s, %s: %.1f km (table %s, %s; zipcodes %s, %s)"
          % (z, by_zip[z][1], by_zip[z][2], km, ours[0], ours[1], theirs[0], theirs[1]))


def report(lines, src, log, stats, size, bars):
    """The report's text, and whether every bar passed."""
    out = []
    p = out.append
    coverage(p, lines, src, log, size)
    gaps(p, lines)
    rules(p, lines, log, stats)
    changes(p, log)
    zone_outliers(p, lines, log)
    kinds_and_zones(p, lines, log)
    places(p, lines, log)
    for line in people.report_lines([dict(zip(COLUMNS, l)) for l in lines], log):
        p(line)
    p("")
    p("Quality bars:")
    for desc, passed in bars:
        p("  [%s] %s" % ("PASS" if passed else "FAIL", desc))
    return "\n".join(out), all(passed for _, passed in bars)


def report_file(text, data):
    """The report as kept beside the table, tied to it by its checksum."""
    return ("%s\n\nTable checksum (SHA-256): %s\n"
            % (text, hashlib.sha256(data).hexdigest()))
