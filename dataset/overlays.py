"""Area-code overlays and the geographic area codes of the phone data.

overlays.csv is kept by hand: one row per overlay code with the codes it is
laid over.  An overlay serves the whole area of the codes beneath it, so
every ZIP code that has one of those codes, as its main code or as a further
one, gets the overlay as a further area code.

Standard library only, apart from geographic_codes(), which reads
libphonenumber's metadata (Debian's python3-phonenumbers).
"""

import os
import re

from hand_tables import TableError, table_rows

HERE = os.path.dirname(os.path.abspath(__file__))
OVERLAYS_CSV = os.path.join(HERE, "overlays.csv")
OVERLAY_HEADER = ["code", "overlays", "state", "in_service", "source"]

# Regions of the North American numbering plan that hold US ZIP codes.
US_REGIONS = ("US", "PR", "VI", "GU", "AS", "MP")

# Geographic codes of the phone data that no ZIP code can reach, with the
# reason.  Empty today; a code listed here is exempt from the coverage check.
UNREACHABLE = {}


def read_overlays(path=OVERLAYS_CSV):
    """The overlay table as a list of dicts (code, overlays: list, state,
    in_service, source), in file order.  Raises TableError on a malformed
    table."""
    with open(path, encoding="utf-8", newline="") as f:
        text = f.read()
    return parse_overlays(text, os.path.basename(path))


def parse_overlays(text, name="overlays.csv"):
    out = []
    seen = set()
    for n, (code, under, state, year, source) in table_rows(text, name, OVERLAY_HEADER):
        base = under.split(";") if under else []
        if not re.fullmatch(r"[2-9]\d\d", code):
            raise TableError("%s line %d: code %r is not an area code" % (name, n, code))
        if code in seen:
            raise TableError("%s line %d: code %s listed twice" % (name, n, code))
        if not base or any(not re.fullmatch(r"[2-9]\d\d", b) for b in base):
            raise TableError("%s line %d: overlaid codes %r malformed" % (name, n, under))
        if code in base:
            raise TableError("%s line %d: %s overlays itself" % (name, n, code))
        if not re.fullmatch(r"[A-Z]{2}", state):
            raise TableError("%s line %d: state %r malformed" % (name, n, state))
        if not re.fullmatch(r"(19|20)\d\d", year):
            raise TableError("%s line %d: year %r malformed" % (name, n, year))
        if not source:
            raise TableError("%s line %d: no source" % (name, n))
        seen.add(code)
        out.append({"code": code, "overlays": base, "state": state,
                    "in_service": int(year), "source": source})
    return out


def apply_overlays(rows, table):
    """Add each overlay code to the further area codes of every ZIP whose
    main or further code it lies over, within the overlay's state.  rows
    are dicts with "state", "area_code" and "others_ac" (a list).  Returns
    {overlay code: ZIPs that gained it}.  The codes a ZIP had before this
    call decide, so the result does not depend on the table's order."""
    by_base = {}
    for ov in table:
        for b in ov["overlays"]:
            by_base.setdefault((ov["state"], b), []).append(ov["code"])
    gained = {}
    for z in sorted(rows):
        r = rows[z]
        if not r["area_code"]:
            continue
        have = [r["area_code"]] + list(r["others_ac"])
        add = set()
        for c in have:
            add.update(by_base.get((r["state"], c), ()))
        add -= set(have)
        if add:
            r["others_ac"] = sorted(set(r["others_ac"]) | add)
            for c in add:
                gained.setdefault(c, []).append(z)
    return gained


def geographic_codes():
    """{area code: region} of every geographic (fixed-line) area code that
    libphonenumber's metadata knows for the US and its territories."""
    import phonenumbers

    out = {}
    for region in US_REGIONS:
        md = phonenumbers.PhoneMetadata.metadata_for_region(region)
        if md is None or md.fixed_line is None:
            continue
        pattern = re.compile(md.fixed_line.national_number_pattern)
        for npa in range(200, 1000):
            s = str(npa)
            if s in out:
                continue
            # Exchanges start at 2; the line number rarely matters, two
            # samples catch patterns that restrict it.
            if any(pattern.fullmatch("%s%d%s" % (s, nxx, line))
                   for nxx in range(200, 1000) for line in ("0000", "5678")):
                out[s] = region
    return out


def reached_codes(lines, area_col=4, others_col=8):
    """Area codes that at least one CSV line names, main or further."""
    have = set()
    for line in lines:
        if line[area_col]:
            have.add(line[area_col])
        if line[others_col]:
            have.update(line[others_col].split(";"))
    return have


def unreached(geo, have):
    """Geographic codes no ZIP reaches, minus the listed exceptions:
    sorted list of codes."""
    return sorted(c for c in geo if c not in have and c not in UNREACHABLE)
