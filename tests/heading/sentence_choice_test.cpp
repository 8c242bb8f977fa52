#include "heading/sentence_choice.h"

#include <gtest/gtest.h>

namespace bivane {
namespace {

TEST(SentenceChoice, ReadsTheNamesInOrderEachOnce) {
    using enum HeadingSentence;
    const struct {
        const char* text;
        std::optional<SentenceChoice> choice;
    } rows[] = {
        {"HDT", SentenceChoice{Hdt}},
        {"THS,HDT", SentenceChoice{Ths, Hdt}},
        {" hdt , Ths ", SentenceChoice{Hdt, Ths}},
        {"rot,HDT,THS", SentenceChoice{Rot, Hdt, Ths}},
        {"", std::nullopt},
        {"HDT,", std::nullopt},
        {"HDT,HDT", std::nullopt},
        {"HDT,XYZ", std::nullopt},
        {"HDTS", std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ParseSentenceChoice(row.text), row.choice) << '"' << row.text << '"';
    }
    EXPECT_EQ(SentenceChoiceText({Rot, Ths, Hdt}), "ROT,THS,HDT");
}

}  // namespace
}  // namespace bivane
