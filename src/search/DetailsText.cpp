#include "search/DetailsText.h"

#include <cmath>
#include <cstdio>

namespace corvana {

namespace {

std::string number(const char* format, double value) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// Adds a list under one label: the label on its first value only.
void addList(DetailsGroup& g, const std::string& label, const std::vector<std::string>& values) {
    for (std::size_t i = 0; i < values.size(); ++i)
        g.fields.push_back({i == 0 ? label : std::string(), values[i]});
}

std::string countyText(const CountyDetails& c) {
    return c.fips.empty() ? c.name : c.name + " (FIPS " + c.fips + ")";
}

std::string offsetText(int hours) {
    if (hours == 0)
        return "UTC";
    return std::string("UTC") + (hours < 0 ? "\xE2\x88\x92" : "+") +
           std::to_string(hours < 0 ? -hours : hours);
}

} // namespace

std::string KindDescription(ZipKind kind) {
    switch (kind) {
    case ZipKind::Standard:
        return "Standard (has an area)";
    case ZipKind::PoBoxOrUnique:
        return "P.O. box or single address";
    case ZipKind::Military:
        return "Military post office";
    default:
        return {};
    }
}

std::string GroupedNumber(std::uint64_t n) {
    std::string digits = std::to_string(n);
    for (std::size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, 1, ',');
    return digits;
}

std::string DensityText(const PeopleFigures& figures) {
    if (!figures.densityTenths)
        return {};
    const auto whole = [](double v) { return GroupedNumber(std::uint64_t(std::llround(v))); };
    return whole(*figures.perSquareMile()) + " people per sq mi (" + whole(*figures.perSquareKm()) +
           " per km\xC2\xB2)";
}

std::string DistanceText(double miles, double km) {
    return number("%.1f mi", miles) + " (" + number("%.1f km", km) + ")";
}

std::vector<DetailsGroup> DetailsGroups(const RecordDetails& d) {
    std::vector<DetailsGroup> groups;
    DetailsGroup place{"Place", {}};
    place.fields.push_back({"Zip Code", d.zip});
    place.fields.push_back({"City", d.city});
    place.fields.push_back(
        {"State", d.stateName.empty() ? d.state : d.state + " (" + d.stateName + ")"});
    groups.push_back(std::move(place));

    if (!d.counties.empty()) {
        DetailsGroup g{"Counties", {}};
        for (std::size_t i = 0; i < d.counties.size(); ++i) {
            const bool main = i == 0 && d.hasMainCounty;
            const bool firstOther = i == (d.hasMainCounty ? 1u : 0u);
            g.fields.push_back(
                {main ? "Main" : (firstOther ? "Also in" : ""), countyText(d.counties[i])});
        }
        groups.push_back(std::move(g));
    }
    if (!d.areaCodes.empty()) {
        DetailsGroup g{"Area Codes", {}};
        std::vector<std::string> others;
        for (std::size_t i = 0; i < d.areaCodes.size(); ++i) {
            const std::string code = number("%03.0f", d.areaCodes[i]);
            if (i == 0 && d.hasMainAreaCode)
                g.fields.push_back({"Main", code});
            else
                others.push_back(code);
        }
        addList(g, "Also", others);
        groups.push_back(std::move(g));
    }
    if (!d.otherCities.empty()) {
        DetailsGroup g{"Other City Names", {}};
        addList(g, "Also called", d.otherCities);
        groups.push_back(std::move(g));
    }
    if (d.kind != ZipKind::Unknown)
        groups.push_back({"Kind", {{"Kind", KindDescription(d.kind)}}});
    if (d.position)
        groups.push_back({"Position",
                          {{"Latitude", number("%.5f", d.position->latitude)},
                           {"Longitude", number("%.5f", d.position->longitude)}}});
    if (d.people) {
        DetailsGroup g{"Population", {}};
        if (d.people->population)
            g.fields.push_back({"Population", GroupedNumber(*d.people->population)});
        if (d.people->densityTenths)
            g.fields.push_back({"Density", DensityText(*d.people)});
        groups.push_back(std::move(g));
    }
    if (!d.timeZone.empty() || d.utcOffset) {
        DetailsGroup g{"Time Zone", {}};
        if (!d.timeZone.empty())
            g.fields.push_back({"Zone", d.timeZone});
        if (d.utcOffset) {
            std::string offset = offsetText(*d.utcOffset);
            if (!d.zoneLabel.empty())
                offset += " (" + d.zoneLabel + ")";
            g.fields.push_back({"Offset", offset});
        }
        g.fields.push_back({"Daylight saving", d.dst ? "Observed" : "Not observed"});
        if (!d.localTime.empty())
            g.fields.push_back({"Local time", d.localTime});
        groups.push_back(std::move(g));
    }
    if (!d.nearest.empty()) {
        DetailsGroup g{"Nearest Standard Zip Codes", {}};
        for (const NeighbourDetails& n : d.nearest)
            g.fields.push_back(
                {n.zip, n.city + ", " + n.state + " \xE2\x80\x93 " + DistanceText(n.miles, n.km)});
        groups.push_back(std::move(g));
    }
    return groups;
}

std::string DetailsPlainText(const ZipDetailsResult& result) {
    std::vector<std::vector<DetailsGroup>> records;
    for (const RecordDetails& record : result.records)
        records.push_back(DetailsGroups(record));
    return GroupsPlainText(records);
}

std::string GroupsPlainText(const std::vector<std::vector<DetailsGroup>>& records) {
    std::string out;
    for (const std::vector<DetailsGroup>& groups : records) {
        if (!out.empty())
            out += '\n';
        for (const DetailsGroup& g : groups) {
            out += g.title + '\n';
            for (const DetailsField& f : g.fields) {
                out += "  ";
                if (!f.label.empty())
                    out += f.label + ": ";
                else
                    out += "  ";
                out += f.value + '\n';
            }
        }
    }
    return out;
}

} // namespace corvana
