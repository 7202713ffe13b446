// The whole chat path: a bot with every command, on the simulated clock, a fake player and a
// temporary program directory, fed arbitrary lines from arbitrary senders.
//
// Input: lines; the first byte of each says who speaks (the owner, a stranger, or a stranger
// whose name differs from the owner's only in letter case) and how the line arrives (at once,
// queued so that it runs inside the next line's waits, after the current song ends, or after
// some seconds of the clock).
//
// Invariants: a stranger's line changes nothing and sends nothing; after each line the settings
// file holds the played counter, the volume and the trigger the bot runs with, and the played
// counter equals the songs started.
#include "FuzzSupport.h"

#include "bot/Bot.h"
#include "player/FileList.h"
#include "settings/ProfileFile.h"
#include "support/FakeChatRoom.h"
#include "support/Fakes.h"
#include "support/SimRuntime.h"
#include "util/Cp1252.h"
#include "util/Text.h"

#include <filesystem>
#include <sstream>

namespace {

using namespace tavu;
namespace fs = std::filesystem;

constexpr std::size_t kMaxLines = 48;

struct Dirs {
    Dirs()
    {
        program = fuzz::scratchDir() + "/program";
        music = fuzz::scratchDir() + "/music";
        fs::create_directories(music);
        for (const char* song : {"Blue Moon.mp3", "blue sky.mp3", "Red Rain.mp3", "Green.mp3", "old.MP3.mp3",
                                 "Zz top - la grange.mp3", "notes.txt"})
            fuzz::writeFile(music + "/" + song, "");
    }
    std::string program;
    std::string music;
};

const Dirs& dirs()
{
    static const Dirs d;
    return d;
}

void freshProgramDir()
{
    std::error_code ignored;
    fs::remove_all(dirs().program, ignored);
    fs::create_directories(dirs().program + "/Styles");
    fuzz::writeFile(dirs().program + "/Tavu.ini", "[Settings]\r\nTrig=!\r\nVolume=50\r\nMp3 Directory=" + dirs().music +
                                                      "\r\n[Totals]\r\nMp3s Played=0\r\n");
}

std::string listing(const std::string& folder)
{
    std::string names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        names += entry.path().filename().string() + "|" + fuzz::readFile(entry.path().string()) + "\n";
    return names;
}

struct World {
    World() : bot(runtime, room, dirs().program, {media, sound, dialogs, fonts})
    {
        bot.startChat();
        bot.dir = dirs().music;
        fillSongList(bot.songFiles, bot.songList, bot.playlistRows, bot.dir);
        bot.played.setCaption("0");
        bot.lblVol.setCaption("50");
    }

    // Everything a line could change that anybody could see.
    std::string snapshot() const
    {
        std::ostringstream s;
        s << room.sent.size() << '|' << media.opened.size() << '|' << media.state << '|' << media.volume << '|'
          << media.balance << '|' << media.muted << '|' << bot.played.caption() << '|' << bot.lblVol.caption() << '|'
          << bot.lblSong.caption() << '|' << bot.trig << '|' << bot.style.composeReply("L", "B") << '|'
          << static_cast<int>(bot.playMode()) << '|' << bot.commandScanner.scanning() << bot.choiceScanner.scanning()
          << '|' << bot.lstPlay.count() << '|' << bot.songList.selectedIndex() << '|' << bot.dir << '|'
          << bot.UnLin.caption() << '|' << bot.clockTimer.enabled() << bot.deafSpell.enabled() << '|'
          << runtime.pendingEvents() << '\n'
          << listing(dirs().program) << listing(dirs().program + "/Styles");
        return s.str();
    }

    void deliver(const std::string& sender, const std::string& text)
    {
        if (sender == "Owner") {
            room.say(sender, text);
            return;
        }
        // The scanners hand a line over in an event of its own; here those events run at once, so
        // that nothing else runs between the two snapshots.
        const std::string before = snapshot();
        for (ChatScanner* scanner : {&bot.commandScanner, &bot.choiceScanner})
            if (scanner->scanning() && scanner->ChatMsg)
                scanner->ChatMsg(sender, text);
        FUZZ_CHECK(snapshot() == before);
    }

    void checkFiles()
    {
        const std::string ini = dirs().program + "/Tavu.ini";
        bot.playedWriter().flush(); // the played counter lands within a second; here at once
        FUZZ_CHECK(readSetting("Totals", "Mp3s Played", ini) == bot.played.caption());
        FUZZ_CHECK(leadingNumber(bot.played.caption()) == static_cast<double>(media.opened.size()));
        // The file holds what the labels hold, as the reading rules give it back (blanks around a
        // value typed in the chat are not kept).
        FUZZ_CHECK(readSetting("Settings", "Volume", ini) == profileValue(encodeStoredText(bot.lblVol.caption())));
        if (bot.trig.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos)
            FUZZ_CHECK(readSetting("Settings", "Trig", ini) == profileValue(encodeStoredText(bot.trig)));
    }

    SimRuntime runtime;
    test::FakeChatRoom room{"Owner"};
    test::FakeMediaPlayer media;
    test::FakeSoundPlayer sound;
    test::FakeDialogs dialogs;
    test::FakeFontList fonts;
    Bot bot;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    freshProgramDir();
    World world;
    fuzz::Pieces lines(fuzz::asText(data, size));
    for (std::size_t n = 0; n < kMaxLines && !lines.done() && !world.runtime.quitting(); ++n) {
        const std::string_view piece = lines.next();
        if (piece.empty())
            continue;
        const auto how = static_cast<unsigned char>(piece[0]);
        static const char* const kSenders[] = {"Owner", "Owner", "Stranger", "owner"};
        const std::string sender = kSenders[how & 3];
        const std::string text(piece.substr(1));
        switch ((how >> 2) & 3) {
        case 1: // arrives while the next line's handler waits
            world.runtime.post([&world, sender, text] { world.deliver(sender, text); });
            continue;
        case 2:
            if (world.media.state != test::FakeMediaPlayer::Stopped)
                world.media.finish();
            break;
        case 3:
            world.runtime.advance(static_cast<std::int64_t>(how >> 4) * 700);
            break;
        default:
            break;
        }
        world.deliver(sender, text);
        world.runtime.drain();
        world.checkFiles();
    }
    world.runtime.drain();
    world.checkFiles();
    return 0;
}
