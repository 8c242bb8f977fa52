#include "app/window_position.h"

#include <gtest/gtest.h>

namespace bivane {
namespace {

TEST(VisibleWindowPosition, KeepsAPlaceWhoseTitleBarCanBeGrabbedElseMovesToThePrimaryScreen) {
    // The primary screen and a shorter one right of it; a frame of 440 x 460
    // pixels with a 30-pixel title bar.
    const QRect primary(0, 0, 1920, 1080);
    const QRect second(1920, 0, 1280, 1024);
    struct Row {
        const char* legend;
        QPoint wanted;
        QPoint expected;
    };
    const Row rows[] = {
        {"on the second screen", {2500, 500}, {2500, 500}},
        {"32 pixels of the bar on the left edge", {-408, 200}, {-408, 200}},
        {"31 pixels of the bar on the left edge", {-409, 200}, {67, 67}},
        {"half the bar below the top edge", {300, -15}, {300, -15}},
        {"less than half the bar below the top edge", {300, -16}, {67, 67}},
        {"below the shorter screen", {2500, 1030}, {67, 67}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(
            VisibleWindowPosition(row.wanted, {440, 460}, 30, {primary, second}, primary, {67, 67}),
            row.expected)
            << row.legend;
    }
    // A small primary screen away from the origin: the frame is kept on it
    // where it fits, its top-left corner on it where it does not.
    const QRect small(-800, 100, 480, 500);
    EXPECT_EQ(VisibleWindowPosition({0, 0}, {440, 460}, 30, {small}, small, {67, 67}),
              QPoint(-760, 140));
    EXPECT_EQ(VisibleWindowPosition({0, 0}, {600, 600}, 30, {small}, small, {67, 67}),
              QPoint(-800, 100));
}

}  // namespace
}  // namespace bivane
