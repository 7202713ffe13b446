#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <array>
#include <functional>

namespace tavu {

class Bot;

// The player's column: the main window and the windows docked under it, the playlist, then the
// sound window, then the ID3 window. It places the docked windows under the main window, tells the
// bot whenever one of the column moves, shows, hides or changes size (the bot's docking follows
// from there), and says when the column's place may have to be checked.
class WindowColumn : public QObject {
public:
    WindowColumn(Bot& bot, QWidget& main);

    enum Docked { Playlist, Sound, Id3 };
    // Docks a window in its place of the column (null for none yet).
    void setWindow(Docked place, QWidget* window);
    QWidget* window(Docked place) const { return m_docked[place]; }
    // The docked windows, from the top down.
    std::array<QWidget*, 3> windows() const { return {m_docked[Playlist], m_docked[Sound], m_docked[Id3]}; }

    // The playlist goes right under the main window.
    void dockPlaylist();
    // The visible side windows form one column under the playlist (or the main window): sound, ID3.
    void dockSideWindows();
    // The main window and the visible windows docked under it, as the column they form (they may
    // not have followed its last move yet).
    QRect geometry() const;

    // Called when the main window moved, and when a docked window showed or grew (it may reach past
    // the screen's edge now). Neither is called once the column is still.
    std::function<void()> mainMoved;
    std::function<void()> dockedGrew;
    // The program ends: the windows' moves mean nothing any more.
    void holdStill() { m_still = true; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Bot& m_bot;
    QWidget& m_main;
    std::array<QPointer<QWidget>, 3> m_docked;
    bool m_telling = false; // the bot is being told of a move, which may move windows again
    bool m_still = false;
};

} // namespace tavu
