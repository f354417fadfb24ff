#pragma once

// One row per setting: its section, key, default and where it lives in its record, which
// reading, writing and the defaults of the record all use. Inside the settings layer only.

#include "settings/IniFile.h"
#include "settings/Settings.h"

#include <charconv>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

namespace corvana::detail {

// The private-profile buffers: 15 characters for most keys, 150 for the print font's own.
inline constexpr std::size_t SmallBuffer = 15;
inline constexpr std::size_t FontBuffer = 150;
// A folder's path, as the map keeps the last one it saved an image in.
inline constexpr std::size_t PathBuffer = 4096;

template <class Record> struct SettingRow {
    // Where a setting lives in the record, by the type it has there.
    using FlagAt = bool& (*)(Record&);
    using NumberAt = std::int32_t& (*)(Record&);
    using WordAt = std::uint16_t& (*)(Record&); // a number kept in 16 bits
    using TextAt = std::string& (*)(Record&);
    using MilesAt = double& (*)(Record&); // a radius in miles

    std::string_view section;
    std::string_view key;
    std::string_view def; // as the file would hold it
    std::size_t buffer;
    std::variant<FlagAt, NumberAt, WordAt, TextAt, MilesAt> at;
    // Written only where the file has the key already or the value is not the default, so that
    // the file of a user who never touched the setting keeps its bytes.
    bool onlyWhenSet = false;
};

// Puts the text a setting has in the file, or its default, into the record.
template <class Record>
void TakeSetting(const SettingRow<Record>& row, std::string_view text, Record& r) {
    using Row = SettingRow<Record>;
    std::visit(
        [&](auto at) {
            using At = decltype(at);
            if constexpr (std::is_same_v<At, typename Row::FlagAt>)
                at(r) = ParseFlag(text);
            else if constexpr (std::is_same_v<At, typename Row::NumberAt>)
                at(r) = ParseNumber(text);
            else if constexpr (std::is_same_v<At, typename Row::WordAt>)
                at(r) = std::uint16_t(ParseNumber(text));
            else if constexpr (std::is_same_v<At, typename Row::MilesAt>)
                at(r) = ParseMiles(text, ParseMiles(row.def, 0));
            else
                at(r) = std::string(text);
        },
        row.at);
}

// The accessors hand out references, so the two functions below take records they only read as
// references to copies of the caller's.

// Whether the setting has the same value in both records.
template <class Record> bool SameSetting(const SettingRow<Record>& row, Record& a, Record& b) {
    return std::visit([&](auto at) { return at(a) == at(b); }, row.at);
}

// Writes the setting as the file holds it: "Yes" or "No", a decimal number, the text, or the
// shortest text that reads back as the same radius ("10", "2.5").
template <class Record> void PutSetting(const SettingRow<Record>& row, Record& r, IniFile& ini) {
    using Row = SettingRow<Record>;
    std::visit(
        [&](auto at) {
            using At = decltype(at);
            if constexpr (std::is_same_v<At, typename Row::FlagAt>) {
                ini.set(row.section, row.key, at(r) ? "Yes" : "No");
            } else if constexpr (std::is_same_v<At, typename Row::TextAt>) {
                ini.set(row.section, row.key, at(r));
            } else if constexpr (std::is_same_v<At, typename Row::MilesAt>) {
                char buffer[32];
                const auto end = std::to_chars(std::begin(buffer), std::end(buffer), at(r)).ptr;
                ini.set(row.section, row.key, std::string(buffer, end));
            } else {
                ini.set(row.section, row.key, std::to_string(at(r)));
            }
        },
        row.at);
}

// Writes every row of a table; a row written only when set stays out of a file that lacks it
// while the record has its default.
template <class Record, std::size_t N>
void PutSettings(const SettingRow<Record> (&rows)[N], const Record& record, IniFile& ini) {
    Record r = record;
    Record defaults;
    for (const SettingRow<Record>& row : rows) {
        if (row.onlyWhenSet && !ini.has(row.section, row.key) && SameSetting(row, r, defaults))
            continue;
        PutSetting(row, r, ini);
    }
}

} // namespace corvana::detail
