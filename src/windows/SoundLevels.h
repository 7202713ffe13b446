#pragma once

#include <optional>
#include <string>

namespace tavu {

// The sound window's sliders and what their labels show.

// The balance slider covers the media player's whole balance scale, so a slider value is the
// balance itself: -10000 is the left channel only, 10000 the right one only.
inline constexpr int kBalanceSliderMin = -10000;
inline constexpr int kBalanceSliderMax = 10000;

// The volume slider runs from 0 (25 dB quieter) to 2500 (full volume).
inline constexpr int kVolumeSliderMax = 2500;

// The balance label: "Center" between -500 and 500, "Left" below, "Right" above. Exactly at -500
// or 500 there is no text of its own: nothing is returned and the label keeps what it shows.
std::optional<std::string> balanceCaption(int balance);

// The volume label: the whole part of value / 25 and " %", from "0 %" to "100 %".
std::string volumeCaption(int value);

// The red of the volume label's text, value / 10 with halves to the even neighbour (green and
// blue stay 0): black at the bottom, bright red at the top.
int volumeRed(int value);

// The player's volume in hundredths of a dB: -2500 at the bottom of the slider, 0 at the top.
int volumeGain(int value);

} // namespace tavu
