#pragma once

#include "id3/TagReader.h"

#include <string>

namespace tavu {

// The picture file beside a song that shows its album: cover.jpg, folder.jpg, cover.png or
// folder.png in the song's folder, in that order, in any letter case. "" when there is none.
std::string coverBeside(const std::string& songPath);

// The file name extension for a picture's MIME type ("jpg" for image/jpeg), from its first bytes
// when the type says nothing useful. "" for bytes that are no JPEG, PNG, GIF or WebP picture.
std::string pictureExtension(const SongPicture& picture);

// Writes a song's own cover picture into folder (made when missing) as NAME.EXT, replacing an older
// file of that name; the full path, or "" when it could not be written or is no picture.
std::string writeCover(const SongPicture& picture, const std::string& folder, const std::string& name);

} // namespace tavu
