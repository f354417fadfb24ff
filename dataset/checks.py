"""The checks stage: every text of the table fits Windows-1252 and the
length of a name, and the quality bars of the whole table.

Standard library only.
"""

import unicodedata
from collections import Counter

from errors import fail
from overlays import reached_codes, unreached
from schema import COLUMNS, MIN_HELD_OUT_PCT, quality_bars

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


def check_list_lengths(lines):
    for line in lines:
        for f in line[7:]:
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
