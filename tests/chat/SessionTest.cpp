#include "bot/Bot.h"
#include "client/LocalChatRoom.h"
#include "support/Fakes.h"
#include "support/SimRuntime.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavu {
namespace {

// The owner runs a short session in the built-in chat room; every line that reaches the room is
// checked, in order.
TEST(Session, OwnerDrivesTheBuiltInRoom)
{
    test::TestDir home, music;
    std::filesystem::create_directories(home.path() / "Styles");
    for (const char* song : {"Abc.mp3", "Blue Sky.mp3", "blues one.mp3"})
        test::writeBytes(music.file(song), "");
    SimRuntime runtime;
    LocalChatRoom room("Quarn");
    test::FakeMediaPlayer media;
    test::FakeSoundPlayer sound;
    test::FakeDialogs dialogs;
    test::FakeFontList fonts;
    Bot bot(runtime, room, home.str(), {media, sound, dialogs, fonts});
    bot.startChat();
    Style style;
    style.loadStyle(home.file("Tavu.ini"));
    const auto reply = [&](std::string_view body, std::string_view lead = " Tavu ") {
        return style.composeReply(lead, body);
    };

    const auto type = [&](const std::string& line) {
        room.ownerTyped(line);
        runtime.advance(3000);
    };
    type("trig !");
    type("!dir " + music.str());
    type("!play blue");
    type("y");
    type("play 2");
    type("!vol 40");
    type("!vol?");
    type("!acon");
    type("!prev");
    media.finish(); // the song ends: auto continue goes on with the next one
    runtime.advance(1500);
    room.otherSaid("Stranger", "!stop");
    runtime.advance(100);

    std::vector<std::string> replies;
    for (const auto& entry : room.transcript())
        if (entry.kind == LocalChatRoom::Kind::Reply)
            replies.push_back(entry.text);
    const std::vector<std::string> expected{
        reply(" Trig Is Now [!] "),
        reply(" Directory set to: [" + music.str() + "] "),
        reply(" Multiple Strings Found! "),
        reply(" Scroll found Strings -[y\\n] "),
        reply(" [1]<u>blue</U> sky "),
        reply(" [2]<u>blue</U>s one "),
        reply(" Type play + 1 - 2 or cancel "),
        reply(" <u>blue</U>s one ", " Playing "),
        reply(" Volume Set - [40] "),
        reply(" Volume is at [40%] "),
        reply(" Auto Continue Enabled "),
        reply(" Blue Sky ", " Playing "),
        reply(" blues one ", " AutoCont. "),
    };
    EXPECT_EQ(replies, expected);
    EXPECT_EQ(bot.played.caption(), "3");
    EXPECT_EQ(media.volume, -1500);
    EXPECT_EQ(media.opened.back(), music.file("blues one.mp3"));
}

} // namespace
} // namespace tavu
