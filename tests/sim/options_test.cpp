#include "tools/sim/options.h"

#include <gtest/gtest.h>


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
    EXPECT_EQ(o.floatJump, 0.3);
    EXPECT_EQ(o.sentences, std::vector<std::string>{"HDT"});
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
          "--help",         "--rate2",        "--epoch-offset",   "--float-receiver",
          "--float-after",  "--float-until",  "--float-jump",     "--sentences",
          "--baseline-limit", "--listen-tcp",   "--listen-udp"}) {
        EXPECT_NE(help.find(std::string("\n  ") + option + " "), std::string::npos) << option;
        EXPECT_TRUE(ParseOptions(std::vector<std::string>{option}).error.find("unknown") ==
                    std::string::npos)
            << option << " is an option";
    }
    for (const char* text :
         {"(default 1)", "(default 4)", "(default 7)", "(default 0,0,0,2)", "(default 12)",
          "(default 0.3)", "(default HDT)"}) {
        EXPECT_NE(help.find(text), std::string::npos) << text;
    }
}

TEST(SimOptions, ValuesAfterEqualsOrAsTheNextArgumentAndTheProgramsAfterTheDashes) {
    const ParsedOptions parsed =
        parse({"--bad-field", "--rate=10", "--sentences", "ths,HDT,Rot", "--listen-tcp",
               "[::1]:10110", "--launch", "--", "--rate", "a"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    const SimOptions& o = *parsed.options;
    EXPECT_EQ(o.badFieldRate, 0.1) << "alone: the default rate";
    EXPECT_EQ(o.rate, 10);
    EXPECT_EQ(o.sentences, (std::vector<std::string>{"THS", "HDT", "ROT"}));
    EXPECT_EQ(o.listenTcpHost, "::1");
    EXPECT_EQ(o.listenTcpPort, 10110);
    EXPECT_EQ(o.programArguments, (std::vector<std::string>{"--rate", "a"}));
}

TEST(SimOptions, RefusesBadOptionsWithOneLineNamingThem) {
    struct Row {
        std::vector<std::string> arguments;
        const char* named;
    };
    const Row rows[] = {
        {{"--rate", "0"}, "--rate"},
        {{"--rate"}, "--rate"},
        {{"--sentences", "HDT,HDT"}, "--sentences"},
        {{"--listen-tcp", "127.0.0.1"}, "--listen-tcp"},
        {{"--listen-tcp", ":10110"}, "--listen-tcp"},
        {{"--listen-udp", "65536"}, "--listen-udp"},
        {{"--listen-tcp", "localhost:1", "--listen-udp", "2"}, "--listen-udp"},
        {{"--silent", "2", "--silent-after", "5", "--silent-until", "5"}, "--silent-until"},
        {{"--float-until", "5"}, "--float-until"},
        {{"--launch", "--wait-for", "12"}, "--wait-for"},
        {{"--frobnicate"}, "--frobnicate"},
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
