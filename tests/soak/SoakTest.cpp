// A day of simulated time: random lines of the owner and of strangers, songs that end, clicks on
// the player's buttons and the main window's timers, all arriving from a timer so that they also
// run inside the waits of the handlers they interrupt.
#include "bot/Bot.h"
#include "bot/Continuation.h"
#include "bot/PlayerControls.h"
#include "chat/SongSearch.h"
#include "settings/ProfileFile.h"
#include "support/SimRuntimeFixture.h"
#include "util/Text.h"

#include <random>

namespace tavu {
namespace {

constexpr std::int64_t kDayMs = 24LL * 3600 * 1000;

class Soak : public test::BotFixture {
protected:
    Soak()
    {
        useSongs({"Blue Moon.mp3", "blue sky.mp3", "Red Rain.mp3", "Green.mp3", "Yellow.mp3", "Zz.mp3"});
        room.ownerSays("trig !");
        runtime.drain();
        bot->played.setCaption("0");
        writeSetting("Totals", "Mp3s Played", "0", settingsPath());
        bot->titleTimer.setEnabled(true);
        media.length = 200;
    }

    std::string randomLine()
    {
        static const char* const kOwnerLines[] = {
            "!play blue", "!play e",     "!play zz",    "!play nothing", "y",          "n",        "cancel",
            "play 1",     "play 2",      "play 9",      "!next",         "!prev",      "!ran",     "!stop",
            "!pause",     "!xpause",     "!rep",        "!xrep",         "!arnd",      "!xarnd",   "!acon",
            "!xacon",     "!vol 30",     "!vol 100",    "!vol -1",       "!vol?",      "!len?",    "!mp3?",
            "!played?",   "!tc ff00ff",  "!tc 1234567", "!fa <<",        "!tf Tahoma", "!tf nope", "!sstyle Day",
            "!lstyle da", "!rstyle day", "!mute",       "!xmute",        "!refdir",    "!vplist",  "!xplist",
            "trig !",     "!",
        };
        return kOwnerLines[pick(std::size(kOwnerLines))];
    }

    std::size_t pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(m_random); }

    // One random event; may run nested inside a handler that waits.
    void act()
    {
        ++m_events;
        const std::size_t what = pick(10);
        if (what < 4) {
            room.ownerSays(randomLine());
        } else if (what < 6) {
            const std::string before = settingsBytes();
            const std::size_t sent = room.sent.size();
            const int opened = static_cast<int>(media.opened.size());
            // The line's scanner events run at once, so nothing else runs before the checks.
            const std::string sender = pick(2) ? "Stranger" : "owner";
            const std::string line = randomLine();
            for (ChatScanner* scanner : {&bot->commandScanner, &bot->choiceScanner})
                if (scanner->scanning() && scanner->ChatMsg)
                    scanner->ChatMsg(sender, line);
            EXPECT_EQ(room.sent.size(), sent) << "a stranger's line sent something";
            EXPECT_EQ(static_cast<int>(media.opened.size()), opened) << "a stranger's line started a song";
            EXPECT_EQ(settingsBytes(), before) << "a stranger's line changed the settings";
        } else if (what < 8) {
            if (media.state == test::FakeMediaPlayer::Playing)
                media.finish();
        } else {
            static void (*const kButtons[])(Bot&) = {playClick,   stopClick,         pauseClick,
                                                     nextClick,   prevClick,         repeatClick,
                                                     randomClick, autoContinueClick, playDoubleClickedSong};
            if (pick(3) == 0)
                bot->playlistRows.select(static_cast<int>(pick(bot->playlistRows.count())));
            kButtons[pick(std::size(kButtons))](*bot);
        }
        room.sent.clear();
    }

    std::string settingsBytes() const { return test::readBytes(settingsPath()); }

    // What holds whenever no handler is running and none of the bot's work waits.
    void checkInvariants()
    {
        if (bot->tasks().running() > 0)
            return;
        // The dialogue listens on choiceScanner while commandScanner rests; commandScanner rests only for the dialogue
        // or for the pause after a random song.
        if (bot->choiceScanner.scanning()) {
            ASSERT_FALSE(bot->commandScanner.scanning()) << "both scanners run outside a handler";
        }
        if (!bot->commandScanner.scanning()) {
            ASSERT_TRUE(bot->choiceScanner.scanning() || bot->deafSpell.enabled())
                << "no scanner runs: the bot went deaf";
        }
        ASSERT_EQ(leadingNumber(bot->played.caption()), static_cast<double>(media.opened.size()))
            << "the played counter is not the number of songs started";
        ASSERT_EQ(readSetting("Totals", "Mp3s Played", settingsPath()), bot->played.caption());
        const std::string bytes = settingsBytes();
        ASSERT_TRUE(bytes.size() >= 2 && bytes.substr(bytes.size() - 2) == "\r\n") << "settings file torn";
        ASSERT_EQ(readSetting("Settings", "Trig", settingsPath()), "!");
    }

    std::mt19937 m_random{20241231};
    long m_events = 0;
};

TEST_F(Soak, DayOfRandomEventsKeepsStateConsistent)
{
    auto source = runtime.makeTimerSource([this] { act(); });
    std::uniform_int_distribution<int> interval(300, 60000);
    // The source ticks at a new random interval after each event.
    auto nextTick = [&] { source->start(interval(m_random)); };
    nextTick();
    while (runtime.elapsedMs() < kDayMs) {
        const long events = m_events;
        runtime.advance(1000);
        if (m_events != events)
            nextTick();
        checkInvariants();
        if (HasFatalFailure() || HasFailure())
            return;
    }
    EXPECT_GT(m_events, 2000);
    EXPECT_GT(media.opened.size(), 100u);
}

} // namespace
} // namespace tavu

namespace tavu {
namespace {

// Found by the soak: the owner closing the selection dialogue during its first wait left both
// scanners stopped, and the bot deaf for good.
TEST_F(Soak, DialogueClosedDuringItsFirstWaitLeavesBotListening)
{
    auto source = runtime.makeTimerSource([this] { room.ownerSays("n"); });
    source->start(300);
    settle([&] { room.ownerSays("!play blue"); });
    source->stop();
    runtime.advance(3000);
    EXPECT_TRUE(bot->commandScanner.scanning());
    EXPECT_FALSE(bot->choiceScanner.scanning());
    room.sent.clear();
    room.ownerSays("!vol?");
    runtime.drain();
    EXPECT_EQ(room.sent.size(), 1u);
}

} // namespace
} // namespace tavu
