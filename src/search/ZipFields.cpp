#include "search/ZipFields.h"

#include "text/ShortString.h"

namespace corvana {

std::string CasedName::str(std::size_t max) const {
    std::string s(stored.substr(0, max));
    if (capitals)
        for (char& c : s)
            c = upperAscii(c);
    return s;
}

ZipFields ProjectZip(const ZipRecord& rec, const CityHeader& city, const DataSet& data,
                     const Settings& settings) {
    ZipFields f;
    f.zip = rec.zipText();
    f.city = CasedName{city.name, settings.citiesInCaps};
    f.state = data.stateAbbrev(city.state);
    if (rec.county != NoCounty)
        f.county = CasedName{data.countyName(rec.county), settings.countiesInCaps};
    if (rec.areaCode != NoAreaCode)
        f.areaCode = rec.areaCode;
    // A zone byte off the scale of 1 to 24 is a damaged one: such a place shows no zone.
    if (rec.zone() >= 1 && rec.zone() <= 24)
        f.zone = rec.zone();
    f.dst = rec.observesDst();
    f.statesInCaps = settings.statesInCaps;
    return f;
}

} // namespace corvana
