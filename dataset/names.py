"""Further names of places and counties, as people write them.

The sources spell a place one way ("Saint Louis", "Fort Worth") and a county
another ("St. Louis"); people type either.  This module derives the usual
other spellings of the words Saint, Sainte, Fort and Mount and their short
forms, and gives every ZIP code the further names of its city and of its
counties.  import.py writes them into the table; check_zipcodes.py checks
them with the same rules.  Standard library only.
"""

from collections import Counter
import itertools

# Long form -> short form.  The short form is written with and without the
# dot; a stored short form may have either.
TITLES = {"Saint": "St", "Sainte": "Ste", "Fort": "Ft", "Mount": "Mt"}
LONG_OF = {short.upper(): long for long, short in TITLES.items()}
SHORT_OF = {long.upper(): short for long, short in TITLES.items()}

MAX_NAME_BYTES = 254

# What further_names counts, in the order a report lists it.
COUNT_KEYS = ("city names (name, state)", "ZIP codes with further city names",
              "city names too long", "city names clashing with a main name",
              "county names (name, state)", "ZIP codes with further county names",
              "county names too long", "county names clashing with a main name")


def _title_form(word):
    """(long, short) of a word that is a title, else None."""
    bare = word[:-1] if word.endswith(".") else word
    up = bare.upper()
    if up in SHORT_OF and not word.endswith("."):
        return bare, SHORT_OF[up]
    if up in LONG_OF:
        return LONG_OF[up], bare
    return None


def variants(name):
    """The other spellings of name, sorted: each title word long or short,
    the short words all with a dot or all without.  A title counts only
    before a further word ("Rocky Mount" and "Old Fort" stay as they are)."""
    words = name.split(" ")
    slots = []
    for i, w in enumerate(words):
        form = _title_form(w) if i + 1 < len(words) and words[i + 1] else None
        if form:
            slots.append(i)
    if not slots:
        return []
    forms = set()
    for shorts in itertools.product((False, True), repeat=len(slots)):
        for dot in ("", ".") if any(shorts) else ("",):
            out = list(words)
            for i, short in zip(slots, shorts):
                long_form, short_form = _title_form(words[i])
                out[i] = short_form + dot if short else long_form
            forms.add(" ".join(out))
    forms.discard(name)
    return sorted(forms)


def _fits(name):
    # One byte a character in Windows-1252; a character it lacks is reported by the caller.
    return len(name.encode("cp1252", errors="replace")) <= MAX_NAME_BYTES


def further_names(rows):
    """Further names of every row's city and counties.

    rows: zip -> dict with "city", "state", "county" and "counties" (the
    further counties, a list).  Returns (cities, counties, counts): zip ->
    sorted list of further city names; zip -> sorted list of further county
    names; a Counter of what was added and left out.

    A name is left out when it is longer than a name may be or when it is,
    in upper case, the main name of another place (or county) of the same
    state: the search would not tell the two apart.
    """
    counts = Counter()
    main_cities = {(r["city"].upper(), r["state"]) for r in rows.values()}
    main_counties = set()
    for r in rows.values():
        for c in [r["county"]] + list(r["counties"]):
            if c:
                main_counties.add((c.upper(), r["state"]))

    def usable(name, state, mains, kind):
        if not _fits(name):
            counts[kind + " names too long"] += 1
            return False
        if (name.upper(), state) in mains:
            counts[kind + " names clashing with a main name"] += 1
            return False
        return True

    city_variants = {}
    county_variants = {}
    cities = {}
    counties = {}
    for z in sorted(rows):
        r = rows[z]
        st = r["state"]
        key = (r["city"], st)
        if key not in city_variants:
            city_variants[key] = [v for v in variants(r["city"])
                                  if usable(v, st, main_cities, "city")]
        names = set(city_variants[key])
        cities[z] = sorted(names)
        further = set()
        for c in [r["county"]] + list(r["counties"]):
            if not c:
                continue
            ckey = (c, st)
            if ckey not in county_variants:
                county_variants[ckey] = [v for v in variants(c)
                                         if usable(v, st, main_counties, "county")]
            further.update(county_variants[ckey])
        counties[z] = sorted(further)
    counts["city names (name, state)"] = len(
        {(v, st) for (_, st), vs in city_variants.items() for v in vs})
    counts["county names (name, state)"] = len(
        {(v, st) for (_, st), vs in county_variants.items() for v in vs})
    counts["ZIP codes with further city names"] = sum(1 for v in cities.values() if v)
    counts["ZIP codes with further county names"] = sum(1 for v in counties.values() if v)
    return cities, counties, counts


def add_further_names(lines):
    """Appends other_cities and other_county_names to every line of the
    table (lists of its columns up to other_area_codes); returns the counts
    of names added and left out."""
    table = {l[0]: {"city": l[1], "state": l[2], "county": l[3],
                    "counties": [c for c in l[7].split(";") if c]} for l in lines}
    cities, counties, counts = further_names(table)
    for l in lines:
        l.extend([";".join(cities[l[0]]), ";".join(counties[l[0]])])
    return counts


def check(rows, problem):
    """Checks the further names of the table against the rules above.

    rows: zip -> dict with the table's columns as text; problem(msg) is
    called for every fault found.
    """
    table = {}
    for z, r in rows.items():
        table[z] = {"city": r["city"], "state": r["state"], "county": r["county"],
                    "counties": [c for c in r["other_counties"].split(";") if c]}
    cities, counties, _ = further_names(table)
    for z in sorted(rows):
        for col, want in (("other_cities", cities[z]),
                          ("other_county_names", counties[z])):
            if rows[z][col] != ";".join(want):
                problem("zip %s: %s is %r, the rules give %r"
                        % (z, col, rows[z][col], ";".join(want)))
