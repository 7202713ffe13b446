#pragma once

#include "NgircdServer.h"
#include "TestIrcClient.h"

#include "bot/Bot.h"
#include "client/IrcChatRoom.h"
#include "support/Fakes.h"
#include "support/PumpedQtRuntime.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tavu::test {

// A real ngircd, the bot in its channel over a real socket, and test clients, on Qt's event loop.
class IrcServerFixture : public ::testing::Test {
protected:
    static constexpr const char* kChannel = "#tavu";
    static constexpr const char* kBotNick = "tavubot";

    IrcServerFixture();

    // Time-outs and pace short enough for tests that take seconds.
    static IrcTimings fastTimings();

    // An ngircd; its plain port becomes ircPort.
    bool startServer(NgircdServer::Options options = {});
    // The bot, signing on to ircPort (or the given one) as kBotNick; tweak changes the settings
    // further.
    void startBot(const std::string& owner, IrcTimings timings = fastTimings(), TlsMode tls = TlsMode::Off,
                  int port = 0, const std::function<void(IrcConfig&)>& tweak = {});
    // A client in kChannel, from the loopback address fromAddress.
    std::unique_ptr<TestIrcClient> joinedClient(const std::string& nick, const std::string& user,
                                                const std::string& fromAddress = "127.0.0.1");

    // Several clients in kChannel, signed on at once (a server may welcome new users only once a
    // second); empty when one of them does not make it.
    struct Who {
        std::string nick, user;
        std::string from = "127.0.0.1";
    };
    std::vector<std::unique_ptr<TestIrcClient>> joinedClients(const std::vector<Who>& who);

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

    test::PumpedQtRuntime runtime;
    int ircPort = 0;             // where the bot and the clients connect
    int tlsHandshakeMs = 10'000; // how long the bot's link waits for a TLS answer
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
