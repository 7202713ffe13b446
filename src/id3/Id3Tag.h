#pragma once

#include <string>

namespace tavu {

class SongFileHandle;

// The six fields of a song's tag as the ID3 window shows them, in UTF-8. Read from an ID3 version 1
// tag, the 128-byte trailer of an .mp3 file, each field is cut at its first NUL byte (the padding
// most taggers write) and trimmed of leading and trailing blanks. All fields are empty when the file
// has no tag.
struct Id3Tag {
    std::string title;
    std::string artist;
    std::string album;
    std::string year;
    std::string comment;
    std::string genre;
    std::string track; // the track number on its album ("" when the tag has none)

    bool operator==(const Id3Tag&) const = default;
};

// Reads the tag at the end of the file. A file without the marker "TAG", one shorter than 128
// bytes, a missing or unreadable file, a directory or anything else that is not a plain file gives
// empty fields. The text bytes are Windows-1252.
Id3Tag readSongTag(const std::string& path);
// The same from a file already open.
Id3Tag readSongTag(const SongFileHandle& file);

} // namespace tavu
