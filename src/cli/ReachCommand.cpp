// corvana-query reach ZIP|LAT,LON: how many people live within a radius, or how far a circle
// must reach to hold N people; the ZIP codes nearest first, each with its people and the running
// total, then the total.

#include "cli/Command.h"
#include "cli/Places.h"
#include "cli/ResultOutput.h"
#include "cli/StructuredOutput.h"
#include "geo/Distance.h"
#include "search/DetailsText.h"
#include "text/Win1252.h"

#include <iostream>

namespace corvana::cli {

namespace {

// The people after a ZIP line: "  19,165 people, 26,523 so far".
std::string PeopleText(const geo::ReachZip& z) {
    return "  " + (z.population ? GroupedNumber(*z.population) + " people" : "no figure") + ", " +
           GroupedNumber(z.peopleSoFar) + " so far";
}

// The closing line: "12 ZIP codes, 612,345 people, within 10.0 mi (16.1 km)".
std::string TotalText(const geo::ReachResult& reach) {
    const std::size_t n = reach.zips.size();
    return GroupedNumber(n) + (n == 1 ? " ZIP code, " : " ZIP codes, ") +
           GroupedNumber(reach.people) + (reach.people == 1 ? " person" : " people") + ", within " +
           geo::DistanceText(reach.radiusKm);
}

Table ReachTable(const ReachSearchResult& r) {
    Table t;
    t.columns = {"zip", "city", "state", "miles", "km", "population", "people_so_far"};
    using K = Cell::Kind;
    std::size_t at = 0;
    for (const ResultItem& item : r.list.items) {
        if (item.kind() != ItemKind::Zip || at >= r.reach.zips.size())
            continue;
        const geo::ReachZip& z = r.reach.zips[at++];
        const geo::DistanceFigures d = geo::DistanceColumns(z.km);
        const ZipLineFields* f = item.fields.get();
        auto text = [](const std::string& core) {
            return core.empty() ? Cell{} : Cell{K::Text, Win1252ToUtf8(core)};
        };
        t.rows.push_back({Cell{K::Text, ListedZipCode(item)}, f ? text(f->city) : Cell{},
                          f ? text(f->state) : Cell{}, Cell{K::Number, d.miles},
                          Cell{K::Number, d.km},
                          z.population ? Cell{K::Number, std::to_string(*z.population)} : Cell{},
                          Cell{K::Number, std::to_string(z.peopleSoFar)}});
    }
    return t;
}

class Reach : public Command {
public:
    std::string_view usage() const override {
        return "reach ZIP|LAT,LON --miles R | --km R | --people N";
    }
    std::vector<const Option*> options() const override {
        return {&option::Show,  &option::Caps, &option::Csv,    &option::Json,
                &option::Miles, &option::Km,   &option::People, &option::Kind};
    }

    int run(const Invocation& in) const override {
        if (in.texts.size() != 1)
            throw UsageFailure{"reach takes one ZIP code or one point (LAT,LON)"};
        ReachRequest request;
        request.radius = RadiusOf(in.options);
        if (const std::optional<std::uint64_t> people = PeopleOf(in.options))
            request.people = *people;
        else if (!request.radius)
            throw UsageFailure{"reach takes --miles R, --km R or --people N"};
        const geo::Points points = RequirePoints(in.data);
        const People people = RequirePeople(in.data);
        const Centre centre = ReadCentre(in.data, points, in.texts[0]);
        const TimeContext time = RunTime(in);
        const SearchContext ctx{in.data, in.settings, time, true};
        const KindSet kinds = KindsOf(in.options).value_or(KindSet::all());
        const LazyFacts facts(in.data);
        const KindChoice choice{kinds, kinds.isAll() ? nullptr : RequireFacts(facts)};
        const ReachSearchResult r =
            centre.record
                ? SearchReach(points, people, *centre.record, request, ctx, choice)
                : SearchReach(points, people, centre.point, centre.text, request, ctx, choice);
        if (!r.list.fatal.empty()) {
            for (const auto& m : r.list.fatal)
                PrintFatal(m);
            return DataError;
        }
        if (r.list.ioError) {
            std::cerr << *r.list.ioError << '\n';
            return DataError;
        }
        if (!r.reach.reached)
            throw CommandEnd{"corvana-query: the ZIP codes of the data hold " +
                                 GroupedNumber(r.reach.people) + " people, fewer than " +
                                 GroupedNumber(request.people),
                             NothingFound};
        if (in.options.has(option::Csv) || in.options.has(option::Json)) {
            const Table t = ReachTable(r);
            std::cout << (in.options.has(option::Json) ? TableJson(t) : TableCsv(t));
            return t.rows.empty() ? NothingFound : Found;
        }
        if (r.list.heading)
            std::cout << Win1252ToUtf8(r.list.heading->text) << '\n';
        std::size_t at = 0;
        for (const ResultItem& item : r.list.items) {
            std::string line = Win1252ToUtf8(item.text);
            if (item.kind() == ItemKind::Zip && at < r.reach.zips.size())
                line += PeopleText(r.reach.zips[at++]);
            std::cout << line << '\n';
        }
        if (r.reach.zips.empty())
            return NothingFound;
        std::cout << TotalText(r.reach) << '\n';
        return Found;
    }
};

} // namespace

const Command& ReachCommand() {
    static const Reach command;
    return command;
}

} // namespace corvana::cli
