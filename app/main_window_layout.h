#pragma once

#include <span>
#include <string_view>

namespace bivane {

// The main window's geometry, in twips. The label texts are the main-window
// text model's; this is where each label stands and which font it has.

// A rectangle in twips: left and top edge, width and height.
struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The fonts of the window's controls.
enum class LabelFont {
    Normal,   // MS Sans Serif 8.25 pt, every control without a font of its own
    Bold975,  // 9.75 pt bold
    Bold18,   // 18 pt bold
    Bold24,   // 24 pt bold
    Italic,   // 8.25 pt italic
    Link,     // 8.25 pt underlined
};

// A frame of the window: `index` -1 for a single frame.
struct FramePlace {
    std::string_view name;
    int index;
    std::string_view caption;
    TwipRect rect;  // in the client area
};

// Where a label of the text model stands. `frame` is the position of its
// frame in MainWindowFrames(), or -1 for the client area itself; `left` and
// `top` are relative to it. Labels size themselves to their text.
struct LabelPlace {
    std::string_view name;
    int index;  // -1 for a label that is not part of an array
    int frame;
    int left;
    int top;
    LabelFont font;
};

// The outer size the window keeps in its normal state, and the designed
// client area below the menu bar.
inline constexpr int kWindowOuterWidth = 6580;
inline constexpr int kWindowOuterHeight = 6860;
inline constexpr int kClientWidth = 6360;
inline constexpr int kClientHeight = 6480;

// The logging button.
inline constexpr TwipRect kCmdLogRect{5160, 5400, 1095, 495};

// The frames, outer ones first: frmBaseline, then frmGPS 1, 2 and 0.
std::span<const FramePlace> MainWindowFrames();

// Every label of the window.
std::span<const LabelPlace> MainWindowLabelPlaces();

// The place of label `name` (`index` -1 for a single label), or nullptr.
const LabelPlace* FindLabelPlace(std::string_view name, int index);

}  // namespace bivane
