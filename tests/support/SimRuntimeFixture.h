#pragma once

#include "bot/Bot.h"
#include "support/FakeChatRoom.h"
#include "support/Fakes.h"
#include "support/SimRuntime.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <memory>

namespace tavu::test {

// A bot in a fresh program directory, on the simulated clock, in a fake chat room.
class BotFixture : public ::testing::Test {
public:
    BotFixture();

    // The owner (or somebody else) types a line; the scanner's event runs, and the time its
    // command waits passes (its listing, its second before the reply).
    void ownerSays(const std::string& text);
    void say(const std::string& sender, const std::string& text);
    // Does what call does, then lets the time pass that the bot's work it started waits for, as
    // if that work had waited inside the call.
    void settle(const std::function<void()>& call);

    // The reply line with the default style.
    static std::string defaultReply(std::string_view body, std::string_view lead = " Tavu ");

    std::string settingsPath() const { return dir.file("Tavu.ini"); }

    // A music directory with these (empty) files, listed as the song list.
    void useSongs(const std::vector<std::string>& names);
    // The lines sent so far, then forgets them.
    std::vector<std::string> takeLines();

    BotServices services() { return {media, sound, dialogs, fonts}; }

    TestDir dir;
    TestDir music;
    SimRuntime runtime;
    FakeChatRoom room;
    FakeMediaPlayer media;
    FakeSoundPlayer sound;
    FakeDialogs dialogs;
    FakeFontList fonts;
    std::unique_ptr<Bot> bot;
};

} // namespace tavu::test
