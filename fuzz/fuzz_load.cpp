// Loading the resident tables from arbitrary STATE.DAT, COUNTY.DAT, ZIPCODE.IDX and AREA.DAT,
// then reading what they point at in arbitrary CITY.DAT and ZIPCODE.DAT: every main city of the
// ZIP index, and every record of every block with its city and county.
#include "FuzzUtil.h"

#include "data/DataSet.h"
#include "data/Errors.h"
#include "data/ZipFile.h"
#include "settings/Settings.h"
#include "text/ShortString.h"

#include <set>

using namespace corvana;
using corvana::fuzz::FileSplit;

namespace {

void checkCityRead(const CityFile& city, std::int64_t offset, const Settings& settings,
                   const DataSet& data) {
    try {
        std::string text = GetCityState(city, offset, settings.citiesInCaps, data);
        FUZZ_CHECK(text.size() <= ShortMax);
        CityHeader h = city.readHeader(offset, data);
        FUZZ_CHECK(h.state < data.states.size());
        FUZZ_CHECK(h.listPos <= city.size());
        FUZZ_CHECK(GetState(data.stateAbbrev(h.state), settings.statesInCaps).size() <= 25);
    } catch (const FatalError& e) {
        std::string_view m = e.what();
        FUZZ_CHECK(m == msg::CitySeekFailed || m == msg::CityCorrupt);
        FUZZ_CHECK((m == msg::CitySeekFailed) == (offset < 0));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FileSplit in(bytes, size);
    Settings settings;
    std::uint8_t flags = in.byte();
    settings.citiesInCaps = flags & 1;
    settings.statesInCaps = flags & 2;
    in.putFiles({"STATE.DAT", "COUNTY.DAT", "ZIPCODE.IDX", "AREA.DAT", "ZIPVER.DAT", "CITY.DAT",
                 "ZIPCODE.DAT"});

    DataSet data;
    data.dir = fuzz::Scratch::get().dir();
    LoadResult r = LoadInData(data);

    static const std::set<std::string_view> loadMessages = {
        msg::StateNotFound, msg::CountyNotFound, msg::CountyCorrupt, msg::ZipIndexNotFound,
        msg::AreaDataNotFound};
    for (const auto& m : r.fatal)
        FUZZ_CHECK(loadMessages.count(m) == 1);
    FUZZ_CHECK(!r.ioError || *r.ioError == msg::ReadPastEnd);
    for (const auto& s : data.states)
        FUZZ_CHECK(s.size() <= ShortMax && s.find_first_of("\r\n") == std::string::npos);
    FUZZ_CHECK(ZipVersionMessage(data).size() <= ShortMax);
    FUZZ_CHECK(ZipDataDate(data).size() <= ShortMax);
    if (!r.ok())
        return 0;

    for (std::size_t i = 0; i < data.counties.size(); ++i) {
        FUZZ_CHECK(std::size_t(data.counties[i].stateNumber()) < data.states.size());
        FUZZ_CHECK(data.countyName(int(i)).size() + 1 == data.counties[i].text.size());
    }
    FUZZ_CHECK(data.countyName(NoCounty).empty() || data.counties.size() > NoCounty);

    auto city = CityFile::open(data);
    auto zips = ZipFile::open(data);
    if (!city || !zips)
        return 0;
    for (const auto& entry : data.zipIndex) {
        if (entry.first < 0)
            continue;
        checkCityRead(*city, entry.mainCity, settings, data);
        for (std::uint32_t k = 0; k < entry.count; ++k) {
            std::int64_t n = std::int64_t(entry.first) + k;
            ZipRecord rec;
            try {
                rec = zips->read(n);
            } catch (const IoError& e) {
                FUZZ_CHECK(std::string_view(e.what()) == msg::ReadPastEnd);
                FUZZ_CHECK(std::uint64_t(n) >= zips->recordCount());
                break;
            }
            FUZZ_CHECK(rec.zipText().size() == 5);
            checkCityRead(*city, rec.cityOffset, settings, data);
            FUZZ_CHECK(data.countyName(rec.county).size() < 256);
        }
    }
    return 0;
}
