#pragma once

#include "util/Signal.h"

#include <QWidget>

class QLineEdit;
class QSortFilterProxyModel;
class QTimer;
class QTreeView;

namespace tavu {

class Bot;
class SongListModel;

// The playlist window: the song list as the user sees it, a library view. The search field over it
// filters by title, artist, album or path (Esc clears it, Enter plays the first match, Ctrl+F goes
// there; letters typed in the list go there too). A click selects a song and shows its tag, a double
// click or Enter plays it; several songs can be selected. A click on a column's header sorts by it,
// and then next, previous and auto continue follow the order shown. It hangs under the main window,
// hides on its exit button, and keeps the size the user gives it by its corner.
class PlaylistWindow : public QWidget {
    Q_OBJECT
public:
    explicit PlaylistWindow(Bot& bot, QWidget* parent = nullptr);
    ~PlaylistWindow() override;

    QTreeView* songView() const { return m_view; }
    QLineEdit* searchField() const { return m_search; }
    // The song-list index of a row of the view, and back (an invalid index when it is filtered out).
    int songOf(const QModelIndex& viewIndex) const;
    QModelIndex rowOf(int song) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showSelection();
    void playCurrent();
    void playFirstMatch();
    void sortBy(int column, Qt::SortOrder order);
    void followSort();
    void storeSize();

    Bot& m_bot;
    SongListModel* m_model;
    QSortFilterProxyModel* m_sorted;   // the songs in the order of the header the owner clicked
    QSortFilterProxyModel* m_filtered; // of those, the ones the search finds
    QLineEdit* m_search;
    QTreeView* m_view;
    QTimer* m_sizeTimer;
    Subscriptions m_following;
    bool m_showing = false;
    bool m_ownerSorted = false;
};

} // namespace tavu
