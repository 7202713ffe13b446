#include "player/Continuation.h"

#include "app/Bot.h"
#include "id3/ShowSongTag.h"
#include "player/PlayerControls.h"
#include "util/Text.h"

#include <cmath>

namespace tavu {
namespace {

// A song that cannot be played is announced as such and not counted.
void announceUnplayable(Bot& bot, const std::string& song)
{
    bot.reply(" Cannot play " + titleOf(song) + " ");
}

void autoRandom(Bot& bot)
{
    const auto n = bot.lstMp3.count();
    if (n == 0)
        return; // no song to pick
    const auto index = static_cast<int>(std::floor(static_cast<double>(n) * randomFraction(bot.runtime())));
    bot.lstMp3.select(index);
    bot.lstmp3.select(index);
    const std::string song = bot.lstMp3.selectedText();
    if (song.empty()) {
        bot.dialogs().message("No file to play", "Error");
        return;
    }
    if (!openSong(bot, song)) {
        announceUnplayable(bot, song);
        return;
    }
    const std::string title = titleOf(song);
    bot.replyWith(" AutoRndm ", " " + title + " ");
    bot.Bar1.setMax(static_cast<int>(roundHalfEven(bot.media().Duration())));
    bot.lblSong.setCaption(title);
    bot.Timer1.setEnabled(true);
    bot.Timer2.setEnabled(true);
    CountSongPlayed(bot);
    ShowSongTag(bot);
}

void autoContinue(Bot& bot)
{
    Wait(bot.runtime(), 1);
    if (bot.lstmp3.selectedText().empty() || bot.lstMp3.empty())
        return;
    const int last = static_cast<int>(bot.lstMp3.count()) - 1;
    const int next = bot.lstMp3.selectedIndex() >= last ? 0 : bot.lstMp3.selectedIndex() + 1;
    bot.lstMp3.select(next);
    bot.lstmp3.select(next);
    const std::string song = bot.lstmp3.selectedText();
    if (!openSong(bot, song)) {
        announceUnplayable(bot, song);
        return;
    }
    bot.replyWith(" AutoCont. ", " " + titleOf(bot.lstMp3.selectedText()) + " ");
    bot.lblSong.setCaption(titleOf(song));
    bot.Timer1.setEnabled(true);
    bot.Timer2.setEnabled(true);
    CountSongPlayed(bot);
    ShowSongTag(bot);
}

void repeat(Bot& bot)
{
    const std::string song = bot.lstmp3.selectedText();
    if (song.empty())
        return; // nothing selected: nothing to repeat
    if (!openSong(bot, song)) {
        announceUnplayable(bot, song);
        return;
    }
    bot.replyWith(" Repeating ", " " + titleOf(bot.lstMp3.selectedText()) + " ");
    bot.Timer1.setEnabled(true);
    bot.Timer2.setEnabled(true);
    CountSongPlayed(bot);
    ShowSongTag(bot);
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
