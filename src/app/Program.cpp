#include "app/Program.h"

#include "app/Bot.h"
#include "client/ChatRoomWindow.h"
#include "client/LocalChatRoom.h"
#include "settings/Settings.h"
#include "util/QtRuntime.h"

#include <cstdlib>

namespace tavu {

std::string localScreenName(const std::string& settingsPath)
{
    std::string name = Settings(settingsPath).read(keys::ChatScreenName);
    if (name.empty())
        if (const char* user = std::getenv("USER"); user && *user)
            name = user;
    return name.empty() ? std::string("Owner") : name;
}

Program::Program(const CommandLine& options, std::string programDir)
    : m_options(options), m_programDir(std::move(programDir)), m_runtime(std::make_unique<QtRuntime>())
{
    m_room = std::make_unique<LocalChatRoom>(localScreenName(m_programDir + "/Tavu.ini"));
    m_chatWindow = std::make_unique<ChatRoomWindow>(*m_room);
    m_bot = std::make_unique<Bot>(*m_runtime, *m_room, m_programDir);
}

Program::~Program()
{
    m_bot.reset();
    m_chatWindow.reset();
    m_room.reset();
}

void Program::start()
{
    m_chatWindow->show();
    m_bot->startChat();
}

} // namespace tavu
