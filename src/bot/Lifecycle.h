#pragma once

#include <functional>

namespace tavu {

class Bot;

// Start-up of the main window once its controls exist: the scanner, the fonts, the settings, the
// style, the song list, the volume, the load counter, the handle and the load announcements (which
// wait up to 30 s for a chat room that is still joining). Returns false when the owner gave no
// handle, or the program was told to end meanwhile: it then ends at once, saying nothing.
bool beginSession(Bot& bot);

// Shutdown: the unload announcements, the exit sound, the glide into the corner (done by glide),
// and the end of the event loop.
void endSession(Bot& bot, const std::function<void()>& glide);

} // namespace tavu
