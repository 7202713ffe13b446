#pragma once

#include <functional>

#include "util/Signal.h"

#include <QListWidget>

class QAbstractItemView;

namespace tavu {

class Bot;

// The playlist window's "Up next" list: the queue as the user sees it. Drag a song to reorder,
// Delete takes it out, Enter (or a double click) plays it; the songs before it leave the queue.
class UpNextList : public QListWidget {
    Q_OBJECT
public:
    explicit UpNextList(Bot& bot, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void rebuild();
    void playRow(int row);

    Bot& m_bot;
    Signal<>::Subscription m_following;
};

// Gives a view of the song list (rows as in the song list) a context menu with "Play next" and
// "Add to queue" for the song under the pointer.
void addQueueMenu(Bot& bot, QAbstractItemView* songs, std::function<int(const QModelIndex&)> songOf);

} // namespace tavu
