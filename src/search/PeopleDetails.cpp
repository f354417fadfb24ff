#include "search/PeopleDetails.h"

#include <algorithm>

namespace corvana {

std::vector<DetailsGroup> DetailsGroupsWithPeople(const RecordDetails& record,
                                                  const PeopleLoad& people) {
    std::vector<DetailsGroup> groups = DetailsGroups(record);
    if (record.people)
        return groups;
    // Where DetailsGroups puts the group: after Position, before the groups that follow it.
    static const std::vector<std::string> after = {"Time Zone", "Nearest Standard Zip Codes"};
    const auto at = std::find_if(groups.begin(), groups.end(), [](const DetailsGroup& g) {
        return std::find(after.begin(), after.end(), g.title) != after.end();
    });
    groups.insert(
        at, DetailsGroup{"Population",
                         {{"", people.people ? "No figures for this zip code." : people.message}}});
    return groups;
}

} // namespace corvana
