#include "chat/PlayerCommands.h"

#include "app/Bot.h"
#include "app/SideWindows.h"
#include "id3/ShowSongTag.h"
#include "player/PlayerControls.h"
#include "util/Text.h"

#include <charconv>
#include <cmath>

namespace tavu {

std::optional<double> parseDecimal(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.find_first_not_of("0123456789.-") != std::string_view::npos)
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

namespace {

using Arg = const std::string&;

bool noSong(const Bot& bot)
{
    return bot.media().PlayState() == MediaPlayer::Stopped;
}

// Starts the song; a song that cannot be played is announced as such, not counted, not shown.
bool startOrSay(Bot& bot, const std::string& song)
{
    if (openSong(bot, song))
        return true;
    bot.reply(" Cannot play " + titleOf(song) + " ");
    return false;
}

void dirCommand(Bot& bot, Arg path)
{
    // A path that cannot be listed changes nothing: the old directory and songs stay in effect.
    FileList probe;
    if (!probe.setPath(path)) {
        bot.reply(" Error, Invalid Directory! ");
        return;
    }
    bot.dir = path;
    FillSongList(bot.File1, bot.lstMp3, bot.lstmp3, path);
    if (bot.lstMp3.empty()) {
        bot.reply(" Error, Invalid Directory! ");
        return;
    }
    bot.reply(" Directory set to: [" + bot.dir + "] ");
    bot.settings().write(keys::Mp3Directory, bot.dir);
}

void stopCommand(Bot& bot)
{
    bot.media().Stop();
    bot.Timer1.setEnabled(false);
    bot.Timer2.setEnabled(false);
    bot.Bar1.setValue(0);
    bot.txtTime.setCaption("00:00");
    bot.reply(" Player Stopped! ");
}

void volCommand(Bot& bot, Arg argument)
{
    const auto level = parseDecimal(argument);
    if (!level || *level > 100 || *level < 0) {
        bot.reply(" Please choose a volume level between 0 and 100 ");
        return;
    }
    bot.media().setVolume(volumeToAttenuation(*level));
    bot.reply(" Volume Set - [" + argument + "] ");
    bot.lblVol.setCaption(argument);
    bot.settings().write(keys::Volume, bot.lblVol.caption());
}

void lenCommand(Bot& bot)
{
    if (noSong(bot)) {
        bot.reply(" Error, no song is playing! ");
        return;
    }
    double d = bot.media().Duration();
    long long m = 0;
    if (d >= 60) { // whole minutes, as repeated subtraction of 60 would give
        m = static_cast<long long>(std::floor(d / 60));
        d -= 60.0 * static_cast<double>(m);
        if (d < 0)
            d = 0;
    }
    std::string s = decimal(static_cast<long long>(std::trunc(d)));
    if (s.size() == 1)
        s = "0" + s;
    bot.reply(" Mp3 length: <u>" + decimal(m) + ":" + s + "</U> ");
}

void stepCommand(Bot& bot, int direction)
{
    const int index = stepIndex(bot, direction);
    if (index < 0) {
        bot.reply(" No song to go to! ");
        return;
    }
    bot.lstPlay.clear();
    bot.lstMp3.select(index);
    bot.lstmp3.select(index);
    bot.lstPlay.addItem(bot.lstMp3.selectedText());
    bot.lstPlay.select(0);
    const std::string song = bot.lstPlay.selectedText();
    if (!startOrSay(bot, song))
        return;
    bot.lblSong.setCaption(song);
    bot.replyWith(" Playing ", " " + titleOf(song) + " ");
    CountSongPlayed(bot);
    ShowSongTag(bot);
}

void ranCommand(Bot& bot)
{
    if (bot.lstMp3.empty()) {
        bot.reply(" No songs to play! ");
        return;
    }
    const int index = static_cast<int>(RandomNumber(bot.runtime(), static_cast<double>(bot.lstMp3.count()))) - 1;
    bot.lstMp3.select(index);
    bot.lstmp3.select(index);
    const std::string song = bot.lstMp3.selectedText();
    if (!startOrSay(bot, song))
        return;
    bot.lblSong.setCaption(titleOf(song));
    bot.replyWith(" Random ", " " + bot.lblSong.caption() + " ");
    bot.Timer1.setEnabled(true);
    bot.Timer2.setEnabled(true);
    CountSongPlayed(bot);
    ShowSongTag(bot);
    bot.Timer6.setEnabled(true);
}

void refdirCommand(Bot& bot)
{
    if (bot.dir.empty()) {
        bot.reply(" No directory is available! ");
        return;
    }
    FillSongList(bot.File1, bot.lstMp3, bot.lstmp3, bot.File1.path());
    bot.reply(" Directory Refreshed [" + bot.dir + "] ");
}

// "rep", "arnd", "acon" switch to their mode from any mode; "xrep", "xarnd", "xacon" switch off
// only their own mode. Each always replies.
void addModeCommands(Bot& bot)
{
    struct Mode {
        std::string_view on, off;
        PlayMode mode;
        std::string_view enabled, disabled;
    };
    static constexpr Mode modes[] = {
        {"rep", "xrep", PlayMode::Repeat, " Repeat Enabled ", " Repeat Disabled "},
        {"arnd", "xarnd", PlayMode::AutoRandom, " Auto Random Enabled ", " Auto Random Disabled "},
        {"acon", "xacon", PlayMode::AutoContinue, " Auto Continue Enabled ", " Auto Continue Disabled "},
    };
    auto& d = bot.dispatcher();
    for (const Mode& m : modes) {
        d.add(m.on, [&bot, m](Arg) {
            bot.setPlayMode(m.mode);
            bot.reply(m.enabled);
        });
        d.add(m.off, [&bot, m](Arg) {
            if (bot.playMode() == m.mode)
                bot.setPlayMode(PlayMode::None);
            bot.reply(m.disabled);
        });
    }
}

void addWindowCommands(Bot& bot)
{
    auto& d = bot.dispatcher();
    const auto withWindows = [&bot](std::string_view body, auto action) {
        return [&bot, body, action](Arg) {
            bot.reply(body);
            if (bot.windows)
                action(*bot.windows);
        };
    };
    d.add("vcoms", withWindows(" Viewing Chat Commands ", [](SideWindows& w) { w.showCommands(); }));
    d.add("vid3", withWindows(" Viewing ID3 ", [](SideWindows& w) { w.setId3Visible(true); }));
    d.add("vplist", withWindows(" Viewing Playlist ", [](SideWindows& w) { w.setPlaylistVisible(true); }));
    d.add("xid3", withWindows(" ID3 Closed ", [](SideWindows& w) { w.setId3Visible(false); }));
    d.add("xplist", withWindows(" Playlist Closed ", [](SideWindows& w) { w.setPlaylistVisible(false); }));
    d.add("end", [&bot](Arg) {
        if (bot.windows)
            bot.windows->closeMain();
    });
}

} // namespace

void addPlayerCommands(Bot& bot)
{
    auto& d = bot.dispatcher();
    d.add("dir", [&bot](Arg a) { dirCommand(bot, a); });
    d.add("stop", [&bot](Arg) { stopCommand(bot); });
    d.add("vol", [&bot](Arg a) { volCommand(bot, a); });
    d.add("vol?", [&bot](Arg) { bot.replyRaw(" Volume is at [" + bot.lblVol.caption() + "%] "); });
    d.add("mute", [&bot](Arg) {
        bot.media().setMute(true);
        bot.reply(" Player Muted! ");
    });
    d.add("xmute", [&bot](Arg) {
        bot.media().setMute(false);
        bot.reply(" Player Un-muted! ");
    });
    d.add("len?", [&bot](Arg) { lenCommand(bot); });
    d.add("next", [&bot](Arg) { stepCommand(bot, +1); });
    d.add("prev", [&bot](Arg) { stepCommand(bot, -1); });
    d.add("played?", [&bot](Arg) { bot.reply(" Total Mp3's Played - [" + bot.played.caption() + "] "); });
    d.add("mp3?", [&bot](Arg) {
        if (noSong(bot))
            bot.reply(" No song is playing! ");
        else
            bot.replyRawWith(" Current Mp3: ", " " + titleOf(bot.lstMp3.selectedText()) + " ");
    });
    d.add("dir?", [&bot](Arg) {
        if (bot.dir.empty())
            bot.reply(" No directory has been set! ");
        else
            bot.replyWith("Tavu ", " Current directory: [" + bot.dir + "] ");
    });
    d.add("refdir", [&bot](Arg) { refdirCommand(bot); });
    d.add("ran", [&bot](Arg) { ranCommand(bot); });
    d.add("pause", [&bot](Arg) {
        if (noSong(bot))
            return bot.reply(" No song to pause! ");
        bot.media().Pause();
        bot.reply(" " + bot.lblSong.caption() + " - Paused ");
    });
    d.add("xpause", [&bot](Arg) {
        if (noSong(bot))
            return bot.reply(" No song to Unpause! ");
        bot.media().Play();
        bot.reply(" " + bot.lblSong.caption() + " - Unpaused ");
    });
    addModeCommands(bot);
    addWindowCommands(bot);
}

} // namespace tavu
