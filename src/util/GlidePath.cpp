#include "util/GlidePath.h"

#include <cmath>

namespace tavu {

namespace {
int toUnits(float position)
{
    return static_cast<int>(std::lround(position));
}
} // namespace

std::vector<GlidePoint> glidePath(GlidePoint start, GlidePoint corner, int steps)
{
    if (steps < 1)
        steps = 1;
    const float dx = static_cast<float>(corner.x - start.x) / static_cast<float>(steps);
    const float dy = static_cast<float>(corner.y - start.y) / static_cast<float>(steps);

    // The position is carried in single precision, so that steps of less than one unit still add
    // up; the window can only stand on whole units.
    float x = static_cast<float>(start.x);
    float y = static_cast<float>(start.y);
    std::vector<GlidePoint> path;
    // Rounding can leave the sum a hair short of the corner after `steps` moves; one more move
    // reaches it. The bound only guards against a float that never gets there.
    const int maxMoves = steps + 2;
    do {
        x += dx;
        y += dy;
        path.push_back({toUnits(x), toUnits(y)});
    } while (x < static_cast<float>(corner.x) && y < static_cast<float>(corner.y) &&
             static_cast<int>(path.size()) < maxMoves);
    path.push_back(corner);
    return path;
}

} // namespace tavu
