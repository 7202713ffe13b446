#include "queue/M3uPlaylist.h"

#include <algorithm>
#include <filesystem>

namespace tavu::m3u {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kHeader = "#EXTM3U";
constexpr std::string_view kRequester = "#EXTTAVU-BY:";

bool isFile(const fs::path& path)
{
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// The path inside the folder, relative to it; empty when it is outside (or is the folder).
std::string inside(const fs::path& path, const fs::path& folder)
{
    const fs::path relative = path.lexically_normal().lexically_relative(folder.lexically_normal());
    if (relative.empty() || relative == "." || *relative.begin() == "..")
        return {};
    return relative.generic_string();
}

std::string songOf(std::string entry, const fs::path& playlistFolder, const fs::path& musicFolder)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        const fs::path path(entry);
        if (path.is_absolute()) {
            if (isFile(path))
                return inside(path, musicFolder);
        } else {
            if (isFile(musicFolder / path))
                return inside(musicFolder / path, musicFolder);
            if (!playlistFolder.empty() && isFile(playlistFolder / path))
                return inside(playlistFolder / path, musicFolder);
        }
        if (entry.find('\\') == std::string::npos)
            break;
        std::replace(entry.begin(), entry.end(), '\\', '/');
    }
    return {};
}

} // namespace

std::string write(const std::vector<QueuedSong>& songs)
{
    std::string text = std::string(kHeader) + "\n";
    for (const QueuedSong& song : songs) {
        if (!song.requester.empty())
            text += std::string(kRequester) + song.requester + " " + song.nick + "\n";
        text += song.song + "\n";
    }
    return text;
}

Read read(std::string_view bytes, const std::string& playlistFolder, const std::string& musicFolder)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    Read result;
    std::string requester, nick;
    while (!bytes.empty()) {
        const auto end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line.starts_with(kRequester)) {
            line.remove_prefix(kRequester.size());
            const auto blank = line.find(' ');
            requester = std::string(line.substr(0, blank));
            nick = blank == std::string_view::npos ? std::string() : std::string(line.substr(blank + 1));
            continue;
        }
        if (line.empty() || line.front() == '#' || line.find('\0') != std::string_view::npos)
            continue;
        std::string song = songOf(std::string(line), playlistFolder, musicFolder);
        if (song.empty())
            ++result.skipped;
        else
            result.songs.push_back({std::move(song), std::move(requester), std::move(nick)});
        requester.clear();
        nick.clear();
    }
    return result;
}

} // namespace tavu::m3u
