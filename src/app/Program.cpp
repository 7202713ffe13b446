#include "app/Program.h"

#include "app/BotAssembly.h"
#include "app/SignalShutdown.h"
#include "bot/Bot.h"
#include "bot/Lifecycle.h"
#include "bot/ProgramSettings.h"
#include "client/LocalChatRoom.h"
#include "desktop/Desktop.h"
#include "platform/QtRuntime.h"
#include "platform/SignalWatcher.h"
#include "player/SongFolder.h"
#include "settings/DesktopSettings.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "ui/QtPlatform.h"
#include "ui/WindowRoutines.h"
#include "util/ScreenPlace.h"
#include "windows/ChatRoomWindow.h"
#include "windows/IntroWindow.h"
#include "windows/MainWindow.h"
#include "windows/WelcomeWindow.h"
#include "windows/Windows.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <iostream>

namespace tavu {

std::string localScreenName(const std::string& settingsPath)
{
    std::string name = Settings(settingsPath).read(keys::ChatScreenName);
    if (name.empty())
        if (const char* user = std::getenv("USER"); user && *user)
            name = user;
    return name.empty() ? std::string("Owner") : name;
}

std::string suggestedMusicFolder()
{
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (music.isEmpty())
        return {};
    const std::string folder = music.toStdString();
    // The choices a new program directory starts with.
    return checkSongFolder(folder, {true, std::string(kNewProgramFormats)}) == SongFolderState::HasSongs
               ? folder
               : std::string();
}

Program::Program(const CommandLine& options, std::string programDir, bool firstStart)
    : m_firstStart(firstStart), m_options(options), m_programDir(programDir), m_dialogs(std::make_unique<QtDialogs>()),
      m_fonts(std::make_unique<QtFontList>())
{
    const std::string settingsPath = m_programDir + "/Tavu.ini";
    m_core = std::make_unique<BotAssembly>(std::move(programDir), *m_dialogs, *m_fonts, localScreenName(settingsPath));
    m_chatWindow = std::make_unique<ChatRoomWindow>(m_core->room());
    m_main = std::make_unique<MainWindow>(m_core->bot());
    installWindows(*m_main, m_core->bot(), [this] { reopenChatRoom(); });
    keepPasswordPrivate(m_core->bot().settings());
    m_desktop = std::make_unique<Desktop>(m_core->bot(), *m_main, QDBusConnection::sessionBus(), std::cerr);
    m_shutdown = std::make_unique<SignalShutdown>([this] { m_main->close(); },
                                                  [this] {
                                                      m_core->hurry();
                                                      m_core->runtime().quit();
                                                  });
    m_signals = std::make_unique<SignalWatcher>([this](int) { endBySignal(); });
}

Program::~Program()
{
    m_signals.reset();
    m_shutdown.reset();
    m_desktop.reset();
    m_main.reset();
    m_chatWindow.reset();
    m_core.reset();
}

Bot& Program::bot()
{
    return m_core->bot();
}

LocalChatRoom& Program::room()
{
    return m_core->room();
}

bool Program::start()
{
    // The player where it was in the last run, or in the column at the left of the screen; the
    // chat room beside it.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect free = screen->availableGeometry();
        if (!m_main->restorePlace())
            m_main->move(free.left() + 24, free.top() + 24);
        const QSize chat = m_chatWindow->frameGeometry().size();
        const ScreenBox at = besidePlayer({m_main->x(), m_main->y(), m_main->width(), m_main->height()}, chat.width(),
                                          chat.height(), desktopScreens());
        m_chatWindow->move(at.x, at.y);
    }
    m_chatWindow->show();
    // The window manager's frame is known only once the window shows: it must fit too.
    QTimer::singleShot(250, m_chatWindow.get(), [window = m_chatWindow.get()] { keepWhole(window); });
    if (!showsIntro(m_options, m_firstStart, bot().settings())) {
        if (!m_firstStart)
            return showMainWindow();
        showWelcome();
        return true;
    }
    // The intro shows the main window when it is done; if the window system closes it before
    // that, the main window comes all the same.
    auto* window = new IntroWindow(bot());
    const auto next = [this] { afterIntro(); };
    window->onDone = next;
    QObject::connect(window, &QObject::destroyed, m_main.get(), [next] { QTimer::singleShot(0, next); });
    window->show();
    return true;
}

void Program::afterIntro()
{
    if (m_mainShown || m_welcomeShown)
        return;
    if (m_firstStart)
        return showWelcome();
    if (!showMainWindow())
        m_core->runtime().quit();
}

// The first start's choices, then start-up, which finds them in the settings file. Closed without
// starting, start-up asks for what is missing as on any start.
void Program::showWelcome()
{
    m_welcomeShown = true;
    ProgramSettings suggestion;
    suggestion.musicFolder = suggestedMusicFolder();
    if (const char* user = std::getenv("USER"); user && *user)
        suggestion.handle = user;
    auto* welcome = new WelcomeWindow(bot(), suggestion);
    welcome->onDone = [this](const SettingsChanges& changes) {
        // Not inside the window's own close.
        QTimer::singleShot(0, m_main.get(), [this, changes] {
            if (changes.chatRoom)
                reopenChatRoom();
            if (!showMainWindow())
                m_core->runtime().quit();
        });
    };
    welcome->show();
    welcome->raise();
    welcome->activateWindow();
}

void Program::reopenChatRoom()
{
    m_core->reopenRoom(localScreenName(m_programDir + "/Tavu.ini"));
    m_chatWindow->setRoom(m_core->room());
}

bool Program::showMainWindow()
{
    m_mainShown = true;
    if (m_core->runtime().quitting())
        return false;
    bot().startTask(startUp());
    // Ended before its first wait (no handle given): the program ends before its loop starts.
    return !m_core->runtime().quitting();
}

Task<> Program::startUp()
{
    // Awaited on a line of its own: GCC 12 resumes a finished coroutine when a co_await stands
    // in the condition of an if.
    const bool begun = co_await beginSession(bot());
    if (begun)
        openMainWindow();
    else
        m_core->runtime().quit();
}

void Program::openMainWindow()
{
    m_started = true;
    m_main->show();
    m_main->raise();
    if (resumeSession(bot().settings()))
        if (const auto open = storedOpenWindows(bot().settings()))
            m_main->reopenSideWindows(*open);
}

void Program::endBySignal()
{
    if (m_started && (!m_main->unloading() || m_shutdown->signalsSeen() > 0))
        return m_shutdown->onSignal();
    m_core->hurry();
    m_core->runtime().quit();
}

} // namespace tavu
