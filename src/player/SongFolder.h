#pragma once

#include <string>
#include <string_view>

namespace tavu {

// What a music folder must hold for the library to list songs from it, by the library choices:
// a name that contains ".mp3" (the classic rule), or one of the extensions of formats (blank
// separated, compared without regard to letter case); with subfolders, in any folder below it
// too (hidden files and folders skipped, as the listing skips them).
struct SongFolderRules {
    bool subfolders = false;
    std::string formats;
};

enum class SongFolderState { Missing, Unreadable, NoSongs, HasSongs };

// Lists the folder as the library would, by these choices.
SongFolderState checkSongFolder(const std::string& directory, const SongFolderRules& rules);

// Whether a file name is a song's under the rules' formats (the classic rule included).
bool isSongOf(std::string_view name, std::string_view formats);

} // namespace tavu
