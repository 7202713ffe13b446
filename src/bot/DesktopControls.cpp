#include "bot/DesktopControls.h"

#include "bot/Bot.h"
#include "bot/PlayerControls.h"
#include "util/Text.h"

#include <algorithm>
#include <cmath>

namespace tavu {

void PlayPause(Bot& bot)
{
    if (bot.media().PlayState() == MediaPlayer::Stopped)
        Play_Click(bot);
    else
        Pause_Click(bot);
}

bool seekBy(Bot& bot, double seconds)
{
    MediaPlayer& media = bot.media();
    if (media.PlayState() == MediaPlayer::Stopped)
        return false;
    const double target = media.CurrentPosition() + seconds;
    if (target >= media.Duration()) {
        Next_Click(bot);
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
    const long long hundredths = std::llround(std::clamp(level, 0.0, 100.0) * 100);
    std::string caption = decimal(hundredths / 100);
    if (const long long rest = hundredths % 100; rest != 0) {
        caption += '.';
        caption += static_cast<char>('0' + rest / 10);
        if (rest % 10 != 0)
            caption += static_cast<char>('0' + rest % 10);
    }
    // Media keys and media-control clients set the level in bursts: it is stored once a second.
    setVolumeLevel(bot, static_cast<double>(hundredths) / 100, caption, false);
    bot.volumeWriter().write(caption);
}

void toggleMute(Bot& bot)
{
    bot.playSound("Click.wav");
    setMuted(bot, !bot.muted());
}

} // namespace tavu
