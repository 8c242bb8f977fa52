#include "tools/replay/replay_engine.h"

#include <gtest/gtest.h>

#include "engine/labels_json.h"
#include "tests/support/engine_fakes.h"
#include "tests/support/gga_lines.h"

namespace bivane {
namespace {

using test::GgaFields;
using test::GgaLine;

std::string timeField(int second) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d%02d.00", second / 3600 % 24, second / 60 % 60,
                  second % 60);
    return text;
}

TEST(ReplayEngine, AnHourOfEpochsGivesOneSentencePerEpoch) {
    test::RecordingSink messages;
    std::string output;
    ReplayEngine engine(
        {{0, 0, 0, 2}, 0.2f}, [&](std::string_view bytes) { output += bytes; }, messages);
    std::vector<std::string> shown;
    engine.cycle().setObserver([&](const CycleReport& report) {
        if (report.outcome == CycleOutcome::Heading) {
            shown.push_back(engine.window().lblHDT.text + "\r\n");
        }
    });
    constexpr int kEpochs = 3600;
    for (int k = 0; k < kEpochs; ++k) {
        GgaFields gps1;
        gps1.time = timeField(36000 + k);
        gps1.latitudeDegrees = 54.3 + k * 1e-6;
        GgaFields gps2 = gps1;
        // About 2 m from GPS 1, the direction turning a tenth of a degree an epoch.
        const double turn = k * 0.1 * 3.14159265358979 / 180;
        gps2.latitudeDegrees += 2 * std::cos(turn) / 111300;
        gps2.longitudeDegrees += 2 * std::sin(turn) / (111300 * std::cos(54.3 * 0.0174533));
        engine.receive(1 + k % 2, GgaLine(k % 2 ? gps2 : gps1));
        engine.receive(2 - k % 2, GgaLine(k % 2 ? gps1 : gps2));
    }
    ASSERT_EQ(shown.size(), static_cast<std::size_t>(kEpochs));
    std::string expected;
    for (const std::string& line : shown) {
        expected += line;
    }
    EXPECT_EQ(output, expected) << "port 3 got exactly what lblHDT showed, cycle by cycle";
    EXPECT_TRUE(messages.messages.empty());
}

TEST(LabelsJson, WritesEveryLabelOncePerLine) {
    MainWindowText window;
    // Bytes that are no UTF-8 are escaped; the longest sequence is kept, a cut one is not.
    window.lblGGA[1].text = "$GPGGA,\"x\"\\\r\n\x01\xB0\xC2\xB0\xF4\x8F\xBF\xBF\xE2\x82";
    window.lblOld.visible = true;
    const std::string json = LabelsJson(window);
    EXPECT_NE(json.find("\n  \"lblGGA(1)\": {\"text\": "
                        "\"$GPGGA,\\\"x\\\"\\\\\\r\\n\\u0001\\u00B0\xC2\xB0\xF4\x8F\xBF\xBF"
                        "\\u00E2\\u0082\", "
                        "\"color\": \"#000000\", \"visible\": true}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"lblOld\": {\"text\": \"OLD\", \"color\": \"#C00000\", "
                        "\"visible\": true}"),
              std::string::npos);
    EXPECT_NE(json.find("\"lblHeading\": "), std::string::npos);
    EXPECT_EQ(json.find("\"lblGGA(0)\""), std::string::npos) << "no label that does not exist";
    std::size_t lines = 0;
    window.forEachLabel([&](std::string_view, int, const LabelText&) { ++lines; });
    EXPECT_EQ(static_cast<std::size_t>(std::count(json.begin(), json.end(), '\n')), lines + 2)
        << "an opening brace, one line per label, a closing brace";
}

}  // namespace
}  // namespace bivane
