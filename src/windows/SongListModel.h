#pragma once

#include "util/Signal.h"

#include <QAbstractTableModel>

#include <optional>
#include <vector>

namespace tavu {

class Bot;

// The playlist's songs as a Qt model, so that a view shows a hundred thousand songs without a
// widget item for each. With tag titles a row has the title, artist, album and track number of the
// song's tag and its length (read when a row is first asked for); otherwise one column, the song's title. The
// song that plays is bold, whatever is selected.
class SongListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Title, Artist, Album, Track, Length };
    // Every column's text, the song's path included, for the search.
    static constexpr int SearchRole = Qt::UserRole + 1;
    // The value a column sorts by (track numbers as numbers).
    static constexpr int SortRole = Qt::UserRole + 2;

    explicit SongListModel(Bot& bot, QObject* parent = nullptr);
    ~SongListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Row {
        QString title, artist, album;
        int track = 0;
        double seconds = 0; // 0 when unknown
    };
    bool tagColumns() const;
    const Row& row(int index) const;
    void playingChanged();

    Bot& m_bot;
    bool m_tagColumns = false;
    mutable std::vector<std::optional<Row>> m_rows;
    int m_playing = -1;
    Subscriptions m_following;
};

} // namespace tavu
