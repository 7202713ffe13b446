#include "player/PlayerControls.h"

#include "app/Bot.h"
#include "app/SideWindows.h"
#include "id3/ShowSongTag.h"
#include "util/Text.h"

namespace tavu {
namespace {

void click(Bot& bot)
{
    bot.playSound("Click.wav");
}

void startClock(Bot& bot)
{
    bot.Timer1.setEnabled(true);
    bot.Timer2.setEnabled(true);
}

void toggle(Bot& bot, PlayMode mode)
{
    click(bot);
    bot.setPlayMode(bot.playMode() == mode ? PlayMode::None : mode);
}

void step(Bot& bot, int direction)
{
    click(bot);
    const int index = stepIndex(bot, direction);
    if (index < 0)
        return;
    bot.lstPlay.clear();
    bot.lstMp3.select(index);
    bot.lstmp3.select(index); // its selection handler shows the song's tag
    bot.lstPlay.addItem(bot.lstMp3.selectedText());
    bot.lstPlay.select(0);
    const std::string song = bot.lstPlay.selectedText();
    if (!openSong(bot, song)) {
        reportUnplayable(bot, song);
        return;
    }
    bot.lblSong.setCaption(song);
    startClock(bot);
    CountSongPlayed(bot);
}

} // namespace

bool openSong(Bot& bot, const std::string& song)
{
    if (song.empty())
        return false;
    return bot.media().Open(songPath(bot.File1, song));
}

void reportUnplayable(Bot& bot, const std::string& song)
{
    bot.dialogs().message("Cannot play \"" + song + "\": the file is missing or is not an mp3 that can be played.",
                          "Error");
}

void CountSongPlayed(Bot& bot)
{
    const auto next = static_cast<long long>(leadingNumber(bot.played.caption())) + 1;
    bot.played.setCaption(decimal(next));
    bot.settings().write(keys::Mp3sPlayed, bot.played.caption());
}

int volumeToAttenuation(double level)
{
    return static_cast<int>(roundHalfEven(25.0 * level - 2500.0));
}

void Play_Click(Bot& bot)
{
    click(bot);
    const std::string song = bot.lstMp3.selectedText();
    if (song.empty()) {
        bot.dialogs().message("No file to play", "Error");
        return;
    }
    if (!openSong(bot, song)) {
        reportUnplayable(bot, song);
        return;
    }
    bot.Bar1.setMax(static_cast<int>(roundHalfEven(bot.media().Duration())));
    bot.lblSong.setCaption(titleOf(song));
    startClock(bot);
    ShowSongTag(bot);
    CountSongPlayed(bot);
}

void Stop_Click(Bot& bot)
{
    click(bot);
    bot.media().Stop();
    bot.Bar1.setValue(0);
    bot.Timer1.setEnabled(false);
    bot.Timer2.setEnabled(false);
    bot.txtTime.setCaption("00:00");
}

void Pause_Click(Bot& bot)
{
    click(bot);
    if (bot.media().PlayState() == MediaPlayer::Playing)
        bot.media().Pause();
    else if (bot.media().PlayState() == MediaPlayer::Paused)
        bot.media().Play();
}

int stepIndex(const Bot& bot, int direction)
{
    const int current = bot.lstMp3.selectedIndex();
    if (current < 0 && direction < 0)
        return -1;
    const int index = current + direction;
    return (index >= 0 && index < static_cast<int>(bot.lstMp3.count())) ? index : -1;
}

void Next_Click(Bot& bot)
{
    step(bot, +1);
}
void Prev_Click(Bot& bot)
{
    step(bot, -1);
}
void Rep_Click(Bot& bot)
{
    toggle(bot, PlayMode::Repeat);
}
void Ran_Click(Bot& bot)
{
    toggle(bot, PlayMode::AutoRandom);
}
void AutoCont_Click(Bot& bot)
{
    toggle(bot, PlayMode::AutoContinue);
}

void lstMp3_Click(Bot& bot)
{
    bot.lstMp3.select(bot.lstmp3.selectedIndex());
    ShowSongTag(bot);
}

void lstmp3_DblClick(Bot& bot)
{
    const std::string song = bot.lstmp3.selectedText();
    bot.lstMp3.select(bot.lstmp3.selectedIndex());
    if (song.empty())
        return; // nothing selected: nothing to play
    if (!openSong(bot, song)) {
        reportUnplayable(bot, song);
        return;
    }
    bot.lblSong.setCaption(titleOf(song));
    startClock(bot);
    ShowSongTag(bot);
    CountSongPlayed(bot);
}

void playlistExit_Click(Bot& bot)
{
    click(bot);
    bot.Timer3.setEnabled(false);
    if (bot.windows)
        bot.windows->setPlaylistVisible(false);
}

} // namespace tavu
