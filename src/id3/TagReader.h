#pragma once

#include "id3/Id3Tag.h"

#include <string>

namespace tavu {

// A picture a song's tag holds: its bytes and their MIME type ("image/jpeg"); empty for none.
struct SongPicture {
    std::string mime;
    std::string bytes;
};

// Reads the tag of a song file: title, artist, album, year, comment and genre, as the ID3 window
// shows them. Never throws; a file without a tag, or one that cannot be read, gives empty fields.
class TagReader {
public:
    virtual ~TagReader() = default;
    virtual Id3Tag read(const std::string& path) const = 0;
    // The song's cover picture (the front cover, else the first picture), if its tag holds one.
    virtual SongPicture picture(const std::string&) const { return {}; }
};

// The reader of the ID3 version 1 trailer alone (readSongTag), for a program without a reader of
// the other kinds of tags.
class Id3v1TagReader : public TagReader {
public:
    Id3Tag read(const std::string& path) const override { return readSongTag(path); }
};

} // namespace tavu
