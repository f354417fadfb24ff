// corvana-query near ZIP|LAT,LON: the ZIP codes within a radius of a ZIP code or a point,
// nearest first, each with its distance.

#include "cli/Command.h"
#include "cli/Places.h"
#include "cli/ResultOutput.h"
#include "geo/Distance.h"

namespace corvana::cli {

namespace {

class Near : public Command {
public:
    std::string_view usage() const override { return "near ZIP|LAT,LON"; }
    std::vector<const Option*> options() const override {
        return {&option::Show,  &option::Caps, &option::Format, &option::Csv, &option::Json,
                &option::Miles, &option::Km,   &option::Limit,  &option::Kind};
    }

    int run(const Invocation& in) const override {
        if (in.texts.size() != 1)
            throw UsageFailure{"near takes one ZIP code or one point (LAT,LON)"};
        const geo::Points points = RequirePoints(in.data);
        const Centre centre = ReadCentre(in.data, points, in.texts[0]);
        const NearbyRadius radius = RadiusOf(in.options).value_or(NearbyRadius{});
        const TimeContext time = RunTime(in);
        const SearchContext ctx{in.data, in.settings, time, true};
        // Every kind unless asked: a neighbour is a neighbour, boxes included.
        const KindSet kinds = KindsOf(in.options).value_or(KindSet::all());
        const LazyFacts facts(in.data);
        const KindChoice choice{kinds, kinds.isAll() ? nullptr : RequireFacts(facts)};
        SearchResult result =
            centre.record ? SearchNearby(points, *centre.record, radius, ctx, choice)
                          : SearchNearby(points, centre.point, centre.text, radius, ctx, choice);
        // The list is nearest first, so the first N are the N nearest.
        const std::optional<std::size_t> limit = LimitOf(in.options);
        if (limit && result.items.size() > *limit && result.items.front().kind() == ItemKind::Zip)
            result.items.resize(*limit);
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
