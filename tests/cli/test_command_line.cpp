// The command line as each command declares it: what it takes, what it refuses and with which
// words, and the help it shows.

#include "cli/Command.h"
#include "cli/Options.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

using namespace corvana;
using namespace corvana::cli;

namespace {

CommandLine Parse(std::initializer_list<std::string> args) {
    std::vector<std::string> words{"corvana-query"};
    words.insert(words.end(), args);
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    return ParseCommandLine(int(argv.size()), argv.data());
}

// The message of the UsageFailure that the command line ends with, empty when it parses.
std::string Refusal(std::initializer_list<std::string> args) {
    try {
        Parse(args);
    } catch (const UsageFailure& e) {
        return e.what;
    }
    return {};
}

bool Lists(const std::string& help, const Option& o) {
    return help.find("\n" + OptionUsage(o, false)) != std::string::npos;
}

} // namespace

TEST(CommandLine, EachCommandRefusesWhatItDoesNotTake) {
    EXPECT_EQ(Refusal({"near", "84101", "--columns", "city"}), "--columns does not apply to near");
    EXPECT_EQ(Refusal({"--state", "UT", "near", "84101"}), "--state does not apply to near");
    EXPECT_EQ(Refusal({"city", "salt", "--miles", "3"}), "--miles does not apply to city");
    EXPECT_EQ(Refusal({"--km", "3"}), "--km does not apply to a search");
    EXPECT_EQ(Refusal({"zip", "841", "--column", "zip"}), "--column applies to lookup only");
    EXPECT_EQ(Refusal({"lookup", "--limit", "2"}), "--limit does not apply to lookup");
    for (const std::string option : {"--json", "--state=UT", "--show=area", "--format=1"})
        EXPECT_EQ(Refusal({"lookup", option}),
                  "lookup writes CSV with every field; --json, --format, --state and --show do "
                  "not apply")
            << option;
    EXPECT_EQ(Refusal({"distance", "1", "2", "--distance-from", "84101"}),
              "--distance-from does not apply to distance");
    // Of several that a command does not take, one answers: the same one whatever their order.
    EXPECT_EQ(Refusal({"nearest", "1,1", "--columns", "city", "--miles", "3"}),
              "--miles does not apply to nearest");
    EXPECT_EQ(Refusal({"zip", "841", "--distance-from", "1,1", "--column", "zip"}),
              "--column applies to lookup only");
    // The checks of the whole line come before the command's.
    EXPECT_EQ(Refusal({"lookup", "--csv", "--json"}), "--csv and --json exclude each other");
    EXPECT_EQ(Refusal({"near", "1", "--miles", "3", "--km", "3"}),
              "--miles and --km exclude each other");
    EXPECT_EQ(Refusal({"near", "1", "--csv=yes"}), "unknown option --csv");
    EXPECT_EQ(Refusal({"near", "1", "--limit"}), "--limit needs a value");
    // A value is checked as it is read, before the command could refuse its option.
    EXPECT_EQ(Refusal({"lookup", "--limit", "0"}),
              "--limit takes a whole number from 1 to 999999999, not \"0\"");
}

TEST(CommandLine, SharedOptionsAreTakenByEveryCommand) {
    for (const std::string word : {"zip", "lookup", "distance", "near", "nearest"}) {
        EXPECT_EQ(Refusal({word, "--data", "/d", "--settings", "s.ini", "--version"}), "") << word;
        EXPECT_EQ(Refusal({word, "--caps", "none"}), "") << word;
    }
    const CommandLine line = Parse({"--data=/a", "near", "--data", "/b", "--", "--km", "x"});
    EXPECT_EQ(line.value(option::Data), "/b");
    EXPECT_EQ(line.words, (std::vector<std::string>{"near", "--km", "x"}));
    EXPECT_FALSE(line.has(option::Km));
}

TEST(CommandLine, ValuesComeBackAsTheyWereChecked) {
    const NearbyRadius km = *RadiusOf(Parse({"near", "1", "--km", "2.5"}));
    EXPECT_EQ(km.unit, geo::LengthUnit::Km);
    EXPECT_EQ(km.value, 2.5);
    const NearbyRadius miles = *RadiusOf(Parse({"near", "1", "--miles=4", "--miles", "3"}));
    EXPECT_EQ(miles.unit, geo::LengthUnit::Miles);
    EXPECT_DOUBLE_EQ(miles.value, 3);
    EXPECT_FALSE(RadiusOf(Parse({"near", "1"})));
    EXPECT_EQ(LimitOf(Parse({"near", "1", "--limit", "7"})), 7u);
    EXPECT_EQ(FormatOf(Parse({"zip", "1", "--format", "32"})), 32);
    EXPECT_EQ(ListOf(Parse({"--show", "none", "zip", "1"}), option::Show),
              std::vector<std::string>{});
    EXPECT_EQ(ListOf(Parse({"lookup", "--columns", "dst,city"}), option::Columns),
              (std::vector<std::string>{"dst", "city"}));
    EXPECT_FALSE(ListOf(Parse({"zip", "1"}), option::Caps));
}

TEST(CommandLine, HelpShowsWhatTheCommandTakes) {
    const std::string near = HelpText(Parse({"near", "--help"}));
    EXPECT_TRUE(near.starts_with("Usage: corvana-query [OPTIONS] near ZIP|LAT,LON\n")) << near;
    for (const Option* o :
         {&option::Miles, &option::Km, &option::Limit, &option::Csv, &option::Data, &option::Help})
        EXPECT_TRUE(Lists(near, *o)) << o->name;
    for (const Option* o :
         {&option::Columns, &option::Column, &option::State, &option::DistanceFrom})
        EXPECT_FALSE(Lists(near, *o)) << o->name;
    // A command's help leaves out whom the option is for.
    EXPECT_NE(near.find("  --miles R        the radius in miles (default: 10)\n"),
              std::string::npos);

    const std::string lookup = HelpText(Parse({"--help", "lookup"}));
    EXPECT_TRUE(Lists(lookup, option::Columns));
    EXPECT_TRUE(Lists(lookup, option::DistanceFrom));
    EXPECT_FALSE(Lists(lookup, option::Miles));
    EXPECT_FALSE(Lists(lookup, option::Json));
    EXPECT_EQ(HelpText(Parse({"county", "--help"})), HelpText(Parse({"zip", "--help"})));
    EXPECT_TRUE(Lists(HelpText(Parse({"state", "--help"})), option::State));

    // Without a command, or after a word that names none, the whole usage text.
    EXPECT_EQ(HelpText(Parse({"--help"})), UsageText());
    EXPECT_EQ(HelpText(Parse({"--help", "town"})), UsageText());
    for (const Option* o : AllOptions())
        EXPECT_NE(UsageText().find("\n" + OptionUsage(*o, true)), std::string::npos) << o->name;
}

TEST(CommandLine, UsageLinesLineUpTheirHelp) {
    EXPECT_EQ(OptionUsage(option::Csv, true),
              "  --csv            print the result as CSV with a header row\n");
    EXPECT_EQ(OptionUsage(option::Limit, true),
              "  --limit N        near: list at most N ZIP codes, the nearest\n");
    // A name too long for the column puts its help on the next line; later lines line up.
    EXPECT_EQ(OptionUsage(option::DistanceFrom, false),
              "  --distance-from ZIP|LAT,LON\n"
              "                   append the distance from that ZIP code or point\n");
    EXPECT_EQ(OptionUsage(option::Column, false),
              "  --column NAME    the column of the ZIP codes (default: zip, zipcode, zip_code,\n"
              "                   zip code, postal_code or postcode)\n");
}
