#include "bot/DesktopControls.h"

#include "bot/Bot.h"
#include "bot/PlayerControls.h"
#include "util/Text.h"

#include <algorithm>

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
    const double level = std::clamp(leadingNumber(bot.lblVol.caption()) + by, 0.0, 100.0);
    const int slider = static_cast<int>(roundHalfEven(level * 25));
    setVolumeLevel(bot, slider / 25.0, volumeLevelCaption(slider), true);
}

void toggleMute(Bot& bot)
{
    bot.playSound("Click.wav");
    setMuted(bot, !bot.muted());
}

} // namespace tavu
