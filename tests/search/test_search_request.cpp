#include "HandData.h"

#include "search/SearchRequest.h"

#include <gtest/gtest.h>

using namespace corvana;
using namespace corvana::test;

TEST(SearchRequest, StoredNumbersNameTheModesInMenuOrder) {
    int n = 1;
    for (SearchMode m : SearchModes) {
        EXPECT_EQ(ModeNumber(m), n);
        EXPECT_EQ(ModeFromNumber(n), m);
        ++n;
    }
    for (int bad : {0, 6, -1, 65535})
        EXPECT_FALSE(ModeFromNumber(bad)) << bad;
    EXPECT_STREQ(ModeLabel(SearchMode::Zip), "Zip Code");
    EXPECT_STREQ(ModeLabel(SearchMode::Area), "Area Code");
}

TEST(SearchRequest, FieldLengthsAndStateChoice) {
    EXPECT_EQ(FieldLength(SearchMode::Zip), 5);
    EXPECT_EQ(FieldLength(SearchMode::City), 30);
    EXPECT_EQ(FieldLength(SearchMode::State), 2);
    EXPECT_EQ(FieldLength(SearchMode::County), 30);
    EXPECT_EQ(FieldLength(SearchMode::Area), 3);
    EXPECT_EQ(CityFieldLength, 30);
    EXPECT_TRUE(HasStateChoice(SearchMode::City) && HasStateChoice(SearchMode::County));
    EXPECT_FALSE(HasStateChoice(SearchMode::Zip) || HasStateChoice(SearchMode::State) ||
                 HasStateChoice(SearchMode::Area));
}

TEST(SearchRequest, TypingRulesPerCharacter) {
    EXPECT_TRUE(FieldTakes(SearchMode::Zip, U'0') && FieldTakes(SearchMode::Zip, U'9'));
    for (char32_t c : {U'a', U' ', U'-', U'/', U':', U'\u00B9', U'\uFF11'})
        EXPECT_FALSE(FieldTakes(SearchMode::Zip, c)) << std::uint32_t(c);
    // Only a Zip field drops characters; an area code takes what is typed and finds nothing.
    for (SearchMode m : {SearchMode::City, SearchMode::State, SearchMode::County, SearchMode::Area})
        EXPECT_TRUE(FieldTakes(m, U'x') && FieldTakes(m, U'-'));

    EXPECT_EQ(FieldCase(SearchMode::State, U'a'), U'A');
    EXPECT_EQ(FieldCase(SearchMode::State, U'z'), U'Z');
    // Accented letters keep their case, as everywhere else in the program.
    EXPECT_EQ(FieldCase(SearchMode::State, U'\u00F1'), U'\u00F1');
    EXPECT_EQ(FieldCase(SearchMode::State, U'{'), U'{');
    EXPECT_EQ(FieldCase(SearchMode::City, U'a'), U'a');
}

TEST(SearchRequest, FieldTextCleansAsTheFieldWould) {
    EXPECT_EQ(FieldText(SearchMode::Zip, "8a4-1 0 1 9"), "84101");
    EXPECT_EQ(FieldText(SearchMode::Zip, "  84  "), "84");
    EXPECT_EQ(FieldText(SearchMode::Zip, "\xC3\xA9"
                                         "1"),
              "1"); // UTF-8 bytes are no digits
    EXPECT_EQ(FieldText(SearchMode::Zip, ""), "");

    EXPECT_EQ(FieldText(SearchMode::City, "  salt lake  "), "salt lake");
    // Cut to the field first: blanks then at the end go too.
    EXPECT_EQ(FieldText(SearchMode::City, std::string(29, 'a') + "  b"), std::string(29, 'a'));
    EXPECT_EQ(FieldText(SearchMode::County, std::string(40, 'x')), std::string(30, 'x'));
    EXPECT_EQ(FieldText(SearchMode::City, "   "), "");
    EXPECT_EQ(FieldText(SearchMode::City, "\tsal\t"), "\tsal\t"); // only blanks are trimmed

    EXPECT_EQ(FieldText(SearchMode::Area, " 80 "), "80");
    EXPECT_EQ(FieldText(SearchMode::Area, "8011"), "801");

    // A state abbreviation is cut and upper-cased, never trimmed.
    EXPECT_EQ(FieldText(SearchMode::State, "ut"), "UT");
    EXPECT_EQ(FieldText(SearchMode::State, "txas"), "TX");
    EXPECT_EQ(FieldText(SearchMode::State, " u"), " U");
    EXPECT_EQ(FieldText(SearchMode::State, "\xF1x"), "\xF1X");

    EXPECT_EQ(CityFieldText("  san a  "), "san a");
    EXPECT_EQ(CityFieldText(std::string(35, 'c')), std::string(30, 'c'));
}

TEST(SearchRequest, RunSearchGivesWhatEachSearchGives) {
    SearchEnv env;
    const auto ctx = env.ctx();
    auto run = [&](SearchMode mode, std::string text) {
        SearchRequest r;
        r.mode = mode;
        r.text = std::move(text);
        return RunSearch(r, ctx);
    };
    auto items = [](const SearchResult& r) { return Texts(r); };
    EXPECT_EQ(items(run(SearchMode::Zip, " 8-41 ")), items(SearchTheZip("841", ctx)));
    EXPECT_EQ(items(run(SearchMode::City, "  salt ")), items(SearchTheCity("salt", ctx, "")));
    EXPECT_EQ(items(run(SearchMode::County, "ada  ")), items(SearchTheCounty("ada", ctx, "")));
    EXPECT_EQ(items(run(SearchMode::Area, "801 ")), items(SearchTheArea("801", ctx)));
    EXPECT_EQ(items(run(SearchMode::Area, " 801")), items(SearchTheArea("80", ctx)));
    EXPECT_FALSE(run(SearchMode::Zip, "841").items.empty());

    SearchRequest state;
    state.mode = SearchMode::State;
    state.chosenStates = ChooseStates(env.data, FieldText(SearchMode::State, "tx"));
    ASSERT_EQ(state.chosenStates.size(), 2u);
    state.text = " a ";
    EXPECT_EQ(items(RunSearch(state, ctx)),
              items(SearchTheCityWithState("a", ctx, state.chosenStates)));
    EXPECT_FALSE(RunSearch(state, ctx).items.empty());

    // The single state counts only with All States off.
    env.settings.allState = false;
    SearchRequest city;
    city.mode = SearchMode::City;
    city.text = "sal";
    city.singleState = "OR";
    EXPECT_EQ(items(RunSearch(city, ctx)), items(SearchTheCity("sal", ctx, "OR")));
    city.singleState = "UT";
    EXPECT_NE(items(RunSearch(city, ctx)), items(SearchTheCity("sal", ctx, "OR")));
}
