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
// Numbers are little-endian. A version 1 file ("CVX1") ends right after the names.
//
// Version 2 ("CVX2") adds the zones as the time-zone database names them, and what a number of
// another country of the plan needs:
//   the header holds zoneNameCount and zoneNamesSize as well;
//   a zone set holds after its MaxZones zone bytes MaxZones 16-bit indexes into the zone names,
//     one per zone (UnnamedZone: none), the rest UnnamedZone; a zone whose standard offset is
//     not whole hours (Newfoundland, UTC-3:30) has the zone byte of the hour west of it, and
//     its name tells the truth;
//   an area entry adds its country (two capital letters: US, CA, JM ...) and a place (an index
//     into the place offsets, or NoPlace): the province's or country's name for a number whose
//     exchange has no place;
//   a place's state may be two 0 bytes: a place of a country without states;
//   after the names come zoneNameCount offsets (32 bits each) into zoneNamesSize bytes of zone
//     names, each a length byte and the name ("America/St_Johns"), and the file ends.

#include "data/Records.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

namespace corvana {

// The versions of the file. The reader takes both; corvana-mkdata writes the latest.
enum class ExchangeVersion : std::uint8_t { V1 = 1, V2 = 2 };

struct ExchangeHeader {
    static constexpr char MagicV1[4] = {'C', 'V', 'X', '1'};
    static constexpr char MagicV2[4] = {'C', 'V', 'X', '2'};

    ExchangeVersion version = ExchangeVersion::V2;
    std::uint16_t areaCount = 0;
    std::uint16_t zoneSetCount = 0;
    std::uint32_t exchangeCount = 0;
    std::uint32_t placeCount = 0;
    std::uint32_t namesSize = 0;
    std::uint16_t zoneNameCount = 0; // version 2
    std::uint32_t zoneNamesSize = 0; // version 2

    static constexpr std::size_t AreasAt = 4;
    static constexpr std::size_t ZoneSetsAt = 6;
    static constexpr std::size_t ExchangesAt = 8;
    static constexpr std::size_t PlacesAt = 12;
    static constexpr std::size_t NamesAt = 16;
    static constexpr std::size_t ZoneNamesAt = 20; // two bytes of 0 follow the count
    static constexpr std::size_t ZoneNamesSizeAt = 24;
    static constexpr std::size_t SizeV1 = 20;
    static constexpr std::size_t SizeV2 = 28;

    std::size_t size() const { return version == ExchangeVersion::V1 ? SizeV1 : SizeV2; }

    // The header of a file's bytes, which must hold at least SizeV1 of them (SizeV2 for a
    // version 2 magic); nothing for another magic.
    static std::optional<ExchangeHeader> decode(const std::uint8_t* p, std::size_t size) {
        ExchangeHeader h;
        if (std::memcmp(p, MagicV1, 4) == 0)
            h.version = ExchangeVersion::V1;
        else if (std::memcmp(p, MagicV2, 4) == 0 && size >= SizeV2)
            h.version = ExchangeVersion::V2;
        else
            return std::nullopt;
        h.areaCount = loadU16(p + AreasAt);
        h.zoneSetCount = loadU16(p + ZoneSetsAt);
        h.exchangeCount = loadU32(p + ExchangesAt);
        h.placeCount = loadU32(p + PlacesAt);
        h.namesSize = loadU32(p + NamesAt);
        if (h.version == ExchangeVersion::V2) {
            if (loadU16(p + ZoneNamesAt + 2) != 0)
                return std::nullopt;
            h.zoneNameCount = loadU16(p + ZoneNamesAt);
            h.zoneNamesSize = loadU32(p + ZoneNamesSizeAt);
        }
        return h;
    }
    void encode(std::string& out) const {
        out.append(version == ExchangeVersion::V1 ? MagicV1 : MagicV2, 4);
        storeU16(out, areaCount);
        storeU16(out, zoneSetCount);
        storeU32(out, exchangeCount);
        storeU32(out, placeCount);
        storeU32(out, namesSize);
        if (version == ExchangeVersion::V2) {
            storeU16(out, zoneNameCount);
            storeU16(out, 0);
            storeU32(out, zoneNamesSize);
        }
    }
};

// A set of the zones a number may be in, the zone furthest east first.
inline constexpr std::size_t MaxZones = 3;
inline constexpr std::uint16_t UnnamedZone = 0xFFFF;
inline constexpr std::size_t ZoneSetSize(ExchangeVersion v) {
    return 1 + MaxZones + (v == ExchangeVersion::V1 ? 0 : 2 * MaxZones);
}

inline constexpr std::uint32_t NoPlace = 0xFFFFFFFF;

struct AreaEntry {
    std::uint16_t code = 0;        // 200 to 999
    std::uint16_t zoneSet = 0;     // the zones where the area code's people are
    std::uint32_t first = 0;       // its first exchange
    char state[2] = {0, 0};        // the state of most of its ZIP codes; two 0 bytes: none
    char country[2] = {'U', 'S'};  // version 2
    std::uint32_t place = NoPlace; // version 2

    static constexpr std::size_t Size(ExchangeVersion v) {
        return v == ExchangeVersion::V1 ? 10 : 16;
    }

    static AreaEntry decode(const std::uint8_t* p, ExchangeVersion v) {
        AreaEntry a{loadU16(p), loadU16(p + 2), loadU32(p + 4), {char(p[8]), char(p[9])}};
        if (v == ExchangeVersion::V2) {
            a.country[0] = char(p[10]);
            a.country[1] = char(p[11]);
            a.place = loadU32(p + 12);
        }
        return a;
    }
    void encode(std::string& out, ExchangeVersion v) const {
        storeU16(out, code);
        storeU16(out, zoneSet);
        storeU32(out, first);
        out.append(state, 2);
        if (v == ExchangeVersion::V2) {
            out.append(country, 2);
            storeU32(out, place);
        }
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
