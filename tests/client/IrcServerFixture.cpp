#include "IrcServerFixture.h"

#include "support/TestCommands.h"

#include "client/IrcFormatting.h"
#include "platform/QtIrcTransport.h"

#include <QElapsedTimer>

#include <filesystem>

namespace tavu::test {

IrcServerFixture::IrcServerFixture()
{
    std::filesystem::create_directories(dir.path() / "Styles");
}

IrcTimings IrcServerFixture::fastTimings()
{
    IrcTimings timings;
    timings.registrationMs = 5'000;
    timings.reconnectMinMs = 300;
    timings.reconnectMaxMs = 2'000;
    timings.floodIntervalMs = 200;
    timings.saslMs = 3'000;
    return timings;
}

bool IrcServerFixture::startServer(NgircdServer::Options options)
{
    server = std::make_unique<NgircdServer>(options);
    const bool up = server->start();
    ircPort = server->port();
    return up;
}

void IrcServerFixture::startBot(const std::string& owner, IrcTimings timings, TlsMode tls, int port,
                                const std::function<void(IrcConfig&)>& tweak)
{
    IrcConfig config;
    config.server = "127.0.0.1";
    config.port = port ? port : ircPort;
    config.tls = tls;
    config.nick = kBotNick;
    config.channel = kChannel;
    config.owner = owner;
    config.timings = timings;
    if (tweak)
        tweak(config);
    auto transport = std::make_unique<QtIrcTransport>(tlsHandshakeMs);
    if (!config.certificate.empty())
        transport->setClientCertificate(config.certificate, config.certificateKey);
    room = std::make_unique<IrcChatRoom>(runtime, std::move(transport), config);
    // "vid3" echoes its argument; "xplist N" sends N lines (30 without a number), a listing like the
    // song search's.
    static const std::vector<Command> commands = test::commandsWith({
        {"vid3", [](Bot& b, const std::string& arg) { b.reply(" Echo " + arg + " "); }},
        {"xplist",
         [](Bot& b, const std::string& arg) {
             const int count =
                 arg.find_first_not_of("0123456789") == std::string::npos && !arg.empty() ? std::stoi(arg) : 30;
             for (int i = 1; i <= count; ++i)
                 b.reply(" Match " + std::to_string(i) + " ");
         }},
    });
    bot = std::make_unique<Bot>(runtime, *room, dir.str(), BotServices{media, sound, dialogs, fonts}, commands);
    bot->startChat();
    room->start();
}

std::unique_ptr<TestIrcClient> IrcServerFixture::joinedClient(const std::string& nick, const std::string& user,
                                                              const std::string& fromAddress)
{
    auto client = std::make_unique<TestIrcClient>(runtime, ircPort, nick, user, fromAddress);
    if (!client->signOnAndJoin(kChannel))
        return nullptr;
    return client;
}

std::vector<std::unique_ptr<TestIrcClient>> IrcServerFixture::joinedClients(const std::vector<Who>& who)
{
    std::vector<std::unique_ptr<TestIrcClient>> clients;
    for (const Who& w : who) {
        clients.push_back(std::make_unique<TestIrcClient>(runtime, ircPort, w.nick, w.user, w.from));
        clients.back()->beginSignOn();
    }
    for (auto& client : clients)
        if (!client->waitFor([&] { return client->welcomed(); }) || !client->join(kChannel))
            return {};
    return clients;
}

bool IrcServerFixture::waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        runtime.runFor(10);
    }
    return true;
}

bool IrcServerFixture::roomShowed(const std::string& text) const
{
    for (const auto& entry : room->transcript())
        if (entry.text.find(text) != std::string::npos)
            return true;
    return false;
}

int IrcServerFixture::disconnects() const
{
    int count = 0;
    for (const auto& entry : room->transcript())
        count += entry.text.starts_with("Disconnected") ? 1 : 0;
    return count;
}

std::string IrcServerFixture::ircReply(const std::string& body) const
{
    return htmlToIrc(bot->style.composeReply(" Tavu ", body));
}

} // namespace tavu::test
