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

// Where a window of this size goes beside the player: 24 units to its right at its top when that
// fits on the player's screen, else to its left (at the screen's left edge when there is no room
// there either), and in any case whole on a screen (a player low on the screen lifts it).
ScreenBox besidePlayer(const ScreenBox& player, int width, int height, const std::vector<ScreenBox>& screens);

} // namespace tavu
