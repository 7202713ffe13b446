#include "desktop/MprisPlayer.h"

#include "bot/RemotePlayer.h"

#include <QDBusMessage>
#include <QUrl>

namespace tavu {
namespace {

const QString kTrackPrefix = QStringLiteral("/org/tavu/track/");
const QString kNoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");

QString text(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

MprisPlayer::MprisPlayer(QObject* parent, RemotePlayer& remote, const QDBusConnection& bus,
                         std::function<void(std::function<void()>)> later)
    : QDBusAbstractAdaptor(parent), m_remote(remote), m_bus(bus), m_later(std::move(later))
{
}

QDBusObjectPath MprisPlayer::trackId(qint64 number)
{
    return QDBusObjectPath(number > 0 ? kTrackPrefix + QString::number(number) : kNoTrack);
}

qint64 MprisPlayer::trackNumber(const QDBusObjectPath& path)
{
    const QString id = path.path();
    if (!id.startsWith(kTrackPrefix))
        return 0;
    bool ok = false;
    const qint64 number = id.mid(kTrackPrefix.size()).toLongLong(&ok);
    return ok ? number : 0;
}

QVariantMap MprisPlayer::metadata(const RemoteTrack& track)
{
    QVariantMap map{{QStringLiteral("mpris:trackid"), QVariant::fromValue(trackId(track.number))}};
    if (track.number == 0)
        return map;
    map.insert(QStringLiteral("mpris:length"), QVariant::fromValue(qlonglong(track.lengthUs)));
    map.insert(QStringLiteral("xesam:title"), text(track.title));
    if (!track.artist.empty())
        map.insert(QStringLiteral("xesam:artist"), QStringList{text(track.artist)});
    if (!track.album.empty())
        map.insert(QStringLiteral("xesam:album"), text(track.album));
    map.insert(QStringLiteral("xesam:url"), QUrl::fromLocalFile(text(track.path)).toString(QUrl::FullyEncoded));
    if (track.trackNumber > 0)
        map.insert(QStringLiteral("xesam:trackNumber"), track.trackNumber);
    if (!track.artPath.empty())
        map.insert(QStringLiteral("mpris:artUrl"),
                   QUrl::fromLocalFile(text(track.artPath)).toString(QUrl::FullyEncoded));
    return map;
}

QVariantMap MprisPlayer::properties(const RemoteState& s)
{
    return {
        {QStringLiteral("PlaybackStatus"), text(s.status)},
        {QStringLiteral("LoopStatus"), text(s.loop)},
        {QStringLiteral("Rate"), 1.0},
        {QStringLiteral("Shuffle"), s.shuffle},
        {QStringLiteral("Metadata"), metadata(s.track)},
        {QStringLiteral("Volume"), s.volume},
        {QStringLiteral("MinimumRate"), 1.0},
        {QStringLiteral("MaximumRate"), 1.0},
        {QStringLiteral("CanGoNext"), s.canGoNext},
        {QStringLiteral("CanGoPrevious"), s.canGoPrevious},
        {QStringLiteral("CanPlay"), s.canPlay},
        {QStringLiteral("CanPause"), s.canPause},
        {QStringLiteral("CanSeek"), s.canSeek},
        {QStringLiteral("CanControl"), true},
    };
}

QString MprisPlayer::PlaybackStatus() const
{
    return text(m_remote.state().status);
}

QString MprisPlayer::LoopStatus() const
{
    return text(m_remote.state().loop);
}

void MprisPlayer::setLoopStatus(const QString& loop)
{
    m_remote.setLoopStatus(loop.toStdString());
}

bool MprisPlayer::Shuffle() const
{
    return m_remote.state().shuffle;
}

void MprisPlayer::setShuffle(bool shuffle)
{
    m_remote.setShuffle(shuffle);
}

QVariantMap MprisPlayer::Metadata() const
{
    return metadata(m_remote.state().track);
}

double MprisPlayer::Volume() const
{
    return m_remote.state().volume;
}

void MprisPlayer::setVolume(double volume)
{
    m_remote.setVolume(volume);
}

qlonglong MprisPlayer::Position() const
{
    return m_remote.positionUs();
}

bool MprisPlayer::CanGoNext() const
{
    return m_remote.state().canGoNext;
}

bool MprisPlayer::CanGoPrevious() const
{
    return m_remote.state().canGoPrevious;
}

bool MprisPlayer::CanPlay() const
{
    return m_remote.state().canPlay;
}

bool MprisPlayer::CanPause() const
{
    return m_remote.state().canPause;
}

bool MprisPlayer::CanSeek() const
{
    return m_remote.state().canSeek;
}

void MprisPlayer::Next()
{
    m_later([this] { m_remote.Next(); });
}

void MprisPlayer::Previous()
{
    m_later([this] { m_remote.Previous(); });
}

void MprisPlayer::Pause()
{
    m_later([this] { m_remote.Pause(); });
}

void MprisPlayer::PlayPause()
{
    m_later([this] { m_remote.PlayPause(); });
}

void MprisPlayer::Stop()
{
    m_later([this] { m_remote.Stop(); });
}

void MprisPlayer::Play()
{
    m_later([this] { m_remote.Play(); });
}

void MprisPlayer::Seek(qlonglong Offset)
{
    m_later([this, Offset] { m_remote.Seek(Offset); });
}

void MprisPlayer::SetPosition(const QDBusObjectPath& TrackId, qlonglong Position)
{
    m_later([this, number = trackNumber(TrackId), Position] { m_remote.SetPosition(number, Position); });
}

// Only a song of the music directory opens; anything else is refused with an error.
void MprisPlayer::OpenUri(const QString& Uri, const QDBusMessage& message)
{
    const QUrl url(Uri);
    const std::string path = url.isLocalFile() ? url.toLocalFile().toStdString() : std::string();
    if (path.empty() || m_remote.songIndexOf(path) < 0) {
        message.setDelayedReply(true);
        m_bus.send(message.createErrorReply(QDBusError::InvalidArgs,
                                            url.isLocalFile()
                                                ? QStringLiteral("not a song of the music directory: %1").arg(Uri)
                                                : QStringLiteral("only local files open: %1").arg(Uri)));
        return;
    }
    m_later([this, path] { m_remote.OpenUri(path); });
}

} // namespace tavu
