#pragma once

// The names of the program's files: those that lie beside it (the data set, the map's outlines
// and the help file) and the user's settings file.

namespace corvana::filenames {

inline constexpr const char* StateDat = "STATE.DAT";
inline constexpr const char* CountyDat = "COUNTY.DAT";
inline constexpr const char* CountyIdx = "COUNTY.IDX";
inline constexpr const char* CityDat = "CITY.DAT";
inline constexpr const char* CityIdx = "CITY.IDX";
inline constexpr const char* ZipDat = "ZIPCODE.DAT";
inline constexpr const char* ZipIdx = "ZIPCODE.IDX";
inline constexpr const char* AreaDat = "AREA.DAT";
inline constexpr const char* AreaIdx = "AREA.IDX";
inline constexpr const char* ZipVerDat = "ZIPVER.DAT";
inline constexpr const char* PointsDat = "POINTS.DAT";   // optional: where the ZIP codes lie
inline constexpr const char* OutlineDat = "OUTLINE.DAT"; // optional: the map's outlines
// Optional: kind, zone name, every county, area code and city name of each ZIP code.
inline constexpr const char* FactsDat = "ZIPFACTS.DAT";
// optional: where telephone numbers ring, by area code and exchange
inline constexpr const char* ExchangeDat = "EXCHANGE.DAT";
// optional: population and density of each ZIP code
inline constexpr const char* PeopleDat = "PEOPLE.DAT";
inline constexpr const char* HelpFile = "CORVA.HLP";
// In the user's configuration folder, not beside the program.
inline constexpr const char* SettingsFile = "CORVANA.INI";

// The data set: every file that corvana-mkdata writes, including those that only some tables
// give. They belong together, so a build removes the ones that it does not write again; a new
// data file is added here.
inline constexpr const char* DataSetFiles[] = {
    ZipIdx,    ZipDat,   AreaDat,   AreaIdx,   CityDat,  CityIdx,     CountyDat,
    CountyIdx, StateDat, ZipVerDat, PointsDat, FactsDat, ExchangeDat, PeopleDat,
};

} // namespace corvana::filenames
