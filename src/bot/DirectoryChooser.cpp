#include "bot/DirectoryChooser.h"

#include "bot/Bot.h"
#include "settings/SettingsKeys.h"

namespace tavu {

bool chooseMusicDirectory(Bot& bot, const std::string& chosen)
{
    bot.playSound("Click.wav");
    bool listed = false;
    const std::size_t songs = FillSongList(bot.File1, bot.lstMp3, bot.lstmp3, chosen, listed);
    // A directory that cannot be listed leaves File1 with the old songs; those are not the chosen
    // directory's songs, so it is refused like an empty one.
    if (songs == 0 || !listed) {
        bot.dialogs().message("Error, Invalid Directory!", "Error");
        FillSongList(bot.File1, bot.lstMp3, bot.lstmp3, bot.dir);
        return false;
    }
    bot.dir = chosen;
    bot.dialogs().message("Directory set to: [" + chosen + "]", "Directory Set");
    bot.settings().write(keys::Mp3Directory, bot.dir);
    return true;
}

} // namespace tavu
