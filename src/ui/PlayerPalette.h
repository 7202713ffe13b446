#pragma once

class QWidget;

namespace tavu {

// The dark colours of the player's side windows: near-black panels, the title's light blue for
// text, darker fields. Set on a window, its controls inherit them.
void applyPlayerPalette(QWidget* window);

} // namespace tavu
