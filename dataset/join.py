"""The join stage: the list of ZIP codes with city, state and position
(every GeoNames row, plus the territory ZIP codes of the zipcodes package),
and the city-name key that matches places across the sources.

Standard library only.
"""

import functools
import unicodedata

from errors import fail
from fetch import label
from schema import MAX_DECIMALS, TERRITORIES, military_state

CITY_WORDS = {
    "HTS": "HEIGHTS", "HGTS": "HEIGHTS", "MT": "MOUNT", "MTN": "MOUNTAIN",
    "ST": "SAINT", "STE": "SAINTE", "FT": "FORT", "SPGS": "SPRINGS",
    "SPRGS": "SPRINGS", "SPG": "SPRING", "JCT": "JUNCTION", "CTR": "CENTER",
    "VLG": "VILLAGE", "VLY": "VALLEY", "BCH": "BEACH", "PT": "POINT",
    "PK": "PARK", "LK": "LAKE", "LKS": "LAKES", "HBR": "HARBOR",
    "IS": "ISLAND", "ISL": "ISLAND", "CY": "CITY", "CTY": "CITY",
    "N": "NORTH", "S": "SOUTH", "E": "EAST", "W": "WEST", "NO": "NORTH",
    "SO": "SOUTH", "GRV": "GROVE", "CRK": "CREEK", "TWP": "TOWNSHIP",
    "FLS": "FALLS", "PLNS": "PLAINS", "SPRS": "SPRINGS", "BLF": "BLUFF",
    "BLFS": "BLUFFS", "GDNS": "GARDENS", "HLS": "HILLS", "CV": "COVE",
    "STA": "STATION", "XRDS": "CROSSROADS", "CRSNG": "CROSSING",
    "MTNS": "MOUNTAINS", "PRT": "PORT", "RPDS": "RAPIDS", "SHRS": "SHORES",
    "TER": "TERRACE", "VW": "VIEW", "VIS": "VISTA", "WLS": "WELLS",
}


@functools.lru_cache(maxsize=None)
def norm_city(name):
    s = unicodedata.normalize("NFKD", name)
    s = "".join(c for c in s if not unicodedata.combining(c))
    s = s.upper().replace(".", " ").replace("'", "").replace("-", " ")
    # Spaces go too: "Mc Lean" / "McLean", "Du Bois" / "DuBois".
    return "".join(CITY_WORDS.get(w, w) for w in s.split())


def degree_text(value):
    """A latitude or longitude as the table writes it: as the source gives
    it, rounded to MAX_DECIMALS decimals where it has more."""
    text = str(value).strip()
    if "." in text and len(text.split(".")[1]) > MAX_DECIMALS:
        text = ("%.*f" % (MAX_DECIMALS, float(text))).rstrip("0").rstrip(".")
    return text


def new_row(z, city, state, point):
    """A row of the join; the later stages fill the rest.  point: latitude
    and longitude as the source writes them; pos: their values."""
    point = tuple(degree_text(v) for v in point)
    return {"zip": z, "city": city, "state": state, "point": point,
            "pos": tuple(float(v) for v in point),
            "county": "", "county_fips": "", "area_code": "", "others_ac": [],
            "others_county": [], "utc_offset": "", "dst": "N", "zone": ""}


def zip_list(sources, src):
    """zip -> row of every ZIP code.  src counts the source of each column."""
    rows = {}
    z8 = sources.z8
    for z, rec in sorted(sources.geo.items()):
        r = new_row(z, rec["city"], rec["state"], rec["point"])
        if not r["state"]:
            st = military_state(z)
            if st is None:
                fail("GeoNames: ZIP %s has no state and is not military" % z)
            r["state"] = st
            # Military post offices have no place of their own: GeoNames
            # gives the city that forwards their mail.
            r["point"] = ("", "")
            # "APO AE", "FPO AA", "APO STA": the post office type is the city.
            r["city"] = rec["city"].split()[0].upper()
            src["state"]["ZIP prefix (military)"] += 1
        else:
            src["state"]["GeoNames"] += 1
        if r["state"] in TERRITORIES and r["city"] == rec["state_name"] \
                and z in z8 and z8[z].get("city"):
            r["city"] = z8[z]["city"]
            src["city"][label("zipcodes") + " (territory name in GeoNames)"] += 1
        else:
            src["city"]["GeoNames"] += 1
        rows[z] = r
    for z, rec in sorted(z8.items()):
        if z in rows or rec.get("state") not in TERRITORIES:
            continue
        rows[z] = new_row(z, rec["city"], rec["state"], (rec["latitude"], rec["longitude"]))
        src["city"][label("zipcodes")] += 1
        src["state"][label("zipcodes")] += 1
    for r in rows.values():
        if r["point"][0]:
            src["latitude"]["GeoNames" if r["zip"] in sources.geo else label("zipcodes")] += 1
    return rows
