#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bivane {

// A sentence the heading output can send for each epoch.
enum class HeadingSentence {
    Hdt,  // heading, true: the heading only
    Ths,  // true heading and status: the heading and whether it is valid
    Rot,  // rate of turn, degrees per minute, and whether it is valid
};

// The sentences the heading output sends, in the order they go out.
using SentenceChoice = std::vector<HeadingSentence>;

// "HDT,THS,ROT" and the like: sentence names separated by commas, in order, each
// at most once, at least one; blanks around a name are ignored and the names
// are read in either case. Nothing for any other text.
std::optional<SentenceChoice> ParseSentenceChoice(std::string_view text);

// The choice as ParseSentenceChoice reads it: "HDT,THS".
std::string SentenceChoiceText(const SentenceChoice& choice);

}  // namespace bivane
