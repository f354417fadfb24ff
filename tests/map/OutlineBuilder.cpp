#include "OutlineBuilder.h"

#include <cmath>

namespace corvana::test {

namespace {

void u8(std::string& s, unsigned v) {
    s += char(v & 0xFF);
}
void u16(std::string& s, unsigned v) {
    u8(s, v);
    u8(s, v >> 8);
}
void u32(std::string& s, std::uint32_t v) {
    u16(s, v & 0xFFFF);
    u16(s, v >> 16);
}
void varint(std::string& s, std::uint64_t v) {
    do {
        u8(s, unsigned(v & 0x7F) | (v > 0x7F ? 0x80 : 0));
        v >>= 7;
    } while (v);
}
void signedVarint(std::string& s, std::int64_t v) {
    varint(s, v >= 0 ? std::uint64_t(v) * 2 : std::uint64_t(-v) * 2 - 1);
}

} // namespace

std::pair<int, int> OutlineBuilder::at(double lon, double lat) const {
    return {int(std::lround((lon - west) / (east - west) * (steps - 1))),
            int(std::lround((lat - south) / (north - south) * (steps - 1)))};
}

int OutlineBuilder::arc(std::vector<std::pair<double, double>> lonLat) {
    std::vector<std::pair<int, int>> pts;
    for (auto [lon, lat] : lonLat)
        pts.push_back(at(lon, lat));
    arcs.push_back(pts);
    return int(arcs.size()) - 1;
}

OutlineBuilder::Layout OutlineBuilder::layout() const {
    Layout l;
    l.records = 60;
    l.rings = l.records + 12 * (states.size() + counties.size());
    std::string b = bytes();
    // The sizes of the variable parts, from the header.
    auto at32 = [&](std::size_t i) {
        return std::uint32_t(std::uint8_t(b[i])) | std::uint32_t(std::uint8_t(b[i + 1])) << 8 |
               std::uint32_t(std::uint8_t(b[i + 2])) << 16 |
               std::uint32_t(std::uint8_t(b[i + 3])) << 24;
    };
    l.arcs = l.rings + at32(48);
    l.names = l.arcs + at32(52);
    l.size = b.size();
    return l;
}

std::string OutlineBuilder::bytes() const {
    std::string names, records, rings, arcBytes;
    std::uint32_t ringCount = 0, points = 0;
    auto record = [&](const Place& p, bool county) {
        if (county) {
            u8(records, unsigned(p.fips / 1000));
            u16(records, unsigned(p.fips % 1000));
        } else {
            u8(records, unsigned(p.fips));
            records += p.abbrev;
        }
        u8(records, unsigned(p.name.size()));
        u32(records, std::uint32_t(names.size()));
        u32(records, std::uint32_t(p.rings.size()));
        names += p.name;
        for (const auto& ring : p.rings) {
            ++ringCount;
            varint(rings, ring.size());
            int before = 0;
            for (int ref : ring) {
                signedVarint(rings, ref - before);
                before = ref;
            }
        }
    };
    for (const auto& s : states)
        record(s, false);
    for (const auto& c : counties)
        record(c, true);
    for (const auto& a : arcs) {
        varint(arcBytes, a.size());
        points += std::uint32_t(a.size());
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (i == 0) {
                varint(arcBytes, std::uint64_t(a[0].first));
                varint(arcBytes, std::uint64_t(a[0].second));
            } else {
                signedVarint(arcBytes, a[i].first - a[i - 1].first);
                signedVarint(arcBytes, a[i].second - a[i - 1].second);
            }
        }
    }
    std::string out = "CORVOUTL";
    u16(out, 1);
    u16(out, 60);
    u32(out, steps);
    for (double d : {west, south, east, north})
        u32(out, std::uint32_t(std::int32_t(std::lround(d * 1e7))));
    u16(out, unsigned(states.size()));
    u16(out, unsigned(counties.size()));
    for (std::uint32_t v :
         {ringCount, std::uint32_t(arcs.size()), points, std::uint32_t(rings.size()),
          std::uint32_t(arcBytes.size()), std::uint32_t(names.size())})
        u32(out, v);
    return out + records + rings + arcBytes + names;
}

OutlineBuilder twoStates() {
    OutlineBuilder b;
    b.steps = 36001; // a hundredth of a degree
    // West state: 10..20 E, 40..50 N; east state: 20..30 E. The middle line is arc 0.
    int middle = b.arc({{20, 40}, {20, 45}, {20, 50}});
    int westRest = b.arc({{20, 50}, {10, 50}, {10, 40}, {20, 40}});
    int eastRest = b.arc({{20, 40}, {30, 40}, {30, 50}, {20, 50}});
    // A small county inside the west one: 14..16 E, 44..46 N.
    int inner = b.arc({{14, 44}, {16, 44}, {16, 46}, {14, 46}, {14, 44}});
    // An island of the east state from 179 E to 179 W, as two arcs meeting on the meridian.
    int islandEast = b.arc({{180, 10}, {179, 10}, {179, 12}, {180, 12}});
    int islandWest = b.arc({{-180, 12}, {-179, 12}, {-179, 10}, {-180, 10}});
    b.states = {{11, "West", "WS", {{middle, westRest}}},
                {12, "Ost\xC3\xA9", "ES", {{~middle, eastRest}, {islandEast, islandWest}}}};
    b.counties = {{11001, "Rand", "", {{middle, westRest}, {inner}}},
                  {11003, "Kern", "", {{inner}}},
                  {12001, "Ganz", "", {{~middle, eastRest}, {islandEast, islandWest}}}};
    return b;
}

} // namespace corvana::test
