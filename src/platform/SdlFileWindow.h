#pragma once

#include <SDL2/SDL_rwops.h>

#include <string>

namespace tavu {

// Opens a file as an SDL stream that starts `start` bytes into it, so a decoder sees the file as if
// it began there (and reckons its length from there). Null when the file cannot be opened. Closing
// the stream closes the file.
SDL_RWops* openFileWindow(const std::string& path, Sint64 start);

} // namespace tavu
