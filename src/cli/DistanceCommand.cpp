// corvana-query distance A B: the lines of two ZIP codes and the geodesic distance between them.

#include "cli/Command.h"
#include "cli/Places.h"
#include "cli/ResultOutput.h"
#include "geo/Distance.h"
#include "geo/Nearby.h"

#include <iostream>

namespace corvana::cli {

namespace {

class Distance : public Command {
public:
    std::string_view usage() const override { return "distance ZIP ZIP"; }
    std::vector<const Option*> options() const override {
        return {&option::Show, &option::Caps, &option::Format, &option::Csv, &option::Json};
    }

    int run(const Invocation& in) const override {
        if (in.texts.size() != 2)
            throw UsageFailure{"distance takes two ZIP codes"};
        const geo::Points points = RequirePoints(in.data);
        const std::uint32_t a = RecordOfZip(in.data, in.texts[0]);
        const std::uint32_t b = RecordOfZip(in.data, in.texts[1]);
        const std::string zipA = ZipTextOf(in.data, a), zipB = ZipTextOf(in.data, b);
        const std::optional<double> km = geo::DistanceKm(points, a, b);

        // In CSV and JSON the rows carry their distance from the first ZIP code, as the rows of
        // near carry theirs from its centre: 0 for the first, the distance for the second.
        const std::optional<double> zero = km ? std::optional<double>(0) : std::nullopt;
        const TimeContext time = RunTime(in);
        const SearchResult result =
            ZipLinesOf({ZipItem(a, zero), ZipItem(b, km)},
                       ListHeading{ItemKind::Zip, "Distance From " + zipA + " To " + zipB},
                       {in.data, in.settings, time, true});
        PrintShape shape;
        shape.distances = in.options.has(option::Csv) || in.options.has(option::Json);
        if (km)
            shape.footer = geo::DistanceText(*km);
        const int status = PrintResult(result, time, in, shape);
        if (km || status != Found)
            return status;
        std::cerr << NoLocationMessage(points.position(a) ? zipB : zipA) << '\n';
        return NothingFound;
    }
};

} // namespace

const Command& DistanceCommand() {
    static const Distance command;
    return command;
}

} // namespace corvana::cli
