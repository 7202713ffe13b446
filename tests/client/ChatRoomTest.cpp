#include "bot/Bot.h"
#include "client/ChatScanner.h"
#include "client/LocalChatRoom.h"
#include "support/Fakes.h"
#include "support/SimRuntime.h"
#include "support/TestDir.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace tavu {
namespace {

TEST(OwnerName, CaptionRule)
{
    EXPECT_EQ(OwnerNameFromCaption("Welcome, Abc Def!"), "Abc Def");
    EXPECT_EQ(OwnerNameFromCaption("Welcome, !"), "");
    EXPECT_EQ(OwnerNameFromCaption("Welcome, Quarn"), "Quarn");
    EXPECT_EQ(OwnerNameFromCaption("welcome, Quarn!"), "");
    EXPECT_EQ(OwnerNameFromCaption(" Welcome, Quarn!"), "");
}

TEST(LocalChatRoom, OwnerLinesReachStartedScannersInOrder)
{
    SimRuntime runtime;
    LocalChatRoom room("Quarn");
    ChatScanner one(runtime), two(runtime);
    room.attach(one);
    room.attach(two);
    std::vector<std::string> heard;
    one.ChatMsg = [&](const std::string& n, const std::string& t) { heard.push_back("1 " + n + ": " + t); };
    two.ChatMsg = [&](const std::string& n, const std::string& t) { heard.push_back("2 " + n + ": " + t); };
    one.startScan();
    EXPECT_EQ(room.ownerNick(), "Quarn");
    room.ownerTyped("first");
    room.otherSaid("Bob", "second");
    EXPECT_TRUE(heard.empty()) << "each line is an event of its own";
    runtime.drain();
    EXPECT_EQ(heard, (std::vector<std::string>{"1 Quarn: first", "1 Bob: second"}));
    room.sendLine("<b>reply</b>");
    runtime.drain();
    EXPECT_EQ(heard.size(), 2u) << "the bot's own lines are not commands";
    ASSERT_EQ(room.transcript().size(), 3u);
    EXPECT_EQ(room.transcript()[2].kind, LocalChatRoom::Kind::Reply);
}

TEST(LocalChatRoom, TranscriptStaysBounded)
{
    LocalChatRoom room("Quarn");
    for (std::size_t i = 0; i < LocalChatRoom::kTranscriptLimit + 10; ++i)
        room.sendLine("x");
    EXPECT_EQ(room.transcript().size(), LocalChatRoom::kTranscriptLimit);
}

TEST(ChatScanner, DestroyedScannerIgnoresQueuedLines)
{
    SimRuntime runtime;
    LocalChatRoom room("Quarn");
    int heard = 0;
    {
        ChatScanner scanner(runtime);
        scanner.ChatMsg = [&](const std::string&, const std::string&) { ++heard; };
        room.attach(scanner);
        scanner.startScan();
        room.ownerTyped("x");
        room.detach(scanner);
    }
    runtime.drain();
    EXPECT_EQ(heard, 0);
}

TEST(Bot, MovesToAnotherRoomAndHearsOnlyThatOne)
{
    test::TestDir dir;
    std::filesystem::create_directories(dir.path() / "Styles");
    SimRuntime runtime;
    test::FakeMediaPlayer media;
    test::FakeSoundPlayer sound;
    test::FakeDialogs dialogs;
    test::FakeFontList fonts;
    LocalChatRoom first("Quarn"), second("Quarn");
    {
        Bot bot(runtime, first, dir.str(), {media, sound, dialogs, fonts});
        bot.startChat();
        bot.moveToRoom(second);
        first.ownerTyped("trig ?");
        runtime.drain();
        EXPECT_EQ(bot.trig, "");
        second.ownerTyped("trig !");
        runtime.drain();
        EXPECT_EQ(bot.trig, "!");
        EXPECT_EQ(first.transcript().size(), 1u); // only the line typed there
        ASSERT_EQ(second.transcript().size(), 2u);
        EXPECT_EQ(second.transcript().back().kind, LocalChatRoom::Kind::Reply);
    }
    // The bot let go of the room it was in when it went.
    second.ownerTyped("trig ?");
    runtime.drain();
}

} // namespace
} // namespace tavu
