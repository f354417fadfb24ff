#pragma once

// The names of the files that lie beside the program: the data set and the help file.

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
inline constexpr const char* PointsDat = "POINTS.DAT"; // optional: where the ZIP codes lie
inline constexpr const char* HelpFile = "CORVA.HLP";

// The data set: every file that corvana-mkdata writes, including those that only some tables
// give. They belong together, so a build removes the ones that it does not write again; a new
// data file is added here.
inline constexpr const char* DataSetFiles[] = {
    ZipIdx,    ZipDat,    AreaDat,  AreaIdx,   CityDat,   CityIdx,
    CountyDat, CountyIdx, StateDat, ZipVerDat, PointsDat,
};

} // namespace corvana::filenames
