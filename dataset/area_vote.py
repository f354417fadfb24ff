"""Area codes of ZIP codes whose place the phone data does not name.

Area-code boundaries mostly follow county lines, so a ZIP code takes the
code that wins a vote among the nearest name-matched ZIP codes of its state:
each voter weighs the less the farther it lies, and many times more when it
lies in the same county.  The weights were chosen by the held-out
measurement (measure()); a vote confined to the county, or the nearest
matched ZIP alone, measured worse.

Standard library only.
"""

import bisect
import math
from collections import defaultdict

VOTERS = 12            # nearest matched ZIPs that vote
SAME_COUNTY = 10.0     # weight factor of a voter in the same county
SOFTEN_KM = 1.0        # voter at d km weighs 1 / (d + SOFTEN_KM) ** 2


def distance(a, b):
    """Great-circle distance in km between (lat, lon) pairs."""
    lat1, lon1 = map(math.radians, a)
    lat2, lon2 = map(math.radians, b)
    h = (math.sin((lat2 - lat1) / 2) ** 2
         + math.cos(lat1) * math.cos(lat2) * math.sin((lon2 - lon1) / 2) ** 2)
    return 2 * 6371.0 * math.asin(min(1.0, math.sqrt(h)))


class NearestIndex:
    """Nearest-point lookup over (zip, (lat, lon), value) items.  Items are
    kept in latitude order so a query only looks at the band of latitudes
    that can still beat the hits so far (no path between two points is
    shorter than their north-south separation)."""

    def __init__(self, items):
        self.items = sorted(items, key=lambda t: (t[1][0], t[0]))
        self.lats = [t[1][0] for t in self.items]

    def nearest(self, point, k, skip=None):
        """[(distance, zip, value)] of the k closest items, closest first;
        ties go to the lower ZIP."""
        best = []
        start = bisect.bisect_left(self.lats, point[0])
        for rng in (range(start, len(self.items)), range(start - 1, -1, -1)):
            for i in rng:
                z, pos, value = self.items[i]
                bound = 6371.0 * math.radians(abs(pos[0] - point[0]))
                if len(best) >= k and bound > best[-1][0] + 1e-6:
                    break
                if skip is not None and skip(z):
                    continue
                d = distance(point, pos)
                if len(best) < k or (d, z) < best[-1][:2]:
                    bisect.insort(best, (d, z, value))
                    del best[k:]
        return best

    def query(self, point, skip=None):
        """(zip, value) of the closest item, or None."""
        hit = self.nearest(point, 1, skip)
        return (hit[0][1], hit[0][2]) if hit else None


class CountyVote:
    """The vote over items (zip, (lat, lon), (code, county key)) of one
    state."""

    def __init__(self, items, voters=VOTERS, same_county=SAME_COUNTY):
        self.index = NearestIndex(items)
        self.voters = voters
        self.same_county = same_county

    def predict(self, pos, county, skip=None):
        """The winning code, or None if there is no voter.  Ties go to the
        lower code."""
        score = defaultdict(float)
        for d, _, (code, other) in self.index.nearest(pos, self.voters, skip):
            w = self.same_county if county is not None and other == county else 1.0
            score[code] += w / (d + SOFTEN_KM) ** 2
        if not score:
            return None
        return min(score, key=lambda c: (-score[c], c))


def measure(sample, nearest, vote):
    """Held-out agreement of the two rules.  sample: (state, (lat, lon),
    true code, county key, skip) for each name-matched ZIP, where
    skip(other zip) hides what the rules may not see (the ZIP's own city).
    nearest(state, pos, skip) and vote(state, pos, county, skip) give a
    code or None.  Returns (tested, nearest hits, vote hits)."""
    tested = hit_near = hit_vote = 0
    for state, pos, code, county, skip in sample:
        near = nearest(state, pos, skip)
        if near is None:
            continue
        tested += 1
        hit_near += near == code
        hit_vote += vote(state, pos, county, skip) == code
    return tested, hit_near, hit_vote
