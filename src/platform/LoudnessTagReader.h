#pragma once

#include "player/ReplayGain.h"

#include <string>

namespace tavu {

// Reads a song's ReplayGain data with TagLib: ID3v2 TXXX frames and APE items of MP3 files, Vorbis
// comments of FLAC, Ogg and Opus files (Opus R128 gains converted to the ReplayGain reference),
// the freeform atoms of M4A files. Only a regular file is read, through the one descriptor that
// checked it. A file without such data, or one that is no song, gives empty tags. Thread-safe.
LoudnessTags readLoudnessTags(const std::string& path);

} // namespace tavu
