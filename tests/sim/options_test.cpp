#include "tools/sim/options.h"

#include <gtest/gtest.h>

#include <functional>

namespace bivane::sim {
namespace {

ParsedOptions parse(std::vector<std::string> arguments) {
    return ParseOptions(arguments);
}

TEST(SimOptions, DefaultsAreThoseOfTheHelp) {
    const ParsedOptions parsed = parse({});
    ASSERT_TRUE(parsed.options) << parsed.error;
    const SimOptions& o = *parsed.options;
    EXPECT_EQ(o.rate, 1);
    EXPECT_EQ(o.quality, 4);
    EXPECT_EQ(o.decimals, 7);
    EXPECT_EQ(o.firstReceiver, 1);
    EXPECT_EQ(o.offsets.x[0], 0);
    EXPECT_EQ(o.offsets.y[0], 0);
    EXPECT_EQ(o.offsets.x[1], 0);
    EXPECT_EQ(o.offsets.y[1], 2);
    EXPECT_EQ(o.duration, 0);
    EXPECT_FALSE(o.launch);
    const std::string help = HelpText();
    for (const char* option :
         {"--lat",          "--lon",          "--heading",        "--turn-rate",
          "--speed",        "--offsets",      "--rate",           "--quality",
          "--decimals",     "--noise",        "--extra",          "--order",
          "--drop-rate",    "--garbage-rate", "--bad-field",      "--silent",
          "--silent-after", "--silent-until", "--skew",           "--time-tolerance",
          "--pace-baud",    "--duration",     "--seed",           "--report",
          "--launch",       "--program",      "--program-folder", "--wait-for",
          "--help"}) {
        EXPECT_NE(help.find(std::string("\n  ") + option + " "), std::string::npos) << option;
        EXPECT_TRUE(ParseOptions(std::vector<std::string>{option}).error.find("unknown") ==
                    std::string::npos)
            << option << " is an option";
    }
    for (const char* text :
         {"(default 1)", "(default 4)", "(default 7)", "(default 0,0,0,2)", "(default 12)"}) {
        EXPECT_NE(help.find(text), std::string::npos) << text;
    }
}

TEST(SimOptions, ReadsEveryOption) {
    struct Row {
        std::vector<std::string> arguments;
        std::function<bool(const SimOptions&)> holds;
    };
    const Row rows[] = {
        {{"--lat", "-33.5", "--lon=151.25"},
         [](const SimOptions& o) { return o.latitude == -33.5 && o.longitude == 151.25; }},
        {{"--heading", "359.5", "--turn-rate", "-3", "--speed", "12"},
         [](const SimOptions& o) {
             return o.heading == 359.5 && o.turnRate == -3 && o.speed == 12;
         }},
        {{"--offsets", "0.5,-1,-0.25,3"},
         [](const SimOptions& o) {
             return o.offsets.x[0] == 0.5 && o.offsets.y[0] == -1 && o.offsets.x[1] == -0.25 &&
                    o.offsets.y[1] == 3;
         }},
        {{"--rate", "10", "--quality", "2", "--decimals", "4", "--noise", "0.02"},
         [](const SimOptions& o) {
             return o.rate == 10 && o.quality == 2 && o.decimals == 4 && o.noise == 0.02;
         }},
        {{"--extra", "RMC,GSA", "--order", "21"},
         [](const SimOptions& o) { return o.sendRmc && o.sendGsa && o.firstReceiver == 2; }},
        {{"--extra", "gsa"}, [](const SimOptions& o) { return !o.sendRmc && o.sendGsa; }},
        {{"--drop-rate", "0.1", "--garbage-rate", "0.2"},
         [](const SimOptions& o) { return o.dropRate == 0.1 && o.garbageRate == 0.2; }},
        {{"--bad-field"}, [](const SimOptions& o) { return o.badFieldRate == 0.1; }},
        {{"--bad-field", "0.3"}, [](const SimOptions& o) { return o.badFieldRate == 0.3; }},
        {{"--bad-field=0.5", "--rate", "2"},
         [](const SimOptions& o) { return o.badFieldRate == 0.5 && o.rate == 2; }},
        {{"--bad-field", "--rate", "2"},
         [](const SimOptions& o) { return o.badFieldRate == 0.1 && o.rate == 2; }},
        {{"--silent", "2", "--silent-after", "5", "--skew", "-0.5"},
         [](const SimOptions& o) {
             return o.silentReceiver == 2 && o.silentAfter == 5 && o.skew == -0.5;
         }},
        {{"--silent", "1", "--silent-after", "2", "--silent-until=4.5"},
         [](const SimOptions& o) {
             return o.silentReceiver == 1 && o.silentAfter == 2 && o.silentUntil == 4.5;
         }},
        {{"--wait-for", "4242"}, [](const SimOptions& o) { return o.waitForPid == 4242; }},
        {{"--pace-baud", "4800", "--duration", "2.5", "--seed", "42", "--report", "r.json"},
         [](const SimOptions& o) {
             return o.paceBaud == 4800 && o.duration == 2.5 && o.seed == 42 &&
                    o.reportPath == "r.json";
         }},
        {{"--launch", "--program", "/bin/x", "--program-folder", "/tmp/f", "--", "--rate", "a"},
         [](const SimOptions& o) {
             return o.launch && o.programPath == "/bin/x" && o.programFolder == "/tmp/f" &&
                    o.programArguments == std::vector<std::string>{"--rate", "a"} && o.rate == 1;
         }},
        {{"--help"}, [](const SimOptions& o) { return o.help; }},
    };
    for (const Row& row : rows) {
        const ParsedOptions parsed = ParseOptions(row.arguments);
        ASSERT_TRUE(parsed.options) << row.arguments[0] << ": " << parsed.error;
        EXPECT_TRUE(row.holds(*parsed.options)) << row.arguments[0];
    }
}

TEST(SimOptions, RefusesBadOptionsWithOneLineNamingThem) {
    struct Row {
        std::vector<std::string> arguments;
        const char* named;
    };
    const Row rows[] = {
        {{"--rate", "0"}, "--rate"},
        {{"--rate", "51"}, "--rate"},
        {{"--rate", "5x"}, "--rate"},
        {{"--rate"}, "--rate"},
        {{"--lat", "91"}, "--lat"},
        {{"--offsets", "1,2,3"}, "--offsets"},
        {{"--offsets", "1,2,3,x"}, "--offsets"},
        {{"--quality", "1.5"}, "--quality"},
        {{"--decimals", "10"}, "--decimals"},
        {{"--order", "13"}, "--order"},
        {{"--extra", "VTG"}, "--extra"},
        {{"--drop-rate", "1.5"}, "--drop-rate"},
        {{"--bad-field=2"}, "--bad-field"},
        {{"--silent", "3"}, "--silent"},
        {{"--pace-baud", "0"}, "--pace-baud"},
        {{"--duration", "-1"}, "--duration"},
        {{"--seed", "-1"}, "--seed"},
        {{"--silent-until", "5"}, "--silent-until"},
        {{"--silent", "2", "--silent-after", "5", "--silent-until", "5"}, "--silent-until"},
        {{"--wait-for", "0"}, "--wait-for"},
        {{"--launch", "--wait-for", "12"}, "--wait-for"},
        {{"--launch=yes"}, "--launch"},
        {{"--frobnicate"}, "--frobnicate"},
        {{"--program", "/bin/x"}, "--launch"},
        {{"--", "x"}, "--launch"},
    };
    for (const Row& row : rows) {
        const ParsedOptions parsed = ParseOptions(row.arguments);
        EXPECT_FALSE(parsed.options) << row.arguments[0];
        EXPECT_NE(parsed.error.find(row.named), std::string::npos) << parsed.error;
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << parsed.error;
    }
}

}  // namespace
}  // namespace bivane::sim
