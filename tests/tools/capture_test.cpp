#include "reception/capture.h"

#include <gtest/gtest.h>

#include <sstream>

namespace bivane {
namespace {

TEST(ReadCapture, NamesTheLineOfAnythingElse) {
    const char* bad[] = {"4>x",
                         "1x",
                         "1#",
                         "1#12a",
                         "1>\\q",
                         "1>ab\\",
                         "@2026-12-07T14:49:47.123456Z1>x",
                         "@2026-13-07T14:49:47.123456Z 1>x",
                         "@2026-12-07T24:49:47.123456Z 1>x",
                         "@2026-12-07T14:49:47.12345Z 1>x",
                         "@ 1>x"};
    for (const char* line : bad) {
        std::istringstream in(std::string("; header\n1>ok\n") + line + "\n");
        try {
            ReadCapture(in);
            ADD_FAILURE() << "accepted: " << line;
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()).rfind("line 3: ", 0), 0u) << error.what();
        }
    }
}

TEST(EscapeCaptureText, RoundTripsEveryByteAndTheFileItsLineEnds) {
    std::string all;
    for (int c = 0; c < 256; ++c) {
        all += static_cast<char>(c);
    }
    // Comments and blank lines are no events; a file edited on Windows ends
    // its lines with CR LF, which is not part of the characters; a hand
    // written capture may use \t and lower case hexadecimal digits.
    std::istringstream in("; a comment\n\n1>" + EscapeCaptureText(all) + "\r\n2>\n3>\\t\\x7e\n");
    const std::vector<PortEvent> events = ReadCapture(in);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].characters, all);
    EXPECT_EQ(events[1].port, 2);
    EXPECT_EQ(events[1].characters, "");
    EXPECT_EQ(events[2].characters, "\t~");
}

TEST(CaptureLine, ReadsBackAsWrittenWithArrivalTimes) {
    struct Row {
        PortEvent event;
        const char* line;
    };
    const Row rows[] = {
        {{1, true, std::string("$GPGGA,1\r\n\xB0\0", 12), 0, 1796654987123456},
         "@2026-12-07T14:49:47.123456Z 1>$GPGGA,1\\r\\n\\xB0\\x00\n"},
        {{2, false, "", 1004, 0}, "@1970-01-01T00:00:00.000000Z 2#1004\n"},
        {{2, true, "\\ x", 0, 1835481599999999}, "@2028-02-29T23:59:59.999999Z 2>\\\\ x\n"},
        {{1, true, "untimed", 0, std::nullopt}, "1>untimed\n"},
    };
    std::string file;
    for (const Row& row : rows) {
        EXPECT_EQ(CaptureLine(row.event), row.line);
        file += CaptureLine(row.event);
    }
    std::istringstream in(file);
    const std::vector<PortEvent> events = ReadCapture(in);
    ASSERT_EQ(events.size(), std::size(rows));
    for (std::size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(CaptureLine(events[i]), rows[i].line) << "read back as written";
    }
}

TEST(MergeReceiverLogs, OrdersGroupsByTheirGgaTimesAndCrossesMidnightTheShortWay) {
    // Lines travel with the GGA after them; GPS 1 first at equal times.
    const char* const rows[][3] = {
        {"$GPRMC,A\r\n$GPGGA,120001.00,x*00\r\n$GPGSA,1\r\n$GPGGA,120002.00*00\r\n$GPVTG,tail\r\n",
         "$GPGGA,120000.50\n$GPGGA,120001.00\r$GPRMC,B\n$GPGGA,120003.00\n",
         "2:$GPGGA 1:$GPRMC 1:$GPGGA 2:$GPGGA 1:$GPGSA 1:$GPGGA 1:$GPVTG 2:$GPRMC 2:$GPGGA "},
        {"$GPGGA,235959.00\n$GPGGA,000000.00\n", "$GPGGA,235959.50\n$GPGGA,000000.50\n",
         "1:$GPGGA 2:$GPGGA 1:$GPGGA 2:$GPGGA "},
    };
    for (const auto& row : rows) {
        std::string order;
        for (const PortEvent& event : MergeReceiverLogs(row[0], row[1])) {
            order += std::to_string(event.port) + ":" +
                     event.characters.substr(0, event.characters.find(',')) + " ";
            EXPECT_TRUE(event.receive);
            EXPECT_TRUE(event.characters.ends_with("\r\n")) << event.characters;
            EXPECT_FALSE(event.characters.substr(0, event.characters.size() - 2).ends_with("\r"));
        }
        EXPECT_EQ(order, row[2]);
    }
}

}  // namespace
}  // namespace bivane
