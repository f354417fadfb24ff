#pragma once

#include "data/DataSet.h"
#include "data/FactsFormat.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvana::msg {
inline constexpr const char* FactsCorrupt = "File containing ZIP code facts is corrupt.";
inline constexpr const char* FactsUnreadable = "File containing ZIP code facts could not be read.";
inline constexpr const char* NoFacts = "This data has no ZIP code facts.";
} // namespace corvana::msg

namespace corvana {

// The names a kind has in the table and in every output: "standard", "po_box_or_unique",
// "military"; empty for Unknown.
std::string_view KindName(ZipKind kind);
// The kind of a name, as the table and a list of kinds give it; nothing for another text.
std::optional<ZipKind> KindOfName(std::string_view name);

// A choice of kinds, as `--kind` gives it: "all", or a comma-separated list of kind names.
// The default holds every kind. A ZIP code whose kind the data does not say passes every
// choice, as does every ZIP code of data without kinds.
class KindSet {
public:
    static constexpr std::uint8_t AllBits = (1u << ZipKindCount) - 1;

    KindSet() = default;
    static KindSet of(std::initializer_list<ZipKind> kinds);
    static KindSet all() { return KindSet(); }
    static KindSet standardOnly() { return of({ZipKind::Standard}); }
    // "all", or names separated by commas, blanks around each allowed; nothing for an empty
    // list or an unknown name.
    static std::optional<KindSet> parse(std::string_view list);

    bool isAll() const { return bits_ == AllBits; }
    bool has(ZipKind kind) const {
        return kind == ZipKind::Unknown || (bits_ >> std::uint8_t(kind)) & 1u;
    }
    // "all", or the names chosen in kind order, comma-separated.
    std::string text() const;
    bool operator==(const KindSet&) const = default;

private:
    std::uint8_t bits_ = AllBits;
};

// One county of a ZIP code: its FIPS code and its name.
struct FactsCountyView {
    std::uint32_t fips = 0; // 49035; 0 when unknown
    std::string_view name;  // Windows-1252, a view into the file

    // The code as five digits ("01001"), empty when unknown.
    std::string fipsText() const;
};

// The facts of one ZIP record. The views point into the ZipFacts they came from, which must
// outlive them.
struct ZipFactsEntry {
    ZipKind kind = ZipKind::Unknown;
    std::string_view zoneName;                 // "America/Boise"; empty when none
    std::vector<FactsCountyView> counties;     // the main one first, when there is one
    std::vector<std::uint16_t> areaCodes;      // the main one first, when there is one
    bool hasMainCounty = false;                // counties[0] is the main county
    bool hasMainAreaCode = false;              // areaCodes[0] is the main area code
    std::vector<std::string_view> otherCities; // Windows-1252

    // The counties and area codes beside the main one.
    std::span<const FactsCountyView> otherCounties() const {
        return std::span<const FactsCountyView>(counties).subspan(hasMainCounty ? 1 : 0);
    }
    std::span<const std::uint16_t> otherAreaCodes() const {
        return std::span<const std::uint16_t>(areaCodes).subspan(hasMainAreaCode ? 1 : 0);
    }
};

// ZIPFACTS.DAT, read whole from its mapping and checked when opened, read-only afterwards
// (about 1.2 MB for 42,000 ZIP codes).
class ZipFacts {
public:
    // Checks the bytes of a ZIPFACTS.DAT; nothing when they are damaged in any way (a count or
    // offset out of range, a list running past its record, a byte left over, a zone number or
    // kind that does not exist, a zone name of the wrong form).
    static std::optional<ZipFacts> fromBytes(std::span<const std::uint8_t> bytes);

    std::size_t recordCount() const { return offsets_.empty() ? 0 : offsets_.size() - 1; }

    // The facts of ZIPCODE.DAT record n; nothing past the end.
    std::optional<ZipFactsEntry> entry(std::uint32_t n) const;
    // The kind alone, without building the lists; Unknown past the end.
    ZipKind kind(std::uint32_t n) const;

    const std::vector<std::string>& zoneNames() const { return zones_; }

private:
    // The file's bytes, shared by copies of the object; the views point into them.
    std::shared_ptr<const std::vector<std::uint8_t>> owned_;
    std::span<const std::uint8_t> body_;
    std::vector<std::uint32_t> offsets_;
    std::vector<std::string> zones_;

    static std::optional<ZipFacts> parse(std::span<const std::uint8_t> bytes);
};

enum class FactsStatus {
    Loaded,
    Missing, // no ZIPFACTS.DAT: data built from a table without kinds or zone names
    Damaged  // present but unreadable, corrupt, or made for other ZIP data
};

struct FactsLoad {
    std::optional<ZipFacts> facts; // set when Loaded
    FactsStatus status = FactsStatus::Missing;
    std::string message; // msg::NoFacts, msg::FactsCorrupt or msg::FactsUnreadable
};

// The kinds a search keeps, with the facts they are read from; without facts every ZIP code
// is kept.
struct KindChoice {
    KindSet kinds;
    const ZipFacts* facts = nullptr;

    bool keeps(std::uint32_t record) const {
        return kinds.isAll() || !facts || kinds.has(facts->kind(record));
    }
};

// Loads ZIPFACTS.DAT from the data directory. A file whose record count differs from
// ZIPCODE.DAT's belongs to other data and is Damaged too.
FactsLoad LoadFacts(const DataSet& data);

// ZIPFACTS.DAT read on first use, so that starting the program costs nothing more. One object
// per data set; safe to share between threads.
class LazyFacts {
public:
    explicit LazyFacts(const DataSet& data) : data_(data) {}
    // The load, made by the first call.
    const FactsLoad& get() const;
    // The facts when they loaded; nothing when missing or damaged.
    const ZipFacts* facts() const { return get().facts ? &*get().facts : nullptr; }

private:
    const DataSet& data_;
    mutable std::once_flag once_;
    mutable FactsLoad load_;
};

// Whether a text has the form of an IANA zone name: "Area/Place" or "Area/Sub/Place", letters,
// digits, '_', '-' and '+' only, the area beginning with a capital letter, at most 64 bytes.
bool IsZoneNameForm(std::string_view name);

} // namespace corvana
