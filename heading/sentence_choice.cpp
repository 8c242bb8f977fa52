#include "heading/sentence_choice.h"

#include <algorithm>
#include <array>
#include <utility>

namespace bivane {
namespace {

constexpr std::array<std::pair<HeadingSentence, std::string_view>, 3> kNames{{
    {HeadingSentence::Hdt, "HDT"},
    {HeadingSentence::Ths, "THS"},
    {HeadingSentence::Rot, "ROT"},
}};

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

bool sameLetters(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto upper = [](char c) {
            return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
        };
        return upper(x) == upper(y);
    });
}

}  // namespace

std::optional<SentenceChoice> ParseSentenceChoice(std::string_view text) {
    SentenceChoice choice;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view name = trimmed(text.substr(0, comma));
        const auto known = std::find_if(kNames.begin(), kNames.end(), [&](const auto& entry) {
            return sameLetters(name, entry.second);
        });
        if (known == kNames.end() ||
            std::find(choice.begin(), choice.end(), known->first) != choice.end()) {
            return std::nullopt;
        }
        choice.push_back(known->first);
        if (comma == std::string_view::npos) {
            return choice;
        }
        text.remove_prefix(comma + 1);
    }
}

std::string SentenceChoiceText(const SentenceChoice& choice) {
    std::string text;
    for (HeadingSentence sentence : choice) {
        if (!text.empty()) {
            text += ',';
        }
        for (const auto& [kind, name] : kNames) {
            if (kind == sentence) {
                text += name;
            }
        }
    }
    return text;
}

}  // namespace bivane
