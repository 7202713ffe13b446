#include "bot/ShowSongTag.h"

#include "bot/Bot.h"

namespace tavu {

void showSongTag(Bot& bot, const std::string& song)
{
    bot.id3.path = bot.dir + "/" + song;
    // With tag titles every kind of tag is read; the classic library reads the ID3v1 tag alone.
    bot.id3.tag = bot.library.options().tagTitles ? bot.library.readTag(bot.id3.path) : readSongTag(bot.id3.path);
    bot.id3.changed();
}

void showSongTag(Bot& bot)
{
    showSongTag(bot, bot.songList.selectedText());
}

void showSelectedSongTag(Bot& bot)
{
    const std::string& selected = bot.playlistRows.selectedText();
    showSongTag(bot, selected.empty() ? bot.songList.selectedText() : selected);
}

} // namespace tavu
