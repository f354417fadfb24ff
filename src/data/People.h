#pragma once

#include "data/DataSet.h"
#include "data/PeopleFormat.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvana::msg {
inline constexpr const char* PeopleCorrupt = "File containing population figures is corrupt.";
inline constexpr const char* PeopleUnreadable =
    "File containing population figures could not be read.";
inline constexpr const char* NoPeople = "This data has no population figures.";
} // namespace corvana::msg

namespace corvana {

// Square kilometres in a square mile.
inline constexpr double SquareKmPerSquareMile = 2.589988110336;

// How many people live in one ZIP code's area and how densely. Each figure is either given or
// not: a P.O. box or a military post office has none, which is not the same as 0 people.
struct PeopleFigures {
    std::optional<std::uint32_t> population;
    std::optional<std::uint32_t> densityTenths; // tenths of a person per square mile

    std::optional<double> perSquareMile() const {
        return densityTenths ? std::optional<double>(*densityTenths / 10.0) : std::nullopt;
    }
    std::optional<double> perSquareKm() const {
        return densityTenths ? std::optional<double>(*densityTenths / 10.0 / SquareKmPerSquareMile)
                             : std::nullopt;
    }
    bool operator==(const PeopleFigures&) const = default;
};

// PEOPLE.DAT, checked whole when it is read and kept in memory afterwards (8 bytes a ZIP code).
class People {
public:
    // Nothing when the bytes are damaged: no magic, a record count the size does not match, a
    // figure above its maximum (a byte changed, or a file in other units).
    static std::optional<People> fromBytes(std::span<const std::uint8_t> bytes);

    std::size_t recordCount() const { return records_.size(); }
    // The figures of ZIPCODE.DAT record n; nothing past the end.
    std::optional<PeopleFigures> ofRecord(std::uint32_t n) const;

private:
    std::vector<PeopleRecord> records_;
};

enum class PeopleStatus {
    Loaded,
    Missing, // no PEOPLE.DAT: data built from a table without population or density
    Damaged  // present but unreadable, corrupt, or made for other ZIP data
};

struct PeopleLoad {
    std::optional<People> people; // set when Loaded
    PeopleStatus status = PeopleStatus::Missing;
    std::string message; // msg::NoPeople, msg::PeopleCorrupt or msg::PeopleUnreadable
};

// Reads PEOPLE.DAT of the data directory. A file whose record count differs from ZIPCODE.DAT's
// belongs to other data and is Damaged too.
PeopleLoad LoadPeople(const DataSet& data);

// The figures of a five-digit ZIP code, from its first ZIPCODE.DAT record; nothing when the data
// has no such ZIP code or the text is no ZIP code. A damaged ZIPCODE.DAT throws IoError, a
// missing one FatalError, as every reader of it does.
std::optional<PeopleFigures> PeopleOfZip(const DataSet& data, const People& people,
                                         std::string_view zip);

// The bytes of PEOPLE.DAT: one record per ZIPCODE.DAT record, in its order. The caller keeps every
// figure within its maximum or NoFigure.
std::string WritePeopleFile(const std::vector<PeopleRecord>& records);

} // namespace corvana
