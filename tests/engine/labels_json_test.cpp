#include "engine/labels_json.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace bivane {
namespace {

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
