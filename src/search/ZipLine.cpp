#include "search/SearchCommon.h"

#include "format/LocalTime.h"
#include "text/ShortString.h"

#include <algorithm>

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

std::string ZipLineMaker::operator()(const ZipRecord& rec, std::string_view cityText,
                                     bool alwaysCounty) {
    const SearchContext& ctx = ctx_;
    const Settings& s = ctx.settings;
    LineBuffer line;
    line.put(rec.zipText());
    line.put(" ");
    line.put(cityText);
    // A ZIP code without a county, area code or zone leaves that part out altogether.
    if (alwaysCounty || s.showCounty) {
        std::string_view county =
            rec.county == NoCounty ? std::string_view() : ctx.data.countyName(rec.county);
        if (!county.empty()) {
            line.put(" (");
            if (s.countiesInCaps)
                line.putUpper(county);
            else
                line.put(county);
            line.put(")");
        }
    }
    if (s.showAreaCode && rec.areaCode != NoAreaCode) {
        line.put(" (");
        line.putNumber(rec.areaCode);
        line.put(")");
    }
    const int zone = rec.timeZone & 0x7f;
    if ((s.showTimeZone || s.showCurrentTime) && zone >= 1 && zone < int(ZoneLabels.size())) {
        line.put(times_.text(rec.timeZone, s, ctx.time));
    }
    return line.str();
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
