#pragma once

// The layout of OUTLINE.DAT, the outlines of the states and counties, written down once:
// dataset/outlines.py writes it, the reader decodes with these. Numbers are little-endian;
// offsets count from a record's start.
//
//   header     Header::Size bytes
//   states     stateCount PlaceRecords, by FIPS code
//   counties   countyCount PlaceRecords, by state FIPS code, then county code
//   rings      ringBytes: the rings of every state, then of every county, in record order.
//              A ring is a varint count of arc references, then the references as zigzag
//              varints: the first absolute, each next one as the difference to the one
//              before. Reference r >= 0 is arc r forwards, r < 0 is arc ~r backwards.
//   arcs       arcBytes: arcCount arcs, each a varint point count (2 or more), its first point
//              as two varints x and y, then each next point as zigzag varints dx and dy from
//              the point before. x and y are steps of a grid over the header's box.
//   names      nameBytes of UTF-8 names, which the records point into
//
// The topology of the Census Bureau's boundaries is kept: a border between two counties is one
// arc, which both counties (and, on a state line, both states) refer to.

#include "data/Records.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvana::map::format {

inline constexpr char Magic[8] = {'C', 'O', 'R', 'V', 'O', 'U', 'T', 'L'};
inline constexpr std::uint16_t Version = 1;

inline std::uint32_t loadU32(const std::uint8_t* p) {
    return std::uint32_t(loadI32(p));
}
inline void storeU32(std::string& out, std::uint32_t v) {
    storeI32(out, std::int32_t(v));
}

// Degrees are kept as whole 1e-7 degrees.
inline constexpr double UnitsPerDegree = 1e7;

struct Header {
    char magic[8] = {};
    std::uint16_t version = Version;
    std::uint16_t headerSize = 0;
    std::uint32_t steps = 0; // grid steps per axis: x and y run from 0 to steps - 1
    std::int32_t west = 0;   // longitude of x = 0
    std::int32_t south = 0;  // latitude of y = 0
    std::int32_t east = 0;   // longitude of x = steps - 1
    std::int32_t north = 0;  // latitude of y = steps - 1
    std::uint16_t stateCount = 0;
    std::uint16_t countyCount = 0;
    std::uint32_t ringCount = 0;
    std::uint32_t arcCount = 0;
    std::uint32_t pointCount = 0;
    std::uint32_t ringBytes = 0;
    std::uint32_t arcBytes = 0;
    std::uint32_t nameBytes = 0;

    static constexpr std::size_t MagicAt = 0;
    static constexpr std::size_t VersionAt = 8;
    static constexpr std::size_t HeaderSizeAt = 10;
    static constexpr std::size_t StepsAt = 12;
    static constexpr std::size_t WestAt = 16;
    static constexpr std::size_t SouthAt = 20;
    static constexpr std::size_t EastAt = 24;
    static constexpr std::size_t NorthAt = 28;
    static constexpr std::size_t StateCountAt = 32;
    static constexpr std::size_t CountyCountAt = 34;
    static constexpr std::size_t RingCountAt = 36;
    static constexpr std::size_t ArcCountAt = 40;
    static constexpr std::size_t PointCountAt = 44;
    static constexpr std::size_t RingBytesAt = 48;
    static constexpr std::size_t ArcBytesAt = 52;
    static constexpr std::size_t NameBytesAt = 56;
    static constexpr std::size_t Size = 60;

    static Header decode(const std::uint8_t* p) {
        Header h;
        for (std::size_t i = 0; i < sizeof h.magic; ++i)
            h.magic[i] = char(p[MagicAt + i]);
        h.version = loadU16(p + VersionAt);
        h.headerSize = loadU16(p + HeaderSizeAt);
        h.steps = loadU32(p + StepsAt);
        h.west = loadI32(p + WestAt);
        h.south = loadI32(p + SouthAt);
        h.east = loadI32(p + EastAt);
        h.north = loadI32(p + NorthAt);
        h.stateCount = loadU16(p + StateCountAt);
        h.countyCount = loadU16(p + CountyCountAt);
        h.ringCount = loadU32(p + RingCountAt);
        h.arcCount = loadU32(p + ArcCountAt);
        h.pointCount = loadU32(p + PointCountAt);
        h.ringBytes = loadU32(p + RingBytesAt);
        h.arcBytes = loadU32(p + ArcBytesAt);
        h.nameBytes = loadU32(p + NameBytesAt);
        return h;
    }
    void encode(std::string& out) const {
        out.append(magic, sizeof magic);
        storeU16(out, version);
        storeU16(out, headerSize);
        storeU32(out, steps);
        for (std::int32_t v : {west, south, east, north})
            storeI32(out, v);
        storeU16(out, stateCount);
        storeU16(out, countyCount);
        for (std::uint32_t v : {ringCount, arcCount, pointCount, ringBytes, arcBytes, nameBytes})
            storeU32(out, v);
    }
};

// One state or territory, or one county or county equivalent: both records share a layout. The
// two bytes after the state's FIPS code are a state's USPS abbreviation ("UT"), or a county's
// code, the last three digits of its FIPS code (state * 1000 + code), as a u16.
struct PlaceRecord {
    std::uint8_t state = 0;
    std::uint8_t code[2] = {};
    std::uint8_t nameLength = 0;
    std::uint32_t nameOffset = 0; // into the names
    std::uint32_t ringCount = 0;

    static constexpr std::size_t StateAt = 0;
    static constexpr std::size_t CodeAt = 1;
    static constexpr std::size_t NameLengthAt = 3;
    static constexpr std::size_t NameOffsetAt = 4;
    static constexpr std::size_t RingCountAt = 8;
    static constexpr std::size_t Size = 12;

    std::string abbrev() const { return {char(code[0]), char(code[1])}; }
    std::uint16_t countyCode() const { return loadU16(code); }

    static PlaceRecord decode(const std::uint8_t* p) {
        PlaceRecord r;
        r.state = p[StateAt];
        r.code[0] = p[CodeAt];
        r.code[1] = p[CodeAt + 1];
        r.nameLength = p[NameLengthAt];
        r.nameOffset = loadU32(p + NameOffsetAt);
        r.ringCount = loadU32(p + RingCountAt);
        return r;
    }
    void encode(std::string& out) const {
        storeU8(out, state);
        storeU8(out, code[0]);
        storeU8(out, code[1]);
        storeU8(out, nameLength);
        storeU32(out, nameOffset);
        storeU32(out, ringCount);
    }
};

// Unsigned LEB128, at most five bytes for 32 bits; zigzag maps 0, -1, 1, -2... to 0, 1, 2, 3...
inline constexpr std::size_t VarintMax = 5;

inline void storeVarint(std::string& out, std::uint32_t v) {
    while (v >= 0x80) {
        out += char((v & 0x7F) | 0x80);
        v >>= 7;
    }
    out += char(v);
}
inline std::uint32_t zigzag(std::int32_t v) {
    return (std::uint32_t(v) << 1) ^ std::uint32_t(v >> 31);
}
inline std::int32_t unzigzag(std::uint32_t v) {
    return std::int32_t(v >> 1) ^ -std::int32_t(v & 1);
}

// Reads one varint at p, which stays before end; false when it runs past end, takes more than
// five bytes or exceeds 32 bits.
inline bool readVarint(const std::uint8_t*& p, const std::uint8_t* end, std::uint32_t& v) {
    v = 0;
    for (std::size_t i = 0; i < VarintMax; ++i) {
        if (p == end)
            return false;
        std::uint8_t b = *p++;
        if (i == VarintMax - 1 && b > 0x0F)
            return false;
        v |= std::uint32_t(b & 0x7F) << (7 * i);
        if (!(b & 0x80))
            return true;
    }
    return false;
}

} // namespace corvana::map::format
