#include "bot/StartSong.h"

#include "bot/Bot.h"
#include "bot/Continuation.h"
#include "bot/MusicLibrary.h"
#include "bot/PlayerControls.h"
#include "bot/ShowSongTag.h"
#include "util/Text.h"

#include <algorithm>

namespace tavu {
namespace {

// Asks the player to play the song from songFiles's directory. False when it could not be started.
bool openSong(Bot& bot, const std::string& song)
{
    if (song.empty())
        return false;
    return bot.media().open(songPath(bot.songFiles, song));
}

// Adds one to the played counter and saves it (at most once a second; the last count always lands).
void countSongPlayed(Bot& bot)
{
    const auto next = static_cast<long long>(leadingNumber(bot.played.caption())) + 1;
    bot.played.setCaption(decimal(next));
    bot.playedWriter().write(bot.played.caption());
}

void selectSong(Bot& bot, int index, StartHow::Select select)
{
    switch (select) {
    case StartHow::Select::Keep:
        return;
    case StartHow::Select::Main:
        bot.songList.select(index);
        return;
    case StartHow::Select::Both:
        bot.songList.select(index);
        bot.playlistRows.select(index); // its selection handler shows the song's tag
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
    std::string path = songPath(bot.songFiles, song);
    // The tag is read once where the ID3 fields read it the same way (tag titles) from the same
    // file: the fields take the one read here, or this takes the one the selection handler read.
    const bool selectedThere = how.select == StartHow::Select::Both;
    const bool sameTag = bot.library.options().tagTitles && bot.dir + "/" + song == path;
    Id3Tag tag = sameTag && selectedThere && bot.id3.path == path ? bot.id3.tag : bot.library.readTag(path);
    bot.setNowPlaying({song, std::move(path), title, bot.runtime().tickMs(), std::move(tag)});
    bot.progress.setMax(static_cast<int>(roundHalfEven(bot.media().duration())));
    bot.titleTimer.setEnabled(true);
    bot.clockTimer.setEnabled(true);
    if (selectedThere)
        return;
    if (!sameTag)
        return showSongTag(bot, song);
    bot.id3.path = bot.nowPlaying().path;
    bot.id3.tag = bot.nowPlaying().tag;
    bot.id3.changed();
}

// A start that failed: the song before it is closed, and nothing may look as if it still played.
void showNothingPlays(Bot& bot)
{
    bot.media().stop();
    bot.titleTimer.setEnabled(false);
    bot.clockTimer.setEnabled(false);
    bot.progress.setValue(0);
    bot.txtTime.setCaption("00:00");
    bot.lblSong.setCaption("No current Mp3....");
    bot.clearNowPlaying();
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
    if (index < 0 || index >= static_cast<int>(bot.songList.count()))
        return false;
    bot.continuation->cancel(); // this start replaces a continuation still waiting
    selectSong(bot, index, how.select);
    const std::string song = bot.songList.item(static_cast<std::size_t>(index));
    if (how.onlyMatch) {
        bot.lstPlay.clear();
        bot.lstPlay.addItem(song);
        bot.lstPlay.select(0);
    }
    if (!openSong(bot, song)) {
        showNothingPlays(bot);
        reportUnplayable(bot, song, how.failure);
        return false;
    }
    const std::string title = songTitle(bot, song, static_cast<std::size_t>(index));
    // The player's own roads say nothing, unless the owner wants every start announced.
    std::string_view lead = how.lead;
    if (lead.empty() && leadingNumber(bot.settings().readOr(keys::ChatAnnounceAll)) != 0)
        lead = " Playing ";
    if (!lead.empty())
        bot.replyWith(lead, " " + announced.value_or(htmlText(title)) + " ");
    setCaption(bot, song, title, how.caption);
    showSong(bot, song, title, how);
    countSongPlayed(bot);
    if (how.deafAfter)
        bot.deafSpell.setEnabled(true);
    bot.continuation->preloadFollowing();
    return true;
}

bool resumeSong(Bot& bot, const std::string& song, double seconds)
{
    const auto& songs = bot.songList.items();
    const auto found = std::find(songs.begin(), songs.end(), song);
    if (song.empty() || found == songs.end())
        return false;
    const int index = static_cast<int>(found - songs.begin());
    selectSong(bot, index, StartHow::Select::Both);
    if (!openSong(bot, song)) {
        showNothingPlays(bot);
        return false;
    }
    const std::string title = songTitle(bot, song, static_cast<std::size_t>(index));
    setCaption(bot, song, title, StartHow::Caption::Title);
    showSong(bot, song, title, roads::PlayButton);
    bot.media().pause(); // after the song is shown, so that the paused title names it
    if (seconds > 0 && seconds < bot.media().duration())
        seekTo(bot, seconds);
    return true;
}

} // namespace tavu
