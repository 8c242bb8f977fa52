// The heading engine, and the labels it writes as JSON.

#include <gtest/gtest.h>

#include "engine/heading_engine.h"
#include "engine/labels_json.h"
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

// A GGA line of any talker is taken, whatever else comes is passed over, and
// a GGA whose checksum does not match is dropped and reported.
TEST_F(HeadingEngineTest, TakesGgaLinesOfAnyTalkerWithAMatchingChecksumOrNone) {
    enum Outcome { kTaken, kPassedOver, kChecksumError };
    GgaFields other;
    other.talker = "GN";
    const std::string good = GgaSentence({});
    const struct {
        const char* legend;
        std::string line;
        Outcome outcome;
    } rows[] = {
        {"GN talker", GgaLine(other), kTaken},
        {"lower-case hex digits",
         "$GPGGA,123519.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,*7c\r\n", kTaken},
        {"lower case type", "$gpgga,123519.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,\r\n",
         kPassedOver},
        {"too short", "$GPG\n", kPassedOver},
        {"garbage in front", "xx$GPGGA,123519.00,4807.038,N\r\n", kPassedOver},
        {"star without digits", good.substr(0, good.size() - 2) + "\r\n", kChecksumError},
        {"one digit only", good.substr(0, good.size() - 1) + "\r\n", kChecksumError},
        {"not hexadecimal", good.substr(0, good.size() - 2) + "G1\r\n", kChecksumError},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.legend);
        window = MainWindowText{};
        cycles = 0;
        port(2).receive(row.line);
        EXPECT_EQ(cycles, row.outcome == kTaken ? 1 : 0);
        EXPECT_EQ(window.lblGGA[2].text == "NMEA Input GPS 2 - GGA message", row.outcome != kTaken);
        EXPECT_EQ(window.lblError.text, row.outcome == kChecksumError
                                            ? "12:34:56 : GGA checksum error on GPS 2"
                                            : "No error messages  ");
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

// Every label's line, in order, is compared in the golden captures' labels
// files; here what no well-formed sentence brings.
TEST(LabelsJson, EscapesQuotesControlsAndBytesThatAreNoUtf8) {
    MainWindowText window;
    // The longest sequence is kept, a cut one is not.
    window.lblGGA[1].text = "$GPGGA,\"x\"\\\r\n\x01\xB0\xC2\xB0\xF4\x8F\xBF\xBF\xE2\x82";
    const std::string json = LabelsJson(window);
    EXPECT_NE(json.find("\n  \"lblGGA(1)\": {\"text\": "
                        "\"$GPGGA,\\\"x\\\"\\\\\\r\\n\\u0001\\u00B0\xC2\xB0\xF4\x8F\xBF\xBF"
                        "\\u00E2\\u0082\", "
                        "\"color\": \"#000000\", \"visible\": true}"),
              std::string::npos)
        << json;
}

}  // namespace
}  // namespace bivane
