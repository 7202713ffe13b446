#include "util/ScreenPlace.h"

#include <algorithm>

namespace tavu {
namespace {

long long overlap(const ScreenBox& a, const ScreenBox& b)
{
    const long long w = std::min(a.x + a.width, b.x + b.width) - std::max(a.x, b.x);
    const long long h = std::min(a.y + a.height, b.y + b.height) - std::max(a.y, b.y);
    return (w > 0 && h > 0) ? w * h : 0;
}

bool inside(const ScreenBox& window, const ScreenBox& screen)
{
    return window.x >= screen.x && window.y >= screen.y && window.x + window.width <= screen.x + screen.width &&
           window.y + window.height <= screen.y + screen.height;
}

// The nearest start on one axis that keeps [start, start + size) within [low, low + room); the
// low end wins when it does not fit.
int clampAxis(int start, int size, int low, int room)
{
    return std::max(low, std::min(start, low + room - size));
}

} // namespace

ScreenBox keepOnScreens(ScreenBox window, const std::vector<ScreenBox>& screens)
{
    if (screens.empty())
        return window;
    const ScreenBox* best = &screens.front();
    long long most = 0;
    for (const ScreenBox& screen : screens) {
        if (inside(window, screen))
            return window;
        if (const long long area = overlap(window, screen); area > most) {
            most = area;
            best = &screen;
        }
    }
    window.x = clampAxis(window.x, window.width, best->x, best->width);
    window.y = clampAxis(window.y, window.height, best->y, best->height);
    return window;
}

ScreenBox besidePlayer(const ScreenBox& player, int width, int height, const std::vector<ScreenBox>& screens)
{
    constexpr int kGap = 24;
    ScreenBox window{player.x + player.width + kGap, player.y, width, height};
    if (screens.empty())
        return window;
    const ScreenBox* screen = &screens.front();
    long long most = 0;
    for (const ScreenBox& s : screens)
        if (const long long area = overlap(player, s); area > most) {
            most = area;
            screen = &s;
        }
    if (window.x + width > screen->x + screen->width)
        window.x = std::max(screen->x, std::min(player.x - kGap - width, screen->x + screen->width - width));
    return keepOnScreens(window, screens);
}

} // namespace tavu
