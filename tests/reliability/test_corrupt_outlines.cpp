// The outline file damaged in every way a copy can be damaged: cut at every byte, bytes added,
// each count, size and offset of the header and the records wrong, references and points off
// their tables, every byte of a small file changed. Each case names the message it must give;
// none may read outside the file (the sanitizer build runs them too).
#include "DataFiles.h"
#include "OutlineBuilder.h"

#include "map/OutlineFormat.h"
#include "map/Outlines.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace corvana;
using namespace corvana::map;
using corvana::test::countCase;
using corvana::test::twoStates;

namespace {

using format::Header;

const std::string& hand() {
    static const std::string bytes = twoStates().bytes();
    return bytes;
}

std::string errorOf(std::string_view bytes) {
    OutlineLoad load =
        parseOutlines({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    EXPECT_EQ(bool(load.outlines), load.error.empty());
    return load.error;
}

std::string with(std::string s, std::size_t at, std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i)
        s[at + std::size_t(i)] = char((value >> (8 * i)) & 0xFF);
    return s;
}

std::uint32_t u32At(const std::string& s, std::size_t at) {
    return format::loadU32(reinterpret_cast<const std::uint8_t*>(s.data()) + at);
}

// One field of the file set to a value, and the reason the reader must give for it.
struct Damage {
    std::size_t at;
    std::uint64_t value;
    int width;
    std::string reason;
};

void expectReasons(const std::string& whole, std::initializer_list<Damage> cases) {
    for (const auto& c : cases) {
        EXPECT_EQ(errorOf(with(whole, c.at, c.value, c.width)), corruptMessage(c.reason))
            << c.reason;
        countCase();
    }
}

// Every part of a sound file, as the reader gives it back, must lie inside what it read.
void checkSound(const Outlines& o) {
    for (const auto& ring : o.rings()) {
        ASSERT_GE(ring.refCount, 1u);
        for (std::int32_t ref : o.refs(ring))
            ASSERT_LT(std::size_t(ref < 0 ? ~ref : ref), o.arcs().size());
    }
    for (const auto& a : o.arcs())
        ASSERT_LE(std::size_t(a.firstPoint) + a.pointCount, o.pointCount());
    for (const auto* table : {&o.states(), &o.counties()})
        for (const auto& r : *table)
            ASSERT_LE(std::size_t(r.firstRing) + r.ringCount, o.rings().size());
}

} // namespace

TEST(CorruptOutlines, CutAtEveryByte) {
    const std::string real =
        corvana::test::readFile(std::string(CORVANA_BIN_DIR) + "/" + OutlineFileName);
    ASSERT_GT(real.size(), 100000u);
    for (const std::string* whole : {&hand(), &real}) {
        ASSERT_EQ(errorOf(*whole), "");
        const std::string size = std::to_string(whole->size());
        for (std::size_t n = 0; n < whole->size(); ++n) {
            std::string reason =
                n < Header::Size ? "cut short in its header: " + std::to_string(n) + " of 60 bytes"
                                 : "cut short: " + std::to_string(n) + " of " + size + " bytes";
            ASSERT_EQ(errorOf(std::string_view(*whole).substr(0, n)), corruptMessage(reason)) << n;
        }
        countCase(whole->size());
    }
    EXPECT_EQ(errorOf(hand() + "x"), corruptMessage("1 byte past its end"));
    EXPECT_EQ(errorOf(hand() + "xy"), corruptMessage("2 bytes past its end"));
    countCase(2);
}

TEST(CorruptOutlines, HeaderFields) {
    const std::string& h = hand();
    const std::size_t size = h.size();
    const std::uint32_t rings = u32At(h, Header::RingCountAt);
    const std::uint32_t points = u32At(h, Header::PointCountAt);
    ASSERT_EQ(rings, 8u);
    ASSERT_EQ(points, 24u);
    expectReasons(
        h,
        {
            {Header::MagicAt, 'X', 1, "not an outline file"},
            {Header::VersionAt, 2, 2, "format version 2; this program reads 1"},
            {Header::HeaderSizeAt, 64, 2, "header of 64 bytes"},
            {Header::StepsAt, 1, 4, "grid steps: 1"},
            {Header::StepsAt, (1u << 24) + 1, 4, "grid steps: 16777217"},
            {Header::WestAt, 1800000000, 4, "box off the globe"},
            {Header::WestAt, std::uint32_t(-1800000001), 4, "box off the globe"},
            {Header::NorthAt, 900000001, 4, "box off the globe"},
            {Header::SouthAt, 900000000, 4, "box off the globe"},
            {Header::StateCountAt, 0, 2, "no states"},
            {Header::StateCountAt, 3, 2,
             "cut short: " + std::to_string(size) + " of " + std::to_string(size + 12) + " bytes"},
            {Header::CountyCountAt, 2, 2, "12 bytes past its end"},
            {Header::RingCountAt, 0xFFFFFFFF, 4,
             "more rings, arcs or points than their bytes hold"},
            {Header::ArcCountAt, 0xFFFFFFFF, 4, "more rings, arcs or points than their bytes hold"},
            {Header::PointCountAt, 0xFFFFFFFF, 4,
             "more rings, arcs or points than their bytes hold"},
            {Header::RingCountAt, rings + 1, 4, "the records' rings add up to 8, not 9"},
            {Header::PointCountAt, points + 1, 4, "24 points, not the header's 25"},
            {Header::PointCountAt, points - 1, 4, "more points than the header's 23"},
            {Header::ArcCountAt, 7, 4, "arc 6: runs past the arc bytes"},
            {Header::ArcCountAt, 5, 4, "ring 2: refers to arc 5 of 5"},
        });
    // One section longer and the next shorter: the file's size holds, the sections do not.
    auto shift = [&](std::size_t longer, std::size_t shorter) {
        std::string s = with(h, longer, u32At(h, longer) + 1, 4);
        return with(s, shorter, u32At(h, shorter) - 1, 4);
    };
    EXPECT_EQ(errorOf(shift(Header::RingBytesAt, Header::ArcBytesAt)),
              corruptMessage("1 byte left after the last ring"));
    // The names then start at the arcs' last byte, a 0.
    EXPECT_EQ(errorOf(shift(Header::NameBytesAt, Header::ArcBytesAt)),
              corruptMessage("state record 0: name is not UTF-8 text"));
    EXPECT_EQ(errorOf(shift(Header::ArcBytesAt, Header::RingBytesAt)),
              corruptMessage("ring 7: runs past the ring bytes"));
    std::string longer = h;
    longer.insert(twoStates().layout().names, 1, '\0');
    EXPECT_EQ(errorOf(with(longer, Header::ArcBytesAt, u32At(h, Header::ArcBytesAt) + 1, 4)),
              corruptMessage("1 byte left after the last arc"));
    countCase(4);
}

TEST(CorruptOutlines, RecordFields) {
    const std::string& h = hand();
    const auto layout = twoStates().layout();
    using format::PlaceRecord;
    auto state = [&](int i, std::size_t field) { return layout.records + 12 * i + field; };
    auto county = [&](int i, std::size_t field) { return layout.records + 12 * (2 + i) + field; };
    const std::uint32_t names = u32At(h, Header::NameBytesAt);
    expectReasons(
        h,
        {
            {state(0, PlaceRecord::StateAt), 13, 1, "state record 1: FIPS code 12 out of order"},
            {state(0, PlaceRecord::StateAt), 0, 1, "state record 0: FIPS code 0 out of order"},
            {state(1, PlaceRecord::StateAt), 100, 1, "state record 1: FIPS code 100 out of order"},
            {state(0, PlaceRecord::CodeAt + 1), '1', 1,
             "state record 0: abbreviation is not two capital letters"},
            {state(1, PlaceRecord::CodeAt), 'W', 1, "state record 1: abbreviation WS twice"},
            {state(0, PlaceRecord::NameLengthAt), 0, 1, "state record 0: no name"},
            {state(0, PlaceRecord::NameOffsetAt), names, 4,
             "state record 0: name outside the names"},
            {state(0, PlaceRecord::NameOffsetAt), 0xFFFFFFFF, 4,
             "state record 0: name outside the names"},
            {county(2, PlaceRecord::NameLengthAt), 5, 1, "county record 2: name outside the names"},
            // "Ost\xC3\xA9" cut inside its last character.
            {state(1, PlaceRecord::NameLengthAt), 4, 1, "state record 1: name is not UTF-8 text"},
            {layout.names, 0x01, 1, "state record 0: name is not UTF-8 text"},
            {layout.names, 0xFF, 1, "state record 0: name is not UTF-8 text"},
            // U+0085, a C1 control, and DEL: control characters, as the table's builder sees them.
            {layout.names, 0x85C2, 2, "state record 0: name is not UTF-8 text"},
            {layout.names, 0x7F, 1, "state record 0: name is not UTF-8 text"},
            {county(0, PlaceRecord::CodeAt), 1000, 2, "county record 0: county code 1000"},
            {county(1, PlaceRecord::CodeAt), 1, 2, "county record 1: FIPS code 11001 out of order"},
            {county(2, PlaceRecord::StateAt), 13, 1,
             "county record 2: state 13 has no state record"},
            {state(0, PlaceRecord::RingCountAt), 2, 4, "the records' rings add up to 9, not 8"},
        });
    // No rings, with the sum made good by the next record.
    std::string s = with(h, state(0, PlaceRecord::RingCountAt), 0, 4);
    s = with(s, state(1, PlaceRecord::RingCountAt), 3, 4);
    EXPECT_EQ(errorOf(s), corruptMessage("state record 0: no rings"));
    countCase();
}

TEST(CorruptOutlines, RingsAndArcs) {
    const std::string& h = hand();
    const auto layout = twoStates().layout();
    struct Case {
        std::size_t at;
        std::uint8_t value;
        std::string reason;
    };
    // Ring 0 is [0, 1]: its count, then zigzag(0), zigzag(1). Arc 0 has three points, its first
    // x is 20000 (three bytes).
    const Case cases[] = {
        {layout.rings, 0, "ring 0: no arcs"},
        {layout.rings, 0x7F, "ring 0: runs past the ring bytes"},
        {layout.rings + 1, 0x7E, "ring 0: refers to arc 63 of 6"},
        {layout.rings + 1, 0x0D, "ring 0: refers to arc -7 of 6"},
        {layout.arcs, 1, "arc 0: fewer than two points"},
        {layout.arcs, 0, "arc 0: fewer than two points"},
        {layout.arcs, 0x7F, "arc 0: runs past the arc bytes"},
        {layout.arcs + 3, 0x7F, "arc 0: leaves the grid"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(errorOf(with(h, c.at, c.value, 1)), corruptMessage(c.reason)) << c.reason;
        countCase();
    }
    // A varint of six bytes in the place of ring 0's count.
    std::string s = h;
    s.replace(layout.rings, 1, std::string("\x80\x80\x80\x80\x80", 5));
    s = with(s, Header::RingBytesAt, u32At(h, Header::RingBytesAt) + 4, 4);
    EXPECT_EQ(errorOf(s), corruptMessage("ring 0: runs past the ring bytes"));
    countCase();
}

TEST(CorruptOutlines, EveryByteChangedIsReadOrRefused) {
    const std::string& h = hand();
    const std::string prefix = corruptMessage("");
    const std::string start = prefix.substr(0, prefix.size() - 3);
    for (std::size_t i = 0; i < h.size(); ++i) {
        const auto original = std::uint8_t(h[i]);
        for (std::uint8_t v :
             {std::uint8_t(0), std::uint8_t(1), std::uint8_t(0x7F), std::uint8_t(0x80),
              std::uint8_t(0xFF), std::uint8_t(original ^ 0x40)}) {
            std::string s = with(h, i, v, 1);
            OutlineLoad load =
                parseOutlines({reinterpret_cast<const std::uint8_t*>(s.data()), s.size()});
            if (load.outlines)
                checkSound(*load.outlines);
            else
                EXPECT_EQ(load.error.substr(0, start.size()), start) << i;
            countCase();
        }
    }
}

TEST(CorruptOutlines, MissingUnreadableOrFarTooLarge) {
    corvana::test::TempDir dir;
    EXPECT_EQ(loadOutlines(dir.str() + "/OUTLINE.DAT").error, map::msg::OutlinesNotFound);
    std::filesystem::create_directory(dir.path() / "OUTLINE.DAT");
    EXPECT_EQ(loadOutlines(dir.str() + "/OUTLINE.DAT").error, map::msg::OutlinesUnreadable);
    dir.write("BIG.DAT", "");
    std::filesystem::resize_file(dir.path() / "BIG.DAT", (64u << 20) + 1);
    EXPECT_EQ(loadOutlines(dir.str() + "/BIG.DAT").error,
              corruptMessage("larger than any outline file"));
    dir.write("SMALL.DAT", hand());
    EXPECT_TRUE(loadOutlines(dir.str() + "/SMALL.DAT").outlines);
    countCase(4);
}
