#pragma once

#include <vector>

namespace tavu {

// A rectangle on the desktop, in the window system's units.
struct ScreenBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ScreenBox&) const = default;
};

// Where a window goes so that it can be seen: where it is when it lies wholly on one of the
// screens; otherwise moved the shortest way onto the screen it overlaps most (the first screen
// when it overlaps none). A window bigger than the screen keeps its top-left corner on it. With no
// screens at all it stays where it is.
ScreenBox keepOnScreens(ScreenBox window, const std::vector<ScreenBox>& screens);

} // namespace tavu
