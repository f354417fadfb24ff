#pragma once

// Pieces shared by the searches; not part of the search interface, and no other library may
// include it (the layer check refuses a detail/ header from outside its library).

#include "data/Errors.h"
#include "data/MappedFile.h"
#include "data/ZipFile.h"
#include "search/Search.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace corvana::detail {

inline void SetDisplay(SearchResult& r, bool listShown, bool outputControls) {
    r.listShown = listShown;
    r.outputControls = outputControls;
}

// Clears the list and names it: from here on the window shows `items`.
inline void StartList(SearchResult& r, const ListHeading& heading) {
    r.cleared = true;
    r.heading = heading;
    r.items.clear();
}

// Runs a search body and turns what the readers throw into the result: a fatal message, or the
// general input/output error with the items added until then kept. The list is sorted last.
template <class Body> SearchResult Guarded(SearchResult r, Body&& body) {
    try {
        body(r);
    } catch (const FatalError& e) {
        r.fatal.emplace_back(e.what());
    } catch (const IoError& e) {
        r.ioError = e.what();
    }
    SortItems(r.items);
    return r;
}

// Makes the lines of one search's list: every text of a results list is made here, each line
// with the numbers behind it. A ZIP line shows the ZIP code, city and state, then the county,
// area code and time text as the settings ask; the county search always shows the county.
class ListLines {
public:
    explicit ListLines(const SearchContext& ctx) : ctx_(ctx) {}

    ResultItem state(int stateNumber) const;
    ResultItem mainCity(int prefix, std::int32_t cityOffset, const CityHeader& city) const;
    ResultItem city(std::int32_t cityOffset, const CityHeader& city) const;
    ResultItem county(int countyNumber) const;
    // `city` is the header of the record's city.
    ResultItem zip(std::uint32_t record, const ZipRecord& rec, const CityHeader& city,
                   bool alwaysCounty);
    // The one line of a list that found nothing: "No matching zip codes found." and the like.
    enum class Nothing { ZipCodes, Cities, Counties, AreaCodes };
    static ResultItem noMatch(Nothing what);

private:
    const SearchContext& ctx_;
    ZoneTimes times_;
};

// The city headers of one search by CITY.DAT offset: the ZIP codes of a county or an area code
// share few cities, so each city record is read once.
class CityHeaders {
public:
    CityHeaders(const CityFile& file, const SearchContext& ctx) : file_(file), ctx_(ctx) {}
    const CityHeader& at(std::int32_t offset) {
        auto it = known_.find(offset);
        if (it == known_.end())
            it = known_.emplace(offset, file_.readHeader(offset, ctx_.data)).first;
        return it->second;
    }

private:
    const CityFile& file_;
    const SearchContext& ctx_;
    std::unordered_map<std::int32_t, CityHeader> known_;
};

} // namespace corvana::detail
