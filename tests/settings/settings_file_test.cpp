// The settings file other installations read and write, and its numbers.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "settings/settings_file.h"
#include "settings/strict_number.h"

namespace bivane {
namespace {

SettingsItems someItems() {
    SettingsItems items;
    items.port(1) = {5, "9600,e,7,2"};
    items.port(2) = {32767, "4800,n,8,1"};
    items.port(3) = {12, "38400,n,8,1"};
    items.OffsetX = {-1.25, 1.0 / 3};
    items.OffsetY = {HUGE_VAL, -3.0e-7};
    items.HeadingOutput = true;
    return items;
}

TEST(SettingsFile, WritesEveryItemInItsPlaceAndReadsItBack) {
    EXPECT_EQ(WriteSettingsFile(someItems()),
              "5,\"9600,e,7,2\"\r\n"
              "32767,\"4800,n,8,1\"\r\n"
              "12,\"38400,n,8,1\"\r\n"
              "-1.25,1e999\r\n"
              "0.3333333333333333,-3e-07\r\n"
              "#TRUE#\r\n");
    for (const SettingsItems& items : {SettingsItems{}, someItems()}) {
        const SettingsRead read = ReadSettingsFile(WriteSettingsFile(items));
        EXPECT_FALSE(read.problem.has_value());
        EXPECT_EQ(read.items, items);
    }
}

TEST(WriteSettingsFile, LeavesQuotesAndLineBreaksOutOfSettingsTexts) {
    SettingsItems items;
    items.port(2).settings = "96\"00,n\r\n,8,1";
    EXPECT_EQ(ReadSettingsFile(WriteSettingsFile(items)).items.port(2).settings, "9600,n,8,1");
}

// Infinite offsets are written as numbers that overflow when read back.
TEST(SettingsNumberText, WritesNoNegativeZeroNorNotANumber) {
    EXPECT_EQ(SettingsNumberText(-0.0), "0");
    EXPECT_EQ(SettingsNumberText(std::nan("")), "0");
    EXPECT_EQ(SettingsNumberText(-HUGE_VAL), "-1e999");
}

TEST(ReadSettingsFile, AcceptsWhatOtherWritersMightWrite) {
    const struct {
        const char* legend;
        const char* text;
        std::function<void(SettingsItems&)> expected;  // changes from the built-in values
    } rows[] = {
        {"a byte order mark, carriage returns only and no line end after the last line",
         "\xEF\xBB\xBF"
         "1,\"a\"\r2,\"b\"\r3,\"c\"\r0,0\r0,0\r#TRUE#",
         [](SettingsItems& s) {
             s.port(1).settings = "a";
             s.port(2).settings = "b";
             s.port(3).settings = "c";
             s.HeadingOutput = true;
         }},
        {"blanks and tabs around items",
         " 4 ,  \"9600,n,8,1\" \r\n\t2\t,\"4800,n,8,1\"\r\n3,\"4800,n,8,1\"\r\n -1.5 , 2 "
         "\r\n0,0\r\n"
         " #FALSE# \r\n",
         [](SettingsItems& s) {
             s.port(1) = {4, "9600,n,8,1"};
             s.OffsetX[0] = -1.5;
             s.OffsetY[0] = 2;
         }},
        {"all eleven items on one line",
         "9,\"9600,n,8,1\",2,\"4800,n,8,1\",3,\"4800,n,8,1\",0.004,-1.2345,2.5,0,#TRUE#\r\n",
         [](SettingsItems& s) {
             s.port(1) = {9, "9600,n,8,1"};
             s.OffsetX = {0.004, 2.5};
             s.OffsetY = {-1.2345, 0};
             s.HeadingOutput = true;
         }},
        {"anything after the eleventh item is ignored",
         "1,\"4800,n,8,1\"\r\n2,\"4800,n,8,1\"\r\n3,\"4800,n,8,1\"\r\n0,0\r\n0,0\r\n#FALSE#\r\n"
         "\r\ngarbage,,,\"\r\n",
         [](SettingsItems&) {}},
    };
    for (const auto& row : rows) {
        SettingsItems expected;
        row.expected(expected);
        const SettingsRead read = ReadSettingsFile(row.text);
        EXPECT_FALSE(read.problem.has_value())
            << row.legend << ": line " << read.problem->line << ": " << read.problem->description;
        EXPECT_EQ(read.items, expected) << row.legend;
    }
}

TEST(ReadSettingsFile, NamesTheLineAndTheProblemAndKeepsWhatWasRead) {
    const auto none = [](SettingsItems&) {};
    const struct {
        const char* text;
        int line;
        const char* description;
        std::function<void(SettingsItems&)> expected;  // the items read before the problem
    } rows[] = {
        {"", 1, "the file ends before the port number of port 1", none},
        {"1,\"4800,n,8,1\"\r\n6,4800\r\n", 2,
         "the settings text of port 2, \"4800\", is not in double quotes",
         [](SettingsItems& s) { s.port(2).number = 6; }},
        {"0,\"4800,n,8,1\"\r\n", 1, "the port number of port 1, \"0\", lies outside 1 to 32767",
         none},
        {"1.5x,\"c\"\r\n", 1, "the port number of port 1, \"1.5x\", is not a number", none},
        {"1,\"4800,n,8,1\"\r\n2,\"4800,n,8,1\"\r\n3,\"4800,n,8,1\"\r\n1,5,2\r\n0,0\r\n#TRUE#\r\n",
         5, "the heading output switch, \"0\", is neither #TRUE# nor #FALSE#",
         [](SettingsItems& s) {
             s.OffsetX = {1, 2};
             s.OffsetY = {5, 0};
         }},
        {"1,\"4800,n,8,1\"\r\n2,\"4800,n,8,1\"\r\n3,\"4800,n,8,1\"\r\n0,0\r\n\r\n#TRUE#\r\n", 5,
         "the X offset of the GPS 2 antenna is missing", none},
        {"1,\"4800,n,8,1\"\r\n2,\"4800,n,8,1\"\r\n3,\"4800,n,8,1\"\r\n0,0\r\n0,0\r\n\"#TRUE#\"\r\n",
         6,
         "the heading output switch, \"\"#TRUE#\"\", is a quoted text where #TRUE# or #FALSE# is "
         "expected",
         none},
        {"1,\"4800,n,8,1\r\n2,\"4800,n,8,1\"\r\n", 1, "a quoted text has no closing quote", none},
        {"1,\"a\"b,", 1, "text follows the closing quote of \"a\"", none},
    };
    for (const auto& row : rows) {
        SettingsItems expected;
        row.expected(expected);
        const SettingsRead read = ReadSettingsFile(row.text);
        ASSERT_TRUE(read.problem.has_value()) << row.description;
        EXPECT_EQ(read.problem->line, row.line) << row.description;
        EXPECT_EQ(read.problem->description, row.description);
        EXPECT_EQ(read.items, expected) << row.description;
    }
}

TEST(ReadSettingsFile, ASettingsTextNoPortCanUseIsAProblemOfItsLine) {
    const SettingsRead read = ReadSettingsFile(
        "3,\"4800,n,8,1\"\r\n4,\"9600,n,8,1\"\r\n",
        [](std::string_view settings) -> std::optional<std::string> {
            return settings.starts_with("4800") ? std::nullopt
                                                : std::optional<std::string>("no speed of 4800");
        });
    EXPECT_EQ(read.problem,
              (SettingsProblem{2,
                               "the settings text of port 2, \"\"9600,n,8,1\"\", cannot be "
                               "used: no speed of 4800"}));
    EXPECT_EQ(read.items.port(2), (PortSettingsItem{4, "4800,n,8,1"})) << "the built-in text stays";
}

TEST(ReadStrictNumber, ReadsATextThatIsOneNumber) {
    const struct {
        const char* text;
        double expected;
    } rows[] = {
        {"0", 0},        {"1000", 1000}, {"-1.25", -1.25}, {"+3", 3},        {".5", 0.5},
        {"-.25", -0.25}, {"5.", 5},      {"1e3", 1000},    {"2.5E-1", 0.25}, {"1e+2", 100},
        {" 7 ", 7},      {"\t-8\t", -8}, {"007", 7},       {"1e-07", 1e-07}, {"0.1", 0.1},
    };
    for (const auto& row : rows) {
        const auto value = ReadStrictNumber(row.text);
        ASSERT_TRUE(value.has_value()) << "text \"" << row.text << '"';
        EXPECT_EQ(*value, row.expected) << "text \"" << row.text << '"';
    }
}

TEST(ReadStrictNumber, RefusesAnythingElse) {
    const char* const rows[] = {"",     "  ",     "-",     ".",    "e5",  "1e",  "1e+",
                                "1 2",  "1,5",    "1.2.3", "0x10", "abc", "12a", "- 1",
                                "1 e3", "#TRUE#", "\"1\"", "1\n",  "inf", "nan"};
    for (const char* text : rows) {
        EXPECT_FALSE(ReadStrictNumber(text).has_value()) << "text \"" << text << '"';
    }
}

}  // namespace
}  // namespace bivane
