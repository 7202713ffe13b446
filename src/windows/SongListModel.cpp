#include "windows/SongListModel.h"

#include "bot/Bot.h"
#include "queue/UpNext.h"
#include "ui/DisplayName.h"

#include <QFont>

#include <algorithm>

namespace tavu {
namespace {

// A song's name without its folders and its extension.
std::string bareName(const std::string& song)
{
    const std::size_t slash = song.rfind('/');
    std::string name = slash == std::string::npos ? song : song.substr(slash + 1);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0)
        name.resize(dot);
    return name;
}

} // namespace

SongListModel::SongListModel(Bot& bot, QObject* parent) : QAbstractTableModel(parent), m_bot(bot)
{
    m_tagColumns = tagColumns();
    m_following.follow(m_bot.playlistRows.itemsChanged, [this] {
        beginResetModel();
        m_tagColumns = tagColumns();
        m_rows.assign(m_bot.playlistRows.count(), std::nullopt);
        m_playing = -1;
        endResetModel();
        playingChanged();
    });
    m_following.follow(m_bot.songStarted, [this] { playingChanged(); });
    m_following.follow(m_bot.songCleared, [this] { playingChanged(); });
    m_rows.assign(m_bot.playlistRows.count(), std::nullopt);
}

SongListModel::~SongListModel() = default;

bool SongListModel::tagColumns() const
{
    return m_bot.library.options().tagTitles;
}

int SongListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_bot.playlistRows.count());
}

int SongListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : (m_tagColumns ? Length + 1 : 1);
}

const SongListModel::Row& SongListModel::row(int index) const
{
    const auto at = static_cast<std::size_t>(index);
    if (m_rows.size() != m_bot.playlistRows.count())
        m_rows.assign(m_bot.playlistRows.count(), std::nullopt);
    std::optional<Row>& cached = m_rows[at];
    if (!cached) {
        const std::string& song = m_bot.playlistRows.item(at);
        Row r;
        if (m_tagColumns) {
            const Id3Tag tag = m_bot.library.readTag(songPath(m_bot.songFiles, song));
            r.title = QString::fromStdString(tag.title);
            r.artist = QString::fromStdString(tag.artist);
            r.album = QString::fromStdString(tag.album);
            r.track = std::max(0, QString::fromStdString(tag.track).section(QLatin1Char('/'), 0, 0).toInt());
            if (m_bot.upNext)
                r.seconds = m_bot.upNext->length(song);
        }
        if (r.title.isEmpty())
            r.title =
                m_tagColumns ? displayName(bareName(song)) : QString::fromStdString(m_bot.library.title(song, at));
        cached = std::move(r);
    }
    return *cached;
}

QVariant SongListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(m_bot.playlistRows.count()))
        return {};
    if (role == Qt::FontRole) {
        if (index.row() != m_playing)
            return {};
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != SearchRole && role != SortRole)
        return {};
    const Row& r = row(index.row());
    if (role == SearchRole)
        return QStringList{r.title, r.artist, r.album,
                           displayName(m_bot.playlistRows.item(static_cast<std::size_t>(index.row())))}
            .join(QLatin1Char('\n'));
    switch (index.column()) {
    case Title:
        return (role == Qt::DisplayRole && index.row() == m_playing) ? QStringLiteral("\u25B6 ") + r.title : r.title;
    case Artist:
        return r.artist;
    case Album:
        return r.album;
    case Track:
        if (role == SortRole)
            return r.track;
        return r.track > 0 ? QVariant(r.track) : QVariant();
    case Length:
        if (role == SortRole)
            return r.seconds;
        return r.seconds > 0 ? QVariant(QString::fromStdString(minutesSeconds(r.seconds))) : QVariant();
    default:
        return {};
    }
}

QVariant SongListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Title:
        return QStringLiteral("Title");
    case Artist:
        return QStringLiteral("Artist");
    case Album:
        return QStringLiteral("Album");
    case Track:
        return QStringLiteral("#");
    case Length:
        return QStringLiteral("Time");
    default:
        return {};
    }
}

// The bold row follows the song that plays (by its name: the song list may have been refilled).
void SongListModel::playingChanged()
{
    const std::string& song = m_bot.nowPlaying().song;
    int now = -1;
    if (!song.empty()) {
        const int selected = m_bot.playlistRows.selectedIndex();
        if (selected >= 0 && m_bot.playlistRows.item(static_cast<std::size_t>(selected)) == song)
            now = selected;
        else
            for (std::size_t i = 0; i < m_bot.playlistRows.count(); ++i)
                if (m_bot.playlistRows.item(i) == song) {
                    now = static_cast<int>(i);
                    break;
                }
    }
    const int before = m_playing;
    m_playing = now;
    for (const int r : {before, now})
        if (r >= 0 && r < rowCount())
            emit dataChanged(index(r, 0), index(r, columnCount() - 1));
}

} // namespace tavu
