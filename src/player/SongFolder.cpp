#include "player/SongFolder.h"

#include "player/FileList.h"
#include "util/Text.h"

#include <filesystem>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <system_error>
#include <vector>

namespace tavu {

namespace fs = std::filesystem;

bool isSongOf(std::string_view name, std::string_view formats)
{
    if (isSong(name))
        return true;
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return false;
    const std::string extension = toLower(name.substr(dot + 1));
    for (std::size_t at = 0; at < formats.size();) {
        const std::size_t end = std::min(formats.find(' ', at), formats.size());
        std::string_view format = formats.substr(at, end - at);
        if (format.starts_with('.'))
            format.remove_prefix(1);
        if (!format.empty() && toLower(format) == extension)
            return true;
        at = end + 1;
    }
    return false;
}

SongFolderState checkSongFolder(const std::string& directory, const SongFolderRules& rules)
{
    std::error_code ec;
    if (directory.empty() || !fs::is_directory(directory, ec))
        return SongFolderState::Missing;
    const auto files = listPlainFiles(directory);
    if (!files)
        return SongFolderState::Unreadable;
    for (const std::string& name : *files)
        if (isSongOf(name, rules.formats))
            return SongFolderState::HasSongs;
    if (!rules.subfolders)
        return SongFolderState::NoSongs;

    // The folders below, each one once however many links lead to it.
    std::set<std::pair<dev_t, ino_t>> seen;
    const auto identity = [](const fs::path& path) -> std::optional<std::pair<dev_t, ino_t>> {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0)
            return std::nullopt;
        return std::pair{st.st_dev, st.st_ino};
    };
    std::vector<fs::path> pending{directory};
    if (const auto id = identity(directory))
        seen.insert(*id);
    while (!pending.empty()) {
        const fs::path folder = std::move(pending.back());
        pending.pop_back();
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.starts_with('.') || !it->is_directory(ec))
                continue;
            const auto id = identity(it->path());
            if (!id || !seen.insert(*id).second)
                continue;
            if (const auto names = listPlainFiles(it->path().string()))
                for (const std::string& file : *names)
                    if (isSongOf(file, rules.formats))
                        return SongFolderState::HasSongs;
            pending.push_back(it->path());
        }
        ec.clear();
    }
    return SongFolderState::NoSongs;
}

} // namespace tavu
