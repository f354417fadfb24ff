// The details of a ZIP code as groups of labelled values and as plain text, from hand-made
// records: groups the data has nothing for are left out, lists label their first value only.
#include "search/DetailsText.h"

#include <gtest/gtest.h>

using namespace corvana;

namespace {

RecordDetails Full() {
    RecordDetails d;
    d.zip = "00601";
    d.city = "Adjuntas";
    d.state = "PR";
    d.stateName = "Puerto Rico";
    d.counties = {{"Adjuntas", "72001"}, {"Ponce", "72113"}, {"Other", ""}};
    d.hasMainCounty = true;
    d.areaCodes = {787, 939};
    d.hasMainAreaCode = true;
    d.otherCities = {"Jard de Adjuntas", "Urb San Joaquin"};
    d.kind = ZipKind::Standard;
    d.position = geo::GeoPoint{18.180556, -66.749961};
    d.timeZone = "America/Puerto_Rico";
    d.utcOffset = -4;
    d.dst = false;
    d.zoneLabel = "AST";
    d.localTime = "10:30:00";
    d.nearest = {{7, "00631", "Castaner", "PR", 9.8765, 9.8765 / 1.609344}};
    return d;
}

std::vector<std::string> Titles(const std::vector<DetailsGroup>& groups) {
    std::vector<std::string> titles;
    for (const DetailsGroup& g : groups)
        titles.push_back(g.title);
    return titles;
}

} // namespace

TEST(DetailsText, GroupsOfAFullRecord) {
    const std::vector<DetailsGroup> groups = DetailsGroups(Full());
    EXPECT_EQ(Titles(groups), (std::vector<std::string>{
                                  "Place", "Counties", "Area Codes", "Other City Names", "Kind",
                                  "Position", "Time Zone", "Nearest Standard Zip Codes"}));
    EXPECT_EQ(groups[0].fields,
              (std::vector<DetailsField>{
                  {"Zip Code", "00601"}, {"City", "Adjuntas"}, {"State", "PR (Puerto Rico)"}}));
    EXPECT_EQ(groups[1].fields, (std::vector<DetailsField>{{"Main", "Adjuntas (FIPS 72001)"},
                                                           {"Also in", "Ponce (FIPS 72113)"},
                                                           {"", "Other"}}));
    EXPECT_EQ(groups[2].fields, (std::vector<DetailsField>{{"Main", "787"}, {"Also", "939"}}));
    EXPECT_EQ(groups[3].fields, (std::vector<DetailsField>{{"Also called", "Jard de Adjuntas"},
                                                           {"", "Urb San Joaquin"}}));
    EXPECT_EQ(groups[4].fields[0].value, "Standard (has an area)");
    EXPECT_EQ(groups[5].fields,
              (std::vector<DetailsField>{{"Latitude", "18.18056"}, {"Longitude", "-66.74996"}}));
    EXPECT_EQ(groups[6].fields, (std::vector<DetailsField>{{"Zone", "America/Puerto_Rico"},
                                                           {"Offset", "UTC\xE2\x88\x92"
                                                                      "4 (AST)"},
                                                           {"Daylight saving", "Not observed"},
                                                           {"Local time", "10:30:00"}}));
    EXPECT_EQ(groups[7].fields[0].label, "00631");
    EXPECT_EQ(groups[7].fields[0].value, "Castaner, PR \xE2\x80\x93 6.1 mi (9.9 km)");
}

TEST(DetailsText, WhatTheDataLacksIsLeftOut) {
    // Data without facts or locations: no kind, no position, no zone name, no neighbours; a
    // record without a main county or area code lists the others under their own label.
    RecordDetails d;
    d.zip = "09001";
    d.city = "APO";
    d.state = "AE";
    d.counties = {{"Somewhere", ""}};
    d.areaCodes = {5};
    EXPECT_EQ(Titles(DetailsGroups(d)),
              (std::vector<std::string>{"Place", "Counties", "Area Codes"}));
    EXPECT_EQ(DetailsGroups(d)[0].fields[2].value, "AE");
    EXPECT_EQ(DetailsGroups(d)[1].fields, (std::vector<DetailsField>{{"Also in", "Somewhere"}}));
    EXPECT_EQ(DetailsGroups(d)[2].fields, (std::vector<DetailsField>{{"Also", "005"}}));

    d.utcOffset = 0;
    d.kind = ZipKind::Military;
    const auto groups = DetailsGroups(d);
    EXPECT_EQ(groups[3].fields[0].value, "Military post office");
    EXPECT_EQ(groups[4].fields,
              (std::vector<DetailsField>{{"Offset", "UTC"}, {"Daylight saving", "Not observed"}}));
    d.utcOffset = 10;
    EXPECT_EQ(DetailsGroups(d)[4].fields[0].value, "UTC+10");
}

TEST(DetailsText, PlainTextOfEveryRecord) {
    ZipDetailsResult r;
    r.zip = "00601";
    r.outcome = DetailsOutcome::Found;
    RecordDetails a;
    a.zip = "00601";
    a.city = "Adjuntas";
    a.state = "PR";
    a.counties = {{"Adjuntas", "72001"}, {"Ponce", "72113"}};
    a.hasMainCounty = true;
    RecordDetails b = a;
    b.city = "Jard";
    b.counties.clear();
    r.records = {a, b};
    EXPECT_EQ(DetailsPlainText(r), "Place\n"
                                   "  Zip Code: 00601\n"
                                   "  City: Adjuntas\n"
                                   "  State: PR\n"
                                   "Counties\n"
                                   "  Main: Adjuntas (FIPS 72001)\n"
                                   "  Also in: Ponce (FIPS 72113)\n"
                                   "\n"
                                   "Place\n"
                                   "  Zip Code: 00601\n"
                                   "  City: Jard\n"
                                   "  State: PR\n");
    EXPECT_EQ(DistanceText(0.04, 0.0644), "0.0 mi (0.1 km)");
    EXPECT_EQ(DetailsPlainText(ZipDetailsResult{}), "");
}
