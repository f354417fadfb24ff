#pragma once

// The layout of EXCHANGE.DAT, written down once for corvana-mkdata and the reader: where the
// telephone numbers of an area code and exchange ring and which time zones they may be in.
//
//   an ExchangeHeader;
//   zoneSetCount zone sets of ZoneSetSize bytes: a count (1 to MaxZones), then that many zone
//     bytes (ZipRecord::zoneByte: the zone number and the daylight-saving bit), the rest 0;
//   areaCount AreaEntry records, area codes strictly ascending;
//   exchangeCount ExchangeEntry records: those of each area code together, in the order of the
//     area codes and exchanges ascending within one; an area's run starts at its `first` and
//     ends at the next area's `first` (the last at exchangeCount);
//   placeCount place offsets (32 bits each) into the names;
//   namesSize bytes of names: per place a length byte, the city in Windows-1252 and the two
//     letters of its state, the length counting both.
// Numbers are little-endian. The file ends right after the names.

#include "data/Records.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvana {

struct ExchangeHeader {
    static constexpr char Magic[4] = {'C', 'V', 'X', '1'};

    std::uint16_t areaCount = 0;
    std::uint16_t zoneSetCount = 0;
    std::uint32_t exchangeCount = 0;
    std::uint32_t placeCount = 0;
    std::uint32_t namesSize = 0;

    static constexpr std::size_t AreasAt = 4;
    static constexpr std::size_t ZoneSetsAt = 6;
    static constexpr std::size_t ExchangesAt = 8;
    static constexpr std::size_t PlacesAt = 12;
    static constexpr std::size_t NamesAt = 16;
    static constexpr std::size_t Size = 20;

    static ExchangeHeader decode(const std::uint8_t* p) {
        return ExchangeHeader{loadU16(p + AreasAt), loadU16(p + ZoneSetsAt),
                              loadU32(p + ExchangesAt), loadU32(p + PlacesAt),
                              loadU32(p + NamesAt)};
    }
    void encode(std::string& out) const {
        out.append(Magic, sizeof Magic);
        storeU16(out, areaCount);
        storeU16(out, zoneSetCount);
        storeU32(out, exchangeCount);
        storeU32(out, placeCount);
        storeU32(out, namesSize);
    }
};

// A set of the zones a number may be in, the zone furthest east first.
inline constexpr std::size_t MaxZones = 3;
inline constexpr std::size_t ZoneSetSize = 1 + MaxZones;

struct AreaEntry {
    std::uint16_t code = 0;    // 200 to 999
    std::uint16_t zoneSet = 0; // the zones of every ZIP code the area code reaches
    std::uint32_t first = 0;   // its first exchange
    char state[2] = {0, 0};    // the state of most of its ZIP codes; two 0 bytes: none

    static constexpr std::size_t Size = 10;

    static AreaEntry decode(const std::uint8_t* p) {
        return AreaEntry{loadU16(p), loadU16(p + 2), loadU32(p + 4), {char(p[8]), char(p[9])}};
    }
    void encode(std::string& out) const {
        storeU16(out, code);
        storeU16(out, zoneSet);
        storeU32(out, first);
        out.append(state, 2);
    }
};

struct ExchangeEntry {
    std::uint16_t exchange = 0; // 200 to 999
    std::uint16_t zoneSet = 0;
    std::uint32_t place = 0;

    static constexpr std::size_t Size = 8;

    static ExchangeEntry decode(const std::uint8_t* p) {
        return ExchangeEntry{loadU16(p), loadU16(p + 2), loadU32(p + 4)};
    }
    void encode(std::string& out) const {
        storeU16(out, exchange);
        storeU16(out, zoneSet);
        storeU32(out, place);
    }
};

// Area codes and exchanges of the North American plan begin with 2 to 9.
inline constexpr std::uint16_t FirstNanpCode = 200;
inline constexpr std::uint16_t LastNanpCode = 999;

} // namespace corvana
