#include "bot/ShowSongTag.h"

#include "bot/Bot.h"

namespace tavu {

void ShowSongTag(Bot& bot)
{
    bot.id3.Text2 = bot.dir + "/" + bot.lstMp3.selectedText();
    // With tag titles every kind of tag is read; the classic library reads the ID3v1 tag alone.
    bot.id3.tag = bot.library.options().tagTitles ? bot.library.readTag(bot.id3.Text2) : ReadSongTag(bot.id3.Text2);
    bot.id3.changed();
}

} // namespace tavu
