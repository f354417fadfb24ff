#include "output/CopyOutput.h"

#include "data/Errors.h"
#include "format/LocalTime.h"
#include "search/ZipFields.h"
#include "text/ShortString.h"

namespace corvana {

std::optional<ZipDetails> LoadValues(const ResultItem& line, const ZipFile& zip,
                                     const CityFile& city, const DataSet& data,
                                     const Settings& settings, std::vector<std::string>& fatal) {
    const std::optional<std::uint32_t> record = line.record();
    if (!record)
        return std::nullopt;
    const ZipRecord rec = zip.read(*record);

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
    const ZipFields f = ProjectZip(rec, h, data, settings);
    ZipDetails d;
    d.zip = ListedZipCode(line);
    d.city = f.city.str(25);
    d.state = std::string(f.state);
    d.stateName = f.stateName();
    d.county = f.county.str(25);
    if (f.areaCode)
        d.areaCode = cutTo(std::to_string(*f.areaCode), 3);
    d.timeZone = cutTo(ZoneName(f.zone), 10);
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
