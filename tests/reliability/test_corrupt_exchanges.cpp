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

// A version 1 file, as data directories built before zone names have: area code 208 with
// Mountain and Pacific time, 208-334 Boise in Mountain time.
std::string versionOne() {
    const char mst = char(ZipRecord::zoneByte(5, true)), pst = char(ZipRecord::zoneByte(4, true));
    return "CVX1" + le16(1) + le16(2) + le32(1) + le32(1) + le32(8) +             // header
           std::string{2, mst, pst, 0} + std::string{1, mst, 0, 0} +              // zone sets
           le16(208) + le16(0) + le32(0) + "ID" + le16(334) + le16(1) + le32(0) + // area, exchange
           le32(0) +
           "\x07"
           "BoiseID";
}

// The files every damage is tried on: the fixture's, as corvana-mkdata writes it now, and one
// of version 1.
std::vector<std::pair<std::string, std::string>> files() {
    return {{"version 2", phoneFiles()["EXCHANGE.DAT"]}, {"version 1", versionOne()}};
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
    for (const auto& [version, whole] : files()) {
        const ExchangesLoad intact = loadWith(whole);
        ASSERT_EQ(intact.status, ExchangesStatus::Loaded) << version;
        expectSoundAnswers(intact, version + " intact");
        for (std::size_t n = 0; n < whole.size(); ++n)
            expectCorrupt(whole.substr(0, n), version + " cut at " + std::to_string(n));
        expectCorrupt(whole + '\0', version + " one byte more");
    }
    EXPECT_EQ(loadWith(versionOne()).exchanges->find(208, 334)->place->city, "Boise");
}

TEST(CorruptExchanges, AnyByteChangedIsRefusedOrStillAnswersSoundly) {
    for (const auto& [version, whole] : files()) {
        std::size_t loaded = 0, refused = 0;
        for (std::size_t at = 0; at < whole.size(); ++at) {
            for (std::uint8_t flip : {0x01, 0x80, 0xFF}) {
                std::string s = whole;
                s[at] = char(s[at] ^ flip);
                const ExchangesLoad load = loadWith(s);
                if (load.status == ExchangesStatus::Loaded) {
                    ++loaded;
                    expectSoundAnswers(load, version + " byte " + std::to_string(at));
                } else {
                    ++refused;
                    EXPECT_EQ(load.message, msg::ExchangesCorrupt);
                }
            }
        }
        // Names and zones may change and stay sound; counts, orders and offsets may not.
        EXPECT_GT(loaded, 0u) << version;
        EXPECT_GT(refused, 0u) << version;
    }
}
