#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavu {

// The hidden file list songFiles of the main window: one directory and its plain files (no hidden
// files, no directories), in ascending name order without regard to letter case. It starts with
// no directory and no items.
class FileList {
public:
    // Lists the directory. When it cannot be listed, the previous directory and items stay and the
    // result is false.
    bool setPath(const std::string& directory);
    // Lists the current directory again (nothing when there is none); false when that fails,
    // leaving the items as they were.
    bool refresh();

    // Takes a listing made with listPlainFiles.
    void assign(std::string directory, std::vector<std::string> items);

    // "" until a directory was listed.
    const std::string& path() const { return m_path; }
    const std::vector<std::string>& items() const { return m_items; }

private:
    std::string m_path;
    std::vector<std::string> m_items;
};

// The song list rebuild: clears songList and its mirror, lists the directory in songFiles (which keeps
// its previous directory when that fails) and adds every file whose name contains ".mp3"
// (case-sensitive) to both lists, in songFiles's order. Returns the number of songs.
class ListBox;
std::size_t fillSongList(FileList& songFiles, ListBox& songList, ListBox& mirror, const std::string& directory);
// The same, and listed tells whether the directory itself could be listed. When it could not, the
// songs are those of songFiles's previous directory, which a caller changing directories must not take
// for the new directory's songs.
std::size_t fillSongList(FileList& songFiles, ListBox& songList, ListBox& mirror, const std::string& directory,
                         bool& listed);

// The plain files of a directory (no hidden files, no directories) in ascending name order without
// regard to letter case; nothing when the directory cannot be read to its end.
std::optional<std::vector<std::string>> listPlainFiles(const std::string& directory);

// Whether a file name is a song's: it contains ".mp3" (case-sensitive).
bool isSong(std::string_view name);

// Puts the songs of songFiles's items into songList and its mirror, in songFiles's order; no song is
// selected afterwards. Returns the number of songs. The songs are the items whose file names
// (the part after the last "/") are songs' by the library options; the classic rule without them.
std::size_t showSongs(const FileList& songFiles, ListBox& songList, ListBox& mirror);
struct LibraryOptions;
std::size_t showSongs(const FileList& songFiles, ListBox& songList, ListBox& mirror, const LibraryOptions& options);
// The songs among the names of a listing, by the options, in the listing's order.
std::vector<std::string> songsAmong(const std::vector<std::string>& names, const LibraryOptions& options);
// Shows songs made ready beforehand (songsAmong, and a copy of them for the mirror).
std::size_t showSongs(ListBox& songList, ListBox& mirror, std::vector<std::string> songs,
                      std::vector<std::string> mirrored);

// The song path: songFiles's directory, "/", the song.
std::string songPath(const FileList& songFiles, const std::string& song);

} // namespace tavu
