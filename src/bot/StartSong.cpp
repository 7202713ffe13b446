#include "bot/StartSong.h"

#include "bot/Bot.h"
#include "bot/Continuation.h"
#include "bot/MusicLibrary.h"
#include "bot/PlayerControls.h"
#include "bot/ShowSongTag.h"
#include "util/Text.h"

namespace tavu {
namespace {

void selectSong(Bot& bot, int index, StartHow::Select select)
{
    switch (select) {
    case StartHow::Select::Keep:
        return;
    case StartHow::Select::Main:
        bot.lstMp3.select(index);
        return;
    case StartHow::Select::Both:
        bot.lstMp3.select(index);
        bot.lstmp3.select(index); // its selection handler shows the song's tag
        return;
    }
}

void setCaption(Bot& bot, const std::string& song, const std::string& title, StartHow::Caption caption)
{
    switch (caption) {
    case StartHow::Caption::Title:
        bot.lblSong.setCaption(title);
        return;
    case StartHow::Caption::FileName:
        bot.lblSong.setCaption(song);
        return;
    case StartHow::Caption::Keep:
        return;
    }
}

// What every road shows of a song that started: its title scrolling, the clock and the bar running
// from its length, its tag (which the playlist's selection handler has shown already when the road
// selected the song there).
void showSong(Bot& bot, const std::string& song, const std::string& title, const StartHow& how)
{
    std::string path = songPath(bot.File1, song);
    Id3Tag tag = bot.library.readTag(path);
    bot.setNowPlaying({song, std::move(path), title, bot.runtime().tickMs(), std::move(tag)});
    bot.Bar1.setMax(static_cast<int>(roundHalfEven(bot.media().Duration())));
    bot.Timer1.setEnabled(true);
    bot.Timer2.setEnabled(true);
    if (how.select != StartHow::Select::Both)
        ShowSongTag(bot);
}

} // namespace

void reportUnplayable(Bot& bot, const std::string& song, StartHow::Failure failure)
{
    if (failure == StartHow::Failure::Reply)
        bot.reply(" Cannot play " + htmlText(songTitle(bot, song)) + " ");
    else
        bot.dialogs().message("Cannot play \"" + song + "\": the file is missing or is not a song that can be played.",
                              "Error");
}

bool startSong(Bot& bot, int index, const StartHow& how, const std::optional<std::string>& announced)
{
    if (index < 0 || index >= static_cast<int>(bot.lstMp3.count()))
        return false;
    bot.continuation->cancel(); // this start replaces a continuation still waiting
    selectSong(bot, index, how.select);
    const std::string song = bot.lstMp3.item(static_cast<std::size_t>(index));
    if (how.onlyMatch) {
        bot.lstPlay.clear();
        bot.lstPlay.addItem(song);
        bot.lstPlay.select(0);
    }
    if (!openSong(bot, song)) {
        reportUnplayable(bot, song, how.failure);
        return false;
    }
    const std::string title = songTitle(bot, song, static_cast<std::size_t>(index));
    if (!how.lead.empty())
        bot.replyWith(how.lead, " " + announced.value_or(htmlText(title)) + " ");
    setCaption(bot, song, title, how.caption);
    showSong(bot, song, title, how);
    CountSongPlayed(bot);
    if (how.deafAfter)
        bot.Timer6.setEnabled(true);
    bot.continuation->preloadFollowing();
    return true;
}

} // namespace tavu
