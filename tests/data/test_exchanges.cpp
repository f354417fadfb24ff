// EXCHANGE.DAT: what the writer lays out reads back, the rules of what it may hold, a file made
// byte by byte here reads as its layout says, and every damaged file is refused whole rather than
// read past its end.
#include "TestUtil.h"

#include "data/ExchangeRules.h"
#include "data/Exchanges.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace corvana;
using namespace corvana::test;

namespace {

constexpr std::uint8_t Mst = ZipRecord::zoneByte(5, true);
constexpr std::uint8_t Pst = ZipRecord::zoneByte(4, true);
constexpr std::uint8_t Cst = ZipRecord::zoneByte(6, true);

std::span<const std::uint8_t> Bytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

// Area codes 208 (ID; Mountain and Pacific) and 850 (no state; Central); 208-334 is Boise
// (Mountain), 208-765 Coeur d'Alene (Pacific). Written byte by byte from the layout.
struct HandFile {
    std::string zoneSets = std::string("\x02", 1) + char(Mst) + char(Pst) + '\0' + //
                           std::string("\x01", 1) + char(Mst) + '\0' + '\0' +      //
                           std::string("\x01", 1) + char(Pst) + '\0' + '\0' +      //
                           std::string("\x01", 1) + char(Cst) + '\0' + '\0';
    std::string areas = le16(208) + le16(0) + le32(0) + "ID" + //
                        le16(850) + le16(3) + le32(2) + std::string(2, '\0');
    std::string exchanges = le16(334) + le16(1) + le32(0) + le16(765) + le16(2) + le32(1);
    std::string places = le32(0) + le32(8);
    std::string names = std::string("\x07") + "BoiseID" + "\x0f" + "Coeur d'AleneID";
    std::uint16_t areaCount = 2, zoneSetCount = 4;
    std::uint32_t exchangeCount = 2, placeCount = 2;

    std::string bytes() const {
        return "CVX1" + le16(areaCount) + le16(zoneSetCount) + le32(std::int32_t(exchangeCount)) +
               le32(std::int32_t(placeCount)) + le32(std::int32_t(names.size())) + zoneSets +
               areas + exchanges + places + names;
    }
};

std::vector<std::uint8_t> Zones(const ZoneSet& z) {
    return {z.zones().begin(), z.zones().end()};
}

} // namespace

TEST(Exchanges, AHandMadeFileReadsAsItsLayoutSays) {
    const std::string bytes = HandFile{}.bytes();
    const auto ex = Exchanges::fromBytes(Bytes(bytes));
    ASSERT_TRUE(ex);
    EXPECT_EQ(ex->areaCount(), 2u);
    EXPECT_EQ(ex->exchangeCount(), 2u);

    auto boise = ex->find(208, 334);
    ASSERT_TRUE(boise && boise->place);
    EXPECT_EQ(boise->place->city, "Boise");
    EXPECT_EQ(boise->place->state, "ID");
    EXPECT_EQ(Zones(boise->zones), std::vector<std::uint8_t>{Mst});
    EXPECT_EQ(Zones(boise->areaZones), (std::vector<std::uint8_t>{Mst, Pst}));
    EXPECT_EQ(boise->areaState, "ID");

    auto coeur = ex->find(208, 765);
    EXPECT_EQ(coeur->place->city, "Coeur d'Alene");
    EXPECT_EQ(Zones(coeur->zones), std::vector<std::uint8_t>{Pst});

    auto unplaced = ex->find(208, 500);
    ASSERT_TRUE(unplaced);
    EXPECT_FALSE(unplaced->place);
    EXPECT_EQ(Zones(unplaced->zones), (std::vector<std::uint8_t>{Mst, Pst}));

    // An area code without exchanges of its own, and without a state.
    auto pensacola = ex->find(850, 432);
    ASSERT_TRUE(pensacola);
    EXPECT_FALSE(pensacola->place);
    EXPECT_EQ(pensacola->areaState, "");
    EXPECT_EQ(Zones(pensacola->zones), std::vector<std::uint8_t>{Cst});

    EXPECT_FALSE(ex->find(209, 334));
    EXPECT_FALSE(ex->find(0, 0));
    EXPECT_FALSE(ex->find(65535, 65535));
}

TEST(Exchanges, WhatTheWriterLaysOutReadsBack) {
    std::vector<ExchangeTableArea> areas = {{850, "FL", {Cst, ZipRecord::zoneByte(7, true)}},
                                            {208, "ID", {Pst, Mst}}};
    std::vector<ExchangeTableRow> rows = {
        {850, 432, "Pensacola", "FL", {Cst}},
        {208, 765, "Coeur d'Alene", "ID", {Pst}},
        {208, 334, "Boise", "ID", {Mst}},
        {208, 336, "Boise", "ID", {Mst}},
        {850, 222, "Tallahassee", "FL", {ZipRecord::zoneByte(7, true)}},
    };
    const std::string bytes = WriteExchangeFile(areas, rows);
    const auto ex = Exchanges::fromBytes(Bytes(bytes));
    ASSERT_TRUE(ex);
    EXPECT_EQ(ex->exchangeCount(), 5u);
    for (const auto& r : rows) {
        const auto found = ex->find(r.area, r.exchange);
        ASSERT_TRUE(found && found->place) << r.area << "-" << r.exchange;
        EXPECT_EQ(found->place->city, r.city);
        EXPECT_EQ(found->place->state, r.state);
        EXPECT_EQ(Zones(found->zones), r.zones);
    }
    // Zones come furthest east first, whatever order they were given in.
    EXPECT_EQ(Zones(ex->find(208, 200)->zones), (std::vector<std::uint8_t>{Mst, Pst}));
    EXPECT_EQ(Zones(ex->find(850, 200)->zones),
              (std::vector<std::uint8_t>{ZipRecord::zoneByte(7, true), Cst}));
    // One place and one zone set written once for two exchanges: the header says so.
    EXPECT_EQ(loadU32(Bytes(bytes).data() + ExchangeHeader::PlacesAt), 4u);

    const auto refused = [&](std::vector<ExchangeTableArea> a, std::vector<ExchangeTableRow> r) {
        EXPECT_THROW(WriteExchangeFile(std::move(a), std::move(r)), std::invalid_argument);
    };
    refused({{199, "", {Mst}}}, {});
    refused({{208, "", {Mst}}, {208, "", {Mst}}}, {});
    refused({{208, "", {}}}, {});
    refused({{208, "", {Mst, Pst, Cst, ZipRecord::zoneByte(7, false)}}}, {});
    refused({{208, "", {ZipRecord::zoneByte(25, false)}}}, {});
    refused({{208, "Id", {Mst}}}, {});
    refused({{208, "", {Mst}}}, {{209, 334, "Boise", "ID", {Mst}}});
    refused({{208, "", {Mst}}}, {{208, 134, "Boise", "ID", {Mst}}});
    refused({{208, "", {Mst}}}, {{208, 334, "", "ID", {Mst}}});
    refused({{208, "", {Mst}}}, {{208, 334, "Boise", "IDA", {Mst}}});
    refused({{208, "", {Mst}}}, {{208, 334, "Boise", "Id", {Mst}}});
    refused({{208, "", {Mst}}}, {{208, 334, "Bo\x81ise", "ID", {Mst}}});
    refused({{208, "", {Mst}}}, {{208, 334, std::string(254, 'x'), "ID", {Mst}}});
    refused({{208, "", {Mst}}}, {{208, 334, "Boise", "ID", {Mst}}, {208, 334, "X", "ID", {Mst}}});
    EXPECT_TRUE(Exchanges::fromBytes(Bytes(WriteExchangeFile({}, {}))));
}

TEST(Exchanges, ZoneNamesCountriesAndPlacesAbroadReadBack) {
    const std::uint8_t Nst = ZipRecord::zoneByte(8, true); // St. John's, filed an hour west
    const std::uint8_t Jamaica = ZipRecord::zoneByte(7, false);
    std::vector<ExchangeTableArea> areas = {
        {208, "ID", {Pst, Mst}, {"America/Los_Angeles", "America/Boise"}},
        {709, "NL", {Nst}, {"America/St_Johns"}, "CA", "Newfoundland and Labrador"},
        {876, "", {Jamaica}, {"America/Jamaica"}, "JM", "Jamaica"}};
    std::vector<ExchangeTableRow> rows = {
        {208, 334, "Boise", "ID", {Mst}, {"America/Boise"}},
        {709, 722, "St. John's", "NL", {Nst}, {"America/St_Johns"}},
        {876, 922, "Kingston", "", {Jamaica}, {"America/Jamaica"}}};
    const std::string bytes = WriteExchangeFile(areas, rows);
    EXPECT_EQ(bytes.substr(0, 4), "CVX2");
    const auto ex = Exchanges::fromBytes(Bytes(bytes));
    ASSERT_TRUE(ex);
    const auto boise = ex->find(208, 500);
    EXPECT_EQ(boise->country, "US");
    EXPECT_EQ(boise->areaName, "");
    // Sorted furthest east first, each name with its zone.
    EXPECT_EQ(Zones(boise->zones), (std::vector<std::uint8_t>{Mst, Pst}));
    EXPECT_EQ(boise->zones.names[0], "America/Boise");
    EXPECT_EQ(boise->zones.names[1], "America/Los_Angeles");
    const auto stJohns = ex->find(709, 722);
    EXPECT_EQ(stJohns->country, "CA");
    EXPECT_EQ(stJohns->areaName, "Newfoundland and Labrador");
    EXPECT_EQ(stJohns->place->city, "St. John's");
    EXPECT_EQ(stJohns->zones.names[0], "America/St_Johns");
    const auto kingston = ex->find(876, 922);
    EXPECT_EQ(kingston->place->city, "Kingston");
    EXPECT_EQ(kingston->place->state, "");
    EXPECT_EQ(kingston->areaState, "");
    EXPECT_EQ(ex->find(876, 200)->areaName, "Jamaica");

    const auto refused = [&](std::vector<ExchangeTableArea> a, std::vector<ExchangeTableRow> r) {
        EXPECT_THROW(WriteExchangeFile(std::move(a), std::move(r)), std::invalid_argument);
    };
    refused({{208, "ID", {Mst, Pst}, {"America/Boise"}}}, {});
    refused({{208, "ID", {Mst}, {"../../etc/passwd"}}}, {});
    refused({{208, "ID", {Mst}, {}, "us"}}, {});
    refused({{208, "ID", {Mst}}}, {{208, 334, "Boise", "", {Mst}}});
    refused({{876, "", {Jamaica}, {}, "JM", "Ja\x81maica"}}, {});

    // Damage to what version 2 adds is refused too: a zone name index past the names, a
    // country of small letters, an area's place past the places.
    const std::size_t zoneSets = ExchangeHeader::SizeV2;
    const std::size_t setSize = ZoneSetSize(ExchangeVersion::V2);
    const std::size_t areasAt =
        zoneSets + setSize * loadU16(Bytes(bytes).data() + ExchangeHeader::ZoneSetsAt);
    std::string bad = bytes;
    bad.replace(zoneSets + 1 + MaxZones, 2, le16(99));
    EXPECT_FALSE(Exchanges::fromBytes(Bytes(bad)));
    bad = bytes;
    bad.replace(areasAt + 16 + 10, 2, "ca");
    EXPECT_FALSE(Exchanges::fromBytes(Bytes(bad)));
    bad = bytes;
    bad.replace(areasAt + 16 + 12, 4, le32(99));
    EXPECT_FALSE(Exchanges::fromBytes(Bytes(bad)));
    bad = bytes;
    bad[ExchangeHeader::ZoneNamesAt + 2] = 1; // the bytes after the count must be 0
    EXPECT_FALSE(Exchanges::fromBytes(Bytes(bad)));
    for (std::size_t n = 0; n < bytes.size(); ++n)
        EXPECT_FALSE(Exchanges::fromBytes(Bytes(bytes.substr(0, n)))) << n;
}

// A city is Windows-1252 bytes: the printable characters at 0x80 to 0x9F (the euro sign, the
// dagger) are no controls, the five unassigned bytes there are, as are C0 and DEL.
TEST(Exchanges, APlaceCityIsPrintableAndFitsItsLengthByte) {
    const std::pair<std::string, PlaceCityFault> cases[] = {
        {"Boise", PlaceCityFault::None},
        {"\x80 \x86 \x8A \x9F \xA0 \xF3", PlaceCityFault::None},
        {std::string(MaxPlaceCityBytes, 'x'), PlaceCityFault::None},
        {std::string(MaxPlaceCityBytes + 1, 'x'), PlaceCityFault::EmptyOrLong},
        {"", PlaceCityFault::EmptyOrLong},
        {"Bo\x81ise", PlaceCityFault::ControlCharacter},
        {"Bo\x8Dise", PlaceCityFault::ControlCharacter},
        {"Bo\x9Dise", PlaceCityFault::ControlCharacter},
        {"Bo\x7Fise", PlaceCityFault::ControlCharacter},
        {"Bo\tise", PlaceCityFault::ControlCharacter},
        {std::string("Bo\0ise", 6), PlaceCityFault::ControlCharacter},
    };
    for (const auto& [city, fault] : cases)
        EXPECT_EQ(CheckPlaceCity(city), fault) << city;
    // A city the rule lets through reads back from the file as written.
    const std::string bytes =
        WriteExchangeFile({{208, "ID", {Mst}}}, {{208, 334, cases[1].first, "ID", {Mst}}});
    const auto ex = Exchanges::fromBytes(Bytes(bytes));
    ASSERT_TRUE(ex);
    EXPECT_EQ(ex->find(208, 334)->place->city, cases[1].first);
}

TEST(Exchanges, EachDistinctZoneSetIsWrittenOnce) {
    // A set, the same set given in another order or twice over, and the sets it begins or ends:
    // three distinct sets, each read back whole.
    const std::vector<ExchangeTableArea> areas = {
        {208, "ID", {Mst, Pst}}, {209, "", {Pst, Mst, Mst}}, {210, "", {Mst}}, {211, "", {Pst}}};
    const std::vector<ExchangeTableRow> rows = {{208, 334, "Boise", "ID", {Mst}},
                                                {208, 765, "Coeur d'Alene", "ID", {Pst, Mst}}};
    const std::string bytes = WriteExchangeFile(areas, rows);
    const auto ex = Exchanges::fromBytes(Bytes(bytes));
    ASSERT_TRUE(ex);
    EXPECT_EQ(loadU16(Bytes(bytes).data() + ExchangeHeader::ZoneSetsAt), 3u);
    EXPECT_EQ(Zones(ex->find(209, 200)->zones), (std::vector<std::uint8_t>{Mst, Pst}));
    EXPECT_EQ(Zones(ex->find(210, 200)->zones), std::vector<std::uint8_t>{Mst});
    EXPECT_EQ(Zones(ex->find(211, 200)->zones), std::vector<std::uint8_t>{Pst});
    EXPECT_EQ(Zones(ex->find(208, 334)->zones), std::vector<std::uint8_t>{Mst});
    EXPECT_EQ(Zones(ex->find(208, 765)->zones), (std::vector<std::uint8_t>{Mst, Pst}));
}

TEST(Exchanges, EveryDamageIsRefusedWhole) {
    const HandFile good;
    ASSERT_TRUE(Exchanges::fromBytes(Bytes(good.bytes())));
    std::vector<std::pair<const char*, HandFile>> damaged;
    auto add = [&](const char* what, auto change) {
        HandFile f = good;
        change(f);
        damaged.emplace_back(what, f);
    };
    add("more areas than written", [](HandFile& f) { f.areaCount = 3; });
    add("more zone sets than written", [](HandFile& f) { f.zoneSetCount = 5; });
    add("counts that overflow 32 bits", [](HandFile& f) { f.exchangeCount = 0x80000000u; });
    add("more places than written", [](HandFile& f) { f.placeCount = 3; });
    add("a zone set of no zones", [](HandFile& f) { f.zoneSets[0] = 0; });
    add("a zone set of four zones", [](HandFile& f) { f.zoneSets[0] = 4; });
    add("zone 0", [](HandFile& f) { f.zoneSets[1] = char(0x80); });
    add("zone 25", [](HandFile& f) { f.zoneSets[1] = 25; });
    add("area code 199", [](HandFile& f) { f.areas.replace(0, 2, le16(199)); });
    add("area code 1000", [](HandFile& f) { f.areas.replace(0, 2, le16(1000)); });
    add("area codes out of order", [](HandFile& f) { f.areas.replace(10, 2, le16(208)); });
    add("an area's zone set beyond the sets", [](HandFile& f) { f.areas.replace(2, 2, le16(4)); });
    add("a first exchange beyond the next", [](HandFile& f) { f.areas.replace(4, 4, le32(1)); });
    add("the last run past the exchanges", [](HandFile& f) { f.areas.replace(14, 4, le32(3)); });
    add("a state of lower-case letters", [](HandFile& f) { f.areas.replace(8, 2, "id"); });
    add("exchange 150", [](HandFile& f) { f.exchanges.replace(0, 2, le16(150)); });
    add("exchanges out of order", [](HandFile& f) { f.exchanges.replace(8, 2, le16(334)); });
    add("an exchange's zone set beyond the sets",
        [](HandFile& f) { f.exchanges.replace(2, 2, le16(9)); });
    add("a place beyond the places", [](HandFile& f) { f.exchanges.replace(4, 4, le32(2)); });
    add("a name beyond the names", [](HandFile& f) { f.places.replace(4, 4, le32(23)); });
    add("a name running past the end", [](HandFile& f) { f.names[8] = 16; });
    add("a name too short for a state", [](HandFile& f) { f.names[0] = 2; });
    for (const auto& [what, f] : damaged)
        EXPECT_FALSE(Exchanges::fromBytes(Bytes(f.bytes()))) << what;

    std::string bytes = good.bytes();
    bytes[3] = '2';
    EXPECT_FALSE(Exchanges::fromBytes(Bytes(bytes)));
    // Cut anywhere, or with bytes after its end.
    bytes = good.bytes();
    for (std::size_t n = 0; n < bytes.size(); ++n)
        EXPECT_FALSE(Exchanges::fromBytes(Bytes(bytes.substr(0, n)))) << n;
    EXPECT_FALSE(Exchanges::fromBytes(Bytes(bytes + '\0')));
}

TEST(Exchanges, LoadedFromTheDataDirectory) {
    TempDir dir;
    DataSet data;
    data.dir = dir.str();
    ExchangesLoad load = LoadExchanges(data);
    EXPECT_EQ(load.status, ExchangesStatus::Missing);
    EXPECT_EQ(load.message, "This data has no telephone exchanges.");

    dir.write("EXCHANGE.DAT", HandFile{}.bytes());
    load = LoadExchanges(data);
    ASSERT_EQ(load.status, ExchangesStatus::Loaded);
    EXPECT_EQ(load.exchanges->find(208, 334)->place->city, "Boise");

    dir.write("EXCHANGE.DAT", "");
    load = LoadExchanges(data);
    EXPECT_EQ(load.status, ExchangesStatus::Damaged);
    EXPECT_EQ(load.message, "File containing telephone exchanges is corrupt.");

    std::filesystem::create_directory(dir.path() / "sub");
    data.dir = (dir.path() / "sub").string();
    std::filesystem::create_directory(dir.path() / "sub" / "EXCHANGE.DAT");
    load = LoadExchanges(data);
    EXPECT_EQ(load.status, ExchangesStatus::Damaged);
    EXPECT_EQ(load.message, "File containing telephone exchanges could not be read.");

    // Read once, on the first question.
    dir.write("EXCHANGE.DAT", HandFile{}.bytes());
    data.dir = dir.str();
    ExchangesOnDemand onDemand;
    EXPECT_EQ(onDemand.get(data).status, ExchangesStatus::Loaded);
    dir.remove("EXCHANGE.DAT");
    EXPECT_EQ(onDemand.get(data).status, ExchangesStatus::Loaded);
}
