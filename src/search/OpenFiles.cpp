#include "search/SearchCommon.h"

namespace corvana::detail {

CityFile OpenCityFile(const DataSet& data) {
    auto f = CityFile::open(data);
    if (!f)
        throw FatalError(msg::CityNotFound);
    return std::move(*f);
}

ZipFile OpenZipFile(const DataSet& data) {
    auto f = ZipFile::open(data);
    if (!f)
        throw FatalError(msg::ZipFileNotFound);
    return std::move(*f);
}

DataFile OpenDataFile(const DataSet& data, const char* name, const char* missingMessage) {
    auto f = DataFile::open(data.path(name));
    if (!f)
        throw FatalError(missingMessage);
    return std::move(*f);
}

} // namespace corvana::detail
