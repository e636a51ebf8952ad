// The "~View" sizes of the main window: which the screen admits, keeping the window on the
// screen, and the status bar that needs a tall enough window.

#include "core/workflow/main_window_size.h"

#include <gtest/gtest.h>

namespace {

TEST(TMainWindowSizeTest, EntriesNeedAScreenAtLeastThatLarge) {
    EXPECT_TRUE(TMainWindowSize::SizeAvailable(0, 1024, 768));
    EXPECT_FALSE(TMainWindowSize::SizeAvailable(0, 1023, 768));
    EXPECT_FALSE(TMainWindowSize::SizeAvailable(0, 1024, 767));
    EXPECT_TRUE(TMainWindowSize::SizeAvailable(2, 1280, 1024));
    EXPECT_FALSE(TMainWindowSize::SizeAvailable(3, 1920, 1080));
    EXPECT_TRUE(TMainWindowSize::SizeAvailable(3, 1920, 1200));
    EXPECT_FALSE(TMainWindowSize::SizeAvailable(4, 4000, 4000));
    EXPECT_FALSE(TMainWindowSize::SizeAvailable(-1, 4000, 4000));
}

TEST(TMainWindowSizeTest, ApplyKeepsTheWindowOnTheScreen) {
    // Room enough: only the size changes.
    EXPECT_EQ(TMainWindowSize::Apply({10, 20, 800, 600}, 1, 1920, 1080),
              (TWindowRect{10, 20, 1152, 864}));
    // Past the right and the bottom edge: moved back.
    EXPECT_EQ(TMainWindowSize::Apply({900, 400, 800, 600}, 2, 1920, 1080),
              (TWindowRect{640, 56, 1280, 1024}));
    // Only past the bottom edge.
    EXPECT_EQ(TMainWindowSize::Apply({100, 300, 800, 600}, 0, 1920, 1080),
              (TWindowRect{100, 300, 1024, 768}));
    EXPECT_EQ(TMainWindowSize::Apply({100, 313, 800, 600}, 0, 1920, 1080),
              (TWindowRect{100, 312, 1024, 768}));
    // An unknown entry changes nothing.
    EXPECT_EQ(TMainWindowSize::Apply({5, 6, 900, 700}, 7, 1920, 1080),
              (TWindowRect{5, 6, 900, 700}));
}

TEST(TMainWindowSizeTest, StatusBarNeedsMoreThan599Pixels) {
    EXPECT_FALSE(TMainWindowSize::StatusBarVisible(TMainWindowSize::cMinHeight));
    EXPECT_FALSE(TMainWindowSize::StatusBarVisible(599));
    EXPECT_TRUE(TMainWindowSize::StatusBarVisible(600));
}

} // namespace
