#pragma once

#include "id3/Id3Tag.h"
#include "util/Signal.h"

#include <string>

namespace tavu {

// What the ID3 window FrmID3 shows. The bot keeps it, so that ShowSongTag refreshes it whether the
// window exists, is hidden or is shown; the window observes it.
struct Id3Fields {
    std::string Text2;      // the full path of the song whose tag is shown
    Id3Tag tag;             // the six fields
    std::string lbl1 = "1"; // "1" until the options menu first showed the window, then "0"

    // After ShowSongTag and after any other change the program makes here.
    Signal<> changed;
};

} // namespace tavu
