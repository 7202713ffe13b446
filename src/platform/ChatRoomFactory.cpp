#include "platform/ChatRoomFactory.h"

#include "client/IrcChatRoom.h"
#include "platform/QtIrcTransport.h"
#include "settings/Settings.h"

namespace tavu {

std::unique_ptr<LocalChatRoom> createChatRoom(const std::string& settingsPath, Runtime& runtime,
                                              const std::string& localScreenName)
{
    const Settings settings(settingsPath);
    if (!wantsIrc(settings))
        return std::make_unique<LocalChatRoom>(localScreenName);
    IrcConfig config = IrcConfig::fromSettings(settings);
    config.version = "Tavu " TAVU_VERSION;
    auto transport = std::make_unique<QtIrcTransport>();
    if (!config.certificate.empty())
        transport->setClientCertificate(config.certificate, config.certificateKey);
    auto room = std::make_unique<IrcChatRoom>(runtime, std::move(transport), std::move(config));
    room->onServicesHost = [settingsPath](const std::string& host) {
        Settings(settingsPath).write(keys::ChatServicesHost, host);
    };
    room->start();
    return room;
}

} // namespace tavu
