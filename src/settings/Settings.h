#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace corvana {

class IniFile;

// The print font as plain data; the window turns it into a QFont when it prints.
// A font made on its own is the default print font, as a missing CORVANA.INI gives it.
struct PrintFontData {
    std::string faceName = "Arial";
    std::int32_t size = 11;
    // A Windows colour number 0x00BBGGRR; negative numbers name system colours and are kept.
    std::int32_t color = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;

    bool operator==(const PrintFontData&) const = default;
};

// The user's own zone and daylight-saving switch, as the "Time Zone" section holds them. The
// values here are the ones kept when nothing better is known.
struct UserZone {
    std::int32_t timeZone = 8;
    bool daylightSavings = true;

    bool operator==(const UserZone&) const = default;
};

// Every user setting, named after its key in CORVANA.INI. One record lives for the whole run.
// A new record holds the defaults, those of a missing CORVANA.INI; the table in Settings.cpp
// names each setting's section, key and default once.
struct Settings {
    Settings();

    bool alwaysOnTop;
    std::int32_t mainWindowLeft;
    std::int32_t mainWindowTop;
    std::int32_t windowSize;
    std::uint16_t lastSearch;
    bool allState;
    std::string singleState; // the abbreviation chosen under "Single State"
    double nearbyMiles;      // the radius last asked for around a ZIP code
    bool nearbyStandardOnly; // nearby lists leave out ZIP codes without an area
    bool showCounty;
    bool showAreaCode;
    bool showTimeZone;
    bool showCurrentTime;
    bool citiesInCaps;
    bool countiesInCaps;
    bool statesInCaps;
    std::int32_t lastPrintFormat;
    std::int32_t lastCopyFormat;
    PrintFontData printFont;
    std::int32_t timeZone;
    bool daylightSavings;

    bool operator==(const Settings&) const = default;
};

// A radius in miles as the file holds it ("10", "2.5", "1e-05"), read as every radius is read
// (above 0 and at most 12,500 miles); anything else gives `def`.
double ParseMiles(std::string_view text, double def);

// "YES" in any case is on; anything else, "Y" and "1" included, is off.
bool ParseFlag(std::string_view text);

// Leading blanks, an optional sign, decimal digits or "$" and hexadecimal digits, up to the
// first unexpected character; 0 when there are no digits. Wraps like a 32-bit integer.
std::int32_t ParseNumber(std::string_view text);

// A file without the "Time Zone" or "Daylight Savings" key takes that value from `unsetZone`,
// the system's own zone on a first run; a key that is present, even empty, is read as it is.
Settings LoadSettings(const IniFile& ini, const UserZone& unsetZone = UserZone());
void SaveSettings(const Settings& settings, IniFile& ini);

// $XDG_CONFIG_HOME/CORVANA.INI, or ~/.config/CORVANA.INI when that is unset, empty or relative.
// Empty when no home directory is known.
std::string SettingsFilePath();

} // namespace corvana
