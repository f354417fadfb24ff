#include "output/CopyOutput.h"

#include "data/Errors.h"
#include "data/ShortString.h"
#include "format/LocalTime.h"

namespace corvana {

std::optional<ZipDetails> LoadValues(const ResultItem& line, const ZipFile& zip, ByteCursor& city,
                                     const DataSet& data, const Settings& settings,
                                     std::vector<std::string>& fatal) {
    if (!line.record)
        return std::nullopt;
    ZipDetails d;
    d.zip = cutTo(line.text, 5);
    const ZipRecord rec = zip.read(*line.record);

    if (rec.county != NoCounty)
        d.county = cutTo(data.countyName(rec.county), 25);
    if (settings.countiesInCaps)
        d.county = upperAscii(d.county);

    // Reading on after a failed seek would take whatever city record follows the previous
    // read, and print it against this ZIP code; the line gives no output instead.
    if (!city.seek(rec.cityOffset)) {
        fatal.emplace_back(msg::CitySeekFailed);
        return std::nullopt;
    }
    std::uint8_t len = 0;
    std::string body;
    if (!city.readU8(len) || len == 0 || (body.resize(len), !city.read(body.data(), len))) {
        fatal.emplace_back(msg::CityCorrupt);
        return std::nullopt;
    }
    const int state = std::uint8_t(body.back());
    // A state number the state table lacks would give an abbreviation from nowhere.
    if (std::size_t(state) >= data.states.size()) {
        fatal.emplace_back(msg::CityCorrupt);
        return std::nullopt;
    }
    d.city = cutTo(std::string_view(body).substr(0, len - 1u), 25);
    if (settings.citiesInCaps)
        d.city = upperAscii(d.city);
    d.state = std::string(data.stateAbbrev(state));
    d.stateName = GetState(d.state, settings);

    if (rec.areaCode != NoAreaCode)
        d.areaCode = cutTo(std::to_string(rec.areaCode), 3);
    d.timeZone = cutTo(ZoneName(rec.timeZone & 0x7f), 10);
    return d;
}

CollectedOutput CollectOutput(const std::vector<ResultItem>& lines, int format, const DataSet& data,
                              const Settings& settings) {
    CollectedOutput out;
    if (format < 0 || std::size_t(format) >= OutputFormats.size())
        return out;
    auto cityFile = CityFile::open(data);
    if (!cityFile) {
        out.missingFile = msg::CityNotFound;
        out.closeDialog = true;
        return out;
    }
    auto zip = ZipFile::open(data);
    if (!zip) {
        out.missingFile = msg::ZipFileNotFound;
        out.closeDialog = true;
        return out;
    }
    ByteCursor city(cityFile->file());
    try {
        for (const ResultItem& line : lines) {
            auto details = LoadValues(line, *zip, city, data, settings, out.fatal);
            if (!details)
                continue;
            out.text += BuildOutString(OutputFormats[std::size_t(format)], *details);
            out.text += "\r\n";
        }
    } catch (const IoError& e) {
        out.ioError = e.what();
    }
    out.closeDialog = !out.fatal.empty();
    return out;
}

} // namespace corvana
