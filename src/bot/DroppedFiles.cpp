#include "bot/DroppedFiles.h"

#include "bot/Bot.h"
#include "bot/DirectoryChooser.h"
#include "bot/StartSong.h"
#include "player/LibraryOptions.h"

#include <filesystem>

namespace tavu {

int songIndexOfFile(const Bot& bot, const std::string& path)
{
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(path, ec))
        return -1;
    for (std::size_t i = 0; i < bot.songList.count(); ++i)
        if (songPath(bot.songFiles, bot.songList.item(i)) == path)
            return static_cast<int>(i);
    for (std::size_t i = 0; i < bot.songList.count(); ++i)
        if (std::filesystem::equivalent(songPath(bot.songFiles, bot.songList.item(i)), path, ec))
            return static_cast<int>(i);
    return -1;
}

void dropFiles(Bot& bot, const std::vector<std::string>& paths)
{
    std::error_code ec;
    for (const std::string& path : paths) {
        if (const int index = songIndexOfFile(bot, path); index >= 0) {
            startSong(bot, index, roads::RemoteOpen);
            return;
        }
    }
    for (const std::string& path : paths) {
        if (std::filesystem::is_directory(path, ec)) {
            if (bot.dialogs().question("Make \"" + path + "\" the music folder?", "Tavu"))
                bot.startTask(chooseMusicDirectory(bot, path, readLibraryOptions(bot.settings())));
            return;
        }
    }
    if (!paths.empty())
        bot.dialogs().message(
            "Only the songs of the music folder play here: \"" + paths.front() + "\" is not one of them.", "Tavu");
}

} // namespace tavu
