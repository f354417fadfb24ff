#pragma once

// The binary records of the data files, written down once: corvana-mkdata encodes with these and
// the readers decode with them. Numbers are little-endian; offsets count from a record's start.
// Each data file has one writer in data/FileWriters.h, named beside its record below.

#include "data/DataSet.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvana {

inline std::uint16_t loadU16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}
inline std::int32_t loadI32(const std::uint8_t* p) {
    return std::int32_t(std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) |
                        (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24));
}

inline void storeU8(std::string& out, std::uint8_t v) {
    out += char(v);
}
inline void storeU16(std::string& out, std::uint16_t v) {
    out += char(v & 0xFF);
    out += char(v >> 8);
}
inline void storeI32(std::string& out, std::int32_t v) {
    auto u = std::uint32_t(v);
    for (int shift = 0; shift < 32; shift += 8)
        out += char((u >> shift) & 0xFF);
}
inline std::uint32_t loadU32(const std::uint8_t* p) {
    return std::uint32_t(loadI32(p));
}
inline void storeU32(std::string& out, std::uint32_t v) {
    storeI32(out, std::int32_t(v));
}

// One record of ZIPCODE.DAT per ZIP code, in ZIP order. Byte 3 is unused and written as 0.
// The file: WriteZipFile.
struct ZipRecord {
    std::uint8_t leading = 0; // the ZIP code divided by 10000
    std::uint16_t last4 = 0;  // the ZIP code modulo 10000
    std::int32_t cityOffset = 0;
    std::uint16_t county = NoCounty;
    std::uint16_t areaCode = NoAreaCode;
    std::uint8_t timeZone = 0; // the zone byte: see zoneByte()

    static constexpr std::size_t LeadingAt = 0;
    static constexpr std::size_t Last4At = 1;
    static constexpr std::size_t CityAt = 4;
    static constexpr std::size_t CountyAt = 8;
    static constexpr std::size_t AreaAt = 10;
    static constexpr std::size_t ZoneAt = 12;
    static constexpr std::size_t Size = 13;

    static ZipRecord decode(const std::uint8_t* p) {
        ZipRecord r;
        r.leading = p[LeadingAt];
        r.last4 = loadU16(p + Last4At);
        r.cityOffset = loadI32(p + CityAt);
        r.county = loadU16(p + CountyAt);
        r.areaCode = loadU16(p + AreaAt);
        r.timeZone = p[ZoneAt];
        return r;
    }
    void encode(std::string& out) const {
        storeU8(out, leading);
        storeU16(out, last4);
        storeU8(out, 0);
        storeI32(out, cityOffset);
        storeU16(out, county);
        storeU16(out, areaCode);
        storeU8(out, timeZone);
    }

    // The zone byte holds the zone number in bits 0-6 (the standard offset from UTC in hours
    // plus 12; 0 is no zone) and in bit 7 whether the place observes daylight-saving time.
    static constexpr std::uint8_t zoneByte(int zone, bool dst) {
        return std::uint8_t((zone & 0x7f) | (dst ? 0x80 : 0));
    }
    static constexpr int zoneOf(std::uint8_t byte) { return byte & 0x7f; }
    static constexpr bool dstOf(std::uint8_t byte) { return (byte & 0x80) != 0; }
    int zone() const { return zoneOf(timeZone); }
    bool observesDst() const { return dstOf(timeZone); }

    // Leading digit, then the last four digits padded with zeros, cut to five characters.
    std::string zipText() const;
    std::uint32_t zipValue() const { return leading * 10000u + last4; }
};

// One record of ZIPCODE.IDX per three-digit prefix that has ZIP codes. The file:
// WriteZipIndexFile.
struct ZipIndexRecord {
    std::uint16_t prefix = 0;
    ZipIndexEntry entry;

    static constexpr std::size_t PrefixAt = 0;
    static constexpr std::size_t FirstAt = 2;
    static constexpr std::size_t CountAt = 6;
    static constexpr std::size_t MainCityAt = 8;
    static constexpr std::size_t SpareAt = 12;
    static constexpr std::size_t Size = 13;

    static ZipIndexRecord decode(const std::uint8_t* p) {
        ZipIndexRecord r;
        r.prefix = loadU16(p + PrefixAt);
        r.entry.first = loadI32(p + FirstAt);
        r.entry.count = loadU16(p + CountAt);
        r.entry.mainCity = loadI32(p + MainCityAt);
        r.entry.spare = p[SpareAt];
        return r;
    }
    void encode(std::string& out) const {
        storeU16(out, prefix);
        storeI32(out, entry.first);
        storeU16(out, entry.count);
        storeI32(out, entry.mainCity);
        storeU8(out, entry.spare);
    }
};

// One record of AREA.DAT per area code: the AREA.IDX offset of its ZIP list. The files:
// WriteAreaFile and WriteAreaListFile.
struct AreaRecord {
    std::uint16_t code = 0;
    std::int32_t listOffset = 0;

    static constexpr std::size_t CodeAt = 0;
    static constexpr std::size_t ListAt = 2;
    static constexpr std::size_t Size = 6;

    static AreaRecord decode(const std::uint8_t* p) {
        return AreaRecord{loadU16(p + CodeAt), loadI32(p + ListAt)};
    }
    void encode(std::string& out) const {
        storeU16(out, code);
        storeI32(out, listOffset);
    }
};

// One record of CITY.IDX per two-letter beginning of the upper-cased city names: where its
// block starts in CITY.DAT. A one-letter name has a key of length 1, padded. The file:
// WriteCityIndexFile.
struct CityIndexRecord {
    std::uint8_t keyLength = 0;
    char key[2] = {0, 0};
    std::int32_t cityOffset = 0;

    static constexpr std::size_t KeyLengthAt = 0;
    static constexpr std::size_t KeyAt = 1;
    static constexpr std::size_t OffsetAt = 3;
    static constexpr std::size_t Size = 7;

    static CityIndexRecord decode(const std::uint8_t* p) {
        CityIndexRecord r;
        r.keyLength = p[KeyLengthAt];
        r.key[0] = char(p[KeyAt]);
        r.key[1] = char(p[KeyAt + 1]);
        r.cityOffset = loadI32(p + OffsetAt);
        return r;
    }
    // The key's first one or two characters, padded with zeros.
    static CityIndexRecord of(std::string_view key, std::int32_t cityOffset) {
        CityIndexRecord r;
        r.keyLength = std::uint8_t(key.size() < 2 ? key.size() : 2);
        for (std::size_t i = 0; i < r.keyLength; ++i)
            r.key[i] = key[i];
        r.cityOffset = cityOffset;
        return r;
    }
    void encode(std::string& out) const {
        storeU8(out, keyLength);
        out.append(key, 2);
        storeI32(out, cityOffset);
    }
};

// A ZIP list, as CITY.DAT, COUNTY.IDX and AREA.IDX hold them: a 16-bit count, then as many
// 16-bit ZIPCODE.DAT record numbers. COUNTY.IDX: WriteCountyListFile.
inline void EncodeZipList(std::string& out, const std::vector<std::uint16_t>& records) {
    storeU16(out, std::uint16_t(records.size()));
    for (std::uint16_t r : records)
        storeU16(out, r);
}

// The start of a CITY.DAT or COUNTY.DAT record: a length byte counting the body, then the body,
// which is the name and one byte holding the state number. A CITY.DAT record goes on with the
// city's ZIP list, a COUNTY.DAT record with the 32-bit COUNTY.IDX offset of the county's list.
// The files: WriteCityFile and WriteCountyFile. STATE.DAT and ZIPVER.DAT are lines of text:
// WriteStateFile and WriteVersionFile.
inline void EncodeNamedBody(std::string& out, std::string_view name, std::uint8_t state) {
    storeU8(out, std::uint8_t(name.size() + 1));
    out += name;
    storeU8(out, state);
}

// POINTS.DAT, written only from a table with positions: where each ZIP code lies, its county
// code, and a spatial index of the points. In order:
//   a PointsHeader;
//   recordCount PointRecords, one per ZIPCODE.DAT record and in its order;
//   the place list: listCount 16-bit record numbers, every record with a position once.
// Records at the very same position stand next to each other in the list, in record order, and
// make one place. The places, in list order, are the leaves of a static k-d tree laid out
// implicitly: a node covers a run of places; a run of more than leafSize places splits at its
// middle place (first half rounded down) into two nodes, a shorter run is a leaf. The builder
// splits on the axis of widest extent of the points' unit vectors, so that a node's points
// lie close together; the reader computes each node's box from the points themselves, which
// keeps its answers right whatever the order of the list. The file: WritePointsFile, with the
// order from geo::BuildPointsFile.

struct PointsHeader {
    std::uint32_t recordCount = 0;
    std::uint32_t listCount = 0;
    std::uint8_t leafSize = 0;

    static constexpr std::size_t RecordsAt = 0;
    static constexpr std::size_t ListAt = 4;
    static constexpr std::size_t LeafAt = 8;
    static constexpr std::size_t Size = 12; // bytes 9 to 11 are spare, written as 0

    static PointsHeader decode(const std::uint8_t* p) {
        return PointsHeader{loadU32(p + RecordsAt), loadU32(p + ListAt), p[LeafAt]};
    }
    void encode(std::string& out) const {
        storeU32(out, recordCount);
        storeU32(out, listCount);
        storeU8(out, leafSize);
        out.append(3, '\0');
    }
};

// One record of POINTS.DAT per ZIP code: latitude and longitude in units of 1e-5 degree (north
// and east positive), and the five-digit county FIPS code as its state and county parts.
// A ZIP code without a position (the military post offices) has NoPosition in both, one without
// a county code state and county 0.
struct PointRecord {
    static constexpr std::int32_t NoPosition = INT32_MIN;
    static constexpr std::int32_t PerDegree = 100000;

    std::int32_t latitude = NoPosition;
    std::int32_t longitude = NoPosition;
    std::uint8_t stateFips = 0;
    std::uint16_t countyFips = 0;

    static constexpr std::size_t LatitudeAt = 0;
    static constexpr std::size_t LongitudeAt = 4;
    static constexpr std::size_t StateAt = 8;
    static constexpr std::size_t CountyAt = 9;
    static constexpr std::size_t Size = 11;

    bool hasPosition() const { return latitude != NoPosition; }
    // The five digits as a number (01001 is 1001); 0 when there is none.
    std::uint32_t fips() const { return stateFips * 1000u + countyFips; }

    static PointRecord decode(const std::uint8_t* p) {
        return PointRecord{loadI32(p + LatitudeAt), loadI32(p + LongitudeAt), p[StateAt],
                           loadU16(p + CountyAt)};
    }
    void encode(std::string& out) const {
        storeI32(out, latitude);
        storeI32(out, longitude);
        storeU8(out, stateFips);
        storeU16(out, countyFips);
    }
};

} // namespace corvana
