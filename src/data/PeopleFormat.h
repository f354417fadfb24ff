#pragma once

// PEOPLE.DAT: how many people live in each ZIP code's area and how densely, written by
// corvana-mkdata from a table with a population or density column and read by data/People.h.
// Numbers are little-endian. In order:
//   a PeopleHeader;
//   recordCount PeopleRecords, one per ZIPCODE.DAT record, in its order.
// The file ends right after the last record. A figure the table does not give is NoFigure, so
// that "no figure" stays apart from 0 people; every other value lies within its maximum.

#include "data/Records.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvana {

struct PeopleHeader {
    static constexpr char Magic[4] = {'C', 'V', 'P', '1'};
    std::uint32_t recordCount = 0;

    static constexpr std::size_t MagicAt = 0;
    static constexpr std::size_t RecordsAt = 4;
    static constexpr std::size_t Size = 8;

    static bool hasMagic(const std::uint8_t* p) {
        for (std::size_t i = 0; i < sizeof Magic; ++i)
            if (p[MagicAt + i] != std::uint8_t(Magic[i]))
                return false;
        return true;
    }
    static PeopleHeader decode(const std::uint8_t* p) {
        return PeopleHeader{loadU32(p + RecordsAt)};
    }
    void encode(std::string& out) const {
        out.append(Magic, sizeof Magic);
        storeU32(out, recordCount);
    }
};

// The stored value of a figure the table does not give.
inline constexpr std::uint32_t NoFigure = 0xFFFFFFFFu;
// No ZIP code comes near these (the most populous has about 130,000 people, the densest about
// 150,000 per square mile); a larger value is a damaged file or a table in other units.
inline constexpr std::uint32_t MaxPopulation = 10'000'000;
inline constexpr std::uint32_t MaxDensityTenths = 10'000'000; // 1,000,000 per square mile

struct PeopleRecord {
    std::uint32_t population = NoFigure;    // people
    std::uint32_t densityTenths = NoFigure; // tenths of a person per square mile

    static constexpr std::size_t Size = 8;

    static PeopleRecord decode(const std::uint8_t* p) {
        return PeopleRecord{loadU32(p), loadU32(p + 4)};
    }
    void encode(std::string& out) const {
        storeU32(out, population);
        storeU32(out, densityTenths);
    }
    bool operator==(const PeopleRecord&) const = default;
};

} // namespace corvana
