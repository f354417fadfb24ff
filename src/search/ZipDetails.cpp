#include "search/ZipDetails.h"

#include "data/ZipFile.h"
#include "geo/Distance.h"
#include "geo/Nearby.h"
#include "search/ZipFields.h"
#include "text/ShortString.h"
#include "text/Win1252.h"

#include <algorithm>

namespace corvana {

namespace {

bool allDigits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string utf8Name(std::string_view stored, bool capitals) {
    return Win1252ToUtf8(CasedName{stored, capitals}.str());
}

// The state's abbreviation marks a military post office where the data has no kinds.
bool militaryState(std::string_view state) {
    return state == "AA" || state == "AE" || state == "AP";
}

// The place's local time now, in the user's format, as the ZIP line's time text gives it.
std::string localTimeNow(const ZipFields& f, const DetailsContext& ctx) {
    if (!f.hasZone())
        return {};
    Settings timeOnly = ctx.settings;
    timeOnly.showTimeZone = false;
    timeOnly.showCurrentTime = true;
    std::string text = DoTime(f.zoneByte(), timeOnly, ctx.time);
    // The time text follows the zone label after a blank.
    if (!text.empty() && text.front() == ' ')
        text.erase(0, 1);
    return text;
}

// The record numbers of a ZIP code (five digits) in ZIPCODE.DAT, one per city it serves.
std::vector<std::uint32_t> recordsOfZip(std::string_view zip, const ZipFile& zips,
                                        const DataSet& data) {
    std::vector<std::uint32_t> found;
    ForEachZipRecord(data, zips, zip,
                     [&](std::uint32_t n, const ZipRecord&) { found.push_back(n); });
    return found;
}

// The facts file's lists replace the ZIP record's main county and area code, which they hold.
void addFacts(RecordDetails& d, const ZipFactsEntry& e, const Settings& settings) {
    d.kind = e.kind;
    d.timeZone = std::string(e.zoneName);
    d.counties.clear();
    for (const FactsCountyView& c : e.counties)
        d.counties.push_back(
            CountyDetails{utf8Name(c.name, settings.countiesInCaps), c.fipsText()});
    d.hasMainCounty = e.hasMainCounty;
    d.areaCodes.assign(e.areaCodes.begin(), e.areaCodes.end());
    d.hasMainAreaCode = e.hasMainAreaCode;
    for (std::string_view name : e.otherCities)
        d.otherCities.push_back(utf8Name(name, settings.citiesInCaps));
}

RecordDetails recordDetails(std::uint32_t n, const ZipRecord& rec, const CityHeader& city,
                            const DetailsContext& ctx, const ZipFacts* facts) {
    const ZipFields f = ProjectZip(rec, city, ctx.data, ctx.settings);
    RecordDetails d;
    d.record = n;
    d.zip = f.zip;
    d.city = utf8Name(f.city.stored, f.city.capitals);
    d.state = Win1252ToUtf8(f.state);
    d.stateName = Win1252ToUtf8(f.stateName());
    if (!f.county.empty()) {
        d.counties.push_back(CountyDetails{utf8Name(f.county.stored, f.county.capitals),
                                           ctx.points ? ctx.points->countyFips(n) : ""});
        d.hasMainCounty = true;
    }
    if (f.areaCode) {
        d.areaCodes.push_back(*f.areaCode);
        d.hasMainAreaCode = true;
    }
    if (facts)
        if (auto e = facts->entry(n))
            addFacts(d, *e, ctx.settings);
    if (d.kind == ZipKind::Unknown && militaryState(f.state))
        d.kind = ZipKind::Military;
    if (ctx.points)
        d.position = ctx.points->position(n);
    d.utcOffset = f.utcOffset();
    d.dst = f.hasZone() && f.dst;
    d.zoneLabel = ZoneName(f.zone);
    d.localTime = localTimeNow(f, ctx);
    if (ctx.people)
        if (auto figures = ctx.people->ofRecord(n);
            figures && (figures->population || figures->densityTenths))
            d.people = figures;
    return d;
}

void addNeighbours(RecordDetails& d, const std::vector<std::uint32_t>& ofZip, const ZipFile& zips,
                   const CityFile& cities, const DetailsContext& ctx, const ZipFacts* facts) {
    if (!ctx.points || !d.position)
        return;
    const KindChoice standard{KindSet::standardOnly(), facts};
    for (const geo::NearbyZip& z :
         geo::NearestZips(*ctx.points, *d.position, NeighbourCount, standard, ofZip)) {
        const ZipRecord rec = zips.read(z.record);
        const CityHeader city = cities.readHeader(rec.cityOffset, ctx.data);
        NeighbourDetails nb;
        nb.record = z.record;
        nb.zip = rec.zipText();
        nb.city = utf8Name(city.name, ctx.settings.citiesInCaps);
        nb.state = Win1252ToUtf8(ctx.data.stateAbbrev(city.state));
        nb.km = z.km;
        nb.miles = z.km / geo::KmPerMile;
        d.nearest.push_back(std::move(nb));
    }
}

} // namespace

std::optional<std::string> ZipCodeOfText(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (text.size() == 10 && text[5] == '-' && allDigits(text.substr(6)))
        text = text.substr(0, 5);
    if (text.size() != 5 || !allDigits(text))
        return std::nullopt;
    return std::string(text);
}

ZipDetailsResult DetailsOfZip(std::string_view text, const DetailsContext& ctx) {
    ZipDetailsResult r;
    auto zip = ZipCodeOfText(text);
    if (!zip) {
        r.outcome = DetailsOutcome::NotZipText;
        r.reason = "\"" + std::string(text) + "\" is not a ZIP code (five digits wanted).";
        return r;
    }
    r.zip = *zip;
    const ZipFacts* facts = nullptr;
    if (ctx.facts) {
        const FactsLoad& load = ctx.facts->get();
        if (load.status == FactsStatus::Damaged) {
            r.fatal.push_back(load.message);
            return r;
        }
        facts = ctx.facts->facts();
    }
    try {
        auto zips = ZipFile::open(ctx.data);
        if (!zips)
            throw FatalError(msg::ZipFileNotFound);
        auto cities = CityFile::open(ctx.data);
        if (!cities)
            throw FatalError(msg::CityNotFound);
        const std::vector<std::uint32_t> ofZip = recordsOfZip(*zip, *zips, ctx.data);
        if (ofZip.empty()) {
            r.outcome = DetailsOutcome::NotFound;
            r.reason = "The ZIP code " + *zip + " is not in the data.";
            return r;
        }
        for (std::uint32_t n : ofZip) {
            const ZipRecord rec = zips->read(n);
            r.records.push_back(
                recordDetails(n, rec, cities->readHeader(rec.cityOffset, ctx.data), ctx, facts));
            addNeighbours(r.records.back(), ofZip, *zips, *cities, ctx, facts);
        }
        const bool military = std::all_of(r.records.begin(), r.records.end(), [](const auto& d) {
            return d.kind == ZipKind::Military;
        });
        r.outcome = military ? DetailsOutcome::Military : DetailsOutcome::Found;
        if (military)
            r.reason = "The ZIP code " + *zip +
                       " belongs to a military post office (APO, FPO or DPO), which has no place.";
    } catch (const FatalError& e) {
        r.fatal.emplace_back(e.what());
        r.records.clear();
    } catch (const IoError& e) {
        r.ioError = e.what();
        r.records.clear();
    }
    return r;
}

std::optional<FactColumn> FactColumnOf(std::string_view name) {
    for (std::size_t i = 0; i < FactColumnNames.size(); ++i)
        if (name == FactColumnNames[i])
            return FactColumn(i);
    return std::nullopt;
}

std::string FactColumnValue(FactColumn column, const ZipFacts* facts, std::uint32_t record,
                            const Settings& settings) {
    if (!facts)
        return {};
    if (column == FactColumn::Kind)
        return std::string(KindName(facts->kind(record)));
    auto e = facts->entry(record);
    if (!e)
        return {};
    std::string out;
    auto add = [&](std::string_view item) {
        if (!out.empty())
            out += ';';
        out += item;
    };
    switch (column) {
    case FactColumn::Kind:
        break;
    case FactColumn::TimeZone:
        out = std::string(e->zoneName);
        break;
    case FactColumn::OtherCounties:
        for (const FactsCountyView& c : e->otherCounties())
            add(utf8Name(c.name, settings.countiesInCaps));
        break;
    case FactColumn::OtherAreaCodes:
        for (std::uint16_t code : e->otherAreaCodes()) {
            char digits[4] = {char('0' + code / 100), char('0' + code / 10 % 10),
                              char('0' + code % 10), 0};
            add(digits);
        }
        break;
    case FactColumn::OtherCities:
        for (std::string_view name : e->otherCities)
            add(utf8Name(name, settings.citiesInCaps));
        break;
    }
    return out;
}

} // namespace corvana
