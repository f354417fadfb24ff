// The reader of EXCHANGE.DAT on arbitrary bytes: a file is either refused as corrupt or loaded,
// and a loaded file answers every area code and exchange with zones on the scale and places
// that lie inside it, so that the answer of a number can be made from them.
#include "FuzzUtil.h"

#include "TestClock.h"
#include "data/DataSet.h"
#include "data/Exchanges.h"
#include "data/FileNames.h"
#include "search/Phone.h"

using namespace corvana;

namespace {

void checkZones(const ZoneSet& z) {
    FUZZ_CHECK(z.count >= 1 && z.count <= MaxZones);
    for (std::uint8_t code : z.zones()) {
        const int zone = ZipRecord::zoneOf(code);
        FUZZ_CHECK(zone >= 1 && zone <= 24);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    auto& scratch = fuzz::Scratch::get();
    scratch.put(filenames::ExchangeDat,
                std::string_view(reinterpret_cast<const char*>(bytes), size));
    DataSet data;
    data.dir = scratch.dir();
    const ExchangesLoad load = LoadExchanges(data);
    // The same bytes read from memory give the same verdict.
    const auto copy = Exchanges::fromBytes({bytes, size});
    FUZZ_CHECK(copy.has_value() == load.exchanges.has_value());
    if (load.status != ExchangesStatus::Loaded) {
        FUZZ_CHECK(load.status == ExchangesStatus::Damaged &&
                   load.message == msg::ExchangesCorrupt);
        return 0;
    }
    const Exchanges& ex = *load.exchanges;
    std::size_t areas = 0;
    for (std::uint16_t area = 0; area < 1000; ++area) {
        for (std::uint16_t x : {0, 200, 201, 334, 500, 765, 999}) {
            const auto found = ex.find(area, x);
            if (!found)
                continue;
            areas += x == 0;
            checkZones(found->areaZones);
            checkZones(found->zones);
            FUZZ_CHECK(found->areaState.empty() || found->areaState.size() == 2);
            FUZZ_CHECK(found->country.size() == 2);
            for (std::string_view name : found->zones.names)
                FUZZ_CHECK(name.size() <= 255);
            if (found->place) {
                FUZZ_CHECK(!found->place->city.empty() &&
                           (found->place->state.empty() || found->place->state.size() == 2));
            } else {
                FUZZ_CHECK(found->zones == found->areaZones);
            }
        }
    }
    FUZZ_CHECK(areas == ex.areaCount());

    Settings settings;
    test::TestClock clock{LocalDateTime{2024, 7, 10, 23, 59, 0, 0}};
    const PhoneContext ctx{load, settings, TimeContext{true, &clock}, CallWindow{}};
    for (const char* number : {"208 334 1234", "850 432 1234", "999 999 9999", "200 200 0000"}) {
        const PhoneResult r = AnswerPhone(number, ctx);
        FUZZ_CHECK(r.answer.has_value());
        if (r.answer->hours)
            FUZZ_CHECK(r.answer->hours->start >= 0 && r.answer->hours->start < 1440 &&
                       r.answer->hours->length > 0 && r.answer->hours->length <= 1440);
    }
    return 0;
}
