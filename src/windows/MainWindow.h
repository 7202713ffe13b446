#pragma once

#include "bot/SideWindows.h"
#include "settings/DesktopSettings.h"
#include "util/Signal.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QProgressBar;
class QTimer;

namespace Ribbonix {
class Scroller;
}

namespace tavu {

class Bot;
class Id3Window;
class PlaylistWindow;
class SkinButton;
class TrayStack;
class WindowColumn;

// "Tavu Player": the borderless, topmost main window with the scrolling title, the clock and the
// buttons. It shows the bot's state and forwards clicks to the same operations the chat commands
// use; closing it shuts the program down.
class MainWindow : public QWidget, public SideWindows {
    Q_OBJECT
public:
    explicit MainWindow(Bot& bot, QWidget* parent = nullptr);
    ~MainWindow() override;

    // SideWindows
    void setPlaylistVisible(bool visible) override;
    bool playlistVisible() const override;
    void setId3Visible(bool visible) override;
    void showCommands() override;
    void minimizeMain() override;
    void showMain() override;
    void closeMain() override;

    // The side windows open now (or hidden with the player in the tray), and opening those of the
    // last run, for "Resume".
    OpenSideWindows openSideWindows() const;
    void reopenSideWindows(const OpenSideWindows& open);

    // Hides the player and its side windows, for the tray; showMain brings them back.
    void hideToTray();
    // The tray of the options menu's "To Systray": whether the desktop shows one now, and going
    // there. Unset where the program has no tray.
    struct Systray {
        std::function<bool()> available;
        std::function<void()> enter;
    } systray;

    // Puts the window where it was in the last run, kept on a visible screen. False when no place
    // is stored.
    bool restorePlace();
    // The player's column (this window and the windows docked under it) is moved back onto a
    // screen if it left all of them, and this window's place is stored. Runs by itself a moment
    // after the window has stopped moving, and when a screen goes.
    void placeSettled();

    PlaylistWindow* playlist() const { return m_playlist; }
    Id3Window* id3Window(); // created hidden on first use
    Ribbonix::Scroller* scroller() const { return m_scroller; }

    // The sound window of another part of the program; it docks under the playlist.
    void setSoundWindow(QWidget* window);
    QWidget* soundWindow() const { return m_soundWindow; }
    std::function<void()> openMenu;      // the Menu button's pop-up
    std::function<void()> openId3Menu;   // the ID3 button's pop-up
    std::function<void()> openCommands;  // the commands window
    std::function<void()> openHelp;      // the help window, from the Help button
    std::function<void()> onSoundButton; // the Sound button, after its click

    // Runs the shutdown once; further closes are ignored.
    bool unloading() const { return m_unloading; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    SkinButton* addButton(int icon, const QString& name, const QString& toolTip, QRect geometry);
    void buildControls();
    void showOnAir();
    void observeBot();
    void dockPlaylist();
    void dockSideWindows();
    void unload();
    void exitClick();
    void showPlayState();
    void showMute();

    Bot& m_bot;
    Ribbonix::Scroller* m_scroller = nullptr;
    QLabel* m_txtTime = nullptr;
    QLabel* m_pausedTitle = nullptr; // stands still in the scroller's place while the song is paused
    QLabel* m_played = nullptr;
    QLabel* m_onAir = nullptr; // shown while the stream's mount is open
    QProgressBar* m_bar = nullptr;
    SkinButton* m_rep = nullptr;
    SkinButton* m_ran = nullptr;
    SkinButton* m_autoCont = nullptr;
    PlaylistWindow* m_playlist = nullptr;
    Id3Window* m_id3 = nullptr;
    QWidget* m_soundWindow = nullptr;
    Subscriptions m_following;
    WindowColumn* m_column = nullptr;   // the windows docked under this one
    std::unique_ptr<TrayStack> m_stack; // going to the tray or minimised with them
    QTimer* m_placeTimer = nullptr;
    bool m_unloading = false;
};

} // namespace tavu
