#pragma once

#include "id3/Id3Tag.h"

#include <string>

namespace tavu {

// Reads the tag of a song file: title, artist, album, year, comment and genre, as the ID3 window
// shows them. Never throws; a file without a tag, or one that cannot be read, gives empty fields.
class TagReader {
public:
    virtual ~TagReader() = default;
    virtual Id3Tag read(const std::string& path) const = 0;
};

// The reader of the ID3 version 1 trailer alone (ReadSongTag), for a program without a reader of
// the other kinds of tags.
class Id3v1TagReader : public TagReader {
public:
    Id3Tag read(const std::string& path) const override { return ReadSongTag(path); }
};

} // namespace tavu
