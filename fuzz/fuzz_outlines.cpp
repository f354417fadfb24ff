// The outline file's reader on arbitrary bytes: it either refuses them with its corrupt message
// or gives outlines whose every reference lies inside what it read, and whose places can be
// asked what lies inside them.
#include "FuzzUtil.h"

#include "map/Outlines.h"

#include <cmath>
#include <string_view>

using namespace corvana::map;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    OutlineLoad load = parseOutlines({bytes, size});
    if (!load.outlines) {
        const std::string refused = corruptMessage("");
        FUZZ_CHECK(std::string_view(load.error)
                       .starts_with(std::string_view(refused).substr(0, refused.size() - 3)));
        return 0;
    }
    FUZZ_CHECK(load.error.empty());
    const Outlines& o = *load.outlines;
    FUZZ_CHECK(!o.states().empty());
    for (const auto& arc : o.arcs()) {
        FUZZ_CHECK(arc.pointCount >= 2);
        FUZZ_CHECK(std::size_t(arc.firstPoint) + arc.pointCount <= o.pointCount());
        for (const GeoPoint& p : o.points(arc))
            FUZZ_CHECK(std::abs(p.longitude) <= 180 && std::abs(p.latitude) <= 90);
    }
    for (const auto& ring : o.rings())
        for (std::int32_t ref : o.refs(ring))
            FUZZ_CHECK(std::size_t(ref < 0 ? ~ref : ref) < o.arcs().size());
    for (const auto* table : {&o.states(), &o.counties()}) {
        for (const auto& r : *table) {
            FUZZ_CHECK(r.ringCount >= 1);
            FUZZ_CHECK(std::size_t(r.firstRing) + r.ringCount <= o.rings().size());
            FUZZ_CHECK(!r.name.empty());
            FUZZ_CHECK(r.box.empty() || r.box.width() <= 360);
            // The place holds its own centre or not; either way the answer comes from its rings.
            o.contains(r, r.box.centre());
        }
    }
    for (const auto& c : o.counties())
        FUZZ_CHECK(o.state(c.fips / 1000) != nullptr);
    o.stateAt(o.bounds().centre());
    o.countyAt({o.bounds().west, o.bounds().south});
    return 0;
}
