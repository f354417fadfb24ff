#include "settings/Settings.h"

#include "geo/Distance.h"
#include "settings/IniFile.h"
#include "text/ShortString.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <type_traits>
#include <variant>
#include <pwd.h>
#include <unistd.h>

namespace corvana {

namespace {

constexpr std::string_view Misc = "Misc";
constexpr std::string_view Preferences = "Preferences";
constexpr std::string_view PrintFont = "Print Font";
constexpr std::string_view TimeZone = "Time Zone";

// The private-profile buffers: 15 characters for most keys, 150 for the print font's own.
constexpr std::size_t SmallBuffer = 15;
constexpr std::size_t FontBuffer = 150;

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Where a setting lives in the record, by the type it has there.
using FlagAt = bool& (*)(Settings&);
using NumberAt = std::int32_t& (*)(Settings&);
using WordAt = std::uint16_t& (*)(Settings&); // a number kept in 16 bits
using TextAt = std::string& (*)(Settings&);
using MilesAt = double& (*)(Settings&); // a radius in miles

constexpr double DefaultNearbyMiles = 10;

struct SettingRow {
    std::string_view section;
    std::string_view key;
    std::string_view def; // as the file would hold it
    std::size_t buffer;
    std::variant<FlagAt, NumberAt, WordAt, TextAt, MilesAt> at;
    // Written only where the file has the key already or the value is not the default, so that
    // the file of a user who never touched the setting keeps its bytes.
    bool onlyWhenSet = false;
};

#define CORVANA_AT(type, member) type([](Settings& s) -> auto& { return s.member; })

// Every setting in the order it is read and written; a file written afresh has this order.
constexpr SettingRow SettingRows[] = {
    {Misc, "Window Size", "640", SmallBuffer, CORVANA_AT(NumberAt, windowSize)},
    {Misc, "Last Search", "1", SmallBuffer, CORVANA_AT(WordAt, lastSearch)},
    {Misc, "All State", "Yes", SmallBuffer, CORVANA_AT(FlagAt, allState)},
    {Misc, "Last Print Format", "0", SmallBuffer, CORVANA_AT(NumberAt, lastPrintFormat)},
    {Misc, "Last Copy Format", "0", SmallBuffer, CORVANA_AT(NumberAt, lastCopyFormat)},
    {Misc, "Main Window Left", "0", SmallBuffer, CORVANA_AT(NumberAt, mainWindowLeft)},
    {Misc, "Main Window Top", "0", SmallBuffer, CORVANA_AT(NumberAt, mainWindowTop)},
    {Misc, "Always On Top", "No", SmallBuffer, CORVANA_AT(FlagAt, alwaysOnTop)},
    // The state of Single State, as its abbreviation; empty when none was chosen. Last in its
    // section, as a file of an older version gains it at the end of the section.
    {Misc, "Single State", "", SmallBuffer, CORVANA_AT(TextAt, singleState)},
    {Misc, "Nearby Miles", "10", SmallBuffer, CORVANA_AT(MilesAt, nearbyMiles), true},
    {Misc, "Nearby Standard Only", "No", SmallBuffer, CORVANA_AT(FlagAt, nearbyStandardOnly),
     true},

    {Preferences, "Show County", "Yes", SmallBuffer, CORVANA_AT(FlagAt, showCounty)},
    {Preferences, "Show Area Code", "Yes", SmallBuffer, CORVANA_AT(FlagAt, showAreaCode)},
    {Preferences, "Show Time Zone", "No", SmallBuffer, CORVANA_AT(FlagAt, showTimeZone)},
    {Preferences, "Show Current Time", "Yes", SmallBuffer, CORVANA_AT(FlagAt, showCurrentTime)},
    {Preferences, "Cities in Caps", "No", SmallBuffer, CORVANA_AT(FlagAt, citiesInCaps)},
    {Preferences, "Counties in Caps", "No", SmallBuffer, CORVANA_AT(FlagAt, countiesInCaps)},
    {Preferences, "States in Caps", "No", SmallBuffer, CORVANA_AT(FlagAt, statesInCaps)},

    {PrintFont, "Color", "0", FontBuffer, CORVANA_AT(NumberAt, printFont.color)},
    {PrintFont, "Font Name", "Arial", FontBuffer, CORVANA_AT(TextAt, printFont.faceName)},
    {PrintFont, "Size", "11", FontBuffer, CORVANA_AT(NumberAt, printFont.size)},
    {PrintFont, "Bold", "No", SmallBuffer, CORVANA_AT(FlagAt, printFont.bold)},
    {PrintFont, "Italic", "No", SmallBuffer, CORVANA_AT(FlagAt, printFont.italic)},
    {PrintFont, "Underline", "No", SmallBuffer, CORVANA_AT(FlagAt, printFont.underline)},
    {PrintFont, "Strikeout", "No", SmallBuffer, CORVANA_AT(FlagAt, printFont.strikeout)},

    // The defaults of UserZone; LoadSettings puts the zone it is given in their place.
    {TimeZone, "Daylight Savings", "Yes", SmallBuffer, CORVANA_AT(FlagAt, daylightSavings)},
    {TimeZone, "Time Zone", "8", SmallBuffer, CORVANA_AT(NumberAt, timeZone)},
};

#undef CORVANA_AT

// Puts the text a setting has in the file, or its default, into the record.
void take(const SettingRow& row, std::string_view text, Settings& s) {
    std::visit(
        [&](auto at) {
            using At = decltype(at);
            if constexpr (std::is_same_v<At, FlagAt>)
                at(s) = ParseFlag(text);
            else if constexpr (std::is_same_v<At, NumberAt>)
                at(s) = ParseNumber(text);
            else if constexpr (std::is_same_v<At, WordAt>)
                at(s) = std::uint16_t(ParseNumber(text));
            else if constexpr (std::is_same_v<At, MilesAt>)
                at(s) = ParseMiles(text, DefaultNearbyMiles);
            else
                at(s) = std::string(text);
        },
        row.at);
}

// The shortest text that reads back as the same number: "10", "2.5".
std::string milesText(double miles) {
    char buffer[32];
    const auto end = std::to_chars(std::begin(buffer), std::end(buffer), miles).ptr;
    return std::string(buffer, end);
}

} // namespace

double ParseMiles(std::string_view text, double def) {
    double miles = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), miles);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(miles) ||
        miles <= 0 || miles > geo::MaxRadiusMiles)
        return def;
    return miles;
}

bool ParseFlag(std::string_view text) {
    return upperAscii(text) == "YES";
}

std::int32_t ParseNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    std::uint32_t value = 0;
    if (i < text.size() && text[i] == '$') {
        for (++i; i < text.size() && hexDigit(text[i]) >= 0; ++i)
            value = value * 16u + std::uint32_t(hexDigit(text[i]));
    } else {
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
            value = value * 10u + std::uint32_t(text[i] - '0');
    }
    if (negative)
        value = 0u - value;
    return std::int32_t(value);
}

Settings::Settings() {
    for (const SettingRow& row : SettingRows)
        take(row, row.def, *this);
}

Settings LoadSettings(const IniFile& ini, const UserZone& unsetZone) {
    // The zone's two keys, when missing, fall back on the zone given rather than on the table.
    const std::string zoneNumber = std::to_string(unsetZone.timeZone);
    const std::string_view zoneFlag = unsetZone.daylightSavings ? "Yes" : "No";
    Settings s;
    for (const SettingRow& row : SettingRows) {
        std::string_view def = row.def;
        if (row.section == TimeZone)
            def = row.key == "Time Zone" ? std::string_view(zoneNumber) : zoneFlag;
        take(row, ini.get(row.section, row.key, def, row.buffer), s);
    }
    return s;
}

void SaveSettings(const Settings& settings, IniFile& ini) {
    // The accessors of the table hand out references; this copy is only read.
    Settings s = settings;
    Settings defaults; // only read, as `s` is
    for (const SettingRow& row : SettingRows) {
        if (row.onlyWhenSet && !ini.has(row.section, row.key)) {
            if (std::visit([&](auto at) { return at(s) == at(defaults); }, row.at))
                continue;
        }
        std::visit(
            [&](auto at) {
                using At = decltype(at);
                if constexpr (std::is_same_v<At, FlagAt>)
                    ini.set(row.section, row.key, at(s) ? "Yes" : "No");
                else if constexpr (std::is_same_v<At, TextAt>)
                    ini.set(row.section, row.key, at(s));
                else if constexpr (std::is_same_v<At, MilesAt>)
                    ini.set(row.section, row.key, milesText(at(s)));
                else
                    ini.set(row.section, row.key, std::to_string(at(s)));
            },
            row.at);
    }
}

std::string SettingsFilePath() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // Relative values are to be ignored, so the file never lands in the working directory.
    if (xdg && xdg[0] == '/')
        return std::string(xdg) + "/CORVANA.INI";
    std::string home;
    if (const char* h = std::getenv("HOME"); h && *h)
        home = h;
    else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        home = pw->pw_dir;
    if (home.empty())
        return {};
    return home + "/.config/CORVANA.INI";
}

} // namespace corvana
