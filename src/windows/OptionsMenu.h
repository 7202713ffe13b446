#pragma once

#include "util/Signal.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QAction;
class QMenu;

namespace tavu {

class Bot;
class CommandsWindow;
class HelpWindow;
class MainWindow;
class SettingsWindow;
class UpdateWindow;

// frmops: a window that is never shown; it holds the player's three pop-up menus. "File" opens
// from the main window's Menu button, "Open" from its ID3 button, "Sound" from the sound window's
// Menu button. The entries open the side windows, mute and unmute the player, minimise the main
// window and start the desktop's volume control. Every entry but "Id3 Editor\Viewer" clicks first.
// Nothing it opens is modal.
class OptionsMenu : public QWidget {
public:
    OptionsMenu(Bot& bot, MainWindow& main, QWidget* parent = nullptr);
    ~OptionsMenu() override;

    QMenu* File() const { return m_file; }
    QMenu* Sounds() const { return m_sounds; }
    QMenu* open() const { return m_open; }

    // Opens the menu at the mouse and returns at once.
    static void popUp(QMenu* menu);

    // The commands window and the update checker: the one that is open is raised, else a new one
    // is built (the update checker then checks again).
    CommandsWindow* showCommands();
    UpdateWindow* showUpdates();
    // The help window (the main window's "?") and the settings window ("Settings (Program)"), the
    // one that is open raised.
    HelpWindow* showHelp();
    SettingsWindow* showSettings();

    // Set by the program: what a changed chat room in the settings window calls.
    std::function<void()> reopenChatRoom;

private:
    QMenu* addMenu(QMenu* parent, const char* name, const QString& caption);
    QAction* addEntry(QMenu* menu, const char* name, const QString& caption, std::function<void()> action = {});
    void buildFile();
    void buildSounds();
    void buildOpen();
    void showMuteState();
    void showPlaylist();

    Bot& m_bot;
    MainWindow& m_main;
    Signal<>::Subscription m_followMute;
    QMenu* m_file;
    QMenu* m_sounds;
    QMenu* m_open;
    QAction* Mute = nullptr;
    QAction* UnMute = nullptr;
    QPointer<CommandsWindow> m_commands;
    QPointer<UpdateWindow> m_updates;
    QPointer<HelpWindow> m_help;
    QPointer<SettingsWindow> m_settings;
};

} // namespace tavu
