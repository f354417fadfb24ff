#include "map/ListMap.h"

#include "data/Errors.h"
#include "data/FileNames.h"
#include "data/ZipFile.h"
#include "geo/Distance.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>

namespace corvana::map {

namespace {

// The most frequent of the counted keys; the smallest key among equals.
template <class K> std::optional<K> mostCommon(const std::map<K, int>& counts) {
    auto best = std::max_element(counts.begin(), counts.end(),
                                 [](const auto& a, const auto& b) { return a.second < b.second; });
    if (best == counts.end())
        return std::nullopt;
    return best->first;
}

constexpr std::size_t MaxNamedCities = 60;

// "Salt Lake City" of "Salt Lake City, UT": the state is plain on the map.
std::string withoutState(std::string text) {
    const auto comma = text.rfind(", ");
    if (comma != std::string::npos && comma + 4 == text.size())
        text.resize(comma);
    return text;
}

// The middle of some places, as they are added.
struct Middle {
    double latitude = 0, longitude = 0;
    int count = 0;
    void add(const geo::GeoPoint& p) {
        latitude += p.latitude;
        longitude += p.longitude;
        ++count;
    }
    geo::GeoPoint at() const { return {latitude / count, longitude / count}; }
};

// One line names its place; several are counted.
QString many(std::size_t n, const char* several, const QString& single) {
    return n == 1 ? single : QStringLiteral("%1 %2").arg(n).arg(several);
}

class Translator {
public:
    Translator(const DataSet& data, const geo::Points* points, const Outlines* outlines,
               const LazyFacts* facts)
        : data_(data), points_(points), outlines_(outlines), lazyFacts_(facts) {}

    ListMap run(const std::vector<ResultItem>& items, const std::optional<NearbyCentre>& nearby) {
        ListMap out;
        Gathered g;
        for (std::size_t row = 0; row < items.size(); ++row)
            gather(items[row], row, g, out);
        out.content.states.assign(g.states.begin(), g.states.end());
        out.content.countiesListed = g.countyLines > 0;
        nameCities(g, out);
        out.content.counties.assign(g.counties.begin(), g.counties.end());

        if (nearby && points_)
            if (auto at = points_->position(nearby->record))
                out.content.circle = MapCircle{*at, nearby->radiusMiles * geo::KmPerMile};
        out.place = placeOf(g, nearby);
        return out;
    }

private:
    // What the lines of a list add up to, as they are read.
    struct Gathered {
        std::set<int> states, counties;
        std::map<std::int32_t, int> cities;     // the ZIP lines' cities, counted
        std::map<std::int32_t, Middle> middles; // and the middle of their listed ZIP codes
        std::vector<std::pair<std::string, Middle>> listedCities; // the city lines' places
        std::size_t stateLines = 0, cityLines = 0, areaLines = 0, countyLines = 0;
        QString single;
    };

    void gather(const ResultItem& item, std::size_t row, Gathered& g, ListMap& out) {
        if (const auto* zip = item.as<ZipItem>()) {
            const std::optional<ZipRecord> record = recordOf(zip->record);
            std::optional<geo::GeoPoint> at;
            if (points_)
                at = points_->position(zip->record);
            if (at) {
                char code[8] = "";
                if (record)
                    std::snprintf(code, sizeof code, "%05u", record->zipValue());
                out.content.dots.push_back({*at, int(row), false, code, noArea(zip->record)});
            }
            if (record) {
                ++g.cities[record->cityOffset];
                if (at)
                    g.middles[record->cityOffset].add(*at);
            }
        } else if (const auto* state = item.as<StateItem>()) {
            ++g.stateLines;
            const std::string abbrev(data_.stateAbbrev(state->state));
            g.single = QString::fromStdString(GetState(abbrev, false));
            if (outlines_)
                if (const auto* region = outlines_->stateByAbbrev(abbrev))
                    g.states.insert(region->fips);
        } else if (const auto* area = item.as<MainCityItem>()) {
            ++g.areaLines;
            g.single = QString::fromStdString(std::string(MainCityText(item)));
            // The prefix's whole block, by number: the positions need no ZIP record.
            char prefix[8];
            std::snprintf(prefix, sizeof prefix, "%03d", area->prefix % 1000);
            const ZipBlock block(data_, prefix);
            for (std::uint32_t i = 0; i < block.count(); ++i)
                addCounty(block.first() + i, g.counties);
        } else if (const auto* city = item.as<CityItem>()) {
            ++g.cityLines;
            g.single = QString::fromStdString(item.text);
            Middle middle;
            forCityZips(city->cityOffset, [&](std::uint32_t record) {
                addCounty(record, g.counties);
                if (points_)
                    if (auto at = points_->position(record))
                        middle.add(*at);
            });
            if (middle.count)
                g.listedCities.emplace_back(withoutState(item.text), middle);
        } else if (const auto* county = item.as<CountyItem>()) {
            ++g.countyLines;
            g.single = QString::fromStdString(item.text);
            if (int fips = countyFips(county->county))
                g.counties.insert(fips);
        }
    }

    // The cities with most listed ZIP codes are named; reading every name would cost the typing
    // its speed for names the map has no room for.
    void nameCities(Gathered& g, ListMap& out) {
        std::vector<std::pair<int, std::int32_t>> byCount;
        for (const auto& [offset, middle] : g.middles)
            byCount.emplace_back(-middle.count, offset);
        std::sort(byCount.begin(), byCount.end());
        if (byCount.size() > MaxNamedCities)
            byCount.resize(MaxNamedCities);
        for (const auto& [count, offset] : byCount)
            out.content.places.push_back(
                {g.middles[offset].at(), withoutState(cityText(offset).toStdString()), -count});
        for (const auto& [name, middle] : g.listedCities)
            out.content.places.push_back({middle.at(), name, middle.count});
    }

    // What the map shows: the centre's city, the city of most ZIP lines, or the other lines.
    QString placeOf(const Gathered& g, const std::optional<NearbyCentre>& nearby) {
        std::optional<std::int32_t> city;
        if (nearby)
            if (auto record = recordOf(nearby->record))
                city = record->cityOffset;
        if (!city)
            city = mostCommon(g.cities);
        if (city)
            return cityText(*city);
        if (g.stateLines)
            return many(g.stateLines, "states", g.single);
        if (g.countyLines)
            return many(g.countyLines, "counties", g.single);
        if (g.cityLines)
            return many(g.cityLines, "cities", g.single);
        if (g.areaLines)
            return many(g.areaLines, "ZIP code areas", g.single);
        return {};
    }

    bool noArea(std::uint32_t record) {
        if (!factsTried_ && lazyFacts_) {
            factsTried_ = true;
            facts_ = lazyFacts_->facts();
        }
        return facts_ && facts_->kind(record) == ZipKind::PoBoxOrUnique;
    }

    void addCounty(std::uint32_t record, std::set<int>& counties) const {
        if (points_)
            if (int fips = int(points_->countyCode(record)))
                counties.insert(fips);
    }

    std::optional<ZipRecord> recordOf(std::uint32_t record) {
        if (!zipFile_ && !zipTried_) {
            zipTried_ = true;
            zipFile_ = ZipFile::open(data_);
        }
        if (!zipFile_ || record >= zipFile_->recordCount())
            return std::nullopt;
        try {
            return zipFile_->read(record);
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }

    const CityFile* cityFile() {
        if (!cityFile_ && !cityTried_) {
            cityTried_ = true;
            cityFile_ = CityFile::open(data_);
        }
        return cityFile_ ? &*cityFile_ : nullptr;
    }

    QString cityText(std::int32_t offset) {
        try {
            if (const CityFile* file = cityFile())
                return QString::fromStdString(GetCityState(*file, offset, false, data_));
        } catch (const std::exception&) {
        }
        return {};
    }

    template <class F> void forCityZips(std::int32_t offset, F&& f) {
        try {
            if (const CityFile* file = cityFile())
                ForEachListedZip(file->file(),
                                 std::int64_t(file->readHeader(offset, data_).listPos),
                                 corvana::msg::CityCorrupt, f);
        } catch (const std::exception&) {
        }
    }

    // A county's FIPS code: the one most of its ZIP codes lie in.
    int countyFips(int county) {
        if (!points_ || county < 0 || std::size_t(county) >= data_.counties.size())
            return 0;
        std::map<int, int> seen;
        try {
            if (!countyIdx_ && !countyTried_) {
                countyTried_ = true;
                countyIdx_ =
                    OpenDataFile(data_, filenames::CountyIdx, corvana::msg::CountyIndexNotFound);
            }
            if (countyIdx_)
                ForEachListedZip(*countyIdx_, data_.counties[std::size_t(county)].zipListOffset,
                                 corvana::msg::CountyIndexCorrupt, [&](std::uint32_t record) {
                                     if (int fips = int(points_->countyCode(record)))
                                         ++seen[fips];
                                 });
        } catch (const std::exception&) {
        }
        return mostCommon(seen).value_or(0);
    }

    const DataSet& data_;
    const geo::Points* points_;
    const Outlines* outlines_;
    const LazyFacts* lazyFacts_;
    const ZipFacts* facts_ = nullptr;
    bool factsTried_ = false;
    std::optional<ZipFile> zipFile_;
    std::optional<CityFile> cityFile_;
    std::optional<DataFile> countyIdx_;
    bool zipTried_ = false, cityTried_ = false, countyTried_ = false;
};

} // namespace

ListMap MapOfList(const std::vector<ResultItem>& items, const DataSet& data,
                  const geo::Points* points, const Outlines* outlines,
                  const std::optional<NearbyCentre>& nearby, const LazyFacts* facts) {
    return Translator(data, points, outlines, facts).run(items, nearby);
}

void AddPeople(ListMap& map, const std::vector<ResultItem>& items, const People& people) {
    for (MapDot& dot : map.content.dots) {
        const std::size_t row = std::size_t(dot.id);
        if (row >= items.size() || !items[row].record())
            continue;
        if (const std::optional<PeopleFigures> f = people.ofRecord(*items[row].record()))
            dot.people = f->population;
    }
}

QString DescribeMap(const ListMap& map, bool outlines) {
    return mapDescription(qsizetype(map.content.dots.size()), map.place, outlines);
}

} // namespace corvana::map
