"""The area-codes stage: libphonenumber's North American prefix data
matched to the ZIP codes' places, the territories' codes, the only code
of a state, a vote of nearby matched ZIP codes for the rest, and the
overlays of overlays.csv.

Needs Debian's python3-phonenumbers when run.
"""

import re
from collections import Counter, defaultdict

from area_vote import CountyVote, NearestIndex, measure
from errors import fail
from join import norm_city
from overlays import apply_overlays, geographic_codes
from schema import MILITARY, TERRITORIES

# Whole-area-code labels that are not "City, ST" or a state name.
AREA_LABEL_ALIASES = {"Washington D.C.": "Washington, DC",
                      "Washington State": "Washington",
                      "Philadelphia": "Philadelphia, PA"}
# Labels the phone data gets wrong: 934 is the Suffolk County (Long Island)
# overlay of 631, not a New York City code.
AREA_LABEL_FIXES = {"934": "New York"}


def phone_labels():
    """Area code or prefix (without the 1) -> place label, corrected."""
    import phonenumbers.geodata as geodata

    labels = {}
    for k, v in geodata.GEOCODE_DATA.items():
        if k.startswith("1") and "en" in v and 4 <= len(k) <= 7:
            labels[k[1:]] = AREA_LABEL_ALIASES.get(v["en"], v["en"])
    for k, v in AREA_LABEL_FIXES.items():
        if k in labels:
            labels[k] = v
    return labels


def label_state(place, state_abbr):
    if ", " in place:
        st = place.rsplit(", ", 1)[1]
        return st if st in state_abbr.values() else None
    return state_abbr.get(place)


def home_states(labels, state_abbr):
    """area code -> its state (US only)."""
    home = {}
    for k, place in labels.items():
        if len(k) == 3:
            st = label_state(place, state_abbr)
            if st:
                home[k] = st
    # Codes without a whole-code label: the state most of their entries name.
    votes = defaultdict(Counter)
    for k, place in labels.items():
        if len(k) > 3 and k[:3] not in home:
            st = label_state(place, state_abbr)
            if st:
                votes[k[:3]][st] += 1
    for code, c in votes.items():
        home[code] = sorted(c.items(), key=lambda kv: (-kv[1], kv[0]))[0][0]
    return home


def city_code_weights(labels, home, us_states):
    """(norm city, ST) -> {area code: weight of the code in that city}.

    The weight is the number of the code's exchanges (NXX) labelled with the
    city.  A label on a whole area code ("212" -> New York) says the code
    serves the city but not how much of it, and counting all its 800
    exchanges would let a new overlay outvote the original code (445 over
    215 in Philadelphia).  So such a code weighs as much as the city's
    best-covered code, and ties go to the lower (in practice older) code."""
    explicit = defaultdict(Counter)
    whole = defaultdict(set)
    for code in sorted(home):
        for nxx in range(200, 1000):
            key = code + str(nxx)
            place = None
            for n in (6, 5, 4, 3):
                place = labels.get(key[:n])
                if place is not None:
                    break
            if place is None or ", " not in place:
                continue
            city, st = place.rsplit(", ", 1)
            if st not in us_states:
                continue
            if n == 3:
                whole[(norm_city(city), st)].add(code)
            else:
                explicit[(norm_city(city), st)][code] += 1
    city_codes = {}
    for key in sorted(set(explicit) | set(whole)):
        counts = Counter(explicit.get(key, {}))
        top = max(counts.values(), default=1)
        for code in whole.get(key, ()):
            counts[code] = max(counts[code], top)
        city_codes[key] = counts
    return city_codes


def territory_area_codes():
    """Territory -> its area codes, from the region metadata."""
    import phonenumbers

    territory_codes = {}
    for region in TERRITORIES:
        md = phonenumbers.PhoneMetadata.metadata_for_region(region)
        if md is not None and md.leading_digits:
            codes = md.leading_digits.split("|")
            if not all(re.fullmatch(r"\d{3}", c) for c in codes):
                fail("phone metadata for %s: odd leading digits %r"
                     % (region, md.leading_digits))
            territory_codes[region] = codes
    return territory_codes


class PhoneData:
    """libphonenumber's North American prefix-to-place data."""

    def __init__(self, state_abbr):
        import phonenumbers

        labels = phone_labels()
        self.home = home_states(labels, state_abbr)
        self.city_codes = city_code_weights(labels, self.home, set(state_abbr.values()))
        self.territory_codes = territory_area_codes()
        self.version = phonenumbers.__version__
        self.state_codes = defaultdict(set)
        for code, st in self.home.items():
            self.state_codes[st].add(code)

    def city_match(self, r):
        """The area codes of the row's city in its state, most used first."""
        counts = self.city_codes.get((norm_city(r["city"]), r["state"]))
        if not counts:
            return None
        ranked = sorted(((c, n) for c, n in counts.items()
                         if self.home.get(c) == r["state"]),
                        key=lambda cn: (-cn[1], cn[0]))
        return [c for c, _ in ranked] or None


def named_area_codes(rows, phone, src):
    """The rules that need no neighbours: city match, territory, the only
    code of a state."""
    for z, r in sorted(rows.items()):
        st = r["state"]
        if st in MILITARY:
            continue
        codes = phone.city_match(r)
        if codes:
            r["area_code"], r["others_ac"] = codes[0], sorted(codes[1:])
            r["ac_how"] = "city"
            src["area_code"]["phone data, city match"] += 1
            if r["others_ac"]:
                src["other_area_codes"]["phone data, city match"] += 1
        elif st in phone.territory_codes:
            codes = phone.territory_codes[st]
            r["area_code"], r["others_ac"] = codes[0], sorted(codes[1:])
            src["area_code"]["phone data, territory code"] += 1
            if r["others_ac"]:
                src["other_area_codes"]["phone data, territory code"] += 1
        elif len(phone.state_codes.get(st, ())) == 1:
            r["area_code"] = next(iter(phone.state_codes[st]))
            src["area_code"]["only area code of the state"] += 1


def county_key(r):
    return (r["state"], r["county_fips"] or r["county"]) if r["county"] else None


def measure_agreement(rows, matched, votes):
    """How often each rule for unnamed places gives the right code: hold
    out each city-matched ZIP in turn and predict it from the matched ZIPs
    of *other* cities, which is what the rules face in use (they only run
    for places the phone data does not name).  Returns (tested, nearest
    ZIP hits, county vote hits)."""
    def other_city(city):
        return lambda o: norm_city(rows[o]["city"]) == city

    def nearest(state, pos, skip):
        hit = matched[state].query(pos, skip=skip)
        return None if hit is None else hit[1]

    def vote(state, pos, county, skip):
        return votes[state].predict(pos, county, skip)

    sample = [(r["state"], r["pos"], r["area_code"], county_key(r),
               other_city(norm_city(r["city"])))
              for z, r in sorted(rows.items()) if r.get("ac_how") == "city"]
    return measure(sample, nearest, vote)


def nearby_area_codes(rows, src, log):
    """Places the phone data does not name: the county-weighted vote of the
    nearby city-matched ZIP codes or the nearest of them, whichever the
    held-out measurement finds better."""
    matched = defaultdict(list)
    votes = defaultdict(list)
    for z, r in sorted(rows.items()):
        if r.get("ac_how") == "city":
            matched[r["state"]].append((z, r["pos"], r["area_code"]))
            votes[r["state"]].append((z, r["pos"], (r["area_code"], county_key(r))))
    matched = {st: NearestIndex(items) for st, items in matched.items()}
    votes = {st: CountyVote(items) for st, items in votes.items()}
    log["agreement"] = measure_agreement(rows, matched, votes)
    use_vote = log["agreement"][2] >= log["agreement"][1]
    log["rule"] = "county vote" if use_vote else "nearest ZIP"
    empty = NearestIndex([])
    for z, r in sorted(rows.items()):
        if r["area_code"] or r["state"] in MILITARY:
            continue
        code = None
        if use_vote and r["state"] in votes:
            code = votes[r["state"]].predict(r["pos"], county_key(r))
        if code:
            r["area_code"] = code
            src["area_code"]["county-weighted vote of nearby matched ZIPs"] += 1
            continue
        hit = matched.get(r["state"], empty).query(r["pos"])
        if hit:
            r["area_code"] = hit[1]
            src["area_code"]["nearest city-matched ZIP"] += 1


def assign_area_codes(rows, state_abbr, overlay_table, src, log):
    phone = PhoneData(state_abbr)
    log["phonenumbers"] = phone.version
    named_area_codes(rows, phone, src)
    nearby_area_codes(rows, src, log)
    # Overlays serve the whole area of the codes beneath them.
    log["overlay_gains"] = apply_overlays(rows, overlay_table)
    log["geographic_codes"] = geographic_codes()
    for z in sorted({z for zs in log["overlay_gains"].values() for z in zs}):
        src["other_area_codes"]["overlay table"] += 1
