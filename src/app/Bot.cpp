#include "app/Bot.h"

#include "client/ChatRoom.h"

namespace tavu {

Bot::Bot(Runtime& runtime, ChatRoom& room, std::string programDir, BotServices services)
    : Chat1(runtime), Chat2(runtime), m_runtime(runtime), m_room(room), m_programDir(std::move(programDir)),
      m_settings(m_programDir + "/Tavu.ini"), m_services(services),
      m_dispatcher(room, trig, [this](const std::string& newTrigger) { setTrigger(newTrigger); })
{
    Chat1.ChatMsg = [this](const std::string& name, const std::string& said) { m_dispatcher.Chat1_ChatMsg(name, said); };
    m_room.attach(Chat1);
    m_room.attach(Chat2);
}

Bot::~Bot()
{
    m_room.detach(Chat1);
    m_room.detach(Chat2);
}

void Bot::replyWith(std::string_view lead, std::string_view body)
{
    m_room.ChatSend(style.ComposeReply(lead, body));
}

void Bot::replyRawWith(std::string_view lead, std::string_view body)
{
    m_room.ChatSendRaw(style.ComposeReply(lead, body));
}

void Bot::startChat()
{
    Chat1.StartScan();
    trig = m_settings.read(keys::Trig);
    style.LoadStyle(m_settings.path());
}

void Bot::setTrigger(const std::string& newTrigger)
{
    m_settings.write(keys::TrigWritten, newTrigger);
    trig = newTrigger;
    reply(" Trig Is Now [" + newTrigger + "] ");
}

} // namespace tavu
