#include "bot/DesktopControls.h"

#include "bot/Bot.h"
#include "bot/PlayerControls.h"
#include "util/Text.h"

#include <algorithm>
#include <cmath>

namespace tavu {

void playPause(Bot& bot)
{
    if (bot.media().playState() == MediaPlayer::Stopped)
        playClick(bot);
    else
        pauseClick(bot);
}

bool seekBy(Bot& bot, double seconds)
{
    MediaPlayer& media = bot.media();
    if (media.playState() == MediaPlayer::Stopped)
        return false;
    const double target = media.currentPosition() + seconds;
    if (target >= media.duration()) {
        nextClick(bot);
        return true;
    }
    return seekTo(bot, std::max(0.0, target));
}

void stepVolume(Bot& bot, double by)
{
    storeVolumeLevel(bot, leadingNumber(bot.lblVol.caption()) + by);
}

void storeVolumeLevel(Bot& bot, double level)
{
    const int whole = wholeVolumeLevel(level);
    // Media keys and media-control clients set the level in bursts: it is stored once a second.
    setVolumeLevel(bot, whole, false);
    bot.volumeWriter().write(decimal(whole));
}

void toggleMute(Bot& bot)
{
    bot.playSound("Click.wav");
    setMuted(bot, !bot.muted());
}

} // namespace tavu
