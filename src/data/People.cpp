#include "data/People.h"

#include "data/FileNames.h"
#include "data/MappedFile.h"
#include "data/ZipFile.h"

#include <algorithm>

namespace corvana {

namespace {

bool figureFits(std::uint32_t value, std::uint32_t max) {
    return value == NoFigure || value <= max;
}

std::optional<std::uint32_t> figure(std::uint32_t value) {
    return value == NoFigure ? std::nullopt : std::optional<std::uint32_t>(value);
}

} // namespace

std::optional<People> People::fromBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < PeopleHeader::Size || !PeopleHeader::hasMagic(bytes.data()))
        return std::nullopt;
    const PeopleHeader header = PeopleHeader::decode(bytes.data());
    // Checked before multiplying, so that no count can overflow the size.
    if (header.recordCount > 65536 ||
        bytes.size() - PeopleHeader::Size != std::size_t(header.recordCount) * PeopleRecord::Size)
        return std::nullopt;
    People p;
    p.records_.reserve(header.recordCount);
    for (std::size_t at = PeopleHeader::Size; at < bytes.size(); at += PeopleRecord::Size) {
        const PeopleRecord r = PeopleRecord::decode(bytes.data() + at);
        if (!figureFits(r.population, MaxPopulation) ||
            !figureFits(r.densityTenths, MaxDensityTenths))
            return std::nullopt;
        p.records_.push_back(r);
    }
    return p;
}

std::optional<PeopleFigures> People::ofRecord(std::uint32_t n) const {
    if (n >= records_.size())
        return std::nullopt;
    return PeopleFigures{figure(records_[n].population), figure(records_[n].densityTenths)};
}

PeopleLoad LoadPeople(const DataSet& data) {
    PeopleLoad load;
    auto [file, there] = MapOptionalFile(data.path(filenames::PeopleDat));
    if (!file) {
        load.status = there ? PeopleStatus::Damaged : PeopleStatus::Missing;
        load.message = there ? msg::PeopleUnreadable : msg::NoPeople;
        return load;
    }
    load.people = People::fromBytes(file->bytes());
    // Figures of other ZIP data would give every ZIP code another's people, quietly.
    if (load.people)
        if (auto zips = ZipFile::open(data);
            zips && zips->recordCount() != load.people->recordCount())
            load.people.reset();
    load.status = load.people ? PeopleStatus::Loaded : PeopleStatus::Damaged;
    load.message = load.people ? "" : msg::PeopleCorrupt;
    return load;
}

std::optional<PeopleFigures> PeopleOfZip(const DataSet& data, const People& people,
                                         std::string_view zip) {
    if (zip.size() != 5 ||
        !std::all_of(zip.begin(), zip.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const ZipFile file = OpenZipFile(data);
    std::optional<PeopleFigures> found;
    ForEachZipRecord(data, file, zip, [&](std::uint32_t n, const ZipRecord&) {
        found = people.ofRecord(n);
        return false;
    });
    return found;
}

std::string WritePeopleFile(const std::vector<PeopleRecord>& records) {
    std::string out;
    out.reserve(PeopleHeader::Size + records.size() * PeopleRecord::Size);
    PeopleHeader{std::uint32_t(records.size())}.encode(out);
    for (const PeopleRecord& r : records)
        r.encode(out);
    return out;
}

} // namespace corvana
