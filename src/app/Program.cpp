#include "app/Program.h"

#include "bot/Bot.h"
#include "bot/Lifecycle.h"
#include "bot/ProgramSettings.h"
#include "client/ChatRoomFactory.h"
#include "client/ChatRoomWindow.h"
#include "client/LocalChatRoom.h"
#include "desktop/Desktop.h"
#include "id3/TagLibReader.h"
#include "player/SdlAudio.h"
#include "player/SdlMediaPlayer.h"
#include "player/SdlSoundPlayer.h"
#include "player/SongFolder.h"
#include "player/SqliteLibraryCache.h"
#include "settings/Settings.h"
#include "util/QtPlatform.h"
#include "util/QtRuntime.h"
#include "windows/IntroWindow.h"
#include "windows/MainWindow.h"
#include "windows/WelcomeWindow.h"
#include "windows/Windows.h"

#include <QTimer>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

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
    return checkSongFolder(folder, {true, "flac ogg opus"}) == SongFolderState::HasSongs ? folder : std::string();
}

Program::Program(const CommandLine& options, std::string programDir, bool firstStart)
    : m_firstStart(firstStart), m_options(options), m_programDir(std::move(programDir)),
      m_runtime(std::make_unique<QtRuntime>()), m_audio(std::make_unique<SdlAudio>()),
      m_media(std::make_unique<SdlMediaPlayer>(*m_audio, *m_runtime)),
      m_sound(std::make_unique<SdlSoundPlayer>(*m_audio)), m_dialogs(std::make_unique<QtDialogs>()),
      m_fonts(std::make_unique<QtFontList>()), m_tags(std::make_unique<TagLibReader>()),
      m_libraryCache(std::make_unique<SqliteLibraryCache>(m_programDir + "/Library.db"))
{
    m_audio->sleepWhenSilent(*m_runtime);
    const std::string settingsPath = m_programDir + "/Tavu.ini";
    m_room = createChatRoom(settingsPath, *m_runtime, localScreenName(settingsPath));
    m_chatWindow = std::make_unique<ChatRoomWindow>(*m_room);
    m_bot = std::make_unique<Bot>(
        *m_runtime, *m_room, m_programDir,
        BotServices{*m_media, *m_sound, *m_dialogs, *m_fonts, m_tags.get(), m_libraryCache.get()});
    // Sounds: the program directory's Sounds/ first, then the build tree's, then the installed ones.
    m_bot->windowNotice = [room = m_room.get()](const std::string& text) { room->notice(text); };
    m_bot->soundFolders = {QCoreApplication::applicationDirPath().toStdString() + "/Sounds",
                           std::string(TAVU_DATA_DIR) + "/Sounds"};
    m_main = std::make_unique<MainWindow>(*m_bot);
    installWindows(*m_main, *m_bot, [this] { reopenChatRoom(); });
    keepPasswordPrivate(m_bot->settings());
    m_desktop = std::make_unique<Desktop>(*m_bot, *m_main, QDBusConnection::sessionBus(), std::cerr);
}

Program::~Program()
{
    m_desktop.reset();
    m_main.reset();
    m_bot.reset();
    m_chatWindow.reset();
    if (m_room)
        m_room->signOff();
    m_room.reset();
    m_oldRooms.clear();
    m_sound.reset();
    m_media.reset();
    m_audio.reset();
}

bool Program::start()
{
    // The player where it was in the last run, or in the column at the left of the screen; the
    // chat room beside it.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect free = screen->availableGeometry();
        if (!m_main->restorePlace())
            m_main->move(free.left() + 24, free.top() + 24);
        QRect chat(QPoint(m_main->x() + m_main->width() + 24, m_main->y()), m_chatWindow->frameGeometry().size());
        if (!free.contains(chat)) // to the left of the player, or as far right as it fits
            chat.moveLeft(
                std::max(free.left(), std::min(m_main->x() - 24 - chat.width(), free.right() - chat.width())));
        m_chatWindow->move(chat.topLeft());
    }
    m_chatWindow->show();
    if (!showsIntro(m_options, m_firstStart, m_bot->settings())) {
        if (!m_firstStart)
            return showMainWindow();
        showWelcome();
        return true;
    }
    // The intro shows the main window when it is done; if the window system closes it before
    // that, the main window comes all the same.
    auto* window = new IntroWindow(*m_bot);
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
        m_runtime->quit();
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
    auto* welcome = new WelcomeWindow(*m_bot, suggestion);
    welcome->onDone = [this](const SettingsChanges& changes) {
        // Not inside the window's own close.
        QTimer::singleShot(0, m_main.get(), [this, changes] {
            if (changes.chatRoom)
                reopenChatRoom();
            if (!showMainWindow())
                m_runtime->quit();
        });
    };
    welcome->show();
    welcome->raise();
    welcome->activateWindow();
}

void Program::reopenChatRoom()
{
    const std::string settingsPath = m_programDir + "/Tavu.ini";
    std::unique_ptr<LocalChatRoom> room = createChatRoom(settingsPath, *m_runtime, localScreenName(settingsPath));
    room->notice("The chat room changed in the settings.");
    m_bot->moveToRoom(*room);
    m_chatWindow->setRoom(*room);
    m_room->signOff();
    // The old room goes once the events queued before now have run.
    m_oldRooms.push_back(std::move(m_room));
    m_room = std::move(room);
    m_runtime->post([this] { m_oldRooms.clear(); });
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
