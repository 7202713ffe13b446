#include "bot/ShowSongTag.h"

#include "bot/Bot.h"

namespace tavu {

void ShowSongTag(Bot& bot, const std::string& song)
{
    bot.id3.Text2 = bot.dir + "/" + song;
    // With tag titles every kind of tag is read; the classic library reads the ID3v1 tag alone.
    bot.id3.tag = bot.library.options().tagTitles ? bot.library.readTag(bot.id3.Text2) : ReadSongTag(bot.id3.Text2);
    bot.id3.changed();
}

void ShowSongTag(Bot& bot)
{
    ShowSongTag(bot, bot.songList.selectedText());
}

void showSelectedSongTag(Bot& bot)
{
    const std::string& selected = bot.playlistRows.selectedText();
    ShowSongTag(bot, selected.empty() ? bot.songList.selectedText() : selected);
}

} // namespace tavu
