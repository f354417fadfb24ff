#pragma once

#include "data/People.h"
#include "search/DetailsText.h"

#include <vector>

namespace corvana {

// The groups of one record as the details window shows them: DetailsGroups, with the Population
// group its figures give, or in that group's place one that says why there are none: the
// reader's message when PEOPLE.DAT is missing or damaged, else that the ZIP code has no figures
// (a P.O. box or a military post office, which is not 0 people).
std::vector<DetailsGroup> DetailsGroupsWithPeople(const RecordDetails& record,
                                                  const PeopleLoad& people);

} // namespace corvana
