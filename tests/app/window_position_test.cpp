#include "app/window_position.h"

#include <gtest/gtest.h>

namespace bivane {
namespace {

TEST(VisibleWindowPosition, KeepsAPlaceWhoseTitleBarCanBeGrabbedElseMovesToThePrimaryScreen) {
    // Two screens side by side, the primary one on the left; the window's
    // frame is 440 x 460 pixels with a 30-pixel title bar.
    const QRect primary(0, 0, 1920, 1080);
    const QRect second(1920, 0, 1280, 1024);
    const QSize frame(440, 460);
    const QPoint offset(67, 67);
    struct Row {
        const char* legend;
        QPoint wanted;
        QPoint expected;
    };
    const Row rows[] = {
        {"on the primary screen", {100, 100}, {100, 100}},
        {"on the second screen", {2500, 500}, {2500, 500}},
        {"across both screens", {1700, 0}, {1700, 0}},
        {"mostly off the left edge, a grip of the bar showing", {-408, 200}, {-408, 200}},
        {"too little of the bar showing on the left", {-409, 200}, {67, 67}},
        {"the bar half above the top edge", {300, -15}, {300, -15}},
        {"the bar above the top edge, the body showing", {300, -16}, {67, 67}},
        {"below the second screen, which is shorter", {2500, 1030}, {67, 67}},
        {"far beyond every screen", {6667, 6667}, {67, 67}},
        {"far to the left and above", {-6667, -6667}, {67, 67}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(VisibleWindowPosition(row.wanted, frame, 30, {primary, second}, primary, offset),
                  row.expected)
            << row.legend;
    }
}

TEST(VisibleWindowPosition, TheFallbackKeepsTheFrameOnASmallPrimaryScreen) {
    // A primary screen that does not start at the origin, and is too small
    // for the frame at the usual offset.
    const QRect primary(-800, 100, 480, 500);
    EXPECT_EQ(VisibleWindowPosition({5000, 5000}, {440, 460}, 30, {primary}, primary, {67, 67}),
              QPoint(-760, 140));
    // Smaller than the frame: its top-left corner, so the title bar shows.
    EXPECT_EQ(VisibleWindowPosition({5000, 5000}, {600, 600}, 30, {primary}, primary, {67, 67}),
              QPoint(-800, 100));
}

}  // namespace
}  // namespace bivane
