#include "mkdata/Encoders.h"

#include "data/FileNames.h"
#include "data/FileWriters.h"

namespace corvana::mkdata {

void EncodeStates(const GroupedTable& grouped, DataFiles& files) {
    files[filenames::StateDat] = WriteStateFile(grouped.stateLines);
}

void EncodeCities(const GroupedTable& grouped, DataFiles& files) {
    std::vector<std::int32_t> offsets;
    files[filenames::CityDat] = WriteCityFile(grouped.citiesInOrder, offsets);
    files[filenames::CityIdx] = WriteCityIndexFile(grouped.citiesInOrder, offsets);
}

void EncodeCounties(const GroupedTable& grouped, DataFiles& files) {
    files[filenames::CountyDat] = WriteCountyFile(grouped.countiesInOrder);
    files[filenames::CountyIdx] = WriteCountyListFile(grouped.countiesInOrder);
}

void EncodeAreas(const GroupedTable& grouped, DataFiles& files) {
    files[filenames::AreaDat] = WriteAreaFile(grouped.areas);
    files[filenames::AreaIdx] = WriteAreaListFile(grouped.areas);
}

} // namespace corvana::mkdata
