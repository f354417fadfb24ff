// The reader of PEOPLE.DAT on arbitrary bytes: a file is either refused as corrupt or loaded,
// and a loaded file holds figures within their limits that write back to the very same bytes.
#include "FuzzUtil.h"

#include "data/DataSet.h"
#include "data/FileNames.h"
#include "data/People.h"

#include <vector>

using namespace corvana;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    auto& scratch = fuzz::Scratch::get();
    const std::string_view input(reinterpret_cast<const char*>(bytes), size);
    scratch.put(filenames::PeopleDat, input);
    DataSet data;
    data.dir = scratch.dir();
    const PeopleLoad load = LoadPeople(data);
    if (load.status != PeopleStatus::Loaded) {
        FUZZ_CHECK(load.status == PeopleStatus::Damaged && load.message == msg::PeopleCorrupt);
        FUZZ_CHECK(!load.people);
        return 0;
    }
    const People& people = *load.people;
    std::vector<PeopleRecord> records;
    for (std::uint32_t n = 0; n <= people.recordCount(); ++n) {
        const auto f = people.ofRecord(n);
        FUZZ_CHECK(f.has_value() == (n < people.recordCount()));
        if (!f)
            continue;
        FUZZ_CHECK(f->population.value_or(0) <= MaxPopulation);
        FUZZ_CHECK(f->densityTenths.value_or(0) <= MaxDensityTenths);
        FUZZ_CHECK(f->perSquareKm().has_value() == f->densityTenths.has_value());
        records.push_back(
            PeopleRecord{f->population.value_or(NoFigure), f->densityTenths.value_or(NoFigure)});
    }
    // Nothing in a file that loads is left unread or read two ways.
    FUZZ_CHECK(WritePeopleFile(records) == input);
    return 0;
}
