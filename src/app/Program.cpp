#include "app/Program.h"

#include "bot/Bot.h"
#include "bot/Lifecycle.h"
#include "client/ChatRoomFactory.h"
#include "client/ChatRoomWindow.h"
#include "client/LocalChatRoom.h"
#include "player/SdlAudio.h"
#include "player/SdlMediaPlayer.h"
#include "player/SdlSoundPlayer.h"
#include "settings/Settings.h"
#include "util/QtPlatform.h"
#include "util/QtRuntime.h"
#include "windows/IntroWindow.h"
#include "windows/MainWindow.h"
#include "windows/Windows.h"

#include <QTimer>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

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
    : m_options(options), m_programDir(std::move(programDir)), m_runtime(std::make_unique<QtRuntime>()),
      m_audio(std::make_unique<SdlAudio>()), m_media(std::make_unique<SdlMediaPlayer>(*m_audio, *m_runtime)),
      m_sound(std::make_unique<SdlSoundPlayer>(*m_audio)), m_dialogs(std::make_unique<QtDialogs>()),
      m_fonts(std::make_unique<QtFontList>())
{
    m_audio->sleepWhenSilent(*m_runtime);
    const std::string settingsPath = m_programDir + "/Tavu.ini";
    m_room = createChatRoom(settingsPath, *m_runtime, localScreenName(settingsPath));
    m_chatWindow = std::make_unique<ChatRoomWindow>(*m_room);
    m_bot =
        std::make_unique<Bot>(*m_runtime, *m_room, m_programDir, BotServices{*m_media, *m_sound, *m_dialogs, *m_fonts});
    // Sounds: the program directory's Sounds/ first, then the build tree's, then the installed ones.
    m_bot->windowNotice = [room = m_room.get()](const std::string& text) { room->notice(text); };
    m_bot->soundFolders = {QCoreApplication::applicationDirPath().toStdString() + "/Sounds",
                           std::string(TAVU_DATA_DIR) + "/Sounds"};
    m_main = std::make_unique<MainWindow>(*m_bot);
    installWindows(*m_main, *m_bot);
}

Program::~Program()
{
    m_main.reset();
    m_bot.reset();
    m_chatWindow.reset();
    if (m_room)
        m_room->signOff();
    m_room.reset();
    m_sound.reset();
    m_media.reset();
    m_audio.reset();
}

bool Program::start()
{
    // The player's column at the left of the screen, the chat room beside it.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect free = screen->availableGeometry();
        m_main->move(free.left() + 24, free.top() + 24);
        m_chatWindow->move(m_main->x() + m_main->width() + 24, m_main->y());
    }
    m_chatWindow->show();
    if (m_options.noIntro)
        return showMainWindow();
    // The intro shows the main window when it is done; if the window system closes it before
    // that, the main window comes all the same.
    auto* intro = new IntroWindow(*m_bot);
    const auto next = [this] {
        if (!m_mainShown && !showMainWindow())
            m_runtime->quit();
    };
    intro->onDone = next;
    QObject::connect(intro, &QObject::destroyed, m_main.get(), [next] { QTimer::singleShot(0, next); });
    intro->show();
    return true;
}

bool Program::showMainWindow()
{
    m_mainShown = true;
    if (!Form_Load(*m_bot))
        return false;
    m_main->show();
    m_main->raise();
    return true;
}

} // namespace tavu
