#pragma once

#include "util/Signal.h"

#include <QObject>

#include <functional>

class QMenu;
class QSystemTrayIcon;

namespace tavu {

class Bot;
class MainWindow;

// The player in the desktop's tray. The options menu's "To Systray" hides the player with its side
// windows and shows the icon, the song's title as its tooltip, with a menu (play or pause, next,
// previous, show the player, quit); a click brings the player back where it was, and the icon goes
// whenever the player shows again.
class PlayerTray : public QObject {
public:
    // available: whether the desktop shows a tray now.
    PlayerTray(Bot& bot, MainWindow& main, std::function<bool()> available);
    ~PlayerTray() override;

    void toTray();
    QSystemTrayIcon* icon() const { return m_icon; }
    QMenu* menu() const { return m_menu; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenu();
    void showTitle();

    Bot& m_bot;
    MainWindow& m_main;
    std::function<bool()> m_available;
    QMenu* m_menu;
    QSystemTrayIcon* m_icon;
    Signal<>::Subscription m_following;
};

} // namespace tavu
