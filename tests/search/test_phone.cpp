// Where a telephone number rings: its place, the zones it may be in with their times, the hours
// of the user's day in which every one of them is within the call window, its ZIP codes, and the
// fields the batch look-up appends.
#include "HandData.h"

#include "search/Phone.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace corvana;
using namespace corvana::test;

namespace {

constexpr std::uint8_t Mst = ZipRecord::zoneByte(5, true);
constexpr std::uint8_t Pst = ZipRecord::zoneByte(4, true);
constexpr std::uint8_t Cst = ZipRecord::zoneByte(6, true);
constexpr std::uint8_t Est = ZipRecord::zoneByte(7, true);

// A user in Mountain time keeping summer time, on a July morning.
struct PhoneEnv : FixtureEnv {
    ExchangesLoad exchanges;
    CallWindow window;
    bool daylight = true;

    explicit PhoneEnv(std::string_view name = "phone") : FixtureEnv(name) {
        exchanges = LoadExchanges(data);
        settings.timeZone = 5;
        settings.daylightSavings = true;
        clock.time = LocalDateTime{2024, 7, 10, 10, 15, 0, 0};
    }
    PhoneContext phone() const {
        return PhoneContext{exchanges, settings, TimeContext{daylight, &clock}, window};
    }
    PhoneAnswer answer(std::string_view text) const {
        PhoneResult r = AnswerPhone(text, phone());
        if (!r.answer)
            throw std::runtime_error("no answer for " + std::string(text) + ": " + r.reason());
        return *r.answer;
    }
};

std::vector<std::uint8_t> ZoneBytes(const PhoneAnswer& a) {
    std::vector<std::uint8_t> z;
    for (const auto& zone : a.zones)
        z.push_back(zone.zoneByte);
    return z;
}

std::vector<std::string> Zips(const SearchResult& r) {
    std::vector<std::string> zips;
    for (const auto& item : r.items)
        zips.push_back(item.record() ? ListedZipCode(item) : item.text);
    return zips;
}

} // namespace

TEST(Phone, AnExchangeWithAPlaceAnswersItsPlaceAndZone) {
    PhoneEnv env;
    ASSERT_EQ(env.exchanges.status, ExchangesStatus::Loaded) << env.exchanges.message;

    const PhoneAnswer boise = env.answer("(208) 334-1234");
    EXPECT_EQ(boise.national, "(208) 334-1234");
    EXPECT_EQ(boise.place, PhonePlace::Exchange);
    EXPECT_EQ(boise.placeText(), "Boise, ID");
    EXPECT_EQ(ZoneBytes(boise), std::vector<std::uint8_t>{Mst});
    EXPECT_EQ(boise.zones[0].name, "MST");
    EXPECT_EQ(boise.zones[0].localTime, "10:15:00");
    // Mountain like the user: the federal hours themselves.
    EXPECT_EQ(boise.hours, (CallingHours{8 * 60, 13 * 60}));
    EXPECT_TRUE(boise.callableNow);

    const PhoneAnswer pensacola = env.answer("850-432-1234");
    EXPECT_EQ(pensacola.placeText(), "Pensacola, FL");
    EXPECT_EQ(ZoneBytes(pensacola), std::vector<std::uint8_t>{Cst});
    EXPECT_EQ(pensacola.zones[0].localTime, "11:15:00");
    EXPECT_EQ(pensacola.hours, (CallingHours{7 * 60, 13 * 60}));

    // Tallahassee, in the same area code, keeps Eastern time; Phenix City keeps it in Alabama.
    EXPECT_EQ(ZoneBytes(env.answer("850.222.1234")), std::vector<std::uint8_t>{Est});
    EXPECT_EQ(ZoneBytes(env.answer("+1 334 298 1234")), std::vector<std::uint8_t>{Est});
    EXPECT_EQ(ZoneBytes(env.answer("1-334-262-1234")), std::vector<std::uint8_t>{Cst});
}

TEST(Phone, AnUnplacedExchangeMayBeInEveryZoneOfItsAreaCode) {
    PhoneEnv env;
    const PhoneAnswer a = env.answer("208-999-1234");
    EXPECT_EQ(a.place, PhonePlace::AreaCodeOnly);
    EXPECT_EQ(a.placeText(), "area code only");
    EXPECT_EQ(a.state, "ID");
    EXPECT_EQ(ZoneBytes(a), (std::vector<std::uint8_t>{Mst, Pst}));
    EXPECT_EQ(a.zones[1].localTime, "09:15:00");
    // 9:00 Mountain is 8:00 Pacific; 21:00 Mountain is still 20:00 Pacific.
    EXPECT_EQ(a.hours, (CallingHours{9 * 60, 12 * 60}));
    EXPECT_EQ(CallingHoursText(a.hours), "9:00 to 21:00");
    EXPECT_TRUE(a.callableNow);

    // Adak keeps Hawaii-Aleutian time; the rest of 907 Alaska time.
    EXPECT_EQ(
        ZoneBytes(env.answer("907 555 1234")),
        (std::vector<std::uint8_t>{ZipRecord::zoneByte(3, true), ZipRecord::zoneByte(2, true)}));
    // Named as the time-zone database names them: the label and the abbreviation of July.
    EXPECT_EQ(env.answer("907 555 1234").zones[0].name, "GMT -09:00 AKDT");
    EXPECT_EQ(env.answer("907 555 1234").zones[1].name, "GMT -10:00 HDT");
    EXPECT_EQ(env.answer("907 555 1234").zones[1].timeZone, "America/Adak");
    EXPECT_EQ(env.answer("208 999 1234").zones[0].timeZone, "");
}

TEST(Phone, CallableNowFollowsTheWindowInEveryZone) {
    PhoneEnv env;
    // 8:30 Mountain: Boise may be called, Coeur d'Alene (7:30 Pacific) not yet, and so neither
    // may a number that could be in either.
    env.clock.time.hour = 8;
    env.clock.time.minute = 30;
    EXPECT_TRUE(env.answer("208 334 1234").callableNow);
    EXPECT_FALSE(env.answer("208 765 1234").callableNow);
    EXPECT_FALSE(env.answer("208 999 1234").callableNow);
    // 20:59 Mountain is 21:59 Central: too late for Pensacola, not for Boise.
    env.clock.time.hour = 20;
    env.clock.time.minute = 59;
    EXPECT_FALSE(env.answer("850 432 1234").callableNow);
    EXPECT_TRUE(env.answer("208 334 1234").callableNow);
    env.clock.time.hour = 21;
    env.clock.time.minute = 0;
    EXPECT_FALSE(env.answer("208 334 1234").callableNow);

    // Chosen hours, and hours too narrow for two zones an hour apart.
    env.clock.time.hour = 8;
    env.window = CallWindow{9, 20};
    EXPECT_EQ(env.answer("208 334 1234").hours, (CallingHours{9 * 60, 11 * 60}));
    EXPECT_FALSE(env.answer("208 334 1234").callableNow);
    env.window = CallWindow{8, 9};
    EXPECT_EQ(env.answer("208 999 1234").hours, std::nullopt);
    EXPECT_FALSE(env.answer("208 999 1234").callableNow);
    EXPECT_EQ(CallingHoursText(std::nullopt), "none");
    EXPECT_EQ(OpensText(env.answer("208 999 1234")), "");
}

TEST(Phone, CallingHoursRunPastTheUsersMidnight) {
    PhoneEnv env;
    // Tokyo in January, no summer time anywhere: Tallahassee is 14 hours behind.
    env.settings.timeZone = 21;
    env.settings.daylightSavings = false;
    env.daylight = false;
    env.clock.time = LocalDateTime{2024, 1, 10, 1, 0, 0, 0};
    const PhoneAnswer a = env.answer("850 222 1234");
    EXPECT_EQ(a.hours, (CallingHours{22 * 60, 13 * 60}));
    EXPECT_EQ(a.zones[0].localTime, "11:00:00");
    EXPECT_TRUE(a.callableNow);
    env.clock.time.hour = 11; // 21:00 in Tallahassee
    EXPECT_FALSE(env.answer("850 222 1234").callableNow);

    // A user zone off the scale gives no times and no hours, and nothing breaks.
    env.settings.timeZone = -1;
    const PhoneAnswer off = env.answer("850 222 1234");
    EXPECT_EQ(off.zones.size(), 1u);
    EXPECT_EQ(off.zones[0].localTime, "");
    EXPECT_EQ(off.hours, std::nullopt);
}

TEST(Phone, CallingHoursFollowTheUsersSummerTimeAcrossEachChange) {
    PhoneEnv env;
    auto at = [&env](int month, int day, int hour) {
        env.clock.time = LocalDateTime{2024, month, day, hour, 30, 0, 0};
        env.daylight = IsDaylightPeriod(env.clock.time);
        return env.answer("928 555 1234"); // Arizona keeps standard time all year
    };
    // Before the change of 10 March the user keeps Arizona's time; after it Arizona is an hour
    // behind, so its hours come an hour later in the user's day.
    PhoneAnswer a = at(3, 9, 7);
    EXPECT_EQ(CallingHoursText(a.hours), "8:00 to 21:00");
    EXPECT_EQ(OpensText(a), "opens at 8:00 your time");
    a = at(3, 10, 8);
    EXPECT_EQ(CallingHoursText(a.hours), "9:00 to 22:00");
    EXPECT_FALSE(a.callableNow);
    EXPECT_EQ(OpensText(a), "opens at 9:00 your time");
    EXPECT_EQ(a.zones[0].localTime, "07:30:00");
    a = at(3, 10, 21);
    EXPECT_TRUE(a.callableNow);
    EXPECT_EQ(OpensText(a), "");
    // And back on 3 November.
    a = at(11, 2, 21);
    EXPECT_EQ(CallingHoursText(a.hours), "9:00 to 22:00");
    EXPECT_TRUE(a.callableNow);
    a = at(11, 3, 21);
    EXPECT_EQ(CallingHoursText(a.hours), "8:00 to 21:00");
    EXPECT_FALSE(a.callableNow);
    EXPECT_EQ(OpensText(a), "opens at 8:00 your time");

    // Hawaii, three hours behind in winter and four in summer.
    env.clock.time = LocalDateTime{2024, 1, 10, 10, 0, 0, 0};
    env.daylight = false;
    EXPECT_EQ(CallingHoursText(env.answer("808 555 1234").hours), "11:00 to 0:00");
    env.clock.time.month = 7;
    env.daylight = true;
    EXPECT_EQ(CallingHoursText(env.answer("808 555 1234").hours), "12:00 to 1:00");
}

TEST(Phone, AHalfHourZoneKeepsItsHalfHourInTimesAndHours) {
    PhoneEnv env;
    // 10:15 Mountain summer time is 16:15 UTC, 13:45 in St. John's (UTC-2:30 in summer).
    PhoneAnswer a = env.answer("709 722 1234");
    EXPECT_EQ(a.placeText(), "St. John's, NL");
    EXPECT_EQ(a.country, "CA");
    ASSERT_EQ(a.zones.size(), 1u);
    EXPECT_EQ(a.zones[0].timeZone, "America/St_Johns");
    EXPECT_EQ(a.zones[0].name, "GMT -03:30 NDT");
    EXPECT_EQ(a.zones[0].localTime, "13:45:00");
    // 8:00 to 21:00 there is 4:30 to 17:30 here.
    EXPECT_EQ(a.hours, (CallingHours{4 * 60 + 30, 13 * 60}));
    EXPECT_EQ(CallingHoursText(a.hours), "4:30 to 17:30");
    EXPECT_TRUE(a.callableNow);
    env.clock.time.hour = 17;
    env.clock.time.minute = 30;
    EXPECT_FALSE(env.answer("709 722 1234").callableNow);
    EXPECT_EQ(OpensText(env.answer("709 722 1234")), "opens at 4:30 your time");

    // In January both keep standard time: still three and a half hours apart.
    env.clock.time = LocalDateTime{2024, 1, 10, 10, 15, 0, 0};
    env.daylight = false;
    a = env.answer("709 555 1234");
    EXPECT_EQ(a.place, PhonePlace::AreaCodeOnly);
    EXPECT_EQ(a.zones[0].name, "GMT -03:30 NST");
    EXPECT_EQ(a.zones[0].localTime, "13:45:00");
    EXPECT_EQ(CallingHoursText(a.hours), "4:30 to 17:30");
    // Hawaii's label says whose zone it is.
    EXPECT_EQ(env.answer("808 555 1234").zones[0].name, "GMT -10:00 HST");

    // No ZIP codes outside the US.
    EXPECT_FALSE(a.hasZipCodes());
    const SearchResult zips = PhoneZipCodes(a, env.ctx());
    ASSERT_EQ(zips.items.size(), 1u);
    EXPECT_EQ(zips.items[0].text, "No matching zip codes found.");
    EXPECT_TRUE(env.answer("208 334 1234").hasZipCodes());
}

TEST(Phone, NumbersWithoutAPlaceSaySo) {
    PhoneEnv env;
    const PhoneAnswer tollFree = env.answer("800-555-1234");
    EXPECT_EQ(tollFree.place, PhonePlace::TollFree);
    EXPECT_EQ(tollFree.placeText(), "toll-free: no place");
    EXPECT_TRUE(tollFree.zones.empty());
    EXPECT_EQ(tollFree.hours, std::nullopt);
    EXPECT_EQ(env.answer("(900) 555-1234").placeText(), "non-geographic: no place");
    // 416 is Toronto's: a number of the plan, but not of this data.
    EXPECT_EQ(env.answer("416-555-1234").placeText(), "area code not in this data");

    const PhoneResult bad = AnswerPhone("208-111-1234", env.phone());
    EXPECT_FALSE(bad.ok());
    EXPECT_EQ(bad.problem, PhoneProblem::ExchangeStart);
    EXPECT_EQ(bad.reason(), "An exchange cannot begin with 0 or 1.");
}

TEST(Phone, WithoutAnExchangeFileTheReasonIsTheFilesMessage) {
    PhoneEnv env("small");
    EXPECT_EQ(env.exchanges.status, ExchangesStatus::Missing);
    const PhoneResult r = AnswerPhone("208-334-1234", env.phone());
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.reason(), "This data has no telephone exchanges.");

    TempDir dir;
    for (const auto& f : std::filesystem::directory_iterator(fixtureDir("phone")))
        std::filesystem::copy(f.path(), dir.path() / f.path().filename());
    dir.write("EXCHANGE.DAT", "CVX1 and then nothing that fits");
    env.data.dir = dir.str();
    env.exchanges = LoadExchanges(env.data);
    EXPECT_EQ(env.exchanges.status, ExchangesStatus::Damaged);
    EXPECT_EQ(AnswerPhone("208-334-1234", env.phone()).reason(),
              "File containing telephone exchanges is corrupt.");
    // A malformed number is still told apart from damaged data.
    EXPECT_EQ(AnswerPhone("12", env.phone()).problem, PhoneProblem::NotTenDigits);
}

TEST(Phone, ZipCodesOfThePlaceOrOfTheAreaCode) {
    PhoneEnv env;
    SearchResult r = PhoneZipCodes(env.answer("(208) 334-1234"), env.ctx());
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(r.listShown && r.cleared);
    EXPECT_EQ(r.heading, (ListHeading{ItemKind::Zip, "Zip Codes For (208) 334-1234"}));
    // Boise Heights begins with the name but is another city.
    EXPECT_EQ(Zips(r), (std::vector<std::string>{"83702", "83704"}));
    EXPECT_EQ(r.items[0].text, SearchTheZip("83702", env.ctx()).items[0].text);

    r = PhoneZipCodes(env.answer("208 999 1234"), env.ctx());
    EXPECT_EQ(r.heading->text, "Zip Codes For (208) 999-1234");
    EXPECT_EQ(Zips(r), (std::vector<std::string>{"83702", "83704", "83716", "83814"}));

    // Milton is placed by the telephone data but is no city of the ZIP table: the area code's.
    EXPECT_EQ(Zips(PhoneZipCodes(env.answer("850 444 1234"), env.ctx())),
              (std::vector<std::string>{"32301", "32501", "32561"}));

    r = PhoneZipCodes(env.answer("888 555 1234"), env.ctx());
    EXPECT_EQ(r.heading->text, "Zip Codes For (888) 555-1234");
    EXPECT_EQ(Zips(r), std::vector<std::string>{"No matching zip codes found."});

    // Capitals from the settings do not hide the city.
    env.settings.citiesInCaps = true;
    EXPECT_EQ(Zips(PhoneZipCodes(env.answer("208 765 1234"), env.ctx())),
              std::vector<std::string>{"83814"});
}

TEST(Phone, CallWindowsAsTyped) {
    EXPECT_EQ(ParseCallWindow("9-20"), (CallWindow{9, 20}));
    EXPECT_EQ(ParseCallWindow(" 8 - 21 "), (CallWindow{8, 21}));
    EXPECT_EQ(ParseCallWindow("0-24"), (CallWindow{0, 24}));
    for (const char* bad : {"", "9", "20-9", "9-9", "8-25", "-1-5", "a-b", "9-20-21", "9.5-20"})
        EXPECT_EQ(ParseCallWindow(bad), std::nullopt) << bad;
}

TEST(Phone, BatchFieldsAndCounts) {
    PhoneEnv env;
    PhoneAnnotator annotate(env.phone());
    EXPECT_EQ(PhoneAnnotator::Columns,
              (std::vector<std::string_view>{"place", "state", "country", "zones", "time_zones",
                                             "local_time", "callable_now"}));
    EXPECT_EQ(annotate.fields("(208) 334-1234"), ",Boise,ID,US,MST,,10:15:00,true");
    EXPECT_EQ(annotate.fields("208 334 9999 x12"), ",Boise,ID,US,MST,,10:15:00,true");
    EXPECT_EQ(annotate.fields("208-999-1234"), ",,ID,US,MST;PST,,10:15:00;09:15:00,true");
    EXPECT_EQ(annotate.fields("208.765.1234"), ",Coeur d'Alene,ID,US,PST,,09:15:00,true");
    EXPECT_EQ(annotate.fields("800-555-1234"), ",,,,,,,");
    EXPECT_EQ(annotate.fields("416-555-1234"), ",,,,,,,");
    EXPECT_EQ(annotate.fields(""), ",,,,,,,");
    EXPECT_EQ(annotate.fields("call me"), ",,,,,,,");
    // The rest of the plan, and the zones as the database names them.
    EXPECT_EQ(annotate.fields("709 722 1234"),
              ",St. John's,NL,CA,GMT -03:30 NDT,America/St_Johns,13:45:00,true");
    EXPECT_EQ(annotate.fields("907 555 1234"), ",,AK,US,GMT -09:00 AKDT;GMT -10:00 HDT,"
                                               "America/Anchorage;America/Adak,08:15:00;07:15:00,"
                                               "false");
    env.clock.time.hour = 23; // made once per exchange: a long run keeps one time
    EXPECT_EQ(annotate.fields("(208) 334-0000"), ",Boise,ID,US,MST,,10:15:00,true");
    const PhoneCounts& c = annotate.counts();
    EXPECT_EQ(c.rows, 11u);
    EXPECT_EQ(c.placed, 5u);
    EXPECT_EQ(c.areaCodeOnly, 2u);
    EXPECT_EQ(c.tollFree, 1u);
    EXPECT_EQ(c.notInData, 1u);
    EXPECT_EQ(c.malformed, 2u);
}

namespace {

std::optional<PhoneEnv> RealData() {
    if (!std::filesystem::exists(std::string(CORVANA_REAL_DATA_DIR) + "/EXCHANGE.DAT"))
        return std::nullopt;
    DataSet probe;
    probe.dir = CORVANA_REAL_DATA_DIR;
    if (!LoadInData(probe).ok())
        return std::nullopt;
    std::optional<PhoneEnv> env;
    env.emplace("phone");
    env->data = std::move(probe);
    env->exchanges = LoadExchanges(env->data);
    return env;
}

} // namespace

TEST(Phone, RealDataAnswers) {
    std::optional<PhoneEnv> env = RealData();
    if (!env)
        GTEST_SKIP() << "no real data set with exchanges in " << CORVANA_REAL_DATA_DIR;
    ASSERT_EQ(env->exchanges.status, ExchangesStatus::Loaded) << env->exchanges.message;

    const PhoneAnswer boise = env->answer("(208) 334-1234");
    EXPECT_EQ(boise.placeText(), "Boise, ID");
    EXPECT_EQ(ZoneBytes(boise), std::vector<std::uint8_t>{Mst});
    const PhoneAnswer unplaced = env->answer("208-999-1234");
    EXPECT_EQ(unplaced.place, PhonePlace::AreaCodeOnly);
    EXPECT_EQ(ZoneBytes(unplaced), (std::vector<std::uint8_t>{Mst, Pst}));
    EXPECT_EQ(unplaced.hours, (CallingHours{9 * 60, 12 * 60}));
    const PhoneAnswer pensacola = env->answer("850-432-1234");
    EXPECT_EQ(pensacola.placeText(), "Pensacola, FL");
    EXPECT_EQ(ZoneBytes(pensacola), std::vector<std::uint8_t>{Cst});
    EXPECT_EQ(env->answer("850-222-1234").placeText(), "Tallahassee, FL");
    EXPECT_EQ(ZoneBytes(env->answer("334-298-1234")), std::vector<std::uint8_t>{Est});
    EXPECT_EQ(env->answer("800-555-1234").placeText(), "toll-free: no place");
    // The rest of the plan, each with the zone the reviewed table or the data gives it.
    const std::pair<const char*, std::vector<std::string>> abroad[] = {
        {"416-979-1234", {"Toronto, ON", "CA", "America/Toronto"}},
        {"709-722-1234", {"St. John's, NL", "CA", "America/St_Johns"}},
        {"867-667-1234", {"Whitehorse, YT", "CA", "America/Whitehorse"}},
        {"306-525-1234", {"Regina, SK", "CA", "America/Regina"}},
        {"474-555-1234", {"Saskatchewan", "CA", "America/Regina"}},
        {"441-292-1234", {"Bermuda", "BM", "Atlantic/Bermuda"}},
        {"876-922-1234", {"Jamaica", "JM", "America/Jamaica"}}};
    for (const auto& [number, want] : abroad) {
        const PhoneAnswer a = env->answer(number);
        ASSERT_EQ(a.zones.size(), 1u) << number;
        EXPECT_EQ((std::vector<std::string>{a.placeText(), a.country, a.zones[0].timeZone}), want)
            << number;
        EXPECT_FALSE(a.hasZipCodes()) << number;
    }
    // Canada's 600 is read as non-geographic: no place, as before.
    EXPECT_EQ(env->answer("600-555-1234").place, PhonePlace::NonGeographic);
    // Wake Island's post-office ZIP code carries 808 too, but Hawaii's people set its zone.
    const PhoneAnswer hawaii = env->answer("808-555-1234");
    EXPECT_EQ(ZoneBytes(hawaii), std::vector<std::uint8_t>{ZipRecord::zoneByte(2, false)});
    EXPECT_TRUE(hawaii.hours);

    const SearchResult zips = PhoneZipCodes(boise, env->ctx());
    EXPECT_TRUE(zips.ok());
    EXPECT_GT(zips.items.size(), 20u);
    for (const auto& item : zips.items)
        EXPECT_EQ(item.text.substr(5, 11), " Boise, ID") << item.text;
}

TEST(Phone, RealDataSplitAreaCodesListEveryZoneTheySpan) {
    std::optional<PhoneEnv> env = RealData();
    if (!env)
        GTEST_SKIP() << "no real data set with exchanges in " << CORVANA_REAL_DATA_DIR;
    constexpr std::uint8_t Akst = ZipRecord::zoneByte(3, true);
    constexpr std::uint8_t Hast = ZipRecord::zoneByte(2, true);
    constexpr std::uint8_t Arizona = ZipRecord::zoneByte(5, false);
    const std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>> split = {
        {208, {Mst, Pst}},     {986, {Mst, Pst}}, {541, {Mst, Pst}}, {458, {Mst, Pst}},
        {775, {Mst, Pst}},     {850, {Est, Cst}}, {448, {Est, Cst}}, {270, {Est, Cst}},
        {364, {Est, Cst}},     {812, {Est, Cst}}, {930, {Est, Cst}}, {574, {Est, Cst}},
        {906, {Est, Cst}},     {423, {Est, Cst}}, {605, {Cst, Mst}}, {701, {Cst, Mst}},
        {308, {Cst, Mst}},     {785, {Cst, Mst}}, {620, {Cst, Mst}}, {907, {Akst, Hast}},
        {928, {Arizona, Mst}}, {334, {Est, Cst}}};
    for (const auto& [code, zones] : split) {
        const Exchanges& ex = *env->exchanges.exchanges;
        std::optional<std::uint16_t> unplaced;
        for (std::uint16_t x = 200; x <= 999 && !unplaced; ++x)
            if (x % 100 != 11 && !ex.find(code, x)->place)
                unplaced = x;
        ASSERT_TRUE(unplaced) << code;
        const std::string number = std::to_string(code) + std::to_string(*unplaced) + "1234";
        const PhoneAnswer a = env->answer(number);
        EXPECT_EQ(a.place, PhonePlace::AreaCodeOnly) << number;
        EXPECT_EQ(ZoneBytes(a), zones) << number;
        // The hours hold in every zone: an hour shorter than the window per hour apart.
        ASSERT_TRUE(a.hours) << number;
        EXPECT_EQ(a.hours->length, 12 * 60) << number;
    }
}
