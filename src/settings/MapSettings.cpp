#include "settings/MapSettings.h"

#include "settings/IniFile.h"
#include "settings/detail/SettingRows.h"

namespace corvana {

namespace {

using Row = detail::SettingRow<MapSettings>;

#define CORVANA_AT(kind, member) Row::kind([](MapSettings & s) -> auto& { return s.member; })

// The section's keys in the order they are written; the defaults are those of a new record.
constexpr Row MapRows[] = {
    {MapSection, "Left", "0", detail::SmallBuffer, CORVANA_AT(NumberAt, left)},
    {MapSection, "Top", "0", detail::SmallBuffer, CORVANA_AT(NumberAt, top)},
    {MapSection, "Width", "0", detail::SmallBuffer, CORVANA_AT(NumberAt, width)},
    {MapSection, "Height", "0", detail::SmallBuffer, CORVANA_AT(NumberAt, height)},
    {MapSection, "Open", "No", detail::SmallBuffer, CORVANA_AT(FlagAt, open)},
    // Written once an image was saved, so that a file from before keeps its bytes.
    {MapSection, "Image Folder", "", detail::PathBuffer, CORVANA_AT(TextAt, imageFolder), true},
    {MapSection, "Size By Population", "No", detail::SmallBuffer,
     CORVANA_AT(FlagAt, sizeByPopulation), true},
};

#undef CORVANA_AT

} // namespace

MapSettings LoadMapSettings(const IniFile& ini) {
    MapSettings s;
    s.present = ini.has(MapSection);
    for (const Row& row : MapRows)
        detail::TakeSetting(row, ini.get(row.section, row.key, row.def, row.buffer), s);
    return s;
}

void SaveMapSettings(const MapSettings& settings, IniFile& ini) {
    detail::PutSettings(MapRows, settings, ini);
}

} // namespace corvana
