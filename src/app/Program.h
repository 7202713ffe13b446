#pragma once

#include "app/CommandLine.h"

#include <memory>
#include <string>

namespace tavu {

class Bot;
class ChatRoomWindow;
class LocalChatRoom;
class QtRuntime;

// The running program: assembles the event loop, the chat room, the bot and the windows.
class Program {
public:
    Program(const CommandLine& options, std::string programDir);
    ~Program();

    Bot& bot() { return *m_bot; }
    LocalChatRoom& room() { return *m_room; }
    ChatRoomWindow& chatWindow() { return *m_chatWindow; }

    void start();

private:
    CommandLine m_options;
    std::string m_programDir;
    std::unique_ptr<QtRuntime> m_runtime;
    std::unique_ptr<LocalChatRoom> m_room;
    std::unique_ptr<ChatRoomWindow> m_chatWindow;
    std::unique_ptr<Bot> m_bot;
};

// The owner's screen name in the built-in room: "Chat"/"Screen Name", or the login name.
std::string localScreenName(const std::string& settingsPath);

} // namespace tavu
