#!/usr/bin/env python3
"""Writes N rows of a CSV file to annotate: id,name,zip with a mix of ZIP forms.

Usage: bench/lookup_rows.py N [ZIPCODES_CSV] [SEED]

Of the rows, 55% hold a known five-digit ZIP code, 15% ZIP+4 (half with the hyphen, half as
nine digits), 10% a known ZIP code below 10000 with its leading zeros dropped, 15% a five-digit
code the table does not have, 5% text that is no ZIP code. The names hold commas and quotes
now and then, so the rows need quoting.
"""
import csv
import random
import sys


def main():
    n = int(sys.argv[1])
    table = sys.argv[2] if len(sys.argv) > 2 else "dataset/zipcodes.csv"
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 1)
    with open(table, newline="", encoding="utf-8") as f:
        known = [row["zip"] for row in csv.DictReader(f)]
    known_set = set(known)
    low = [z for z in known if z.startswith("0")]
    unknown = [f"{v:05d}" for v in range(100000) if f"{v:05d}" not in known_set]
    names = ["Smith", '"Doe, Jane"', "O'Neil", '"Say ""hi"""', "Lee"]
    forms = ["zip"] * 55 + ["plus4"] * 15 + ["dropped"] * 10 + ["unknown"] * 15 + ["bad"] * 5
    out = sys.stdout
    write = out.write
    write("id,name,zip\n")
    batch = []
    for i in range(n):
        form = rng.choice(forms)
        if form == "zip":
            z = rng.choice(known)
        elif form == "plus4":
            z = rng.choice(known) + ("-" if i & 1 else "") + f"{rng.randrange(10000):04d}"
        elif form == "dropped":
            z = rng.choice(low).lstrip("0")
        elif form == "unknown":
            z = rng.choice(unknown)
        else:
            z = "n/a"
        batch.append(f"{i},{names[i % 5]},{z}\n")
        if len(batch) == 10000:
            write("".join(batch))
            batch.clear()
    write("".join(batch))


if __name__ == "__main__":
    main()
