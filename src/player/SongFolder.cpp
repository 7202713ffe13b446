#include "player/SongFolder.h"

#include "player/LibraryOptions.h"
#include "player/LibraryScanner.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace tavu {

namespace {

LibraryOptions optionsOf(const SongFolderRules& rules)
{
    LibraryOptions options;
    options.subfolders = rules.subfolders;
    options.formats = parseFormats(rules.formats);
    return options;
}

} // namespace

bool isSongOf(std::string_view name, std::string_view formats)
{
    LibraryOptions options;
    options.formats = parseFormats(formats);
    return isSong(name, options);
}

SongFolderState checkSongFolder(const std::string& directory, const SongFolderRules& rules)
{
    std::error_code ec;
    if (directory.empty() || !std::filesystem::is_directory(directory, ec))
        return SongFolderState::Missing;
    // The library's own listing, so that a folder passes exactly when it would list songs.
    const auto folders = scanLibrary(directory, optionsOf(rules), false);
    if (!folders)
        return SongFolderState::Unreadable;
    const bool any =
        std::any_of(folders->begin(), folders->end(), [](const ScannedFolder& f) { return !f.songs.empty(); });
    return any ? SongFolderState::HasSongs : SongFolderState::NoSongs;
}

} // namespace tavu
