#pragma once

// The map window's place and whether it was open, in a section of its own. A file that never
// had the map open keeps its bytes: the window writes the section only once the map was shown.

#include <cstdint>
#include <string>

namespace corvana {

class IniFile;

struct MapSettings {
    bool present = false; // the file has the section
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0; // 0: never placed, the window chooses
    std::int32_t height = 0;
    bool open = false;
    std::string imageFolder;       // where the last map image was saved; empty: none yet
    bool sizeByPopulation = false; // dots as large as the number of people they stand for

    bool operator==(const MapSettings&) const = default;
};

inline constexpr const char* MapSection = "Map";

MapSettings LoadMapSettings(const IniFile& ini);
void SaveMapSettings(const MapSettings& settings, IniFile& ini);

} // namespace corvana
