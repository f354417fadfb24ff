#pragma once

// Pieces shared by the searches; not part of the search interface.

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
inline void StartList(SearchResult& r, std::string heading) {
    r.cleared = true;
    r.heading = std::move(heading);
    r.items.clear();
}

inline void AddItem(SearchResult& r, std::string text) {
    r.items.push_back(ResultItem{std::move(text), std::nullopt});
}

inline void AddZipItem(SearchResult& r, std::string text, std::uint32_t record) {
    r.items.push_back(ResultItem{std::move(text), record});
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

// Builds the results-list lines of one search: ZIP code, city text, then the county, area code
// and time text as the settings ask. The county search always shows the county.
class ZipLineMaker {
public:
    explicit ZipLineMaker(const SearchContext& ctx) : ctx_(ctx) {}
    std::string operator()(const ZipRecord& rec, std::string_view cityText, bool alwaysCounty);

private:
    const SearchContext& ctx_;
    ZoneTimes times_;
};

// The city texts of one search by CITY.DAT offset: the ZIP codes of a county or an area code
// share few cities, so each city record is read and formatted once.
class CityTexts {
public:
    struct Entry {
        std::string text;
        std::uint8_t state = 0;
    };
    CityTexts(const CityFile& file, const SearchContext& ctx) : file_(file), ctx_(ctx) {}
    const Entry& at(std::int32_t offset) {
        auto it = known_.find(offset);
        if (it == known_.end()) {
            CityHeader h = file_.readHeader(offset, ctx_.data);
            it = known_.emplace(offset, Entry{CityText(h, ctx_.settings.citiesInCaps, ctx_.data), h.state}).first;
        }
        return it->second;
    }

private:
    const CityFile& file_;
    const SearchContext& ctx_;
    std::unordered_map<std::int32_t, Entry> known_;
};

// Openers that report a missing file as the fatal message of that file.
CityFile OpenCityFile(const DataSet& data);
ZipFile OpenZipFile(const DataSet& data);
DataFile OpenDataFile(const DataSet& data, const char* name, const char* missingMessage);

// Calls f(record number) for each entry of the ZIP list at `offset` of COUNTY.IDX or AREA.IDX.
// An offset that reaches no whole count, or a number cut short, throws `corruptMessage`.
template <class F>
void ForEachListedZip(const DataFile& file, std::int64_t offset, const char* corruptMessage,
                      F&& f) {
    ByteCursor in(file);
    std::uint16_t count = 0;
    if (!in.seek(offset) || !in.readU16(count))
        throw FatalError(corruptMessage);
    for (std::uint16_t i = 0; i < count; ++i) {
        std::uint16_t record = 0;
        if (!in.readU16(record))
            throw FatalError(corruptMessage);
        f(record);
    }
}

} // namespace corvana::detail
