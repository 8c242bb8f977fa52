#include "engine/heading_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "reception/memory_port.h"
#include "tests/support/engine_fakes.h"
#include "tests/support/gga_lines.h"

namespace bivane {
namespace {

using test::GgaFields;
using test::GgaLine;
using test::GgaSentence;

class HeadingEngineTest : public ::testing::Test {
  protected:
    HeadingEngineTest() {
        for (int i = 1; i <= 3; ++i) {
            EXPECT_TRUE(port(i).open().ok());
        }
        state.HeadingOutput = true;
        engine.cycle().setObserver([this](const CycleReport&) { ++cycles; });
        engine.setTextChanged([this] { ++textChanges; });
    }

    MemoryPort& port(int i) { return ports[static_cast<std::size_t>(i - 1)]; }

    std::array<MemoryPort, 3> ports{MemoryPort(1), MemoryPort(2), MemoryPort(3)};
    test::RecordingOutput log;
    test::FixedClock clock;
    test::RecordingSink decoderMessages;
    HeadingEngine engine{{.ports = {&ports[0], &ports[1], &ports[2]},
                          .logFile = &log,
                          .decoderMessages = &decoderMessages,
                          .clock = &clock}};
    CompassState& state = engine.state();
    MainWindowText& window = engine.text();
    const Reception& reception = engine.reception();
    int cycles = 0;
    int textChanges = 0;
};

TEST_F(HeadingEngineTest, PicksGgaLinesByTheirSentenceTypeWhateverTheTalker) {
    struct Row {
        const char* legend;
        std::string line;
        bool handled;
    };
    GgaFields other;
    other.talker = "GN";
    const Row rows[] = {
        {"GP talker", GgaLine({}), true},
        {"GN talker", GgaLine(other), true},
        {"lower case type", "$gpgga,123519.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,\r\n",
         false},
        {"another sentence", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,,*6A\r\n",
         false},
        {"too short", "$GPG\n", false},
        {"garbage in front", "xx$GPGGA,123519.00,4807.038,N\r\n", false},
        {"no checksum at all", GgaLine({}, false), true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        state.GpsFix[2] = GgaRecord{};
        cycles = 0;
        port(2).receive(row.line);
        EXPECT_EQ(cycles, row.handled ? 1 : 0);
        EXPECT_EQ(!state.GpsFix[2].UtcTime.empty(), row.handled);
        EXPECT_TRUE(state.GpsFix[1].UtcTime.empty()) << "only the port's own fix changes";
    }
}

TEST_F(HeadingEngineTest, ALineWithAWrongChecksumIsDroppedAndReported) {
    const std::string good = GgaSentence({});
    struct Row {
        const char* legend;
        std::string line;
        bool accepted;
    };
    std::string flipped = good;
    flipped[20] = flipped[20] == '1' ? '2' : '1';  // one digit of the latitude
    std::string lowerCase = good;
    std::transform(lowerCase.end() - 2, lowerCase.end(), lowerCase.end() - 2, [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    });
    const Row rows[] = {
        {"right checksum", good + "\r\n", true},
        {"lower-case hex digits", lowerCase + "\r\n", true},
        {"a flipped digit", flipped + "\r\n", false},
        {"star without digits", good.substr(0, good.size() - 2) + "\r\n", false},
        {"one digit only", good.substr(0, good.size() - 1) + "\r\n", false},
        {"not hexadecimal", good.substr(0, good.size() - 2) + "G1\r\n", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        window = MainWindowText{};
        state.GpsFix[2] = GgaRecord{};
        port(2).receive(row.line);
        EXPECT_EQ(!state.GpsFix[2].UtcTime.empty(), row.accepted);
        if (row.accepted) {
            EXPECT_EQ(window.lblError.text, "No error messages  ");
        } else {
            EXPECT_EQ(window.lblError.text, "12:34:56 : GGA checksum error on GPS 2");
            EXPECT_EQ(window.lblGGA[2].text, "NMEA Input GPS 2 - GGA message");
        }
    }
}

TEST_F(HeadingEngineTest, ALostPortIsNamedOnTheErrorLineAndItsCutLineDropped) {
    port(2).setPortNumber(7);
    port(2).receive("$GPGGA,12");
    engine.portLost(2);
    EXPECT_EQ(window.lblError.text, "12:34:56 : Com port  7 disconnected");
    EXPECT_EQ(reception.ReceiveBuffer(2), "");
    EXPECT_EQ(textChanges, 2);
    engine.portBack(2);
    EXPECT_EQ(window.lblError.text, "12:34:56 : Com port  7 reconnected");
}

TEST_F(HeadingEngineTest, ABufferWithoutLineFeedStaysBounded) {
    port(1).receive(std::string(kMaxBufferedCharacters, 'x'));
    EXPECT_EQ(reception.ReceiveBuffer(1).size(), kMaxBufferedCharacters);
    port(1).receive("y");
    EXPECT_EQ(reception.ReceiveBuffer(1), "") << "dropped beyond the bound";
    port(1).receive(GgaLine({}));
    EXPECT_EQ(cycles, 1) << "reception carries on";
}

}  // namespace
}  // namespace bivane
