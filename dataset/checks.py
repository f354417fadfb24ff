"""The checks stage: every text of the table fits Windows-1252 and the
length of a name, every point lies in its state and every county code
under its state's code, and the quality bars of the whole table; and how
the coordinates compare with those of a second source.

Standard library only.
"""

import unicodedata
from collections import Counter

from area_vote import distance
from errors import fail
from overlays import reached_codes, unreached
from schema import COLUMNS, MIN_HELD_OUT_PCT, place_problems, quality_bars

SAFE_REPLACEMENTS = {"\u02bb": "'", "\u02bc": "'", "\u2018": "'", "\u2019": "'",
                     "\u201c": '"', "\u201d": '"', "\u2013": "-", "\u2014": "-"}


def to_windows1252(text, what, stats):
    """Return text unchanged if Windows-1252 can hold it, else a
    transliteration; fail if neither works."""
    try:
        text.encode("cp1252")
        ok = True
    except UnicodeEncodeError:
        ok = False
    if not ok:
        t = "".join(SAFE_REPLACEMENTS.get(c, c) for c in text)
        try:
            t.encode("cp1252")
        except UnicodeEncodeError:
            t = unicodedata.normalize("NFKD", t)
            t = "".join(c for c in t if not unicodedata.combining(c))
        try:
            t.encode("cp1252")
        except UnicodeEncodeError:
            fail("%s %r cannot be written in Windows-1252" % (what, text))
        stats["transliterated"] += 1
        text = t
    if any(ord(c) < 32 for c in text) or ";" in text:
        fail("%s %r holds a control character or ';'" % (what, text))
    if len(text.encode("utf-8")) > 254:
        fail("%s %r is longer than 254 bytes" % (what, text))
    return text


def table_lines(rows):
    """The lines of the table up to other_area_codes, in ZIP order, with
    their texts checked; returns (lines, a Counter of the texts changed)."""
    stats = Counter()
    out = []
    for z in sorted(rows):
        r = rows[z]
        city = to_windows1252(r["city"], "city", stats)
        county = to_windows1252(r["county"], "county", stats)
        others_c = sorted({to_windows1252(c, "county", stats)
                           for c in r["others_county"]})
        line = [z, city, r["state"], county, r["area_code"], r["utc_offset"],
                r["dst"], ";".join(others_c), ";".join(r["others_ac"])]
        out.append(line)
    return out, stats


def add_places(lines, rows):
    """Appends latitude, longitude and county_fips to every line."""
    for line in lines:
        r = rows[line[0]]
        line.extend([r["point"][0], r["point"][1], r["county_fips"] if r["county"] else ""])


def check_places(lines):
    """Stops the import when a point lies outside its state's box (swapped or
    unsigned coordinates) or a county code outside its state's code."""
    problems = ["ZIP %s: %s" % (line[0], msg) for line in lines
                for msg in place_problems(dict(zip(COLUMNS, line)))]
    if problems:
        fail("%d problem(s) with the coordinates or county codes:\n  %s"
             % (len(problems), "\n  ".join(problems[:25])))


def compare_points(rows, sources, worst=8):
    """The table's GeoNames points against the zipcodes package's, for the
    ZIP codes both give: (compared, within 1 km, within 10 km, the farthest
    apart as (km, zip, the table's point, the package's point))."""
    apart = []
    for z, r in sorted(rows.items()):
        other = sources.z8.get(z)
        if z not in sources.geo or not r["point"][0] or not other \
                or other.get("latitude") in (None, "") or other.get("longitude") in (None, ""):
            continue
        theirs = (float(other["latitude"]), float(other["longitude"]))
        apart.append((distance(r["pos"], theirs), z, r["point"],
                      (str(other["latitude"]), str(other["longitude"]))))
    apart.sort(key=lambda a: (-a[0], a[1]))
    return (len(apart), sum(1 for a in apart if a[0] <= 1.0),
            sum(1 for a in apart if a[0] <= 10.0), apart[:worst])


def check_list_lengths(lines):
    for line in lines:
        for f in line[7:11]:
            if len(f.encode("utf-8")) > 254:
                fail("ZIP %s: list %r is longer than 254 bytes" % (line[0], f))


def unreached_codes(lines, log):
    """Geographic area codes of the phone data that no line names."""
    return unreached(log["geographic_codes"], reached_codes(lines))


def held_out_pct(log):
    total, hit_near, hit_vote = log["agreement"]
    return 100.0 * max(hit_near, hit_vote) / total if total else 0.0


def import_bars(lines, log):
    """The quality bars of the table and of the area-code rules: list of
    (description, passed)."""
    held_out = held_out_pct(log)
    return quality_bars([dict(zip(COLUMNS, line)) for line in lines]) + [
        ("every geographic area code of the phone data reaches a ZIP code",
         not unreached_codes(lines, log)),
        ("held-out area-code agreement >= %.1f%% (%.1f%%)"
         % (MIN_HELD_OUT_PCT, held_out), held_out >= MIN_HELD_OUT_PCT)]
