#pragma once

#include "client/LocalChatRoom.h"

#include <memory>
#include <string>

namespace tavu {

class Runtime;

// The chat room the "Chat" settings ask for: the built-in room (Network "local", empty or
// unknown) with the local screen name, or the IRC channel (Network "irc"), already signing on.
std::unique_ptr<LocalChatRoom> createChatRoom(const std::string& settingsPath, Runtime& runtime,
                                              const std::string& localScreenName);

} // namespace tavu
