// EXCHANGE.DAT damaged in every way a copy can be: missing, unreadable, cut at every byte, one
// byte longer, every byte changed. Each is refused with its message, or, where the change leaves
// a sound file, every number still gets a sound answer; the rest of the data set works as before.
#include "DataFiles.h"

#include "TestClock.h"
#include "data/Exchanges.h"
#include "search/Phone.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace corvana;
using namespace corvana::test;

namespace {

const DataFiles& phoneFiles() {
    static const DataFiles set = DataFiles::fromDir(fixtureDir("phone"));
    return set;
}

ExchangesLoad loadWith(const std::string& bytes) {
    countCase();
    return LoadExchanges(phoneFiles().with("EXCHANGE.DAT", bytes));
}

void expectCorrupt(const std::string& bytes, const std::string& label) {
    const ExchangesLoad load = loadWith(bytes);
    EXPECT_EQ(load.status, ExchangesStatus::Damaged) << label;
    EXPECT_EQ(load.message, msg::ExchangesCorrupt) << label;
    EXPECT_FALSE(load.exchanges) << label;
}

// Every number of every area code the fixture has, and a few it has not.
void expectSoundAnswers(const ExchangesLoad& load, const std::string& label) {
    Settings settings;
    TestClock clock{LocalDateTime{2024, 7, 10, 12, 0, 0, 0}};
    const PhoneContext ctx{load, settings, TimeContext{true, &clock}, CallWindow{}};
    for (std::uint16_t area : {208, 334, 385, 448, 801, 850, 907, 986, 209, 999}) {
        for (std::uint16_t x : {200, 222, 262, 298, 334, 355, 432, 444, 592, 765, 932, 999}) {
            const PhoneResult r = AnswerPhone(PhoneNumber{area, x, 1234}, ctx);
            ASSERT_TRUE(r.answer) << label;
            for (const PhoneZone& z : r.answer->zones)
                EXPECT_FALSE(z.name.empty()) << label;
            if (r.answer->place == PhonePlace::Exchange) {
                EXPECT_EQ(r.answer->state.size(), 2u) << label;
            }
        }
    }
}

} // namespace

TEST(CorruptExchanges, MissingOrUnreadableLeavesTheRestAsItWas) {
    DataSet none = phoneFiles().without("EXCHANGE.DAT");
    ExchangesLoad load = LoadExchanges(none);
    EXPECT_EQ(load.status, ExchangesStatus::Missing);
    EXPECT_EQ(load.message, msg::NoExchanges);
    EXPECT_TRUE(LoadInData(none).ok());

    DataSet folder = phoneFiles().without("EXCHANGE.DAT");
    std::filesystem::create_directory(folder.path("EXCHANGE.DAT"));
    EXPECT_EQ(LoadExchanges(folder).message, msg::ExchangesUnreadable);
    EXPECT_TRUE(LoadInData(folder).ok());
    std::filesystem::remove(folder.path("EXCHANGE.DAT"));

    DataSet damaged = phoneFiles().with("EXCHANGE.DAT", "CVX1");
    EXPECT_EQ(LoadExchanges(damaged).message, msg::ExchangesCorrupt);
    EXPECT_TRUE(LoadInData(damaged).ok());
}

TEST(CorruptExchanges, CutAtEveryByteOrLonger) {
    const std::string& whole = phoneFiles()["EXCHANGE.DAT"];
    const ExchangesLoad intact = loadWith(whole);
    ASSERT_EQ(intact.status, ExchangesStatus::Loaded);
    expectSoundAnswers(intact, "intact");
    for (std::size_t n = 0; n < whole.size(); ++n)
        expectCorrupt(whole.substr(0, n), "cut at " + std::to_string(n));
    expectCorrupt(whole + '\0', "one byte more");
}

TEST(CorruptExchanges, AnyByteChangedIsRefusedOrStillAnswersSoundly) {
    const std::string& whole = phoneFiles()["EXCHANGE.DAT"];
    std::size_t loaded = 0, refused = 0;
    for (std::size_t at = 0; at < whole.size(); ++at) {
        for (std::uint8_t flip : {0x01, 0x80, 0xFF}) {
            std::string s = whole;
            s[at] = char(s[at] ^ flip);
            const ExchangesLoad load = loadWith(s);
            if (load.status == ExchangesStatus::Loaded) {
                ++loaded;
                expectSoundAnswers(load, "byte " + std::to_string(at));
            } else {
                ++refused;
                EXPECT_EQ(load.message, msg::ExchangesCorrupt);
            }
        }
    }
    // Names and zones may change and stay sound; counts, orders and offsets may not.
    EXPECT_GT(loaded, 0u);
    EXPECT_GT(refused, 0u);
}
