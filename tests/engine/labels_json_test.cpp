#include "engine/labels_json.h"

#include <gtest/gtest.h>

namespace bivane {
namespace {

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
