#include "app/time_tolerance_prompt.h"

#include <gtest/gtest.h>

#include "tests/dialogs/dialog_test_support.h"

namespace bivane {
namespace {

TEST(TimeTolerancePrompt, AsksWithTheCurrentValueAndStoresTheAnswer) {
    struct Row {
        const char* legend;
        float before;
        char separator;
        std::optional<const char*> answer;  // nothing: Cancel
        const char* offered;                // the prompt's text at the start
        float after;
        const char* refusal;  // part of the message, nullptr for none
    } const rows[] = {
        {"Cancel", 0.2f, '.', std::nullopt, "0.2", 0.2f, nullptr},
        {"OK on an empty field", 0.7f, '.', "", "0.7", 0.7f, nullptr},
        {"a decimal comma", 0.2f, '.', "0,5", "0.2", 0.5f, nullptr},
        {"the user's comma offered", 0.2f, ',', "1.25 sec", "0,2", 1.25f, nullptr},
        {"a negative number", 0.2f, '.', "-1", "0.2", -1.0f, nullptr},
        {"no number", 0.2f, '.', "x", "0.2", 0.0f, nullptr},
        {"rounded to single precision", 0.2f, '.', "0.1", "0.2", 0.1f, nullptr},
        {"the largest single", 0.2f, '.', "3.4e38", "0.2", 3.4e38f, nullptr},
        {"the shortest form of a small one", 1e-5f, '.', std::nullopt, "1e-05", 1e-5f, nullptr},
        {"the offered text confirmed, a separator no number holds", 0.2f, '\'', "0'2", "0'2", 0.2f,
         nullptr},
        {"beyond single precision", 0.3f, '.', "1e39", "0.3", 0.3f, "\"1e39\" is too large"},
        {"beyond double", 0.3f, ',', "-1e999", "0,3", 0.3f, "\"-1e999\" is too large"},
    };
    for (const Row& row : rows) {
        test::RecordingPrompts prompts;
        if (row.answer) {
            prompts.answer = QLatin1String(*row.answer);
        }
        CompassState state;
        state.TimeTolerance = row.before;
        AskTimeTolerance(prompts, state, row.separator);

        ASSERT_EQ(prompts.inputs.size(), 1u) << row.legend;
        EXPECT_EQ(prompts.inputs[0].title, QStringLiteral("NMEA Bivane"));
        EXPECT_EQ(prompts.inputs[0].text,
                  QStringLiteral("Select accepted time difference between the two GPS "
                                 "(By default = 0.2 sec)"));
        EXPECT_EQ(prompts.inputs[0].initial, QLatin1String(row.offered)) << row.legend;
        EXPECT_EQ(state.TimeTolerance, row.after) << row.legend;
        ASSERT_EQ(prompts.messages.size(), row.refusal != nullptr ? 1u : 0u) << row.legend;
        if (row.refusal != nullptr) {
            EXPECT_TRUE(prompts.messages[0].text.contains(QLatin1String(row.refusal)))
                << qPrintable(prompts.messages[0].text);
        }
    }
}

}  // namespace
}  // namespace bivane
