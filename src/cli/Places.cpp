#include "cli/Places.h"

#include "cli/Lookup.h"
#include "data/ZipFile.h"
#include "text/Blanks.h"
#include "text/Win1252.h"

namespace corvana::cli {

const ZipFacts* RequireFacts(const LazyFacts& facts) {
    const FactsLoad& load = facts.get();
    if (load.status == FactsStatus::Damaged)
        throw CommandEnd{"corvana-query: " + load.message, DataError};
    return facts.facts();
}

geo::Points RequirePoints(const DataSet& data) {
    geo::PointsLoad load = geo::LoadPoints(data);
    switch (load.status) {
    case geo::PointsStatus::Loaded:
        return std::move(*load.points);
    case geo::PointsStatus::NoLocations:
        throw CommandEnd{"corvana-query: " + load.message, DataError};
    case geo::PointsStatus::Damaged:
        break;
    }
    throw CommandEnd{"FATAL ERROR: " + Win1252ToUtf8(load.message), DataError};
}

std::optional<People> OptionalPeople(const DataSet& data) {
    PeopleLoad load = LoadPeople(data);
    if (load.status == PeopleStatus::Damaged)
        throw CommandEnd{"corvana-query: " + load.message, DataError};
    return std::move(load.people);
}

People RequirePeople(const DataSet& data) {
    std::optional<People> people = OptionalPeople(data);
    if (!people)
        throw CommandEnd{std::string("corvana-query: ") + msg::NoPeople, DataError};
    return std::move(*people);
}

std::uint32_t RecordOfZip(const DataSet& data, std::string_view text) {
    const std::optional<std::uint32_t> zip = ParseZipText(text);
    if (!zip)
        throw UsageFailure{"\"" + std::string(text) + "\" is not a ZIP code", false};
    // A list from a spreadsheet may have lost leading zeros; a ZIP code typed as an argument has
    // all five digits, so that "841" is never quietly taken for 00841.
    const std::string_view typed = trimBlanks(text);
    if (typed.size() != 5 && !(typed.size() == 10 && typed[5] == '-'))
        throw UsageFailure{
            "\"" + std::string(text) + "\" is not a ZIP code: a ZIP code has five digits", false};
    char digits[8];
    std::snprintf(digits, sizeof digits, "%05u", unsigned(*zip));
    // The first record answers for a ZIP code of several cities.
    std::optional<std::uint32_t> found;
    if (!ZipBlock(data, digits).empty())
        ForEachZipRecord(data, OpenZipFile(data), digits, [&](std::uint32_t n, const ZipRecord&) {
            found = n;
            return false;
        });
    if (found)
        return *found;
    throw UsageFailure{std::string("no ZIP code ") + digits + " in the data", false};
}

std::string ZipTextOf(const DataSet& data, std::uint32_t record) {
    return OpenZipFile(data).read(record).zipText();
}

std::string NoLocationMessage(std::string_view zip) {
    return "corvana-query: ZIP code " + std::string(zip) +
           " has no location (military post offices have none)";
}

Centre ReadCentre(const DataSet& data, const geo::Points& points, std::string_view text) {
    const std::string_view trimmed = trimBlanks(text);
    // Digits alone, or with the hyphen of ZIP+4, are meant as a ZIP code.
    if (!trimmed.empty() && trimmed.find_first_not_of("0123456789-") == std::string_view::npos) {
        Centre c;
        c.record = RecordOfZip(data, trimmed);
        c.text = ZipTextOf(data, *c.record);
        const std::optional<geo::GeoPoint> at = points.position(*c.record);
        if (!at)
            throw CommandEnd{NoLocationMessage(c.text), NothingFound};
        c.point = *at;
        return c;
    }
    const geo::PointParse parse = geo::ParsePoint(trimmed);
    if (!parse.point)
        throw UsageFailure{"\"" + std::string(text) + "\": " + parse.message, false};
    return Centre{std::nullopt, *parse.point, std::string(trimmed)};
}

} // namespace corvana::cli
