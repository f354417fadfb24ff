#include "data/FileWriters.h"

#include "text/ShortString.h"

namespace corvana {

namespace {

// The bytes EncodeZipList writes for a list of count records.
std::int32_t zipListBytes(std::size_t count) {
    return std::int32_t(2 + 2 * count);
}

template <class Record> std::string encodeAll(const std::vector<Record>& records) {
    std::string out;
    out.reserve(records.size() * Record::Size);
    for (const Record& r : records)
        r.encode(out);
    return out;
}

} // namespace

std::string WriteVersionFile(std::string_view date) {
    return std::string(date) + "\r\n";
}

std::string WriteStateFile(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

std::string WriteZipFile(const std::vector<ZipRecord>& records) {
    return encodeAll(records);
}

std::string WriteZipIndexFile(const std::vector<ZipIndexRecord>& records) {
    return encodeAll(records);
}

std::string WriteCityFile(const NamedZipLists& cities, std::vector<std::int32_t>& offsets) {
    std::string out;
    offsets.clear();
    for (const NamedZipList* city : cities) {
        offsets.push_back(std::int32_t(out.size()));
        EncodeNamedBody(out, city->name, city->state);
        EncodeZipList(out, city->records);
    }
    return out;
}

std::string WriteCityIndexFile(const NamedZipLists& cities,
                               const std::vector<std::int32_t>& offsets) {
    std::string out;
    std::string lastKey;
    for (std::size_t i = 0; i < cities.size(); ++i) {
        std::string key = upperAscii(std::string_view(cities[i]->name).substr(0, 2));
        if (key != lastKey) {
            CityIndexRecord::of(key, offsets[i]).encode(out);
            lastKey = key;
        }
    }
    return out;
}

std::string WriteCountyFile(const NamedZipLists& counties) {
    std::string out;
    std::int32_t listAt = 0;
    for (const NamedZipList* county : counties) {
        EncodeNamedBody(out, county->name, county->state);
        storeI32(out, listAt);
        listAt += zipListBytes(county->records.size());
    }
    return out;
}

std::string WriteCountyListFile(const NamedZipLists& counties) {
    std::string out;
    for (const NamedZipList* county : counties)
        EncodeZipList(out, county->records);
    return out;
}

std::string WriteAreaFile(const std::vector<AreaZipList>& areas) {
    std::string out;
    std::int32_t listAt = 0;
    for (const AreaZipList& area : areas) {
        AreaRecord{area.code, listAt}.encode(out);
        listAt += zipListBytes(area.records.size());
    }
    return out;
}

std::string WriteAreaListFile(const std::vector<AreaZipList>& areas) {
    std::string out;
    for (const AreaZipList& area : areas)
        EncodeZipList(out, area.records);
    return out;
}

std::string WritePointsFile(const std::vector<PointRecord>& records,
                            const std::vector<std::uint16_t>& list, std::uint8_t leafSize) {
    std::string out;
    out.reserve(PointsHeader::Size + records.size() * PointRecord::Size + list.size() * 2);
    PointsHeader{std::uint32_t(records.size()), std::uint32_t(list.size()), leafSize}.encode(out);
    out += encodeAll(records);
    for (std::uint16_t r : list)
        storeU16(out, r);
    return out;
}

std::string WriteFactsFile(const std::vector<std::string>& zoneNames,
                           const std::vector<FactsRecord>& records) {
    std::string body;
    std::vector<std::uint32_t> offsets;
    offsets.reserve(records.size() + 1);
    for (const FactsRecord& r : records) {
        offsets.push_back(std::uint32_t(body.size()));
        r.encode(body);
    }
    offsets.push_back(std::uint32_t(body.size()));
    std::string out;
    FactsHeader{std::uint32_t(records.size()), std::uint32_t(zoneNames.size()),
                std::uint32_t(body.size())}
        .encode(out);
    for (const std::string& name : zoneNames) {
        storeU8(out, std::uint8_t(name.size()));
        out += name;
    }
    for (std::uint32_t at : offsets)
        storeU32(out, at);
    return out + body;
}

} // namespace corvana
