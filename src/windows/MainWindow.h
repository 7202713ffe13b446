#pragma once

#include "bot/SideWindows.h"
#include "util/Signal.h"

#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;

namespace Ribbonix {
class Scroller;
}

namespace tavu {

class Bot;
class Id3Window;
class PlaylistWindow;
class SkinButton;

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
    void closeMain() override;

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
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SkinButton* addButton(int icon, const QString& name, const QString& toolTip, QRect geometry);
    void buildControls();
    void observeBot();
    void dockPlaylist();
    void dockSideWindows();
    void unload();
    void watchDocking(QWidget* window);

    Bot& m_bot;
    Ribbonix::Scroller* m_scroller = nullptr;
    QLabel* m_txtTime = nullptr;
    QLabel* m_played = nullptr;
    QProgressBar* m_bar = nullptr;
    SkinButton* m_rep = nullptr;
    SkinButton* m_ran = nullptr;
    SkinButton* m_autoCont = nullptr;
    PlaylistWindow* m_playlist = nullptr;
    Id3Window* m_id3 = nullptr;
    QWidget* m_soundWindow = nullptr;
    Subscriptions m_following;
    bool m_docking = false;
    bool m_unloading = false;
};

} // namespace tavu
