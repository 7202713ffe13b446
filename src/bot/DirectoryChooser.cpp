#include "bot/DirectoryChooser.h"

#include "bot/Bot.h"
#include "bot/MusicLibrary.h"
#include "settings/SettingsKeys.h"

namespace tavu {

bool chooseMusicDirectory(Bot& bot, const std::string& chosen)
{
    return chooseMusicDirectory(bot, chosen, readLibraryOptions(bot.settings()));
}

bool chooseMusicDirectory(Bot& bot, const std::string& chosen, const LibraryOptions& options)
{
    bot.playSound("Click.wav");
    bool listed = false;
    const std::size_t songs = fillSongList(bot, chosen, options, listed);
    if (bot.runtime().quitting())
        return false; // the listing was cut short: the program ends
    // A directory that cannot be listed leaves songFiles with the old songs; those are not the chosen
    // directory's songs, so it is refused like an empty one.
    if (songs == 0 || !listed) {
        bot.dialogs().message("Error, Invalid Directory!", "Error");
        fillSongList(bot, bot.dir, listed);
        return false;
    }
    bot.dir = chosen;
    bot.dialogs().message("Directory set to: [" + chosen + "]", "Directory Set");
    bot.settings().write(keys::Mp3Directory, bot.dir);
    writeLibraryOptions(bot.settings(), options);
    return true;
}

} // namespace tavu
