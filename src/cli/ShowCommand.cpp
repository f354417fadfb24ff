// corvana-query show ZIP...: everything known about each ZIP code, every record of it.

#include "cli/Command.h"
#include "cli/Places.h"
#include "cli/ResultOutput.h"
#include "cli/StructuredOutput.h"
#include "data/People.h"
#include "data/ZipFacts.h"
#include "geo/Points.h"
#include "search/DetailsText.h"
#include "text/Csv.h"
#include "text/Json.h"

#include <algorithm>
#include <cstdio>
#include <iostream>

namespace corvana::cli {

namespace {

std::string number(double v, const char* format = "%.6g") {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, format, v);
    return buffer;
}

std::string areaCode(int code) {
    return number(code, "%03.0f");
}

template <class T, class F> std::string jsonList(const std::vector<T>& items, F each) {
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i)
        out += (i ? ", " : "") + each(items[i]);
    return out + "]";
}

std::string recordJson(const RecordDetails& d) {
    std::string o = "{\"city\": " + ToJsonString(d.city) + ", \"state\": " + ToJsonString(d.state) +
                    ", \"state_name\": " + ToJsonString(d.stateName);
    o += ", \"counties\": " + jsonList(d.counties, [](const CountyDetails& c) {
             return "{\"name\": " + ToJsonString(c.name) +
                    ", \"fips\": " + (c.fips.empty() ? "null" : ToJsonString(c.fips)) + "}";
         });
    o += ", \"area_codes\": " +
         jsonList(d.areaCodes, [](int code) { return ToJsonString(areaCode(code)); });
    o += ", \"other_cities\": " + jsonList(d.otherCities, ToJsonString);
    o += ", \"kind\": " + (d.kind == ZipKind::Unknown ? "null" : ToJsonString(d.kindName()));
    o += ", \"latitude\": " + (d.position ? number(d.position->latitude, "%.5f") : "null");
    o += ", \"longitude\": " + (d.position ? number(d.position->longitude, "%.5f") : "null");
    o += ", \"time_zone\": " + (d.timeZone.empty() ? "null" : ToJsonString(d.timeZone));
    o += ", \"utc_offset\": " + (d.utcOffset ? std::to_string(*d.utcOffset) : "null");
    o += std::string(", \"dst\": ") + (d.dst ? "true" : "false");
    o += ", \"local_time\": " + (d.localTime.empty() ? "null" : ToJsonString(d.localTime));
    o += ", \"population\": " + (d.people && d.people->population
                                     ? std::to_string(*d.people->population)
                                     : std::string("null"));
    o += ", \"density\": " + (d.people && d.people->densityTenths
                                  ? number(*d.people->perSquareMile(), "%.1f")
                                  : std::string("null"));
    o += ", \"nearest\": " + jsonList(d.nearest, [](const NeighbourDetails& n) {
             return "{\"zip\": " + ToJsonString(n.zip) + ", \"city\": " + ToJsonString(n.city) +
                    ", \"state\": " + ToJsonString(n.state) + ", \"km\": " + number(n.km, "%.3f") +
                    ", \"miles\": " + number(n.miles, "%.3f") + "}";
         });
    return o + "}";
}

template <class T, class F> std::string joined(const std::vector<T>& items, F each) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i)
        out += (i ? ";" : "") + each(items[i]);
    return out;
}

constexpr const char* CsvHeader =
    "zip,city,state,counties,county_fips,area_codes,other_cities,kind,latitude,longitude,"
    "time_zone,utc_offset,dst,local_time,nearest,nearest_miles,population,density\r\n";

std::string recordCsv(const RecordDetails& d) {
    const std::vector<std::string> fields = {
        d.zip,
        d.city,
        d.state,
        joined(d.counties, [](const CountyDetails& c) { return c.name; }),
        joined(d.counties, [](const CountyDetails& c) { return c.fips; }),
        joined(d.areaCodes, areaCode),
        joined(d.otherCities, [](const std::string& s) { return s; }),
        std::string(d.kindName()),
        d.position ? number(d.position->latitude, "%.5f") : "",
        d.position ? number(d.position->longitude, "%.5f") : "",
        d.timeZone,
        d.utcOffset ? std::to_string(*d.utcOffset) : "",
        d.utcOffset ? (d.dst ? "true" : "false") : "",
        d.localTime,
        joined(d.nearest, [](const NeighbourDetails& n) { return n.zip; }),
        joined(d.nearest, [](const NeighbourDetails& n) { return number(n.miles, "%.1f"); }),
        d.people && d.people->population ? std::to_string(*d.people->population) : "",
        d.people && d.people->densityTenths ? number(*d.people->perSquareMile(), "%.1f") : ""};
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i)
        line += (i ? "," : "") + ToCsvField(fields[i]);
    return line + "\r\n";
}

class Show : public Command {
public:
    std::string_view usage() const override { return "show ZIP..."; }
    std::vector<const Option*> options() const override {
        return {&option::Caps, &option::Csv, &option::Json};
    }

    int run(const Invocation& in) const override {
        if (in.texts.empty())
            throw UsageFailure{"show takes one or more ZIP codes"};
        const geo::PointsLoad points = geo::LoadPoints(in.data);
        const LazyFacts facts(in.data);
        // Data without PEOPLE.DAT shows what it always showed; a damaged file ends the run.
        const std::optional<People> people = OptionalPeople(in.data);
        const DetailsContext ctx{in.data,     in.settings,
                                 RunTime(in), points.points ? &*points.points : nullptr,
                                 &facts,      people ? &*people : nullptr};
        const bool csv = in.options.has(option::Csv), json = in.options.has(option::Json);
        std::string out = csv ? CsvHeader : "";
        std::vector<std::string> objects;
        bool any = false;
        // The worst of the texts: one not found gives 1, one that is no ZIP code 2.
        int status = Found;
        for (const std::string& text : in.texts) {
            const ZipDetailsResult r = DetailsOfZip(text, ctx);
            if (!r.fatal.empty())
                throw CommandEnd{"corvana-query: " + r.fatal.front(), DataError};
            if (r.ioError)
                throw CommandEnd{"corvana-query: " + *r.ioError, DataError};
            if (!r.found()) {
                std::cerr << "corvana-query: \"" << text << "\": " << r.reason << '\n';
                status =
                    std::max(status, r.outcome == DetailsOutcome::NotZipText ? int(UsageError)
                                                                             : int(NothingFound));
                continue;
            }
            any = true;
            if (json)
                objects.push_back("  {\"zip\": " + ToJsonString(r.zip) +
                                  ", \"records\": " + jsonList(r.records, recordJson) + "}");
            else if (csv)
                for (const RecordDetails& d : r.records)
                    out += recordCsv(d);
            else
                out += (out.empty() ? "" : "\n") + DetailsPlainText(r);
        }
        if (json) {
            out = "[\n";
            for (std::size_t i = 0; i < objects.size(); ++i)
                out += objects[i] + (i + 1 < objects.size() ? ",\n" : "\n");
            out += "]\n";
        }
        if (!any)
            return status;
        std::cout << out;
        return status;
    }
};

} // namespace

const Command& ShowCommand() {
    static const Show command;
    return command;
}

} // namespace corvana::cli
