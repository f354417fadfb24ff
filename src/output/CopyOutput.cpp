#include "output/CopyOutput.h"

#include "data/Errors.h"
#include "format/LocalTime.h"
#include "text/ShortString.h"

namespace corvana {

std::optional<ZipDetails> LoadValues(const ResultItem& line, const ZipFile& zip,
                                     const CityFile& city, const DataSet& data,
                                     const Settings& settings, std::vector<std::string>& fatal) {
    if (!line.record)
        return std::nullopt;
    ZipDetails d;
    d.zip = cutTo(line.text, 5);
    const ZipRecord rec = zip.read(*line.record);

    if (rec.county != NoCounty)
        d.county = cutTo(data.countyName(rec.county), 25);
    if (settings.countiesInCaps)
        d.county = upperAscii(d.county);

    // A city that cannot be reached gives its message and no line: reading on from wherever the
    // file stood would print another record's city against this ZIP code. The remaining lines
    // are still built.
    CityHeader h;
    try {
        h = city.readHeader(rec.cityOffset, data);
    } catch (const FatalError& e) {
        fatal.emplace_back(e.what());
        return std::nullopt;
    }
    d.city = cutTo(h.name, 25);
    if (settings.citiesInCaps)
        d.city = upperAscii(d.city);
    d.state = std::string(data.stateAbbrev(h.state));
    d.stateName = GetState(d.state, settings.statesInCaps);

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
        out.fatal.emplace_back(msg::CityNotFound);
        out.missingFile = true;
        return out;
    }
    auto zip = ZipFile::open(data);
    if (!zip) {
        out.fatal.emplace_back(msg::ZipFileNotFound);
        out.missingFile = true;
        return out;
    }
    try {
        for (const ResultItem& line : lines) {
            auto details = LoadValues(line, *zip, *cityFile, data, settings, out.fatal);
            if (!details)
                continue;
            out.text += BuildOutString(OutputFormats[std::size_t(format)], *details);
            out.text += "\r\n";
        }
    } catch (const IoError& e) {
        out.ioError = e.what();
    }
    return out;
}

} // namespace corvana
