#include "desktop/MprisPlayer.h"

#include "bot/RemotePlayer.h"
#include "bot/SongPaths.h"

#include <QDBusMessage>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <utility>

namespace tavu {
namespace {

const QString kTrackPrefix = QStringLiteral("/org/tavu/track/");
const QString kNoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");

QString text(const std::string& s)
{
    return QString::fromStdString(s);
}

// The longest address OpenUri looks at: the longest path the system opens, every byte of it
// percent-encoded, after "file://". Anything longer is no song's address.
constexpr qsizetype kLongestUri = 7 + 3 * 4096;
// How much of a refused address the error repeats.
constexpr qsizetype kShownUri = 256;

QString shownUri(const QString& uri)
{
    return uri.size() <= kShownUri ? uri : uri.left(kShownUri) + QStringLiteral("…");
}

} // namespace

MprisPlayer::MprisPlayer(QObject* parent, RemotePlayer& remote, const QDBusConnection& bus,
                         std::function<void(std::function<void()>)> later)
    : QDBusAbstractAdaptor(parent), m_remote(remote), m_bus(bus), m_later(std::move(later))
{
    m_finder.setMaxThreadCount(1);
}

MprisPlayer::~MprisPlayer()
{
    *m_alive = false;
    m_finder.clear();
    m_finder.waitForDone();
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
    if (m_volume && std::isfinite(*m_volume))
        return std::clamp(*m_volume, 0.0, 1.0);
    return m_remote.state().volume;
}

void MprisPlayer::setVolume(double volume)
{
    if (!std::isfinite(volume))
        return;
    if (!m_runPending) { // the first of a burst takes effect at once, the last one when it is over
        m_remote.setVolume(volume);
        m_runPending = true;
        m_later([this] { runQueued(); });
        return;
    }
    m_volume = volume;
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
    queue({Control::Kind::Next, 1, {}});
}

void MprisPlayer::Previous()
{
    queue({Control::Kind::Previous, 1, {}});
}

void MprisPlayer::Pause()
{
    queue({Control::Kind::Other, 1, [this] { m_remote.pause(); }});
}

void MprisPlayer::PlayPause()
{
    queue({Control::Kind::Other, 1, [this] { m_remote.playPause(); }});
}

void MprisPlayer::Stop()
{
    queue({Control::Kind::Other, 1, [this] { m_remote.stop(); }});
}

void MprisPlayer::Play()
{
    queue({Control::Kind::Other, 1, [this] { m_remote.play(); }});
}

void MprisPlayer::Seek(qlonglong Offset)
{
    queue({Control::Kind::Other, 1, [this, Offset] { m_remote.seek(Offset); }});
}

void MprisPlayer::SetPosition(const QDBusObjectPath& TrackId, qlonglong Position)
{
    queue({Control::Kind::Other, 1,
           [this, number = trackNumber(TrackId), Position] { m_remote.setPosition(number, Position); }});
}

// Only a song of the music directory opens; anything else is refused with an error. The look-up
// runs on the finder's thread, over the song list as it was when the call came.
void MprisPlayer::OpenUri(const QString& Uri, const QDBusMessage& message)
{
    // An address longer than any path is refused before it is parsed or looked up.
    const bool tooLong = Uri.size() > kLongestUri;
    const QUrl url = tooLong ? QUrl() : QUrl(Uri);
    const std::string path = url.isLocalFile() ? url.toLocalFile().toStdString() : std::string();
    message.setDelayedReply(true);
    if (path.empty())
        return found(Uri, path, nullptr, -1, message);
    m_finder.start([this, alive = m_alive, paths = m_remote.songPaths(), Uri, path, message] {
        const int index = paths->indexOf(path);
        QMetaObject::invokeMethod(
            this,
            [this, alive, paths, Uri, path, message, index] {
                if (*alive)
                    found(Uri, path, paths, index, message);
            },
            Qt::QueuedConnection);
    });
}

void MprisPlayer::found(const QString& uri, const std::string& path, const std::shared_ptr<const SongPaths>& paths,
                        int index, const QDBusMessage& message)
{
    if (index < 0) {
        const QString why = uri.size() > kLongestUri ? QStringLiteral("address too long: %1")
                            : path.empty()           ? QStringLiteral("only local files open: %1")
                                                     : QStringLiteral("not a song of the music directory: %1");
        m_bus.send(message.createErrorReply(QDBusError::InvalidArgs, why.arg(shownUri(uri))));
        return;
    }
    m_bus.send(message.createReply());
    queue({Control::Kind::Open, 1, [this, paths, index, path] { m_remote.openFound(paths, index, path); }});
}

void MprisPlayer::queue(Control control)
{
    if (control.count > 0) {
        Control* last = m_queued.empty() ? nullptr : &m_queued.back();
        if (last && last->kind == control.kind && control.kind != Control::Kind::Other) {
            last->count += control.count; // Next and Previous add up; the last OpenUri counts
            if (control.run)
                last->run = std::move(control.run);
        } else {
            m_queued.push_back(std::move(control));
        }
    }
    if (m_runPending)
        return;
    m_runPending = true;
    m_later([this] { runQueued(); });
}

void MprisPlayer::runQueued()
{
    // A control may let events run (a song start's waits), and calls that come meanwhile join the
    // queue behind it, in their order.
    for (;;) {
        if (const std::optional<double> volume = std::exchange(m_volume, std::nullopt))
            m_remote.setVolume(*volume);
        if (m_queued.empty())
            break;
        Control control = std::move(m_queued.front());
        m_queued.pop_front();
        switch (control.kind) {
        case Control::Kind::Next:
            m_remote.next(control.count);
            break;
        case Control::Kind::Previous:
            m_remote.previous(control.count);
            break;
        default:
            control.run();
        }
    }
    m_runPending = false;
}

} // namespace tavu
