#include "mkdata/Encoders.h"

#include "data/FileNames.h"
#include "data/FileWriters.h"

#include <algorithm>

namespace corvana::mkdata {

namespace {

std::vector<ZipRecord> zipRecords(const GroupedTable& g) {
    const std::vector<Row>& rows = g.table.rows;
    std::vector<ZipRecord> records;
    records.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        ZipRecord rec;
        rec.leading = std::uint8_t(row.zip / 10000);
        rec.last4 = std::uint16_t(row.zip % 10000);
        rec.cityOffset = g.cityOffsets[g.cityOf[i]];
        rec.county = g.countyOf[i] == SIZE_MAX ? NoCounty : g.countyNumbers[g.countyOf[i]];
        rec.areaCode = row.areaCode;
        rec.timeZone = row.timeZone;
        records.push_back(rec);
    }
    return records;
}

// One record per prefix. The main city of a prefix has most ZIP codes in its block; of
// equals, the one whose first ZIP code is lowest, which in ZIP order is the one met first.
std::vector<ZipIndexRecord> prefixRecords(const GroupedTable& g) {
    const std::vector<Row>& rows = g.table.rows;
    const std::vector<std::size_t>& cityOf = g.cityOf;
    const std::vector<std::int32_t>& cityOffsets = g.cityOffsets;
    std::vector<ZipIndexRecord> records;
    for (std::size_t first = 0; first < rows.size();) {
        const std::uint32_t prefix = rows[first].zip / 100;
        std::size_t end = first;
        std::vector<std::pair<std::size_t, std::size_t>> counts; // city, ZIP codes
        while (end < rows.size() && rows[end].zip / 100 == prefix) {
            auto it = std::find_if(counts.begin(), counts.end(),
                                   [&](const auto& c) { return c.first == cityOf[end]; });
            if (it == counts.end())
                counts.emplace_back(cityOf[end], 1);
            else
                ++it->second;
            ++end;
        }
        auto best = counts.begin();
        for (auto it = counts.begin(); it != counts.end(); ++it)
            if (it->second > best->second)
                best = it;
        ZipIndexRecord rec;
        rec.prefix = std::uint16_t(prefix);
        rec.entry = ZipIndexEntry{std::int32_t(first), std::uint16_t(end - first),
                                  cityOffsets[best->first], 0};
        records.push_back(rec);
        first = end;
    }
    return records;
}

} // namespace

void EncodeZips(const GroupedTable& grouped, DataFiles& files) {
    files[filenames::ZipDat] = WriteZipFile(zipRecords(grouped));
    files[filenames::ZipIdx] = WriteZipIndexFile(prefixRecords(grouped));
}

} // namespace corvana::mkdata
