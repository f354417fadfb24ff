#include "search/detail/SearchCommon.h"

#include "data/FileNames.h"
#include "text/ShortString.h"

#include <algorithm>
#include <optional>

namespace corvana {

using namespace detail;

namespace {

// Where the cities of a two-letter beginning start in CITY.DAT, from the first CITY.IDX record
// that matches. `firstLetterOnly` matches on the first key character alone, whatever the key
// length, which finds the start of the whole first-letter block.
std::optional<std::int32_t> LookupCityIndex(const DataSet& data, std::string_view key,
                                            bool firstLetterOnly) {
    DataFile idx = OpenDataFile(data, filenames::CityIdx, msg::CityIndexNotFound);
    // The index is small (one record per two-letter beginning): read it whole.
    std::vector<std::uint8_t> bytes(idx.size());
    if (!idx.read(0, bytes.data(), bytes.size()))
        throw IoError(msg::ReadPastEnd);
    for (std::size_t pos = 0; pos < bytes.size(); pos += CityIndexRecord::Size) {
        if (bytes.size() - pos < CityIndexRecord::Size)
            throw IoError(msg::ReadPastEnd);
        const CityIndexRecord rec = CityIndexRecord::decode(bytes.data() + pos);
        const bool match = firstLetterOnly
                               ? rec.key[0] == key[0]
                               : rec.keyLength == 2 && rec.key[0] == key[0] && rec.key[1] == key[1];
        if (match)
            return rec.cityOffset;
    }
    return std::nullopt;
}

// Reads CITY.DAT record by record from the start of a block. The body is the name and the
// state byte; the ZIP list follows it.
class CityScanner {
public:
    CityScanner(const CityFile& file, std::int32_t offset, const DataSet& data)
        : in_(file.file()), data_(data) {
        if (!in_.seek(offset))
            throw FatalError(msg::CitySeekFailed);
    }

    // False at the end of the file; a record cut short, or one whose body has no name and
    // state byte or names a state the table lacks, is a corrupt file.
    bool next() {
        if (in_.atEnd())
            return false;
        offset_ = std::int32_t(in_.pos());
        std::uint8_t len = 0;
        if (!in_.readU8(len) || len == 0)
            throw FatalError(msg::CityCorrupt);
        body_.resize(len);
        if (!in_.read(body_.data(), len))
            throw FatalError(msg::CityCorrupt);
        if (state() >= data_.states.size())
            throw FatalError(msg::CityCorrupt);
        return true;
    }

    // The typed text against the start of the body, upper-cased. The state byte is part of the
    // body, so it takes part when the text is longer than the name.
    bool bodyStartsWith(std::string_view upperText) const {
        return startsWithUpper(body_, upperText);
    }

    std::uint8_t state() const { return std::uint8_t(body_.back()); }
    // Where the record read last starts.
    std::int32_t offset() const { return offset_; }

    CityHeader header() const {
        return CityHeader{std::string(body_.substr(0, body_.size() - 1)), state(), in_.pos()};
    }

    std::uint16_t readCount() { return readU16(); }
    std::uint16_t readNumber() { return readU16(); }

    void skipList() {
        const std::uint16_t n = readCount();
        for (std::uint16_t i = 0; i < n; ++i)
            readNumber();
    }

private:
    std::uint16_t readU16() {
        std::uint16_t v = 0;
        if (!in_.readU16(v))
            throw FatalError(msg::CityCorrupt);
        return v;
    }

    ByteCursor in_;
    const DataSet& data_;
    std::string body_;
    std::int32_t offset_ = 0;
};

struct CityScan {
    const SearchContext& ctx;
    SearchResult& r;
    // Empty when All State is on: every record passes.
    std::optional<std::string> singleState;
    ListLines lines{ctx};

    bool passes(const CityScanner& s) const {
        return !singleState || *singleState == ctx.data.stateAbbrev(s.state());
    }

    void addZipLines(CityScanner& s, const ZipFile& zip) {
        const CityHeader city = s.header();
        const std::uint16_t n = s.readCount();
        for (std::uint16_t i = 0; i < n; ++i) {
            const std::uint16_t record = s.readNumber();
            r.items.push_back(lines.zip(record, zip.read(record), city, false));
        }
    }

    // Two typed letters: the city lines of the block.
    bool GetNextCityState(CityScanner& s, std::string_view prefix) {
        if (!s.next() || !s.bodyStartsWith(prefix))
            return false;
        if (passes(s))
            r.items.push_back(lines.city(s.offset(), s.header()));
        s.skipList();
        return true;
    }

    // Three or more letters: the ZIP lines of every matching city of the block.
    bool GetNextCityStateZip(CityScanner& s, std::string_view text, const ZipFile& zip) {
        if (!s.next())
            return false;
        if (s.bodyStartsWith(text)) {
            if (passes(s))
                addZipLines(s, zip);
            else
                s.skipList();
            return true;
        }
        if (s.bodyStartsWith(text.substr(0, 2))) {
            s.skipList();
            return true;
        }
        return false;
    }

    // State mode: one letter gives city lines across the first-letter block, more give ZIP
    // lines; only cities of the chosen states match.
    bool GetNextCityStateWithState(CityScanner& s, std::string_view text,
                                   const std::vector<int>& chosen, const ZipFile& zip) {
        if (!s.next())
            return false;
        const bool chosenState =
            std::find(chosen.begin(), chosen.end(), int(s.state())) != chosen.end();
        if (chosenState && s.bodyStartsWith(text)) {
            if (text.size() >= 2) {
                addZipLines(s, zip);
            } else {
                s.skipList();
                r.items.push_back(lines.city(s.offset(), s.header()));
            }
            return true;
        }
        if (s.bodyStartsWith(text.substr(0, text.size() == 1 ? 1 : 2))) {
            s.skipList();
            return true;
        }
        return false;
    }
};

} // namespace

SearchResult SearchTheCity(std::string_view text, const SearchContext& ctx,
                           std::string_view stateComboText) {
    text = text.substr(0, ShortMax);
    const std::size_t n = text.size();
    SearchResult r;
    SetDisplay(r, n >= 2, n >= 3);
    if (n < 2)
        return r;
    return Guarded(std::move(r), [&](SearchResult& res) {
        CityScan scan{ctx, res, std::nullopt};
        if (!ctx.settings.allState)
            scan.singleState = cutTo(stateComboText, 5);
        const std::string upper = upperAscii(text);
        StartList(res, n == 2 ? heading::PossibleCities : heading::PossibleZipCodes);
        auto start = LookupCityIndex(ctx.data, upper, false);
        if (!start) {
            res.items.push_back(ListLines::noMatch(ListLines::Nothing::Cities));
            return;
        }
        if (n == 2) {
            CityFile city = OpenCityFile(ctx.data);
            CityScanner s(city, *start, ctx.data);
            while (scan.GetNextCityState(s, upper)) {
            }
        } else {
            ZipFile zip = OpenZipFile(ctx.data);
            CityFile city = OpenCityFile(ctx.data);
            CityScanner s(city, *start, ctx.data);
            while (scan.GetNextCityStateZip(s, upper, zip)) {
            }
        }
        if (res.items.empty())
            res.items.push_back(ListLines::noMatch(ListLines::Nothing::Cities));
    });
}

SearchResult SearchTheCityWithState(std::string_view text, const SearchContext& ctx,
                                    const std::vector<int>& chosenStates) {
    text = text.substr(0, ShortMax);
    const std::size_t n = text.size();
    SearchResult r;
    SetDisplay(r, n >= 1, n >= 2);
    if (n < 1)
        return r;
    return Guarded(std::move(r), [&](SearchResult& res) {
        CityScan scan{ctx, res, std::nullopt};
        const std::string upper = upperAscii(text);
        StartList(res, n == 1 ? heading::PossibleCities : heading::CityZipCodes);
        auto start = LookupCityIndex(ctx.data, upper, n == 1);
        if (!start) {
            res.items.push_back(ListLines::noMatch(ListLines::Nothing::Cities));
            return;
        }
        ZipFile zip = OpenZipFile(ctx.data);
        CityFile city = OpenCityFile(ctx.data);
        CityScanner s(city, *start, ctx.data);
        while (scan.GetNextCityStateWithState(s, upper, chosenStates, zip)) {
        }
        if (res.items.empty())
            res.items.push_back(ListLines::noMatch(ListLines::Nothing::Cities));
    });
}

std::vector<int> ChooseStates(const DataSet& data, std::string_view abbrev) {
    std::vector<int> chosen;
    for (std::size_t i = 0; i < data.states.size(); ++i) {
        if (data.stateAbbrev(int(i)) == abbrev)
            chosen.push_back(int(i));
    }
    return chosen;
}

std::vector<std::string> StateAbbreviations(const DataSet& data) {
    std::vector<std::string> list;
    for (std::size_t i = 0; i < data.states.size(); ++i) {
        std::string abbrev(data.stateAbbrev(int(i)));
        // A blank line of the state file names no state.
        if (abbrev.empty() || std::find(list.begin(), list.end(), abbrev) != list.end())
            continue;
        list.push_back(std::move(abbrev));
    }
    std::sort(list.begin(), list.end(), ItemLess);
    return list;
}

} // namespace corvana
