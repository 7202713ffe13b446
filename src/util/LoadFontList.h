#pragma once

namespace tavu {

class FontList;
class ListBox;

// Adds the names of all installed screen fonts, in the platform's order, to the end of the list
// box; the list box is not cleared first.
void LoadFontList(ListBox& list, const FontList& fonts);

} // namespace tavu
