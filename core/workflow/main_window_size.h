#pragma once

#include <array>

//! Position and size of a window in screen pixels.
struct TWindowRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    bool operator==(const TWindowRect&) const = default;
};

//! A size of the "~View" menu.
struct TWindowSize {
    int Width;
    int Height;
};

//! The size rules of the main window.
class TMainWindowSize {
public:
    static constexpr int cMinWidth = 800;
    static constexpr int cMinHeight = 565;
    //! The status bar shows only in a window taller than this.
    static constexpr int cStatusBarMinHeight = 600;
    //! The entries of the "~View" menu, in their order.
    static constexpr std::array<TWindowSize, 4> cSizes{
        {{1024, 768}, {1152, 864}, {1280, 1024}, {1600, 1200}}};

    //! Entry `index` of the menu is enabled when the screen is at least that large.
    static bool SizeAvailable(int index, int screenWidth, int screenHeight);
    //! The window with menu entry `index`'s size, moved left and up as far as needed to keep
    //! it on the screen. An index outside the menu leaves the window as it is.
    static TWindowRect Apply(const TWindowRect& window, int index, int screenWidth,
                             int screenHeight);
    static bool StatusBarVisible(int windowHeight) { return windowHeight >= cStatusBarMinHeight; }
};
