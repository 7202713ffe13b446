#include "bot/DirectoryChooser.h"

#include "bot/Bot.h"
#include "bot/MusicLibrary.h"
#include "settings/SettingsKeys.h"

namespace tavu {

Task<bool> chooseMusicDirectory(Bot& bot, std::string chosen)
{
    return chooseMusicDirectory(bot, std::move(chosen), readLibraryOptions(bot.settings()));
}

Task<bool> chooseMusicDirectory(Bot& bot, std::string chosen, LibraryOptions options)
{
    bot.playSound("Click.wav");
    const FilledList filled = co_await fillSongList(bot, chosen, options);
    if (bot.runtime().quitting())
        co_return false; // the listing was cut short: the program ends
    // A directory that cannot be listed leaves songFiles with the old songs; those are not the chosen
    // directory's songs, so it is refused like an empty one.
    if (filled.songs == 0 || !filled.listed) {
        bot.dialogs().message("Error, Invalid Directory!", "Error");
        co_await fillSongList(bot, bot.dir);
        co_return false;
    }
    bot.dir = chosen;
    bot.dialogs().message("Directory set to: [" + chosen + "]", "Directory Set");
    bot.settings().write(keys::Mp3Directory, bot.dir);
    writeLibraryOptions(bot.settings(), options);
    co_return true;
}

} // namespace tavu
