#include "bot/Lifecycle.h"
#include "settings/SettingsKeys.h"
#include "support/SimRuntimeFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace tavu {
namespace {

// Long scripted sessions whose every reply (with the time it was sent) and the settings file they
// leave are compared with a recording kept in tests/samples/sessions. A change of a reply's text,
// of the pace of the replies or of what the settings file keeps shows here even where no other
// test looks. After a change that is meant, TAVU_RECORD_SESSIONS=1 writes the recordings anew.
class RecordedSessionTest : public test::BotFixture {
protected:
    void SetUp() override
    {
        room.onSend = [this](const std::string& line, bool raw) {
            log << runtime.elapsedMs() << (raw ? " raw " : " ") << line << '\n';
        };
    }

    // The owner (or a member of the room, for "nick: line") types, and two seconds pass, or
    // longer, until what the line started is done. A song's end runs its second first.
    void play(const std::vector<std::string>& script)
    {
        for (const auto& step : script) {
            log << "> " << step << '\n';
            const auto mark = bot->tasks().mark();
            if (step == "(end of song)") {
                media.finish();
            } else if (const auto colon = step.find(": "); colon != std::string::npos && step[0] != '!') {
                room.say(step.substr(0, colon), step.substr(colon + 2));
            } else {
                room.ownerSays(step);
            }
            runtime.advance(2000);
            runtime.runWhile([&] { return bot->tasks().runningSince(mark); });
        }
    }

    std::string recording()
    {
        std::string text = log.str() + "--- Tavu.ini\n" + test::readBytes(settingsPath());
        for (const auto& [from, to] : {std::pair{music.str(), std::string("<music>")}, {dir.str(), "<home>"}})
            for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at))
                text.replace(at, from.size(), to);
        return text;
    }

    void compareWith(const std::string& name)
    {
        const std::string path = std::string(TAVU_SAMPLES_DIR) + "/sessions/" + name + ".txt";
        if (std::getenv("TAVU_RECORD_SESSIONS")) {
            std::ofstream(path, std::ios::binary) << recording();
            return;
        }
        EXPECT_EQ(recording(), test::readBytes(path)) << "the session differs from " << path;
    }

    std::ostringstream log;
};

// A Tavu.ini as an older Tavu left it: none of the keys that came later.
TEST_F(RecordedSessionTest, AnOldSettingsFileKeepsEveryReply)
{
    for (const char* song : {"Abc.mp3", "Blue Sky.mp3", "blues one.mp3", "Cold Rain.mp3", "Delta.mp3"})
        test::writeBytes(music.file(song), "");
    test::writeBytes(settingsPath(), "[Settings]\r\nHandle=Quarn\r\nMp3 Directory=" + music.str() +
                                         "\r\nTrig=!\r\nVolume=80\r\n[Totals]\r\nMp3s Played=41\r\nLoads=6\r\n");
    bot.reset(); // the old bot lets go of the room and the player first
    bot = std::make_unique<Bot>(runtime, room, dir.str(), services());
    bot->startChat();
    ASSERT_TRUE(test::finish(runtime, beginSession(*bot)));
    play({"!vol?",
          "!mp3?",
          "!play blue",
          "y",
          "play 2",
          "!mp3?",
          "!len?",
          "!played?",
          "!dir?",
          "!vol 40",
          "!mute",
          "!xmute",
          "!rep",
          "(end of song)",
          "!xrep",
          "!acon",
          "(end of song)",
          "!next",
          "!prev",
          "!ran",
          "!xacon",
          "!arnd",
          "(end of song)",
          "!xarnd",
          "!pause",
          "!xpause",
          "!seek 1:30",
          "!tc ff0000",
          "!fac?",
          "!sstyle Red",
          "!lstyle Red",
          "!rstyle Red",
          "!help",
          "!add delta",
          "!queue",
          "Guest: !stop",
          "Guest: !play abc",
          "!play zzz",
          "!refdir",
          "!stop",
          "!trig?",
          "trig #",
          "#vol?"});
    test::finish(runtime, endSession(*bot, [] {}));
    runtime.advance(5000);
    compareWith("old-settings");
}

// A new program directory: the defaults of the newer keys are written, the queue and the room's
// requests are on.
TEST_F(RecordedSessionTest, ANewProgramDirectoryWithTheQueue)
{
    for (const char* song : {"Abc.mp3", "Blue Sky.mp3", "blues one.mp3", "Cold Rain.mp3", "Delta.mp3"})
        test::writeBytes(music.file(song), "");
    for (const NewProgramDefault& row : kNewProgramDefaults)
        bot->settings().write(row.key, row.value);
    bot->settings().write(keys::RequestsEnabled, "1");
    bot.reset(); // the old bot lets go of the room and the player first
    bot = std::make_unique<Bot>(runtime, room, dir.str(), services());
    bot->startChat();
    dialogs.inputs.push_back(std::string("Quarn"));
    ASSERT_TRUE(test::finish(runtime, beginSession(*bot)));
    play({"trig !",        "!dir " + music.str(),
          "!queue",        "!add cold",
          "!add delta",    "!queue",
          "!play abc",     "(end of song)",
          "!queue",        "Guest: !add blue",
          "Guest: !queue", "Guest: !skip",
          "!skip",         "!playnext abc",
          "!move 2 1",     "!unq 1",
          "!shuffle",      "!save mix",
          "!playlists",    "!clear",
          "!load mix",     "!queue",
          "!skipto 2",     "!listen",
          "!help queue"});
    compareWith("new-directory");
}

} // namespace
} // namespace tavu
