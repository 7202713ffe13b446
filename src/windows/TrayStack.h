#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <vector>

namespace tavu {

class Bot;
class WindowColumn;

// The player going away and coming back, to the tray or minimised, with the windows docked under
// it: those that showed hide with it, remembering where they were, and come back there with it.
class TrayStack {
public:
    TrayStack(Bot& bot, QWidget& main, WindowColumn& column) : m_bot(bot), m_main(main), m_column(column) {}

    // Hides the player and its docked windows, for the tray.
    void hideToTray();
    bool inTray() const { return m_inTray; }
    // Out of the tray (or back from minimised, or just raised): the player where it went to the
    // tray from, its docked windows where they were.
    void bringBack();
    // The main window's state changed: minimised, the docked windows go with it; back, they return.
    void stateChanged();
    // Whether the window shows, or hid with the player and comes back with it.
    bool open(const QWidget* window) const;

private:
    void hideDocked();
    void showDocked();

    // A docked window that hid with the player, and where it was.
    struct Hidden {
        QPointer<QWidget> window;
        QPoint at;
    };

    Bot& m_bot;
    QWidget& m_main;
    WindowColumn& m_column;
    std::vector<Hidden> m_hidden;
    bool m_inTray = false;
    QPoint m_trayAt;
};

} // namespace tavu
