#pragma once

#include "player/Library.h"
#include "util/Task.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tavu {

class Bot;

// Lists a directory by the options (Library::list) on a worker thread while events go on; the
// chat is held meanwhile (Bot::holdChat), so the caller carries on as if the listing had taken no
// time. Nothing when the directory cannot be listed, or when the program is told to end meanwhile
// (the listing is then cut short).
Task<std::optional<LibraryListing>> listSongs(Bot& bot, std::string directory, LibraryOptions options);

// What a rebuild of the song list found: the number of songs, and whether the directory itself
// could be listed.
struct FilledList {
    std::size_t songs = 0;
    bool listed = false;
};

// The song list rebuild (fillSongList) by the library options: lists the directory into songFiles,
// which keeps its previous directory and listing when that fails, and shows songFiles's songs in
// songList and its mirror, none selected. The classic options rebuild the list as the classic
// library always did.
Task<FilledList> fillSongList(Bot& bot, std::string directory, LibraryOptions options);
// The same by the options of the settings file.
Task<FilledList> fillSongList(Bot& bot, std::string directory);

// Makes a listing of the directory the one in effect: songFiles holds it, its titles are the ones
// shown, and the song list shows its songs. Returns the number of songs.
std::size_t useListing(Bot& bot, const std::string& directory, LibraryListing listing);
// The number of songs in a listing.
std::size_t songCount(const LibraryListing& listing);

// The title of a song of the song list: what the announcements, the title label and scroller and
// "mp3?" show of it. hint: its index in the song list, when known.
std::string songTitle(const Bot& bot, std::string_view song, std::size_t hint = SongTitles::npos);

} // namespace tavu
