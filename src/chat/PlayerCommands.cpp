#include "chat/PlayerCommands.h"

#include "bot/Bot.h"
#include "bot/MusicLibrary.h"
#include "bot/PlayerControls.h"
#include "bot/SideWindows.h"
#include "bot/StartSong.h"
#include "util/Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>

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

bool noSong(const Bot& bot)
{
    return bot.media().playState() == MediaPlayer::Stopped;
}

void step(Bot& bot, int direction)
{
    const int index = stepIndex(bot, direction);
    if (index < 0)
        return bot.reply(" No song to go to! ");
    startSong(bot, index, roads::StepCommand);
}

// "rep", "arnd", "acon" switch to their mode from any mode; "xrep", "xarnd", "xacon" switch off
// only their own mode. Each always replies.
struct Mode {
    PlayMode mode;
    std::string_view enabled, disabled;
};
constexpr Mode kRepeat{PlayMode::Repeat, " Repeat Enabled ", " Repeat Disabled "};
constexpr Mode kAutoRandom{PlayMode::AutoRandom, " Auto Random Enabled ", " Auto Random Disabled "};
constexpr Mode kAutoContinue{PlayMode::AutoContinue, " Auto Continue Enabled ", " Auto Continue Disabled "};

void modeOn(Bot& bot, const Mode& m)
{
    bot.setPlayMode(m.mode);
    bot.reply(m.enabled);
}

void modeOff(Bot& bot, const Mode& m)
{
    if (bot.playMode() == m.mode)
        bot.setPlayMode(PlayMode::None);
    bot.reply(m.disabled);
}

// The window commands reply first, then show or hide their window.
template <class Action>
void withWindows(Bot& bot, std::string_view body, Action action)
{
    bot.reply(body);
    if (bot.windows)
        action(*bot.windows);
}

// A typed directory as a full path: a relative one is taken from the music directory in effect (or,
// with none, from the home folder), not from wherever the program happened to be started.
std::string typedDirectory(const Bot& bot, const std::string& typed)
{
    namespace fs = std::filesystem;
    if (typed.empty() || fs::path(typed).is_absolute())
        return typed; // a full path stays as typed, and so does the reply that echoes it
    std::string base = bot.songFiles.path().empty() ? bot.dir : bot.songFiles.path();
    if (base.empty() || fs::path(base).is_relative())
        if (const char* home = std::getenv("HOME"); home && *home == '/')
            base = home;
    if (base.empty())
        return {};
    std::string full = (fs::path(base) / typed).lexically_normal().string();
    while (full.size() > 1 && full.back() == '/')
        full.pop_back();
    return full;
}

Task<> setDirectory(Bot& bot, std::string path)
{
    auto listing = co_await listSongs(bot, path, readLibraryOptions(bot.settings()));
    if (bot.runtime().quitting())
        co_return; // the listing was cut short: the program ends
    if (!listing || songCount(*listing) == 0) {
        bot.reply(" Error, Invalid Directory! ");
        co_return;
    }
    bot.dir = path;
    useListing(bot, path, std::move(*listing));
    bot.reply(" Directory set to: [" + bot.dir + "] ");
    bot.settings().write(keys::Mp3Directory, bot.dir);
}

Task<> refreshDirectory(Bot& bot)
{
    co_await fillSongList(bot, bot.songFiles.path());
    if (bot.runtime().quitting())
        co_return; // the listing was cut short: the program ends
    bot.reply(" Directory Refreshed [" + bot.dir + "] ");
}

} // namespace

namespace commands {

void dir(Bot& bot, Arg typed)
{
    // A directory without songs changes nothing: the old songs, selection and directory stay.
    bot.startTask(setDirectory(bot, typedDirectory(bot, typed)));
}

void stop(Bot& bot, Arg)
{
    stopSong(bot);
    bot.reply(" Player Stopped! ");
}

void vol(Bot& bot, Arg argument)
{
    const auto level = parseDecimal(argument);
    if (!level || *level > 100 || *level < 0)
        return bot.reply(" Please choose a volume level between 0 and 100 ");
    bot.reply(" Volume Set - [" + argument + "] ");
    setVolumeLevel(bot, *level, argument, true);
}

void volQuery(Bot& bot, Arg)
{
    bot.replyRaw(" Volume is at [" + bot.lblVol.caption() + "%] ");
}

void mute(Bot& bot, Arg)
{
    setMuted(bot, true);
    bot.reply(" Player Muted! ");
}

void xmute(Bot& bot, Arg)
{
    setMuted(bot, false);
    bot.reply(" Player Un-muted! ");
}

void lenQuery(Bot& bot, Arg)
{
    if (noSong(bot))
        return bot.reply(" Error, no song is playing! ");
    double d = bot.media().duration();
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

void next(Bot& bot, Arg)
{
    step(bot, +1);
}
void prev(Bot& bot, Arg)
{
    step(bot, -1);
}

void playedQuery(Bot& bot, Arg)
{
    bot.reply(" Total Mp3's Played - [" + bot.played.caption() + "] ");
}

void mp3Query(Bot& bot, Arg)
{
    if (noSong(bot))
        return bot.reply(" No song is playing! ");
    bot.replyRawWith(" Current Mp3: ", " " +
                                           htmlText(songTitle(bot, bot.songList.selectedText(),
                                                              static_cast<std::size_t>(bot.songList.selectedIndex()))) +
                                           " ");
}

void dirQuery(Bot& bot, Arg)
{
    if (bot.dir.empty())
        return bot.reply(" No directory has been set! ");
    bot.replyWith("Tavu ", " Current directory: [" + bot.dir + "] ");
}

void refdir(Bot& bot, Arg)
{
    if (bot.dir.empty())
        return bot.reply(" No directory is available! ");
    bot.startTask(refreshDirectory(bot));
}

void rep(Bot& bot, Arg)
{
    modeOn(bot, kRepeat);
}
void xrep(Bot& bot, Arg)
{
    modeOff(bot, kRepeat);
}
void arnd(Bot& bot, Arg)
{
    modeOn(bot, kAutoRandom);
}
void xarnd(Bot& bot, Arg)
{
    modeOff(bot, kAutoRandom);
}
void acon(Bot& bot, Arg)
{
    modeOn(bot, kAutoContinue);
}
void xacon(Bot& bot, Arg)
{
    modeOff(bot, kAutoContinue);
}

void ran(Bot& bot, Arg)
{
    if (bot.songList.empty())
        return bot.reply(" No songs to play! ");
    const int index = static_cast<int>(randomNumber(bot.runtime(), static_cast<double>(bot.songList.count()))) - 1;
    startSong(bot, index, roads::RandomCommand);
}

void pause(Bot& bot, Arg)
{
    if (noSong(bot))
        return bot.reply(" No song to pause! ");
    bot.media().pause();
    bot.reply(" " + htmlText(bot.lblSong.caption()) + " - Paused ");
}

void xpause(Bot& bot, Arg)
{
    if (noSong(bot))
        return bot.reply(" No song to Unpause! ");
    bot.media().play();
    bot.reply(" " + htmlText(bot.lblSong.caption()) + " - Unpaused ");
}

void vcoms(Bot& bot, Arg)
{
    withWindows(bot, " Viewing Chat Commands ", [](SideWindows& w) { w.showCommands(); });
}
void vid3(Bot& bot, Arg)
{
    withWindows(bot, " Viewing ID3 ", [](SideWindows& w) { w.setId3Visible(true); });
}
void vplist(Bot& bot, Arg)
{
    withWindows(bot, " Viewing Playlist ", [](SideWindows& w) { w.setPlaylistVisible(true); });
}
void xid3(Bot& bot, Arg)
{
    withWindows(bot, " ID3 Closed ", [](SideWindows& w) { w.setId3Visible(false); });
}
void xplist(Bot& bot, Arg)
{
    withWindows(bot, " Playlist Closed ", [](SideWindows& w) { w.setPlaylistVisible(false); });
}

void end(Bot& bot, Arg)
{
    if (bot.windows)
        bot.windows->closeMain();
}

} // namespace commands
} // namespace tavu
