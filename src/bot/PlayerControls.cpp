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
    if (!bot.media().seek(seconds))
        return false;
    bot.clockTick(); // the clock and the bar show the new position now, not at the next tick
    bot.seeked();
    return true;
}

void stopSong(Bot& bot)
{
    bot.continuation->cancel();
    bot.media().stop();
    bot.titleTimer.setEnabled(false);
    bot.clockTimer.setEnabled(false);
    bot.progress.setValue(0);
    bot.txtTime.setCaption("00:00");
}

void playClick(Bot& bot)
{
    click(bot);
    // The song the playlist has selected, which a click may have chosen; else the current one.
    const auto chosen = [&bot] {
        const int row = bot.playlistRows.selectedIndex();
        return row >= 0 && !bot.playlistRows.selectedText().empty() ? row : bot.songList.selectedIndex();
    };
    if (chosen() < 0 && playFirstSong(bot.settings()) && !bot.songList.empty())
        bot.playlistRows.select(bot.shownStep(-1, 1)); // the first song shown, as a click on it
    const int index = chosen();
    if (index < 0 || bot.songList.item(static_cast<std::size_t>(index)).empty()) {
        bot.dialogs().message("No file to play", "Error");
        return;
    }
    startSong(bot, index, index == bot.songList.selectedIndex() ? roads::PlayButton : roads::PlayChosen);
}

void stopClick(Bot& bot)
{
    click(bot);
    stopSong(bot);
}

void pauseClick(Bot& bot)
{
    click(bot);
    if (bot.media().playState() == MediaPlayer::Playing)
        bot.media().pause();
    else if (bot.media().playState() == MediaPlayer::Paused)
        bot.media().play();
}

int stepIndex(const Bot& bot, int direction)
{
    const int current = bot.songList.selectedIndex();
    if (current < 0 && direction < 0)
        return -1;
    return bot.shownStep(current, direction);
}

void nextClick(Bot& bot)
{
    step(bot, +1);
}
void prevClick(Bot& bot)
{
    step(bot, -1);
}
void stepClick(Bot& bot, int steps)
{
    step(bot, steps);
}
void repeatClick(Bot& bot)
{
    toggle(bot, PlayMode::Repeat);
}
void randomClick(Bot& bot)
{
    toggle(bot, PlayMode::AutoRandom);
}
void autoContinueClick(Bot& bot)
{
    toggle(bot, PlayMode::AutoContinue);
}

void showClickedSongTag(Bot& bot)
{
    // Before any song has started the row clicked is where the player stands; once one has, a
    // click only shows the row's tag: the song that plays stays the current one, for what
    // follows it and for mp3?.
    if (bot.nowPlaying().song.empty())
        bot.songList.select(bot.playlistRows.selectedIndex());
    showSelectedSongTag(bot);
}

void playDoubleClickedSong(Bot& bot)
{
    const int index = bot.playlistRows.selectedIndex();
    if (index < 0) {
        bot.songList.select(-1);
        return; // nothing selected: nothing to play
    }
    startSong(bot, index, roads::DoubleClick);
}

void playlistExitClick(Bot& bot)
{
    click(bot);
    bot.playlistDocking.setEnabled(false);
    if (bot.windows)
        bot.windows->setPlaylistVisible(false);
}

} // namespace tavu
