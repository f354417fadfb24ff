#pragma once

#include "data/PeopleFormat.h"

#include <cstddef>
#include <string_view>

namespace corvana::mkdata {

// The PEOPLE.DAT record of one table row from its population (a whole number of people) and
// density (people per square mile, at most one decimal) fields; an empty field is NoFigure.
// Throws InputError naming the line for a figure that is not such a number or lies above the
// largest the file holds.
PeopleRecord ReadPeopleFigures(std::string_view population, std::string_view density,
                               std::size_t line);

} // namespace corvana::mkdata
