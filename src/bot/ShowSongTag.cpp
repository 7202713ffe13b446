#include "bot/ShowSongTag.h"

#include "bot/Bot.h"

namespace tavu {

void ShowSongTag(Bot& bot)
{
    bot.id3.Text2 = bot.dir + "/" + bot.lstMp3.selectedText();
    bot.id3.tag = ReadSongTag(bot.id3.Text2);
    bot.id3.changed();
}

} // namespace tavu
