#pragma once

#include "util/Task.h"

#include <functional>

namespace tavu {

class Bot;

// Start-up of the main window once its controls exist: the scanner, the fonts, the settings, the
// style, the song list, the volume, the load counter, the handle and the load announcements (which
// wait up to 30 s for a chat room that is still joining). Ends with false when the owner gave no
// handle: the program then ends at once, saying nothing. Told to end meanwhile, it goes no
// further.
Task<bool> beginSession(Bot& bot);

// Shutdown: the unload announcements, the exit sound, the glide into the corner (done by glide),
// and the end of the event loop.
Task<> endSession(Bot& bot, std::function<void()> glide);

} // namespace tavu
