#include "bot/Lifecycle.h"

#include "bot/Bot.h"
#include "bot/MusicLibrary.h"
#include "bot/PlayerControls.h"
#include "bot/SideWindows.h"
#include "bot/StartSong.h"
#include "chat/SavedStyles.h"
#include "client/ChatRoom.h"
#include "queue/UpNext.h"
#include "settings/DesktopSettings.h"
#include "stream/Radio.h"
#include "stream/StreamSettings.h"
#include "util/LoadFontList.h"
#include "util/Text.h"

namespace tavu {
namespace {

void readSettings(Bot& bot)
{
    const Settings& settings = bot.settings();
    bot.lblVol.setCaption(settings.read(keys::Volume));
    bot.dir = settings.read(keys::Mp3Directory);
    bot.played.setCaption(settings.read(keys::Mp3sPlayed));
    bot.trig = settings.read(keys::Trig);
    bot.paddedClock = paddedClock(settings);
    bot.setPlayMode(playModeNamed(settings.read(keys::PlayModeKey)));
}

Task<> loadSongs(Bot& bot)
{
    if (bot.dir.empty()) {
        bot.dialogs().message("Please be sure to set your mp3 directory!", "Tavu");
        co_return;
    }
    co_await fillSongList(bot, bot.dir);
    if (bot.songList.empty() && !bot.runtime().quitting()) // told to end meanwhile: the listing was cut short
        bot.reply(" Error, Invalid Directory! ");
}

void setVolume(Bot& bot)
{
    const std::string caption = bot.lblVol.caption().empty() ? std::string("100") : bot.lblVol.caption();
    setVolumeLevel(bot, leadingNumber(caption), caption, false);
    // The balance of the last run; none stored is the centre.
    setBalance(bot, static_cast<int>(leadingNumber(bot.settings().read(keys::Balance))), false);
}

void countLoad(Bot& bot)
{
    bot.Loads.setCaption(bot.settings().read(keys::Loads));
    if (bot.Loads.caption().empty())
        bot.Loads.setCaption("0");
    bot.Loads.setCaption(decimal(static_cast<long long>(leadingNumber(bot.Loads.caption())) + 1));
    bot.settings().write(keys::Loads, bot.Loads.caption());
}

// A chat room on a network may still be signing on and joining. The announcements wait for it, at
// most kRoomWaitMs, so that they arrive one second apart rather than held back and sent together.
constexpr std::int64_t kRoomWaitMs = 30'000;

Task<> waitForRoom(Bot& bot)
{
    Runtime& runtime = bot.runtime();
    const std::int64_t until = runtime.tickMs() + kRoomWaitMs;
    while (!bot.room().ready() && !runtime.quitting() && runtime.tickMs() < until)
        co_await after(runtime, 100);
}

bool askHandle(Bot& bot)
{
    bot.Handle.setCaption(bot.settings().read(keys::Handle));
    if (!bot.Handle.caption().empty())
        return true;
    const auto answer = bot.dialogs().input("Whats Your Handle?", "Information", "Nickname");
    if (!answer || answer->empty())
        return false;
    bot.Handle.setCaption(*answer);
    bot.settings().write(keys::Handle, *answer);
    return true;
}

// The song that is open and how far it went, for the next start; none after a stop.
void storeSession(Bot& bot)
{
    const bool open = bot.media().playState() != MediaPlayer::Stopped;
    bot.settings().write(keys::DesktopLastSong, open ? bot.nowPlaying().song : std::string());
    bot.settings().write(keys::DesktopLastPosition,
                         open ? decimal(static_cast<long long>(bot.media().currentPosition())) : std::string("0"));
}

} // namespace

Task<bool> beginSession(Bot& bot)
{
    bot.commandScanner.startScan();
    LoadFontList(bot.lstFonts, bot.fonts());
    readSettings(bot);
    bot.style.loadStyle(bot.settings().path());
    if (bot.played.caption().empty())
        bot.played.setCaption("0");
    co_await loadSongs(bot);
    bot.upNext->restore(); // the queue of the last run, stopped
    setVolume(bot);
    countLoad(bot);
    if (!askHandle(bot))
        co_return false;
    co_await waitForRoom(bot);
    if (bot.runtime().quitting())
        co_return false; // told to end while waiting: nothing announced, as after an empty handle
    bot.reply(" By: Quarn ");
    co_await secondsPass(bot.runtime(), 1);
    bot.reply(" Loaded By - [" + bot.Handle.caption() + "] ");
    co_await secondsPass(bot.runtime(), 1);
    bot.reply(" Mp3's - [" + decimal(static_cast<long long>(bot.songList.count())) + "] ");
    if (const std::string url = bot.radio ? bot.radio->listenUrl() : std::string(); !url.empty()) {
        co_await secondsPass(bot.runtime(), 1);
        bot.reply(listenReply(htmlText(url), std::nullopt));
    }
    if (!bot.savedStyles->folderUsable() && bot.windowNotice)
        bot.windowNotice("Saved styles are unavailable: " + bot.programFile("Styles") +
                         " is not a folder, so styles can be neither saved nor loaded.");
    bot.playlistDocking.setEnabled(true);
    if (bot.windows)
        bot.windows->setPlaylistVisible(true);
    bot.startStyleIndexTimer();
    if (resumeSession(bot.settings()))
        resumeSong(bot, bot.settings().read(keys::DesktopLastSong),
                   leadingNumber(bot.settings().read(keys::DesktopLastPosition)));
    // Told to end during the announcements: the waits were cut short, and the event loop that
    // would run next has already been asked to end.
    co_return !bot.runtime().quitting();
}

Task<> endSession(Bot& bot, std::function<void()> glide)
{
    bot.playedWriter().flush();
    bot.volumeWriter().flush();
    if (resumeSession(bot.settings()))
        storeSession(bot);
    // Told to end at once meanwhile (a second signal): the lines still to come are dropped.
    bot.reply(" By: Quarn ");
    co_await secondsPass(bot.runtime(), 1);
    if (bot.runtime().quitting())
        co_return;
    bot.reply(" Unloaded By - [" + bot.Handle.caption() + "] ");
    co_await secondsPass(bot.runtime(), 1);
    if (bot.runtime().quitting())
        co_return;
    bot.reply(" Mp3's Played: - [" + bot.played.caption() + "] ");
    bot.playSound("Exit.wav");
    if (glide)
        glide();
    bot.runtime().quit();
}

} // namespace tavu
