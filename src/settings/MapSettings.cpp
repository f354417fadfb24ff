#include "settings/MapSettings.h"

#include "settings/IniFile.h"
#include "settings/Settings.h"

#include <string>

namespace corvana {

namespace {

constexpr std::size_t Buffer = 15;
constexpr std::size_t PathBuffer = 4096;

std::int32_t number(const IniFile& ini, const char* key) {
    return ParseNumber(ini.get(MapSection, key, "0", Buffer));
}

} // namespace

MapSettings LoadMapSettings(const IniFile& ini) {
    MapSettings s;
    s.present = ini.has(MapSection);
    s.left = number(ini, "Left");
    s.top = number(ini, "Top");
    s.width = number(ini, "Width");
    s.height = number(ini, "Height");
    s.open = ParseFlag(ini.get(MapSection, "Open", "No", Buffer));
    s.imageFolder = ini.get(MapSection, "Image Folder", "", PathBuffer);
    return s;
}

void SaveMapSettings(const MapSettings& s, IniFile& ini) {
    ini.set(MapSection, "Left", std::to_string(s.left));
    ini.set(MapSection, "Top", std::to_string(s.top));
    ini.set(MapSection, "Width", std::to_string(s.width));
    ini.set(MapSection, "Height", std::to_string(s.height));
    ini.set(MapSection, "Open", s.open ? "Yes" : "No");
    // Written once an image was saved, so that a file from before keeps its bytes.
    if (!s.imageFolder.empty())
        ini.set(MapSection, "Image Folder", s.imageFolder);
}

} // namespace corvana
