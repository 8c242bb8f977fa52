#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace bivane {

// A text colour as 0xRRGGBB.
using Rgb = std::uint32_t;
inline constexpr Rgb kBlack = 0x000000;
inline constexpr Rgb kLightRed = 0xFF0000;  // attention
inline constexpr Rgb kDarkRed = 0xC00000;   // the "OLD" marker
inline constexpr Rgb kLinkBlue = 0x0000FF;

// What a label shows: its text, text colour and whether it is visible.
struct LabelText {
    std::string text;
    Rgb color = kBlack;
    bool visible = true;

    bool operator==(const LabelText&) const = default;
};

// A label array addressed by the window's own indexes, First to Last. An
// index outside them does not exist and throws std::out_of_range.
template <int First, int Last>
class LabelArray {
  public:
    static constexpr int kFirst = First;
    static constexpr int kLast = Last;

    LabelText& operator[](int index) { return m_labels.at(slot(index)); }
    const LabelText& operator[](int index) const { return m_labels.at(slot(index)); }

    bool operator==(const LabelArray&) const = default;

  private:
    static std::size_t slot(int index) {
        if (index < First || index > Last) {
            throw std::out_of_range("no label with index " + std::to_string(index));
        }
        return static_cast<std::size_t>(index - First);
    }
    std::array<LabelText, static_cast<std::size_t>(Last - First + 1)> m_labels{};
};

}  // namespace bivane
