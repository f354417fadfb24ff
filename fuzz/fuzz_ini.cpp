// The settings file reader on arbitrary bytes: every key reads within its buffer, the settings
// survive being written back into the same file, and a saved file reads back as it was.
#include "FuzzUtil.h"

#include "settings/IniFile.h"
#include "settings/MapSettings.h"
#include "settings/Settings.h"
#include "text/Blanks.h"

using namespace corvana;
using corvana::fuzz::FileSplit;

namespace {

struct Key {
    const char* section;
    const char* key;
};

const Key Keys[] = {
    {"Misc", "Window Size"},
    {"Misc", "Last Search"},
    {"Misc", "All State"},
    {"Misc", "Last Print Format"},
    {"Misc", "Last Copy Format"},
    {"Misc", "Main Window Left"},
    {"Misc", "Main Window Top"},
    {"Misc", "Always On Top"},
    {"Misc", "Single State"},
    {"Misc", "Nearby Miles"},
    {"Preferences", "Show County"},
    {"Preferences", "Show Area Code"},
    {"Print Font", "Font Name"},
    {"Print Font", "Color"},
    {"Time Zone", "Time Zone"},
    {"Time Zone", "Daylight Savings"},
    {"Map", "Left"},
    {"Map", "Width"},
    {"Map", "Open"},
};

// What a written value reads back as: its first line, without the blanks around it.
std::string readBack(std::string_view value, std::size_t buffer) {
    value = value.substr(0, value.find_first_of("\r\n"));
    return std::string(trimBlanks(value).substr(0, buffer - 1));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FileSplit in(bytes, size);
    std::string_view text = in.next().bytes;
    std::string_view value = in.shortText();
    std::size_t keyChoice = in.byte();

    IniFile ini(text);
    for (const auto& k : Keys) {
        FUZZ_CHECK(ini.get(k.section, k.key, "default", 15).size() <= 14);
        FUZZ_CHECK(ini.get(k.section, k.key, "", 1).empty());
        std::string wide = ini.get(k.section, k.key, "", 150);
        FUZZ_CHECK(wide.size() <= 149);
        FUZZ_CHECK(ini.get(k.section, k.key, "", 15) == wide.substr(0, 14));
    }

    // Writing the loaded settings back keeps every one of them; only a text cut to its buffer
    // loses the blanks it then ends in, and a face name with a line break inside what follows
    // the break, since a value is one line.
    Settings first = LoadSettings(ini);
    FUZZ_CHECK(first.printFont.faceName.size() <= 149);
    FUZZ_CHECK(first.nearbyMiles > 0 && first.nearbyMiles <= 12500);
    IniFile rewritten = ini;
    SaveSettings(first, rewritten);
    Settings second = LoadSettings(IniFile(rewritten.text()));
    Settings expected = first;
    expected.printFont.faceName = readBack(first.printFont.faceName, 150);
    expected.singleState = readBack(first.singleState, 15);
    FUZZ_CHECK(second == expected);
    IniFile again = rewritten;
    SaveSettings(second, again);
    FUZZ_CHECK(LoadSettings(IniFile(again.text())) == second);

    // The map window's section reads back as written, and writing it leaves the other
    // settings as they were.
    MapSettings map = LoadMapSettings(ini);
    IniFile withMap = ini;
    SaveMapSettings(map, withMap);
    MapSettings mapAgain = LoadMapSettings(IniFile(withMap.text()));
    map.present = true;
    FUZZ_CHECK(mapAgain == map);
    FUZZ_CHECK(LoadSettings(IniFile(withMap.text())) == first);

    // One key set to an arbitrary value reads back as that value, and no other key moves.
    const Key& target = Keys[keyChoice % std::size(Keys)];
    IniFile changed = ini;
    changed.set(target.section, target.key, value);
    FUZZ_CHECK(changed.get(target.section, target.key, "", 256) == readBack(value, 256));
    for (const auto& k : Keys) {
        if (&k != &target)
            FUZZ_CHECK(changed.get(k.section, k.key, "-", 256) ==
                       ini.get(k.section, k.key, "-", 256));
    }

    // Saving and loading the file gives the same text.
    std::string path = fuzz::Scratch::get().dir() + "/CORVANA.INI";
    FUZZ_CHECK(changed.save(path));
    FUZZ_CHECK(IniFile::load(path).text() == changed.text());
    return 0;
}
