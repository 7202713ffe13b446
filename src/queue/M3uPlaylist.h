#pragma once

#include "queue/SongQueue.h"

#include <string>
#include <string_view>
#include <vector>

namespace tavu {

// Playlists as M3U8 files (UTF-8, one path a line, "#" lines are comments): the saved playlists of
// Playlists/ and the saved queue.
namespace m3u {

// The file for these songs: "#EXTM3U", then each song's path relative to the music folder. A song
// somebody asked for has a "#EXTTAVU-BY:" line before it with the requester and the nick, which
// other players skip as a comment.
std::string write(const std::vector<QueuedSong>& songs);

// What a playlist file names, as songs of the music folder.
struct Read {
    std::vector<QueuedSong> songs;
    std::size_t skipped = 0; // entries that name no file of the music folder
};

// Reads a playlist of this program or of another player: paths relative to the music folder,
// absolute paths, paths relative to the playlist's own folder (also with "\" between folders, as
// players on other systems write them), "#EXTINF" and other comments. Only entries that are files
// inside musicFolder are kept, as paths relative to it; the rest are counted as skipped.
Read read(std::string_view bytes, const std::string& playlistFolder, const std::string& musicFolder);

} // namespace m3u
} // namespace tavu
