// Reading a North American telephone number as people write it, and the reason when it cannot be
// read.
#include "text/PhoneNumber.h"

#include <gtest/gtest.h>

using namespace corvana;

namespace {

PhoneNumber Number(std::uint16_t area, std::uint16_t exchange, std::uint16_t line,
                   PhoneKind kind = PhoneKind::Geographic) {
    return PhoneNumber{area, exchange, line, kind};
}

} // namespace

TEST(PhoneNumber, TheFormsPeopleWrite) {
    const PhoneNumber boise = Number(208, 334, 1234);
    for (const char* text :
         {"(208) 334-1234",       "208-334-1234",        "208.334.1234",
          "2083341234",           "1-208-334-1234",      "+1 208 334 1234",
          "+1 (208) 334-1234",    "1 (208) 334-1234",    "12083341234",
          "+12083341234",         "  208 334 1234\t",    "208/334-1234",
          "(208)334-1234",        "208-334-1234 x12",    "208-334-1234x12",
          "208-334-1234 ext. 12", "208-334-1234 Ext 12", "208-334-1234 extension 12",
          "208-334-1234 #12",     "208 334 1234 X 1",    "208-334-1234 ex.5"}) {
        const PhoneParse p = ParsePhoneNumber(text);
        EXPECT_EQ(p.problem, PhoneProblem::None) << text;
        EXPECT_EQ(p.number, boise) << text;
    }
    EXPECT_EQ(boise.national(), "(208) 334-1234");
    EXPECT_EQ(Number(907, 200, 5).national(), "(907) 200-0005");
}

TEST(PhoneNumber, RefusedWithTheirReason) {
    const std::pair<const char*, PhoneProblem> cases[] = {
        {"", PhoneProblem::Empty},
        {"   ", PhoneProblem::Empty},
        {"x12", PhoneProblem::Empty},
        {" ext. 12", PhoneProblem::Empty},
        {"#5", PhoneProblem::Empty},
        {"box12", PhoneProblem::BadCharacter},
        {"208-334-ABCD", PhoneProblem::BadCharacter},
        {"1-800-FLOWERS", PhoneProblem::BadCharacter},
        {"208 334 1234 fax12", PhoneProblem::BadCharacter},
        {"208+334-1234", PhoneProblem::BadCharacter},
        {"334-1234", PhoneProblem::NotTenDigits},
        {"208-334-12345", PhoneProblem::NotTenDigits},
        {"2-208-334-1234", PhoneProblem::NotTenDigits},
        {"+1 208 334 123", PhoneProblem::NotTenDigits},
        {"+", PhoneProblem::NotTenDigits},
        {"()-.", PhoneProblem::NotTenDigits},
        {"1208334123456789012345", PhoneProblem::NotTenDigits},
        {"+44 20 7946 0958", PhoneProblem::OutsidePlan},
        {"+52 55 1234 5678", PhoneProblem::OutsidePlan},
        {"(108) 334-1234", PhoneProblem::AreaCodeStart},
        {"008-334-1234", PhoneProblem::AreaCodeStart},
        {"1-108-334-1234", PhoneProblem::AreaCodeStart},
        {"208-034-1234", PhoneProblem::ExchangeStart},
        {"208-134-1234", PhoneProblem::ExchangeStart},
        {"411-334-1234", PhoneProblem::ServiceCode},
        {"911-555-1234", PhoneProblem::ServiceCode},
        {"208-911-1234", PhoneProblem::ServiceCode},
        {"208-411-1234", PhoneProblem::ServiceCode},
    };
    for (const auto& [text, problem] : cases) {
        const PhoneParse p = ParsePhoneNumber(text);
        EXPECT_EQ(p.problem, problem) << text;
        EXPECT_FALSE(p.number) << text;
        EXPECT_FALSE(PhoneProblemText(problem).empty()) << text;
    }
    EXPECT_TRUE(PhoneProblemText(PhoneProblem::None).empty());
    EXPECT_EQ(PhoneProblemText(PhoneProblem::NotTenDigits),
              "A North American number has ten digits after the country code 1.");
}

TEST(PhoneNumber, CodesWithoutAPlaceAreReadAndNamed) {
    for (std::uint16_t code : {800, 888, 877, 866, 855, 844, 833})
        EXPECT_EQ(ParsePhoneNumber(std::to_string(code) + "5551234").number->kind,
                  PhoneKind::TollFree)
            << code;
    for (std::uint16_t code : {900, 500, 533, 544, 566, 577, 588, 700})
        EXPECT_EQ(ParsePhoneNumber(std::to_string(code) + "5551234").number->kind,
                  PhoneKind::NonGeographic)
            << code;
    for (std::uint16_t code : {208, 212, 850, 907, 999, 787, 200})
        EXPECT_EQ(KindOfAreaCode(code), PhoneKind::Geographic) << code;
    // The x11 rule covers only the middle digit 1 with a last 1: 311 and 611 are services, 211
    // too, but 210 and 212 are area codes.
    EXPECT_EQ(ParsePhoneNumber("211-555-1234").problem, PhoneProblem::ServiceCode);
    EXPECT_EQ(ParsePhoneNumber("210-555-1234").problem, PhoneProblem::None);
}
