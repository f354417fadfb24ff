// corvana-query near ZIP|LAT,LON: the ZIP codes within a radius of a ZIP code or a point,
// nearest first, each with its distance.

#include "cli/Command.h"
#include "cli/Places.h"
#include "cli/ResultOutput.h"
#include "geo/Distance.h"

#include <cstdio>

namespace corvana::cli {

namespace {

// The heading of a radius given in kilometers, in the words of NearbyHeading.
std::string KmHeading(double km, std::string_view centre) {
    char number[32];
    std::snprintf(number, sizeof number, "%.6g", km);
    return std::string("Zip Codes Within ") + number +
           (km == 1 ? " Kilometer Of " : " Kilometers Of ") + std::string(centre);
}

class Near : public Command {
public:
    void checkOptions(const Options& o) const override {
        RefuseOptions(o, "near", {"--state", "--column", "--columns", "--distance-from"});
    }

    int run(const Invocation& in) const override {
        if (in.texts.size() != 1)
            throw UsageFailure{"near takes one ZIP code or one point (LAT,LON)"};
        const geo::Points points = RequirePoints(in.data);
        const Centre centre = ReadCentre(in.data, points, in.texts[0]);
        const Radius radius = in.options.radius.value_or(Radius{});
        const TimeContext time = RunTime(in);
        const SearchContext ctx{in.data, in.settings, time};
        SearchResult result =
            centre.record ? SearchNearby(points, *centre.record, radius.miles(), ctx)
                          : SearchNearby(points, centre.point, centre.text, radius.miles(), ctx);
        if (radius.unit == geo::LengthUnit::Km && result.heading)
            result.heading->text = KmHeading(radius.value, centre.text);
        // The list is nearest first, so the first N are the N nearest.
        if (in.options.limit && result.items.size() > *in.options.limit &&
            result.items.front().kind() == ItemKind::Zip)
            result.items.resize(*in.options.limit);
        PrintShape shape;
        shape.distances = true;
        shape.distancesInLines = true;
        return PrintResult(result, time, in, shape);
    }
};

} // namespace

const Command& NearCommand() {
    static const Near command;
    return command;
}

} // namespace corvana::cli
