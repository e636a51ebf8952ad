#include "core/workflow/main_window_size.h"

#include <cstddef>

namespace {

bool ValidIndex(int index) {
    return index >= 0 && static_cast<size_t>(index) < TMainWindowSize::cSizes.size();
}

} // namespace

bool TMainWindowSize::SizeAvailable(int index, int screenWidth, int screenHeight) {
    if (!ValidIndex(index)) return false;
    const TWindowSize& s = cSizes[static_cast<size_t>(index)];
    return screenWidth >= s.Width && screenHeight >= s.Height;
}

TWindowRect TMainWindowSize::Apply(const TWindowRect& window, int index, int screenWidth,
                                   int screenHeight) {
    if (!ValidIndex(index)) return window;
    const TWindowSize& s = cSizes[static_cast<size_t>(index)];
    TWindowRect r{window.Left, window.Top, s.Width, s.Height};
    if (r.Left + r.Width > screenWidth) r.Left = screenWidth - r.Width;
    if (r.Top + r.Height > screenHeight) r.Top = screenHeight - r.Height;
    return r;
}
