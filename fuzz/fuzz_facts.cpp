// The reader of ZIPFACTS.DAT on arbitrary bytes: a file is either refused as corrupt or loaded,
// and every record of a loaded file reads back within its limits, as do the look-up's columns.
#include "FuzzUtil.h"

#include "data/DataSet.h"
#include "data/FileNames.h"
#include "data/ZipFacts.h"
#include "search/ZipDetails.h"
#include "settings/Settings.h"

#include <algorithm>

using namespace corvana;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    auto& scratch = fuzz::Scratch::get();
    scratch.put(filenames::FactsDat, std::string_view(reinterpret_cast<const char*>(bytes), size));
    DataSet data;
    data.dir = scratch.dir();
    FactsLoad load = LoadFacts(data);
    if (load.status != FactsStatus::Loaded) {
        FUZZ_CHECK(load.status == FactsStatus::Damaged && load.message == msg::FactsCorrupt);
        FUZZ_CHECK(!load.facts);
        return 0;
    }
    const ZipFacts& facts = *load.facts;
    for (const std::string& zone : facts.zoneNames())
        FUZZ_CHECK(IsZoneNameForm(zone));
    const Settings settings;
    for (std::uint32_t n = 0; n <= facts.recordCount(); ++n) {
        auto e = facts.entry(n);
        FUZZ_CHECK(e.has_value() == (n < facts.recordCount()));
        if (!e) {
            FUZZ_CHECK(facts.kind(n) == ZipKind::Unknown);
            continue;
        }
        FUZZ_CHECK(e->kind == facts.kind(n));
        FUZZ_CHECK(e->zoneName.empty() ||
                   std::find(facts.zoneNames().begin(), facts.zoneNames().end(), e->zoneName) !=
                       facts.zoneNames().end());
        FUZZ_CHECK(!e->hasMainCounty || !e->counties.empty());
        FUZZ_CHECK(!e->hasMainAreaCode || !e->areaCodes.empty());
        for (const auto& c : e->counties)
            FUZZ_CHECK(!c.name.empty() && c.fipsText().size() % 5 == 0);
        for (std::uint16_t code : e->areaCodes)
            FUZZ_CHECK(code >= 1 && code <= 999);
        for (std::string_view name : e->otherCities)
            FUZZ_CHECK(!name.empty());
        for (std::string_view column : FactColumnNames)
            FactColumnValue(*FactColumnOf(column), &facts, n, settings);
    }
    return 0;
}
