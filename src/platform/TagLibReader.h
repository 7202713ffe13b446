#pragma once

#include "id3/TagReader.h"

namespace tavu {

// Reads tags with TagLib: ID3v2.2, 2.3 and 2.4 (Latin-1, UTF-16 and UTF-8 texts) and APE tags of MP3
// files, Vorbis comments of FLAC, Ogg Vorbis and Opus files, and what TagLib reads of the other
// formats; the ID3v1 trailer (readSongTag, with its genre names) when the file has no other tag.
// Genre numbers of ID3v2 tags get the ID3v1 genre names too. Only plain files are read, and only
// through the descriptor that was checked (never by name a second time); a
// broken file gives empty fields, and a tag that claims more than the file holds is read as far
// as the file goes.
class TagLibReader : public TagReader {
public:
    Id3Tag read(const std::string& path) const override;
    SongPicture picture(const std::string& path) const override;
};

} // namespace tavu
