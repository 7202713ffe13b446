#include "player/FileList.h"

#include "player/LibraryOptions.h"
#include "util/ListBox.h"
#include "util/Text.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <numeric>
#include <optional>
#include <system_error>

namespace tavu {

namespace fs = std::filesystem;

namespace {

bool isHidden(const std::string& name)
{
    return !name.empty() && name.front() == '.';
}

// A regular file, or a link that ends at one. The listing's own file type (d_type) answers for
// most entries; only links and file systems that do not give a type need a stat. A dangling link
// or a link loop is not a plain file.
bool isPlainFile(const fs::directory_entry& entry)
{
    std::error_code ec;
    return entry.is_regular_file(ec) && !ec;
}

// A name with its sort key, the lower-cased name. Making the key once per name keeps the sort from
// decoding UTF-8 again at every comparison.
struct SortEntry {
    std::string key;
    std::string name;
};

// In the order of compareNoCase: the lower-cased text, then the bytes. Sorting indices moves no
// strings around.
std::vector<std::string> sortedNames(std::vector<SortEntry>& entries)
{
    std::vector<std::uint32_t> order(entries.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&entries](std::uint32_t a, std::uint32_t b) {
        if (const int c = entries[a].key.compare(entries[b].key); c != 0)
            return c < 0;
        return entries[a].name < entries[b].name;
    });
    std::vector<std::string> names;
    names.reserve(entries.size());
    for (const std::uint32_t i : order)
        names.push_back(std::move(entries[i].name));
    return names;
}

} // namespace

std::optional<std::vector<std::string>> listPlainFiles(const std::string& directory)
{
    if (directory.empty())
        return std::nullopt;
    std::error_code ec;
    fs::directory_iterator it(directory, fs::directory_options::none, ec);
    if (ec)
        return std::nullopt;

    std::vector<SortEntry> entries;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec)
            return std::nullopt;
        const std::string& full = it->path().native();
        std::string name = full.substr(full.rfind('/') + 1);
        if (isHidden(name) || !isPlainFile(*it))
            continue;
        std::string key = toLower(name);
        entries.push_back({std::move(key), std::move(name)});
    }
    if (ec)
        return std::nullopt;
    return sortedNames(entries);
}

bool isSong(std::string_view name)
{
    return name.find(".mp3") != std::string_view::npos;
}

void FileList::assign(std::string directory, std::vector<std::string> items)
{
    m_path = std::move(directory);
    m_items = std::move(items);
}

bool FileList::setPath(const std::string& directory)
{
    auto names = listPlainFiles(directory);
    if (!names)
        return false;
    m_path = directory;
    m_items = std::move(*names);
    return true;
}

bool FileList::refresh()
{
    if (m_path.empty())
        return true;
    auto names = listPlainFiles(m_path);
    if (!names)
        return false;
    m_items = std::move(*names);
    return true;
}

std::size_t fillSongList(FileList& songFiles, ListBox& songList, ListBox& mirror, const std::string& directory)
{
    bool listed = false;
    return fillSongList(songFiles, songList, mirror, directory, listed);
}

std::size_t fillSongList(FileList& songFiles, ListBox& songList, ListBox& mirror, const std::string& directory,
                         bool& listed)
{
    listed = songFiles.setPath(directory);
    return showSongs(songFiles, songList, mirror);
}

std::size_t showSongs(const FileList& songFiles, ListBox& songList, ListBox& mirror)
{
    return showSongs(songFiles, songList, mirror, LibraryOptions{});
}

std::vector<std::string> songsAmong(const std::vector<std::string>& names, const LibraryOptions& options)
{
    std::vector<std::string> songs;
    songs.reserve(names.size());
    for (const std::string& name : names) {
        const auto slash = name.rfind('/');
        if (isSong(slash == std::string::npos ? std::string_view(name) : std::string_view(name).substr(slash + 1),
                   options))
            songs.push_back(name);
    }
    return songs;
}

std::size_t showSongs(ListBox& songList, ListBox& mirror, std::vector<std::string> songs,
                      std::vector<std::string> mirrored)
{
    // Both lists get the whole song list at once, so that a window showing one redraws once,
    // not once per song. Setting the items clears the selection.
    songList.setItems(std::move(songs));
    mirror.setItems(std::move(mirrored));
    return songList.count();
}

std::size_t showSongs(const FileList& songFiles, ListBox& songList, ListBox& mirror, const LibraryOptions& options)
{
    std::vector<std::string> songs = songsAmong(songFiles.items(), options);
    std::vector<std::string> mirrored = songs;
    return showSongs(songList, mirror, std::move(songs), std::move(mirrored));
}

std::string songPath(const FileList& songFiles, const std::string& song)
{
    return songFiles.path() + "/" + song;
}

} // namespace tavu
