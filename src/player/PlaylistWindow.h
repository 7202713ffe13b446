#pragma once

#include "util/Signal.h"

#include <QWidget>

class QListView;

namespace tavu {

class Bot;
class SongListModel;

// The playlist window: the song list as the user sees it. A click selects a song and shows its
// tag, a double click plays it. It hangs under the main window and hides on its exit button.
class PlaylistWindow : public QWidget {
    Q_OBJECT
public:
    explicit PlaylistWindow(Bot& bot, QWidget* parent = nullptr);
    ~PlaylistWindow() override;

    QListView* lstmp3View() const { return m_view; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showSelection();

    Bot& m_bot;
    SongListModel* m_model;
    QListView* m_view;
    Signal<>::Subscription m_following;
    bool m_showing = false;
};

} // namespace tavu
