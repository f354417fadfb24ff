#pragma once

// What the map shows of a results list: ZIP lines as dots (each dot's id is its row), lines of
// states, cities and counties as those areas outlined, a nearby list's centre and radius as a
// circle, and the place the description names.

#include "data/People.h"
#include "data/ZipFacts.h"
#include "map/MapCanvas.h"
#include "search/Search.h"

#include <QString>

#include <optional>
#include <vector>

namespace corvana::map {

struct ListMap {
    MapContent content;
    QString place; // "Salt Lake City, UT", "Utah", "12 counties"; empty for an empty list
};

// points may be null (a data set without locations): no dots, no circle and no counties. The
// states are found by abbreviation among the outlines, so without them none are outlined. A
// data file that cannot be read leaves out what it would have given. The facts, read when the
// first dot is made, mark the ZIP codes without an area; without them (missing, damaged or
// null) every dot is an ordinary one.
ListMap MapOfList(const std::vector<ResultItem>& items, const DataSet& data,
                  const geo::Points* points, const Outlines* outlines,
                  const std::optional<NearbyCentre>& nearby, const LazyFacts* facts = nullptr);

// Gives each dot of `map`, made of `items`, its people from PEOPLE.DAT, for Size By Population.
void AddPeople(ListMap& map, const std::vector<ResultItem>& items, const People& people);

// The description of that map, for the window's accessible description and tooltip.
QString DescribeMap(const ListMap& map, bool outlines);

} // namespace corvana::map
