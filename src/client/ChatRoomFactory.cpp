#include "client/ChatRoomFactory.h"

#include "client/IrcChatRoom.h"
#include "client/QtIrcTransport.h"
#include "settings/Settings.h"

namespace tavu {

std::unique_ptr<LocalChatRoom> createChatRoom(const std::string& settingsPath, Runtime& runtime,
                                              const std::string& localScreenName)
{
    const Settings settings(settingsPath);
    if (!wantsIrc(settings))
        return std::make_unique<LocalChatRoom>(localScreenName);
    auto room =
        std::make_unique<IrcChatRoom>(runtime, std::make_unique<QtIrcTransport>(), IrcConfig::fromSettings(settings));
    room->start();
    return room;
}

} // namespace tavu
