#include "app/Program.h"

#include "app/BotAssembly.h"
#include "bot/Bot.h"
#include "bot/Lifecycle.h"
#include "client/ChatRoomWindow.h"
#include "client/LocalChatRoom.h"
#include "settings/Settings.h"
#include "util/QtPlatform.h"
#include "util/QtRuntime.h"
#include "util/SignalWatcher.h"
#include "windows/IntroWindow.h"
#include "windows/MainWindow.h"
#include "windows/Windows.h"

#include <QTimer>

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
    : m_options(options), m_dialogs(std::make_unique<QtDialogs>()), m_fonts(std::make_unique<QtFontList>())
{
    const std::string settingsPath = programDir + "/Tavu.ini";
    const std::string screenName = localScreenName(settingsPath);
    m_core = std::make_unique<BotAssembly>(std::move(programDir), *m_dialogs, *m_fonts, screenName);
    m_chatWindow = std::make_unique<ChatRoomWindow>(m_core->room());
    m_main = std::make_unique<MainWindow>(m_core->bot());
    installWindows(*m_main, m_core->bot());
    m_signals = std::make_unique<SignalWatcher>([this](int) { endBySignal(); });
}

Program::~Program()
{
    m_signals.reset();
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
    auto* intro = new IntroWindow(m_core->bot());
    const auto next = [this] {
        if (!m_mainShown && !showMainWindow())
            m_core->runtime().quit();
    };
    intro->onDone = next;
    QObject::connect(intro, &QObject::destroyed, m_main.get(), [next] { QTimer::singleShot(0, next); });
    intro->show();
    return true;
}

bool Program::showMainWindow()
{
    m_mainShown = true;
    if (m_core->runtime().quitting() || !Form_Load(m_core->bot()))
        return false;
    m_started = true;
    m_main->show();
    m_main->raise();
    return true;
}

void Program::endBySignal()
{
    if (m_started && !m_main->unloading())
        m_main->close();
    else
        m_core->runtime().quit();
}

} // namespace tavu
