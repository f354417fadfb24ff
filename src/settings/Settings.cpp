#include "settings/Settings.h"

#include "data/ShortString.h"
#include "settings/IniFile.h"

#include <cstdlib>
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

struct Reader {
    const IniFile& ini;

    bool flag(std::string_view section, std::string_view key, std::string_view def) const {
        return ParseFlag(ini.get(section, key, def, SmallBuffer));
    }
    std::int32_t number(std::string_view section, std::string_view key, std::string_view def,
                        std::size_t buffer = SmallBuffer) const {
        return ParseNumber(ini.get(section, key, def, buffer));
    }
};

struct Writer {
    IniFile& ini;

    void flag(std::string_view section, std::string_view key, bool on) const {
        ini.set(section, key, on ? "Yes" : "No");
    }
    void number(std::string_view section, std::string_view key, std::int64_t n) const {
        ini.set(section, key, std::to_string(n));
    }
};

} // namespace

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

Settings LoadSettings(const IniFile& ini) {
    Reader r{ini};
    Settings s;
    s.windowSize = r.number(Misc, "Window Size", "640");
    s.lastSearch = std::uint16_t(r.number(Misc, "Last Search", "1"));
    s.allState = r.flag(Misc, "All State", "Yes");
    s.lastPrintFormat = r.number(Misc, "Last Print Format", "0");
    s.lastCopyFormat = r.number(Misc, "Last Copy Format", "0");
    s.mainWindowLeft = r.number(Misc, "Main Window Left", "0");
    s.mainWindowTop = r.number(Misc, "Main Window Top", "0");
    s.alwaysOnTop = r.flag(Misc, "Always On Top", "No");

    s.showCounty = r.flag(Preferences, "Show County", "Yes");
    s.showAreaCode = r.flag(Preferences, "Show Area Code", "Yes");
    s.showTimeZone = r.flag(Preferences, "Show Time Zone", "No");
    s.showCurrentTime = r.flag(Preferences, "Show Current Time", "Yes");
    s.citiesInCaps = r.flag(Preferences, "Cities in Caps", "No");
    s.countiesInCaps = r.flag(Preferences, "Counties in Caps", "No");
    s.statesInCaps = r.flag(Preferences, "States in Caps", "No");

    s.printFont.color = r.number(PrintFont, "Color", "0", FontBuffer);
    s.printFont.faceName = ini.get(PrintFont, "Font Name", "Arial", FontBuffer);
    s.printFont.size = r.number(PrintFont, "Size", "11", FontBuffer);
    s.printFont.bold = r.flag(PrintFont, "Bold", "No");
    s.printFont.italic = r.flag(PrintFont, "Italic", "No");
    s.printFont.underline = r.flag(PrintFont, "Underline", "No");
    s.printFont.strikeout = r.flag(PrintFont, "Strikeout", "No");

    s.daylightSavings = r.flag(TimeZone, "Daylight Savings", "Yes");
    s.timeZone = r.number(TimeZone, "Time Zone", "8");
    return s;
}

void SaveSettings(const Settings& s, IniFile& ini) {
    Writer w{ini};
    w.number(Misc, "Window Size", s.windowSize);
    w.number(Misc, "Last Search", s.lastSearch);
    w.flag(Misc, "All State", s.allState);
    w.number(Misc, "Last Print Format", s.lastPrintFormat);
    w.number(Misc, "Last Copy Format", s.lastCopyFormat);
    w.number(Misc, "Main Window Left", s.mainWindowLeft);
    w.number(Misc, "Main Window Top", s.mainWindowTop);
    w.flag(Misc, "Always On Top", s.alwaysOnTop);

    w.flag(Preferences, "Show County", s.showCounty);
    w.flag(Preferences, "Show Area Code", s.showAreaCode);
    w.flag(Preferences, "Show Time Zone", s.showTimeZone);
    w.flag(Preferences, "Show Current Time", s.showCurrentTime);
    w.flag(Preferences, "Cities in Caps", s.citiesInCaps);
    w.flag(Preferences, "Counties in Caps", s.countiesInCaps);
    w.flag(Preferences, "States in Caps", s.statesInCaps);

    w.number(PrintFont, "Color", s.printFont.color);
    ini.set(PrintFont, "Font Name", s.printFont.faceName);
    w.number(PrintFont, "Size", s.printFont.size);
    w.flag(PrintFont, "Bold", s.printFont.bold);
    w.flag(PrintFont, "Italic", s.printFont.italic);
    w.flag(PrintFont, "Underline", s.printFont.underline);
    w.flag(PrintFont, "Strikeout", s.printFont.strikeout);

    w.flag(TimeZone, "Daylight Savings", s.daylightSavings);
    w.number(TimeZone, "Time Zone", s.timeZone);
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
