#include "data/ZipFile.h"

#include "data/Errors.h"
#include "data/FileNames.h"
#include "text/ShortString.h"

#include <cstring>

namespace corvana {

std::string ZipRecord::zipText() const {
    // The leading digit is one character; a damaged byte above 9 still gives one character, and
    // a damaged last-four value above 9999 is cut to five characters in all.
    if (last4 <= 9999) {
        const char s[5] = {char('0' + leading), char('0' + last4 / 1000),
                           char('0' + last4 / 100 % 10), char('0' + last4 / 10 % 10),
                           char('0' + last4 % 10)};
        return std::string(s, 5);
    }
    return cutTo(std::string(1, char('0' + leading)) + std::to_string(last4), 5);
}

std::optional<ZipFile> ZipFile::open(const DataSet& data) {
    auto f = DataFile::open(data.path(filenames::ZipDat));
    if (!f)
        return std::nullopt;
    return ZipFile(std::move(*f));
}

ZipRecord ZipFile::read(std::int64_t n) const {
    std::uint8_t raw[ZipRecord::Size];
    if (n < 0 || std::uint64_t(n) >= recordCount() ||
        !file_.read(std::uint64_t(n) * ZipRecord::Size, raw, sizeof raw))
        throw IoError(msg::ReadPastEnd);
    return ZipRecord::decode(raw);
}

ZipBlock::ZipBlock(const DataSet& data, std::string_view digits) {
    if (digits.size() < 3 || digits.size() > 5 ||
        digits.find_first_not_of("0123456789") != std::string_view::npos)
        return;
    for (char c : digits)
        value_ = value_ * 10 + std::uint32_t(c - '0');
    divisor_ = digits.size() == 3 ? 0 : digits.size() == 4 ? 10 : 1;
    // A negative first record is an empty entry, whatever its count says.
    const std::uint32_t prefix = value_ / (digits.size() == 3 ? 1 : digits.size() == 4 ? 10 : 100);
    const ZipIndexEntry& e = data.zipIndex[prefix];
    if (e.first >= 0) {
        first_ = std::uint32_t(e.first);
        count_ = e.count;
        present_ = true;
    }
}

ZipFile OpenZipFile(const DataSet& data) {
    auto f = ZipFile::open(data);
    if (!f)
        throw FatalError(msg::ZipFileNotFound);
    return std::move(*f);
}

CityFile OpenCityFile(const DataSet& data) {
    auto f = CityFile::open(data);
    if (!f)
        throw FatalError(msg::CityNotFound);
    return std::move(*f);
}

DataFile OpenDataFile(const DataSet& data, const char* name, const char* missingMessage) {
    auto f = DataFile::open(data.path(name));
    if (!f)
        throw FatalError(missingMessage);
    return std::move(*f);
}

std::optional<CityFile> CityFile::open(const DataSet& data) {
    auto f = DataFile::open(data.path(filenames::CityDat));
    if (!f)
        return std::nullopt;
    return CityFile(std::move(*f));
}

CityHeader CityFile::readHeader(std::int64_t offset, const DataSet& data) const {
    ByteCursor in(file_);
    if (!in.seek(offset))
        throw FatalError(msg::CitySeekFailed);
    std::uint8_t len = 0;
    // The body is the name and one state byte, so a length of 0 is as damaged as a short read.
    if (!in.readU8(len) || len == 0)
        throw FatalError(msg::CityCorrupt);
    CityHeader h;
    h.name.resize(len - 1u);
    if (!in.read(h.name.data(), len - 1u) || !in.readU8(h.state) || h.state >= data.states.size())
        throw FatalError(msg::CityCorrupt);
    h.listPos = in.pos();
    return h;
}

std::string CityText(const CityHeader& header, bool capitals, const DataSet& data) {
    std::string text = capitals ? upperAscii(header.name) : header.name;
    appendCut(text, ", ");
    appendCut(text, data.stateAbbrev(header.state));
    return text;
}

std::string GetCityState(const CityFile& city, std::int64_t offset, bool capitals,
                         const DataSet& data) {
    return CityText(city.readHeader(offset, data), capitals, data);
}

const StateName StateNames[62] = {
    {"AL", "Alabama"},
    {"AA", "APO/FPO"},
    {"AE", "APO/FPO"},
    {"AP", "APO/FPO"},
    {"AK", "Alaska"},
    {"AZ", "Arizona"},
    {"AR", "Arkansas"},
    {"AS", "American Samoa"},
    {"CA", "California"},
    {"CO", "Colorado"},
    {"CT", "Connecticut"},
    {"DC", "District of Columbia"},
    {"DE", "Delaware"},
    {"FL", "Florida"},
    {"FM", "Fed States of Micronesia"},
    {"GA", "Georgia"},
    {"GU", "Guam"},
    {"HI", "Hawaii"},
    {"ID", "Idaho"},
    {"IL", "Illinois"},
    {"IN", "Indiana"},
    {"IA", "Iowa"},
    {"KS", "Kansas"},
    {"KY", "Kentucky"},
    {"LA", "Louisiana"},
    {"ME", "Maine"},
    {"MD", "Maryland"},
    {"MA", "Massachusetts"},
    {"MI", "Michigan"},
    {"MH", "Marshall Islands"},
    {"MN", "Minnesota"},
    {"MP", "Mariana Islands"},
    {"MS", "Mississippi"},
    {"MO", "Missouri"},
    {"MT", "Montana"},
    {"NE", "Nebraska"},
    {"NV", "Nevada"},
    {"NH", "New Hampshire"},
    {"NJ", "New Jersey"},
    {"NM", "New Mexico"},
    {"NY", "New York"},
    {"NC", "North Carolina"},
    {"ND", "North Dakota"},
    {"OH", "Ohio"},
    {"OK", "Oklahoma"},
    {"OR", "Oregon"},
    {"PA", "Pennsylvania"},
    {"PR", "Puerto Rico"},
    {"PW", "Palau"},
    {"RI", "Rhode Island"},
    {"SC", "South Carolina"},
    {"SD", "South Dakota"},
    {"TN", "Tennessee"},
    {"TX", "Texas"},
    {"UT", "Utah"},
    {"VT", "Vermont"},
    {"VA", "Virginia"},
    {"VI", "U.S. Virgin Islands"},
    {"WA", "Washington"},
    {"WV", "West Virginia"},
    {"WI", "Wisconsin"},
    {"WY", "Wyoming"},
};

std::string GetState(std::string_view abbrev, bool capitals) {
    std::string result = cutTo(abbrev, 25);
    for (const auto& row : StateNames) {
        if (abbrev == row.abbrev) {
            result = row.name;
            break;
        }
    }
    if (capitals)
        result = upperAscii(result);
    return cutTo(result, 25);
}

} // namespace corvana
