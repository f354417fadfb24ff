#include "search/SearchCommon.h"

#include "data/ShortString.h"
#include "format/LocalTime.h"

#include <algorithm>

namespace corvana::detail {

std::string CountyText(int county, const DataSet& data, const Settings& settings) {
    if (county == NoCounty)
        return {};
    std::string_view name = data.countyName(county);
    return settings.countiesInCaps ? upperAscii(name) : std::string(name);
}

std::string ZipLineMaker::operator()(const ZipRecord& rec, std::string_view cityText,
                                     bool alwaysCounty) {
    const SearchContext& ctx = ctx_;
    const Settings& s = ctx.settings;
    std::string line = rec.zipText();
    appendCut(line, " ");
    appendCut(line, cityText);
    // A ZIP code without a county, area code or zone leaves that part out altogether.
    if (alwaysCounty || s.showCounty) {
        std::string county = CountyText(rec.county, ctx.data, s);
        if (!county.empty()) {
            appendCut(line, " (");
            appendCut(line, county);
            appendCut(line, ")");
        }
    }
    if (s.showAreaCode && rec.areaCode != NoAreaCode) {
        appendCut(line, " (");
        appendCut(line, std::to_string(rec.areaCode));
        appendCut(line, ")");
    }
    const int zone = rec.timeZone & 0x7f;
    if ((s.showTimeZone || s.showCurrentTime) && zone >= 1 && zone < int(ZoneLabels.size())) {
        auto known = std::find_if(times_.begin(), times_.end(),
                                  [&](const auto& t) { return t.first == rec.timeZone; });
        if (known == times_.end())
            known = times_.emplace(times_.end(), rec.timeZone, DoTime(rec.timeZone, s, ctx.time));
        appendCut(line, known->second);
    }
    return line;
}

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
