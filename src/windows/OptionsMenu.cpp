#include "windows/OptionsMenu.h"

#include "bot/Bot.h"
#include "bot/PlayerControls.h"
#include "windows/CommandsWindow.h"
#include "windows/DesktopMixer.h"
#include "windows/DirectoryWindow.h"
#include "windows/HelpWindow.h"
#include "windows/Id3Window.h"
#include "windows/MainWindow.h"
#include "windows/SettingsWindow.h"
#include "windows/UpdateWindow.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

namespace tavu {

namespace {
// A new window of its own opens in the middle of the screen, clear of the player at its left.
void centre(QWidget* window)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}

void bringUp(QWidget* window)
{
    if (window->isMinimized())
        window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
}
} // namespace

OptionsMenu::OptionsMenu(Bot& bot, MainWindow& main, QWidget* parent)
    : QWidget(parent, Qt::Window), m_bot(bot), m_main(main), m_file(new QMenu(QStringLiteral("File"), this)),
      m_sounds(new QMenu(QStringLiteral("Sound"), this)), m_open(new QMenu(QStringLiteral("Open"), this))
{
    setObjectName(QStringLiteral("frmops"));
    m_file->setObjectName(QStringLiteral("File"));
    m_sounds->setObjectName(QStringLiteral("Sounds"));
    m_open->setObjectName(QStringLiteral("Open"));
    buildFile();
    buildSounds();
    buildOpen();
}

// The windows opened from here go with the menu; they are not children, so that they are windows
// of their own.
OptionsMenu::~OptionsMenu()
{
    delete m_commands.data();
    delete m_updates.data();
    delete m_help.data();
    delete m_settings.data();
}

void OptionsMenu::popUp(QMenu* menu)
{
    menu->popup(QCursor::pos());
}

QMenu* OptionsMenu::addMenu(QMenu* parent, const char* name, const QString& caption)
{
    QMenu* menu = parent->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

// An entry without an action does nothing when chosen; such entries are disabled or sit in a
// disabled menu.
QAction* OptionsMenu::addEntry(QMenu* menu, const char* name, const QString& caption, std::function<void()> action)
{
    QAction* entry = menu->addAction(caption);
    entry->setObjectName(QString::fromLatin1(name));
    if (action)
        connect(entry, &QAction::triggered, this, [this, action = std::move(action)] {
            m_bot.playSound("Click.wav");
            action();
        });
    return entry;
}

void OptionsMenu::buildFile()
{
    QMenu* options = addMenu(m_file, "Options", QStringLiteral("Options"));
    addEntry(options, "Ccoms", QStringLiteral("View Commands"), [this] { showCommands(); });
    addEntry(options, "Directory", QStringLiteral("Change Directory"), [this] { DirectoryWindow::open(m_bot); });
    addEntry(options, "Settings2", QStringLiteral("Settings (Program)"), [this] { showSettings(); });
    addEntry(options, "Updates", QStringLiteral("Check For Updates"), [this] { showUpdates(); });

    QMenu* info = addMenu(m_file, "Info", QStringLiteral("Info"));
    addEntry(info, "About", QStringLiteral("About"));
    addEntry(info, "CDir", QStringLiteral("Current Directory"));
    addEntry(info, "Settings", QStringLiteral("Settings (mp3)"));
    info->menuAction()->setEnabled(false);

    QMenu* minimize = addMenu(m_file, "Minimize", QStringLiteral("Minimize"));
    // "To Systray" works where the desktop has a tray; one may come or go while the program runs.
    QAction* systray = addEntry(minimize, "Systray", QStringLiteral("To Systray"), [this] {
        if (m_main.systray.enter)
            m_main.systray.enter();
    });
    const auto showTray = [this, systray] {
        systray->setEnabled(m_main.systray.available && m_main.systray.available());
    };
    showTray();
    connect(m_file, &QMenu::aboutToShow, this, showTray);
    addEntry(minimize, "Taskbar", QStringLiteral("To Taskbar"), [this] { m_main.minimizeMain(); });
}

void OptionsMenu::buildSounds()
{
    // Exactly one of the two is enabled: "Un-Mute" while the player is muted, by any road.
    Mute = addEntry(m_sounds, "Mute", QStringLiteral("Mute"), [this] {
        if (!m_bot.muted())
            setMuted(m_bot, true);
    });
    UnMute = addEntry(m_sounds, "UnMute", QStringLiteral("Un-Mute"), [this] {
        if (m_bot.muted())
            setMuted(m_bot, false);
    });
    m_followMute = m_bot.muteChanged.subscribe([this] { showMuteState(); });
    showMuteState();
    m_sounds->addSeparator()->setObjectName(QStringLiteral("dash"));
    // Without a volume control on this desktop the entry only clicks.
    addEntry(m_sounds, "Sound", QStringLiteral("Sound"), [] { startDesktopMixer(); });
}

void OptionsMenu::buildOpen()
{
    addEntry(m_open, "Playlist", QStringLiteral("Playlist"), [this] { showPlaylist(); });
    // The one entry that makes no sound.
    QAction* id3 = m_open->addAction(QStringLiteral("Id3 Editor\\Viewer"));
    id3->setObjectName(QStringLiteral("ID3"));
    connect(id3, &QAction::triggered, this, [this] { m_main.id3Window()->showFromOptionsMenu(); });
}

void OptionsMenu::showMuteState()
{
    Mute->setEnabled(!m_bot.muted());
    UnMute->setEnabled(m_bot.muted());
}

void OptionsMenu::showPlaylist()
{
    m_main.setPlaylistVisible(true);
    m_bot.playlistDocking.setEnabled(true);
}

CommandsWindow* OptionsMenu::showCommands()
{
    if (!m_commands)
        m_commands = new CommandsWindow(m_bot);
    bringUp(m_commands);
    return m_commands;
}

UpdateWindow* OptionsMenu::showUpdates()
{
    if (!m_updates)
        m_updates = new UpdateWindow(m_bot);
    bringUp(m_updates);
    return m_updates;
}

HelpWindow* OptionsMenu::showHelp()
{
    if (!m_help) {
        m_help = new HelpWindow(m_bot);
        centre(m_help);
    }
    bringUp(m_help);
    return m_help;
}

SettingsWindow* OptionsMenu::showSettings()
{
    if (!m_settings) {
        m_settings = new SettingsWindow(m_bot);
        centre(m_settings);
        m_settings->reopenChatRoom = [this] {
            if (reopenChatRoom)
                reopenChatRoom();
        };
    }
    bringUp(m_settings);
    return m_settings;
}

} // namespace tavu
