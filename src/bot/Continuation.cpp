#include "bot/Continuation.h"

#include "bot/Bot.h"
#include "bot/MusicLibrary.h"
#include "bot/StartSong.h"
#include "util/Text.h"

#include <cmath>

namespace tavu {
namespace {

void autoRandom(Bot& bot)
{
    const auto n = bot.lstMp3.count();
    if (n == 0)
        return; // no song to pick
    const auto index = static_cast<int>(std::floor(static_cast<double>(n) * randomFraction(bot.runtime())));
    startSong(bot, index, roads::AutoRandom);
}

void autoContinue(Bot& bot)
{
    Wait(bot.runtime(), 1);
    if (bot.lstmp3.selectedText().empty() || bot.lstMp3.empty())
        return;
    const int last = static_cast<int>(bot.lstMp3.count()) - 1;
    const int next = bot.lstMp3.selectedIndex() >= last ? 0 : bot.lstMp3.selectedIndex() + 1;
    startSong(bot, next, roads::AutoContinue);
}

void repeat(Bot& bot)
{
    // The playlist's song plays again; it is announced by the song list's selection.
    const int index = bot.lstmp3.selectedIndex();
    if (index < 0)
        return; // nothing selected: nothing to repeat
    startSong(bot, index, roads::Repeat, songTitle(bot, bot.lstMp3.selectedText()));
}

} // namespace

void Media1_EndOfStream(Bot& bot)
{
    switch (bot.playMode()) {
    case PlayMode::AutoRandom:
        autoRandom(bot);
        break;
    case PlayMode::AutoContinue:
        autoContinue(bot);
        break;
    case PlayMode::Repeat:
        repeat(bot);
        break;
    case PlayMode::None:
        bot.media().Stop();
        bot.Timer1.setEnabled(false);
        break;
    }
}

} // namespace tavu
