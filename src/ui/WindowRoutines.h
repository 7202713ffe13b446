#pragma once

#include "util/ScreenPlace.h"

#include <chrono>
#include <vector>

class QWidget;

namespace tavu {

class Settings;

// The part of each screen that windows may use (without the panels).
std::vector<ScreenBox> desktopScreens();
// Moves the window the shortest way so that it lies whole on a screen (keepOnScreens).
void keepWhole(QWidget* window);

// Keeps the window above other windows, without moving or resizing it.
void stayOnTop(QWidget* window);
// The same, unless the owner turned "Desktop"/"On Top" off.
void stayOnTop(QWidget* window, const Settings& settings);

// Hands the window to the window system, which moves it with the mouse until the button is
// released. False when the window system cannot do that (no window manager, as under Xvfb or
// offscreen); installDragHandle then moves the window by hand.
bool DragWindow(QWidget* window);

// Makes any mouse button pressed on handle, or on a child of it that does not take the press
// itself, drag window: through DragWindow, or by following the mouse until the button is released
// when the window system cannot move it.
void installDragHandle(QWidget* handle, QWidget* window);

// The closing glide: the window turns black, its controls hide, it moves in steps into the
// bottom-right corner of its screen (the full screen, not the part left free by panels) and
// snaps into it, and then gets its colours and controls back. Controls that were hidden before
// stay hidden. Events are not processed during the glide; pause is the time each position is
// shown, so that the glide can be seen.
void glideToCorner(QWidget* window, int steps, std::chrono::milliseconds pause = std::chrono::milliseconds(2));

} // namespace tavu
