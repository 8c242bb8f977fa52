#include "reception/port_settings.h"

#include <gtest/gtest.h>

namespace bivane {
namespace {

TEST(ParsePortSettings, ReadsEveryListEntryAndHandWrittenVariantsAndRefusesWithTheReason) {
    const std::string shape =
        "expected speed, parity, data bits and stop bits separated by commas, as in "
        "\"4800,n,8,1\"";
    struct Row {
        const char* text;
        std::optional<PortSettings> expected;
        std::string failure;
    };
    const Row rows[] = {
        {"921600,n,8,1", PortSettings{921600, PortParity::None, 8, PortStopBits::One}, ""},
        {"9600,E,7,2", PortSettings{9600, PortParity::Even, 7, PortStopBits::Two}, ""},
        {"19200,o,8,1", PortSettings{19200, PortParity::Odd, 8, PortStopBits::One}, ""},
        {"300,M,6,1", PortSettings{300, PortParity::Mark, 6, PortStopBits::One}, ""},
        {"110,s,5,1.5", PortSettings{110, PortParity::Space, 5, PortStopBits::OneAndHalf}, ""},
        {" 4800 , n , 8 , 1 ", PortSettings{4800, PortParity::None, 8, PortStopBits::One}, ""},
        {"2147483647,n,8,1", PortSettings{2147483647, PortParity::None, 8, PortStopBits::One}, ""},
        {"", std::nullopt, shape},
        {"4800,n,8,1,", std::nullopt, shape},
        {"4800,x,8,1", std::nullopt, "the parity \"x\" is not one of n, e, o, m, s"},
        {"4800,no,8,1", std::nullopt, "the parity \"no\" is not one of n, e, o, m, s"},
        {"4800,n,9,1", std::nullopt, "the data bits \"9\" are not 5, 6, 7 or 8"},
        {"4800,n,8.0,1", std::nullopt, "the data bits \"8.0\" are not 5, 6, 7 or 8"},
        {"4800,n,8,3", std::nullopt, "the stop bits \"3\" are not 1, 1.5 or 2"},
        {"4800,n,8,1.0", std::nullopt, "the stop bits \"1.0\" are not 1, 1.5 or 2"},
        {"0,n,8,1", std::nullopt, "the speed \"0\" is not a positive whole number"},
        {"4800.5,n,8,1", std::nullopt, "the speed \"4800.5\" is not a positive whole number"},
        {"2147483648,n,8,1", std::nullopt,
         "the speed \"2147483648\" is not a positive whole number"},
        {"99999999999999999999,n,8,1", std::nullopt,
         "the speed \"99999999999999999999\" is not a positive whole number"},
    };
    for (const Row& row : rows) {
        const PortSettingsReading reading = ParsePortSettings(row.text);
        EXPECT_EQ(reading.settings, row.expected) << '"' << row.text << '"';
        EXPECT_EQ(reading.failure, row.failure) << '"' << row.text << '"';
    }
}

}  // namespace
}  // namespace bivane
