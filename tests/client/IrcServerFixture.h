#pragma once

#include "NgircdServer.h"
#include "TestIrcClient.h"

#include "bot/Bot.h"
#include "client/IrcChatRoom.h"
#include "support/Fakes.h"
#include "support/TestDir.h"
#include "util/QtRuntime.h"

#include <gtest/gtest.h>

#include <memory>

namespace tavu::test {

// A real ngircd, the bot in its channel over a real socket, and test clients, on Qt's event loop.
class IrcServerFixture : public ::testing::Test {
protected:
    static constexpr const char* kChannel = "#tavu";
    static constexpr const char* kBotNick = "tavubot";

    IrcServerFixture();

    // Time-outs and pace short enough for tests that take seconds.
    static IrcTimings fastTimings();

    bool startServer(NgircdServer::Options options = {});
    // The bot, signing on to the server's plain port (or the given one) as kBotNick.
    void startBot(const std::string& owner, IrcTimings timings = fastTimings(), TlsMode tls = TlsMode::Off,
                  int port = 0);
    std::unique_ptr<TestIrcClient> joinedClient(const std::string& nick, const std::string& user);

    bool waitFor(const std::function<bool()>& condition, int timeoutMs = 15'000);
    bool botInChannel()
    {
        return waitFor([this] { return room->session().inChannel(); });
    }
    // The bot's room has shown a line that contains text.
    bool roomShowed(const std::string& text) const;
    int disconnects() const;
    // A reply line as the bot sends it in IRC formatting.
    std::string ircReply(const std::string& body) const;

    QtRuntime runtime;
    TestDir dir;
    FakeMediaPlayer media;
    FakeSoundPlayer sound;
    FakeDialogs dialogs;
    FakeFontList fonts;
    std::unique_ptr<NgircdServer> server;
    std::unique_ptr<IrcChatRoom> room;
    std::unique_ptr<Bot> bot;
};

} // namespace tavu::test
