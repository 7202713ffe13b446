#include "bot/PlayerControls.h"

#include "bot/Bot.h"
#include "bot/Continuation.h"
#include "bot/ShowSongTag.h"
#include "bot/SideWindows.h"
#include "bot/StartSong.h"
#include "settings/DesktopSettings.h"
#include "util/Text.h"

#include <algorithm>
#include <cmath>

namespace tavu {
namespace {

void click(Bot& bot)
{
    bot.playSound("Click.wav");
}

void toggle(Bot& bot, PlayMode mode)
{
    click(bot);
    bot.setPlayMode(bot.playMode() == mode ? PlayMode::None : mode);
}

void step(Bot& bot, int direction)
{
    click(bot);
    startSong(bot, stepIndex(bot, direction), roads::StepButton);
}

} // namespace

bool openSong(Bot& bot, const std::string& song)
{
    if (song.empty())
        return false;
    return bot.media().Open(songPath(bot.File1, song));
}

void CountSongPlayed(Bot& bot)
{
    const auto next = static_cast<long long>(leadingNumber(bot.played.caption())) + 1;
    bot.played.setCaption(decimal(next));
    bot.playedWriter().write(bot.played.caption());
}

void setVolumeLevel(Bot& bot, int level, bool store)
{
    setVolumeLevel(bot, static_cast<double>(level), decimal(level), store);
}

int volumeToAttenuation(double level)
{
    return static_cast<int>(roundHalfEven(25.0 * level - 2500.0));
}

int wholeVolumeLevel(double level)
{
    if (!std::isfinite(level))
        return 0;
    return static_cast<int>(roundHalfEven(std::clamp(level, 0.0, 100.0)));
}

void setVolumeLevel(Bot& bot, double level, const std::string& typed, bool store)
{
    // A hand-edited level outside 0 to 100 would amplify; the player gets the nearest valid one.
    const int whole = wholeVolumeLevel(level);
    bot.media().setVolume(volumeToAttenuation(whole));
    const std::string caption = (std::isfinite(level) && level == std::floor(level)) ? typed : decimal(whole);
    bot.lblVol.setCaption(caption);
    if (store)
        bot.volumeWriter().writeAtOnce(caption);
}

void setBalance(Bot& bot, int balance, bool store)
{
    bot.setBalanceState(std::clamp(balance, -10000, 10000));
    bot.media().setBalance(bot.balance());
    if (store)
        bot.settings().write(keys::Balance, decimal(bot.balance()));
}

void setMuted(Bot& bot, bool muted)
{
    bot.media().setMute(muted);
    bot.setMuteState(muted);
}

bool seekTo(Bot& bot, double seconds)
{
    if (!bot.media().Seek(seconds))
        return false;
    bot.Timer2_Timer(); // the clock and the bar show the new position now, not at the next tick
    bot.seeked();
    return true;
}

void stopSong(Bot& bot)
{
    bot.continuation->cancel();
    bot.media().Stop();
    bot.Timer1.setEnabled(false);
    bot.Timer2.setEnabled(false);
    bot.Bar1.setValue(0);
    bot.txtTime.setCaption("00:00");
}

void Play_Click(Bot& bot)
{
    click(bot);
    if (bot.lstMp3.selectedText().empty() && playFirstSong(bot.settings()) && !bot.lstMp3.empty())
        bot.lstmp3.select(bot.shownStep(-1, 1)); // the first song shown, as a click on it
    if (bot.lstMp3.selectedText().empty()) {
        bot.dialogs().message("No file to play", "Error");
        return;
    }
    startSong(bot, bot.lstMp3.selectedIndex(), roads::PlayButton);
}

void Stop_Click(Bot& bot)
{
    click(bot);
    stopSong(bot);
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
    return bot.shownStep(current, direction);
}

void Next_Click(Bot& bot)
{
    step(bot, +1);
}
void Prev_Click(Bot& bot)
{
    step(bot, -1);
}
void stepClick(Bot& bot, int steps)
{
    step(bot, steps);
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
    const int index = bot.lstmp3.selectedIndex();
    if (index < 0) {
        bot.lstMp3.select(-1);
        return; // nothing selected: nothing to play
    }
    startSong(bot, index, roads::DoubleClick);
}

void playlistExit_Click(Bot& bot)
{
    click(bot);
    bot.Timer3.setEnabled(false);
    if (bot.windows)
        bot.windows->setPlaylistVisible(false);
}

} // namespace tavu
