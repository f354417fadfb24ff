#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz harnesses into fuzz/corpus/<harness>/.

Usage: fuzz/make_corpus.py [DATA_DIR ...]

The CSV tables of tests/fixtures/ seed the CSV harness. Each DATA_DIR is a directory of data
files as corvana-mkdata writes them (for example the fixture data sets under build/fixtures/);
a small hand-made data set is always included. The seeds pack several files into one input in
the layout FileSplit reads: a 32-bit little-endian length, then the bytes. Keep the data sets
small: the seeds are committed.
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")


def le16(v):
    return struct.pack("<H", v)


def le32(v):
    return struct.pack("<i", v)


def zip_list(zips):
    return le16(len(zips)) + b"".join(le16(z) for z in zips)


def city_rec(name, state, zips):
    return bytes([len(name) + 1]) + name + bytes([state]) + zip_list(zips)


def handmade():
    """Two states, two counties, three cities and four ZIP codes, every file present."""
    city = b""
    offsets = {}
    for name, state, zips in [(b"Salt Lake City", 0, [0, 1]), (b"Sandy", 0, [2]),
                              (b"Austin", 1, [3])]:
        offsets[name] = len(city)
        city += city_rec(name, state, zips)
    zips = [(84101, b"Salt Lake City", 0, 801, 5 | 128), (84102, b"Salt Lake City", 0, 801, 5),
            (84070, b"Sandy", 0, 801, 5 | 128), (78701, b"Austin", 1, 512, 6 | 128)]
    zipdat = b"".join(bytes([z // 10000]) + le16(z % 10000) + b"\0" + le32(offsets[c]) +
                      le16(county) + le16(area) + bytes([tz])
                      for z, c, county, area, tz in zips)
    zipidx = (le16(841) + le32(0) + le16(2) + le32(0) + b"\0" +
              le16(840) + le32(2) + le16(1) + le32(offsets[b"Sandy"]) + b"\0" +
              le16(787) + le32(3) + le16(1) + le32(offsets[b"Austin"]) + b"\0")
    county_idx = zip_list([0, 1, 2]) + zip_list([3])
    county = (bytes([10]) + b"Salt Lake\0" + le32(0) +
              bytes([7]) + b"Travis\1" + le32(8))
    area_idx = zip_list([0, 1, 2]) + zip_list([3])
    area = le16(801) + le32(0) + le16(512) + le32(8)
    cityidx = (bytes([2]) + b"SA" + le32(0) + bytes([2]) + b"AU" + le32(offsets[b"Austin"]))
    return {
        "STATE.DAT": b"UT8\r\nTX7\r\n",
        "COUNTY.DAT": county,
        "ZIPCODE.IDX": zipidx,
        "AREA.DAT": area,
        "ZIPVER.DAT": b"March 2026\r\n",
        "CITY.DAT": city,
        "CITY.IDX": cityidx,
        "COUNTY.IDX": county_idx,
        "AREA.IDX": area_idx,
        "ZIPCODE.DAT": zipdat,
    }


def handmade_points():
    """POINTS.DAT of six ZIP codes: two at one point, one without a position, two on either
    side of the 180th meridian; the list in an order of its own, with leaves of two places."""
    no = -2 ** 31
    records = [(4075621, -11190090, 49, 35), (4075621, -11190090, 49, 35), (no, no, 0, 0),
               (5187996, -17665799, 2, 16), (5200000, 18000000, 2, 16),
               (-1427806, -17070250, 60, 50)]
    body = b"".join(le32(lat) + le32(lon) + bytes([st]) + le16(co) for lat, lon, st, co in records)
    listed = [5, 3, 4, 0, 1]
    return (struct.pack("<II", len(records), len(listed)) + bytes([2, 0, 0, 0]) + body +
            b"".join(le16(r) for r in listed))


POINT_TEXTS = [b"40.76,-111.89", b"  40.76 , -111.89 ", b"40.76 -111.89", b"-14.27806 -170.7025",
               b"90,180", b"91,0", b"0,-180.00001", b"nan,5", b"40,-inf", b"40.76N,111.89W",
               b"1,2,3", b",5", b"5,", b"", b"1e5 2", b"+.5\t-5."]


PHONE_TEXTS = [b"(208) 334-1234", b"208-334-1234", b"208.334.1234", b"2083341234",
               b"1-208-334-1234", b"+1 208 334 1234", b"208-334-1234 x12",
               b"208 334 1234 ext. 12", b"+44 20 7946 0958", b"800-555-1234", b"411-555-1234",
               b"208-111-1234", b"9-20", b"1-800-FLOWERS", b"208/334-1234 #7"]


def read_dir(path):
    files = {}
    for name in os.listdir(path):
        if name.upper() == name and name.endswith((".DAT", ".IDX")):
            with open(os.path.join(path, name), "rb") as f:
                files[name] = f.read()
    return files


def pack(files, names):
    out = b""
    for name in names:
        data = files.get(name)
        out += struct.pack("<I", 0xFFFFFFFF) if data is None else struct.pack("<I", len(data)) + data
    return out


def handmade_facts():
    """ZIPFACTS.DAT of three ZIP codes: one with two counties, two codes and no further name,
    a military one with nothing, one with further names and no main county or code."""
    zones = [b"America/Denver", b"America/Indiana/Knox"]

    def text(s):
        return bytes([len(s)]) + s

    def record(kind, zone, flags, counties, codes, cities):
        r = bytes([kind, zone, flags, len(counties)])
        r += b"".join(le32(f) + text(n) for f, n in counties)
        r += bytes([len(codes)]) + b"".join(le16(c) for c in codes)
        return r + bytes([len(cities)]) + b"".join(text(c) for c in cities)

    records = [record(1, 1, 3, [(49035, b"Salt Lake"), (49049, b"Utah")], [801, 385], []),
               record(3, 0, 0, [], [], []),
               record(2, 2, 0, [(0, b"Starke")], [574], [b"Ft Knox", b"Ft. Knox"])]
    offsets, body = [0], b""
    for r in records:
        body += r
        offsets.append(len(body))
    return (b"ZFC1" + struct.pack("<III", len(records), len(zones), len(body)) +
            b"".join(text(z) for z in zones) + b"".join(struct.pack("<I", o) for o in offsets) +
            body)


def handmade_people():
    """PEOPLE.DAT of four ZIP codes: figures, 0 people, no figure at all, and the largest
    figures the file holds."""
    none = 0xFFFFFFFF
    records = [(7358, 39891), (0, 0), (none, none), (10000000, 10000000)]
    return (b"CVP1" + struct.pack("<I", len(records)) +
            b"".join(struct.pack("<II", p, d) for p, d in records))


def write(harness, name, data):
    d = os.path.join(CORPUS, harness)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)


LOAD_FILES = ["STATE.DAT", "COUNTY.DAT", "ZIPCODE.IDX", "AREA.DAT", "ZIPVER.DAT", "CITY.DAT",
              "ZIPCODE.DAT"]


SEARCH_FILES = ["STATE.DAT", "COUNTY.DAT", "ZIPCODE.IDX", "AREA.DAT", "CITY.DAT", "CITY.IDX",
                "COUNTY.IDX", "AREA.IDX", "ZIPCODE.DAT"]

# Mode (0 ZIP, 1 city, 2 state, 3 county, 4 area code), search text, state text.
SEARCHES = [(0, b"8", b""), (0, b"84", b""), (0, b"841", b""), (0, b"84070", b""),
            (1, b"Sa", b""), (1, b"San", b"TX"), (2, b"S", b"UT"), (2, b"Sa", b"OR"),
            (3, b"Sa", b""), (3, b"Was", b"UT"), (4, b"801", b""), (4, b"503", b"")]


def seeds(label, files):
    for flags in (0, 3):
        write("fuzz_load", f"{label}-{flags}", bytes([flags]) + pack(files, LOAD_FILES))
    packed = pack(files, SEARCH_FILES)
    for i, (mode, text, state) in enumerate(SEARCHES):
        # All State on or off by the state text; every part of the line shown.
        flags = 0x1F if not state else 0x1E | 0xE0
        write("fuzz_search", f"{label}-{i}",
              bytes([mode, flags, i]) + short(text) + short(state) + packed)


INI_FULL = (b"[Misc]\r\nWindow Size=640\r\nLast Search=1\r\nAll State=Yes\r\n"
            b"Last Print Format=0\r\nLast Copy Format=0\r\nMain Window Left=0\r\n"
            b"Main Window Top=0\r\nAlways On Top=No\r\nSingle State=UT\r\nNearby Miles=2.5\r\n"
            b"\r\n[Preferences]\r\n"
            b"Show County=Yes\r\nShow Area Code=Yes\r\nShow Time Zone=No\r\n"
            b"Show Current Time=Yes\r\nCities in Caps=No\r\nCounties in Caps=No\r\n"
            b"States in Caps=No\r\n\r\n[Print Font]\r\nColor=0\r\nFont Name=Arial\r\n"
            b"Size=11\r\nBold=No\r\nItalic=No\r\nUnderline=No\r\nStrikeout=No\r\n\r\n"
            b"[Time Zone]\r\nDaylight Savings=Yes\r\nTime Zone=8\r\n\r\n"
            b"[Map]\r\nLeft=648\r\nTop=0\r\nWidth=640\r\nHeight=480\r\nOpen=Yes\r\n")
INI_ODD = (b"; kept comment\n[misc]\n  window size = $1F \nLAST SEARCH=-7\nAll State=yes\n"
           b"Unknown=1\n[Print Font]\nColor=-2147483640\nFont Name=  Times New Roman  \n"
           b"Size=12pt\nBold=Y\n[Misc]\nWindow Size=800\n[Time Zone]\nTime Zone=\n")

FORMATS = [
    b"[CITY], [STATE] [ZIP]", b"[CITY]<CR>[STATE]<CR>[COUNTY]<CR>[ZIP]",
    b"[ZIP]<TAB>[CITY]<TAB>[COUNTY]<TAB>[STATE]", b"[CITY], [LONG STATE]  [ZIP]",
    b"[ZIP] [AREA CODE] [TIME ZONE] [CITY] [STATE]", b"A<BACKTAB>B<BACKSPACE><LEFT ARROW>"
    b"<RIGHT ARROW><DEL CHAR>", b"[[ZIP] [city] [FOO] <TAB [ZIP",
]
FIELDS = [b"UT", b"Utah", b"Salt Lake", b"801", b"84101", b"Salt Lake City", b"MST"]


# A table with the optional place columns: a point with and without a county code, one on the
# far side of the 180th meridian, none for a military post office.
PLACES_TABLE = (b"zip,city,state,county,area_code,utc_offset,dst,other_counties,other_area_codes,"
                b"other_cities,other_county_names,latitude,longitude,county_fips\n"
                b"84101,Salt Lake City,UT,Salt Lake,801,-7,Y,,385,,,40.7559,-111.8967,49035\n"
                b"96910,Hagatna,GU,,671,10,N,,,,,13.47,144.74,\n"
                b"99546,Adak,AK,Aleutians West,907,-10,Y,,,,,51.874,-176.634,02016\n"
                b"09001,APO,AE,,,,N,,,,,,,\n")


def short(b):
    return bytes([len(b)]) + b


def outline_seeds():
    """Small outline files, written by the importer's own encoder: two states sharing a line
    with a county each, one with a county inside it, the other with an island across the
    180th meridian."""
    sys.path.insert(0, os.path.join(HERE, "..", "dataset"))
    import outlines
    # A grid of 3601 steps over the globe's longitudes and latitudes.
    n, e7 = 3601, (-1800000000, -900000000, 1800000000, 900000000)

    def at(lon, lat):
        return (round((lon + 180) * 10), round((lat + 90) * 20))

    def arc(*points):
        return [at(*p) for p in points]

    arcs = [arc((20, 40), (20, 45), (20, 50)),
            arc((20, 50), (10, 50), (10, 40), (20, 40)),
            arc((20, 40), (30, 40), (30, 50), (20, 50)),
            arc((14, 44), (16, 44), (16, 46), (14, 46), (14, 44)),
            arc((180, 10), (179, 10), (179, 12), (180, 12)),
            arc((-180, 12), (-179, 12), (-179, 10), (-180, 10))]
    states = [("49", "Utah", [[0, 1]]), ("56", "Wyoming", [[-1, 2], [4, 5]])]
    counties = [("49001", "Beaver", [[0, 1], [3]]), ("49003", "Box Elder", [[3]]),
                ("56001", "Albany", [[-1, 2], [4, 5]])]
    write("fuzz_outlines", "two-states", outlines.encode(n, e7, arcs, states, counties))
    write("fuzz_outlines", "one-state", outlines.encode(n, e7, arcs[:2], states[:1], []))


def main():
    outline_seeds()
    sets = [("handmade", handmade())]
    for d in sys.argv[1:]:
        sets.append((os.path.basename(os.path.normpath(d)), read_dir(d)))
    for label, files in sets:
        seeds(label, files)
        if "POINTS.DAT" in files:
            write("fuzz_points", label, files["POINTS.DAT"])
        if "ZIPFACTS.DAT" in files:
            write("fuzz_facts", label, files["ZIPFACTS.DAT"])
        if "PEOPLE.DAT" in files:
            write("fuzz_people", label, files["PEOPLE.DAT"])
    write("fuzz_points", "handmade", handmade_points())
    write("fuzz_facts", "handmade", handmade_facts())
    write("fuzz_people", "handmade", handmade_people())
    for label, files in sets:
        if "EXCHANGE.DAT" in files:
            whole = files["EXCHANGE.DAT"]
            write("fuzz_exchanges", label, whole)
            write("fuzz_exchanges", label + "-cut", whole[:len(whole) // 2])
    write("fuzz_exchanges", "empty-table", b"CVX1" + bytes(16))
    write("fuzz_exchanges", "empty-table-v2", b"CVX2" + bytes(24))
    # The system's compiled zones: half an hour off, no summer time, both hemispheres.
    for zone in ["America/St_Johns", "Pacific/Honolulu", "Australia/Sydney"]:
        with open(os.path.join("/usr/share/zoneinfo", zone), "rb") as f:
            write("fuzz_zoneinfo", zone.replace("/", "-"), f.read())
    for i, text in enumerate(PHONE_TEXTS):
        write("fuzz_phone", f"phone-{i}", text)
    for i, text in enumerate(POINT_TEXTS):
        write("fuzz_point", f"point-{i}", text)
    for i, (text, value) in enumerate([(INI_FULL, b"800"), (INI_ODD, b" Yes \r\nx=1"),
                                        (b"", b"")]):
        write("fuzz_ini", f"ini-{i}", struct.pack("<I", len(text)) + text + short(value) +
              bytes([i]))
    fixtures = os.path.join(HERE, "..", "tests", "fixtures")
    for name in sorted(os.listdir(fixtures)):
        if name.endswith(".csv"):
            with open(os.path.join(fixtures, name), "rb") as f:
                table = f.read()
            # As written, with Windows line ends and a byte-order mark, and cut inside a quote.
            variants = [table, b"\xef\xbb\xbf" + table.replace(b"\n", b"\r\n"),
                        table[:table.index(b'"') + 3]]
            for i, v in enumerate(variants):
                # Read step 1, no flags, the date, then the table.
                write("fuzz_csv", f"table-{name[:-4]}-{i}", bytes([0, 0]) + short(b"June 1996") + v)
    write("fuzz_csv", "table-places-0", bytes([0, 0]) + short(b"June 1996") + PLACES_TABLE)
    fields = b"".join(short(f) for f in FIELDS)
    for i, fmt in enumerate(FORMATS):
        write("fuzz_outstring", f"format-{i}", fields + struct.pack("<I", len(fmt)) + fmt)


if __name__ == "__main__":
    main()
