#pragma once

#include <vector>

namespace tavu {

// A point in the window system's units.
struct GlidePoint {
    int x = 0;
    int y = 0;
    bool operator==(const GlidePoint&) const = default;
};

// The positions a window takes on its closing glide into the bottom-right corner of the screen
// whose corner position (screen size minus window size) is corner. The step sizes are
// single-precision: (corner - start) / steps on each axis. The window moves at least once and stops
// as soon as it reaches the corner on one axis; the last position is the corner itself.
// Fewer than one step counts as one, so that the glide always ends.
std::vector<GlidePoint> glidePath(GlidePoint start, GlidePoint corner, int steps);

} // namespace tavu
