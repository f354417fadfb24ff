// corvana-query nearest LAT,LON: the ZIP code whose position is nearest to a point, with its
// distance; the reverse of a look-up.

#include "cli/Command.h"
#include "cli/Places.h"
#include "cli/ResultOutput.h"
#include "geo/Nearby.h"
#include "text/Blanks.h"

namespace corvana::cli {

namespace {

class Nearest : public Command {
public:
    std::string_view usage() const override { return "nearest LAT,LON"; }
    std::vector<const Option*> options() const override {
        return {&option::Show, &option::Caps, &option::Format,
                &option::Csv,  &option::Json, &option::Kind};
    }

    int run(const Invocation& in) const override {
        if (in.texts.size() != 1)
            throw UsageFailure{"nearest takes one point (LAT,LON)"};
        const geo::Points points = RequirePoints(in.data);
        const geo::PointParse parse = geo::ParsePoint(in.texts[0]);
        if (!parse.point)
            throw UsageFailure{"\"" + in.texts[0] + "\": " + parse.message, false};
        std::vector<ZipItem> zips;
        // A point lies in an area: the answer is a ZIP code that has one unless asked otherwise.
        const KindSet kinds = KindsOf(in.options).value_or(KindSet::standardOnly());
        const LazyFacts facts(in.data);
        const KindChoice choice{kinds, kinds.isAll() ? nullptr : RequireFacts(facts)};
        if (const std::optional<geo::NearbyZip> n = geo::Nearest(points, *parse.point, choice))
            zips.emplace_back(n->record, n->km);
        const TimeContext time = RunTime(in);
        const std::string text(trimBlanks(in.texts[0]));
        const SearchResult result =
            ZipLinesOf(zips, ListHeading{ItemKind::Zip, "Nearest Zip Code To " + text},
                       {in.data, in.settings, time, true});
        PrintShape shape;
        shape.distances = true;
        return PrintResult(result, time, in, shape);
    }
};

} // namespace

const Command& NearestCommand() {
    static const Nearest command;
    return command;
}

} // namespace corvana::cli
