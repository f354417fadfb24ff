#include "search/detail/SearchCommon.h"

#include "format/LocalTime.h"
#include "search/ZipFields.h"
#include "text/ShortString.h"

#include <algorithm>
#include <cstdio>

namespace corvana::detail {

namespace {

// A line of at most 255 characters built in place: one allocation per line, however many parts.
class LineBuffer {
public:
    void put(std::string_view part) {
        const std::size_t take = std::min(part.size(), ShortMax - size_);
        part.copy(buf_ + size_, take);
        size_ += take;
    }
    void putUpper(std::string_view part) {
        const std::size_t start = size_;
        put(part);
        for (std::size_t i = start; i < size_; ++i)
            buf_[i] = upperAscii(buf_[i]);
    }
    void put(const CasedName& name) {
        if (name.capitals)
            putUpper(name.stored);
        else
            put(name.stored);
    }
    void putNumber(unsigned v) {
        char digits[12];
        std::size_t n = 0;
        do {
            digits[n++] = char('0' + v % 10);
            v /= 10;
        } while (v);
        std::reverse(digits, digits + n);
        put(std::string_view(digits, n));
    }
    std::string str() const { return std::string(buf_, size_); }

private:
    char buf_[ShortMax];
    std::size_t size_ = 0;
};

} // namespace

ResultItem ListLines::noMatch(Nothing what) {
    switch (what) {
    case Nothing::ZipCodes:
        return ResultItem{"No matching zip codes found.", NoMatchItem{}};
    case Nothing::Cities:
        return ResultItem{"No matching cities found.", NoMatchItem{}};
    case Nothing::Counties:
        return ResultItem{"No matching counties found.", NoMatchItem{}};
    case Nothing::AreaCodes:
        break;
    }
    return ResultItem{"No matching area codes found.", NoMatchItem{}};
}

ResultItem ListLines::state(int stateNumber) const {
    return ResultItem{GetState(ctx_.data.stateAbbrev(stateNumber), ctx_.settings.statesInCaps),
                      StateItem{stateNumber}};
}

ResultItem ListLines::mainCity(int prefix, std::int32_t cityOffset, const CityHeader& city) const {
    char head[8];
    std::snprintf(head, sizeof head, "%03d ", prefix);
    std::string line = head;
    appendCut(line, CityText(city, ctx_.settings.citiesInCaps, ctx_.data));
    return ResultItem{std::move(line), MainCityItem{prefix, cityOffset}};
}

ResultItem ListLines::city(std::int32_t cityOffset, const CityHeader& city) const {
    return ResultItem{CityText(city, ctx_.settings.citiesInCaps, ctx_.data), CityItem{cityOffset}};
}

ResultItem ListLines::county(int countyNumber) const {
    const CountyEntry& entry = ctx_.data.counties[std::size_t(countyNumber)];
    // Built in place, as a ZIP line is: a county name holds at most 254 bytes, so the line is
    // the whole name and as much of ", " and the state as fits in ShortMax.
    LineBuffer line;
    if (ctx_.settings.countiesInCaps)
        line.putUpper(entry.name());
    else
        line.put(entry.name());
    line.put(", ");
    line.put(ctx_.data.stateAbbrev(entry.stateNumber()));
    return ResultItem{line.str(), CountyItem{countyNumber}};
}

ResultItem ListLines::zip(std::uint32_t record, const ZipRecord& rec, const CityHeader& city,
                          bool alwaysCounty) {
    const Settings& s = ctx_.settings;
    const ZipFields f = ProjectZip(rec, city, ctx_.data, s);
    LineBuffer line;
    line.put(f.zip);
    line.put(" ");
    line.put(f.city);
    line.put(", ");
    line.put(f.state);
    // A ZIP code without a county, area code or zone leaves that part out altogether.
    if ((alwaysCounty || s.showCounty) && !f.county.empty()) {
        line.put(" (");
        line.put(f.county);
        line.put(")");
    }
    if (s.showAreaCode && f.areaCode) {
        line.put(" (");
        line.putNumber(unsigned(*f.areaCode));
        line.put(")");
    }
    if ((s.showTimeZone || s.showCurrentTime) && f.hasZone())
        line.put(times_.text(f.zoneByte(), s, ctx_.time));
    ResultItem item{line.str(), ZipItem{record}};
    if (ctx_.keepFields)
        item.fields = std::make_shared<const ZipLineFields>(ZipLineFields{
            f.zip, f.city.str(), std::string(f.state), f.county.str(), f.areaCode, f.zone, f.dst});
    return item;
}

} // namespace corvana::detail

namespace corvana {

std::string_view MainCityText(const ResultItem& line) {
    // "%03d " above: the prefix and one blank.
    return std::string_view(line.text).substr(std::min<std::size_t>(line.text.size(), 4));
}

} // namespace corvana
