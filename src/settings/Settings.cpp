#include "settings/Settings.h"

#include "data/FileNames.h"
#include "geo/Distance.h"
#include "settings/IniFile.h"
#include "settings/detail/SettingRows.h"
#include "text/ShortString.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace corvana {

namespace {

using detail::FontBuffer;
using detail::SmallBuffer;
using Row = detail::SettingRow<Settings>;

constexpr std::string_view Misc = "Misc";
constexpr std::string_view Preferences = "Preferences";
constexpr std::string_view PrintFont = "Print Font";
constexpr std::string_view TimeZone = "Time Zone";

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

#define CORVANA_AT(kind, member) Row::kind([](Settings & s) -> auto& { return s.member; })

// Every setting in the order it is read and written; a file written afresh has this order.
constexpr Row SettingRows[] = {
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
    {Misc, "Nearby Standard Only", "No", SmallBuffer, CORVANA_AT(FlagAt, nearbyStandardOnly), true},

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

} // namespace

double ParseMiles(std::string_view text, double def) {
    const geo::RadiusParse r =
        geo::ParseRadius(text, geo::LengthUnit::Miles, geo::RadiusForm::Stored);
    return r.error == geo::RadiusError::None ? r.inUnit : def;
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
    for (const Row& row : SettingRows)
        detail::TakeSetting(row, row.def, *this);
}

Settings LoadSettings(const IniFile& ini, const UserZone& unsetZone) {
    // The zone's two keys, when missing, fall back on the zone given rather than on the table.
    const std::string zoneNumber = std::to_string(unsetZone.timeZone);
    const std::string_view zoneFlag = unsetZone.daylightSavings ? "Yes" : "No";
    Settings s;
    for (const Row& row : SettingRows) {
        std::string_view def = row.def;
        if (row.section == TimeZone)
            def = row.key == "Time Zone" ? std::string_view(zoneNumber) : zoneFlag;
        detail::TakeSetting(row, ini.get(row.section, row.key, def, row.buffer), s);
    }
    return s;
}

void SaveSettings(const Settings& settings, IniFile& ini) {
    detail::PutSettings(SettingRows, settings, ini);
}

std::string SettingsFilePath() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // Relative values are to be ignored, so the file never lands in the working directory.
    if (xdg && xdg[0] == '/')
        return std::string(xdg) + "/" + filenames::SettingsFile;
    std::string home;
    if (const char* h = std::getenv("HOME"); h && *h)
        home = h;
    else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        home = pw->pw_dir;
    if (home.empty())
        return {};
    return home + "/.config/" + filenames::SettingsFile;
}

} // namespace corvana
