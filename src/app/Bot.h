#pragma once

#include "chat/Dispatcher.h"
#include "client/ChatScanner.h"
#include "settings/Settings.h"
#include "style/Style.h"

#include <string>
#include <string_view>

namespace tavu {

class ChatRoom;
class Runtime;

// The running state of the bot, owned by the main window: the scanners, the trigger, the style and
// the settings file, and the command table they feed.
class Bot {
public:
    Bot(Runtime& runtime, ChatRoom& room, std::string programDir);
    Bot(const Bot&) = delete;
    Bot& operator=(const Bot&) = delete;
    ~Bot();

    Runtime& runtime() const { return m_runtime; }
    ChatRoom& room() const { return m_room; }
    const std::string& programDir() const { return m_programDir; }
    const Settings& settings() const { return m_settings; }
    Dispatcher& dispatcher() { return m_dispatcher; }

    // Reply lines: ComposeReply(lead, body), sent with ChatSend, or with ChatSendRaw for the raw ones.
    void reply(std::string_view body) { replyWith(kLeadTavu, body); }
    void replyWith(std::string_view lead, std::string_view body);
    void replyRaw(std::string_view body) { replyRawWith(kLeadTavu, body); }
    void replyRawWith(std::string_view lead, std::string_view body);

    // Starts the scanner Chat1 and reads the trigger and the style from the settings file.
    void startChat();

    ChatScanner Chat1; // feeds the dispatcher
    ChatScanner Chat2; // feeds the song selection dialogue
    Style style;
    std::string trig; // the command prefix

private:
    void setTrigger(const std::string& newTrigger);

    Runtime& m_runtime;
    ChatRoom& m_room;
    std::string m_programDir;
    Settings m_settings;
    Dispatcher m_dispatcher;
};

} // namespace tavu
