#pragma once

// ZIPFACTS.DAT: what one ZIP code's facts need beyond the other data files, written by
// corvana-mkdata from a table with a kind or time_zone column and read by data/ZipFacts.h.
// Numbers are little-endian. In order:
//   a FactsHeader;
//   zoneCount zone names, each a length byte and that many ASCII bytes ("America/Boise");
//   recordCount + 1 offsets (32-bit) into the body: record n spans offsets n to n + 1, the
//     first is 0, they never fall, and the last is bodySize;
//   the body: one FactsRecord per ZIPCODE.DAT record, in its order.
// A record: its kind byte, its zone byte (0 none, else zone name number + 1), a flags byte
// (FactsRecord's MainCounty and MainAreaCode, no other bit set), then three lists, each a count
// byte and its items:
//   the counties, the main one first when there is one (flag MainCounty): a 32-bit FIPS code
//     (0 when unknown) and a name (length byte, Windows-1252 bytes);
//   the area codes, the main one first when there is one (flag MainAreaCode): 16-bit codes,
//     1 to 999;
//   the other names of its city: names as the counties'.
// Offsets make a record's look-up one step; the reader checks every byte once when it opens
// the file, so that a look-up never meets a fault.

#include "data/Records.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace corvana {

// The kind of a ZIP code: an area of its own, a post-office box or single organisation's code
// without one, or a military post office. Unknown: the table said nothing.
enum class ZipKind : std::uint8_t { Unknown = 0, Standard = 1, PoBoxOrUnique = 2, Military = 3 };
inline constexpr std::uint8_t ZipKindCount = 4;

struct FactsHeader {
    static constexpr char Magic[4] = {'Z', 'F', 'C', '1'};
    std::uint32_t recordCount = 0;
    std::uint32_t zoneCount = 0;
    std::uint32_t bodySize = 0;

    static constexpr std::size_t MagicAt = 0;
    static constexpr std::size_t RecordsAt = 4;
    static constexpr std::size_t ZonesAt = 8;
    static constexpr std::size_t BodyAt = 12;
    static constexpr std::size_t Size = 16;

    static bool hasMagic(const std::uint8_t* p) {
        for (std::size_t i = 0; i < 4; ++i)
            if (p[MagicAt + i] != std::uint8_t(Magic[i]))
                return false;
        return true;
    }
    static FactsHeader decode(const std::uint8_t* p) {
        return FactsHeader{loadU32(p + RecordsAt), loadU32(p + ZonesAt), loadU32(p + BodyAt)};
    }
    void encode(std::string& out) const {
        out.append(Magic, 4);
        storeU32(out, recordCount);
        storeU32(out, zoneCount);
        storeU32(out, bodySize);
    }
};

// At most this many items in one list of a record (a count byte), and 255 zone names.
inline constexpr std::size_t MaxFactsItems = 255;
// Zone byte 0: no zone.
inline constexpr std::uint8_t NoZoneName = 0;

struct FactsCounty {
    std::uint32_t fips = 0; // 49035; 0 when unknown
    std::string name;       // Windows-1252
    bool operator==(const FactsCounty&) const = default;
};

struct FactsRecord {
    static constexpr std::uint8_t MainCounty = 1;   // the first county is the main one
    static constexpr std::uint8_t MainAreaCode = 2; // the first area code is the main one
    static constexpr std::uint8_t AllFlags = MainCounty | MainAreaCode;

    ZipKind kind = ZipKind::Unknown;
    std::uint8_t zone = NoZoneName;
    std::uint8_t flags = 0;
    std::vector<FactsCounty> counties;    // the main county first
    std::vector<std::uint16_t> areaCodes; // the main code first
    std::vector<std::string> otherCities; // Windows-1252

    bool operator==(const FactsRecord&) const = default;

    // The caller keeps every list within MaxFactsItems and every name within 255 bytes.
    void encode(std::string& out) const {
        storeU8(out, std::uint8_t(kind));
        storeU8(out, zone);
        storeU8(out, flags);
        storeU8(out, std::uint8_t(counties.size()));
        for (const FactsCounty& c : counties) {
            storeU32(out, c.fips);
            storeU8(out, std::uint8_t(c.name.size()));
            out += c.name;
        }
        storeU8(out, std::uint8_t(areaCodes.size()));
        for (std::uint16_t code : areaCodes)
            storeU16(out, code);
        storeU8(out, std::uint8_t(otherCities.size()));
        for (const std::string& name : otherCities) {
            storeU8(out, std::uint8_t(name.size()));
            out += name;
        }
    }
};

} // namespace corvana
