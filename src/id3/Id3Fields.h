#pragma once

#include "id3/Id3Tag.h"
#include "util/Signal.h"

#include <string>

namespace tavu {

// What the ID3 window FrmID3 shows. The bot keeps it, so that showSongTag refreshes it whether the
// window exists, is hidden or is shown; the window observes it.
struct Id3Fields {
    std::string path;              // the full path of the song whose tag is shown
    Id3Tag tag;                    // the six fields
    bool menuShowedWindow = false; // the options menu has shown the window once

    // After showSongTag and after any other change the program makes here.
    Signal<> changed;
};

} // namespace tavu
