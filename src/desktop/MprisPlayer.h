#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QVariantMap>

#include <QThreadPool>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavu {

class RemotePlayer;
class SongPaths;
struct RemoteState;
struct RemoteTrack;

// org.mpris.MediaPlayer2.Player: the player's state and controls for the desktop's media widgets,
// media keys and remotes. The controls run after the caller has had its answer, so that no caller
// waits for a message box or an announcement; the properties it sets read back at once.
//
// A flood of calls cannot hold the player up: the controls that arrive before the waiting ones
// have run join them, as one: presses of Next (or of Previous) in a row move as far as they asked,
// in one step; of the OpenUri calls in a row the last one plays; of the Volume settings the last
// one counts. OpenUri looks the file up on a worker thread and answers once it is found.
class MprisPlayer : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(QString LoopStatus READ LoopStatus WRITE setLoopStatus)
    Q_PROPERTY(double Rate READ Rate WRITE setRate)
    Q_PROPERTY(bool Shuffle READ Shuffle WRITE setShuffle)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(bool CanGoNext READ CanGoNext)
    Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
    Q_PROPERTY(bool CanPlay READ CanPlay)
    Q_PROPERTY(bool CanPause READ CanPause)
    Q_PROPERTY(bool CanSeek READ CanSeek)
    Q_PROPERTY(bool CanControl READ CanControl)

public:
    // later: runs a control after the caller has had its answer.
    MprisPlayer(QObject* parent, RemotePlayer& remote, const QDBusConnection& bus,
                std::function<void(std::function<void()>)> later);
    ~MprisPlayer() override;

    // Every property but Position, by name, as it goes on the bus.
    static QVariantMap properties(const RemoteState& state);
    static QVariantMap metadata(const RemoteTrack& track);
    // The object path that names a track, and back (0 for a path that names none of ours).
    static QDBusObjectPath trackId(qint64 number);
    static qint64 trackNumber(const QDBusObjectPath& path);

    QString PlaybackStatus() const;
    QString LoopStatus() const;
    void setLoopStatus(const QString& loop);
    double Rate() const { return 1.0; }
    void setRate(double) {} // plays at one speed only
    bool Shuffle() const;
    void setShuffle(bool shuffle);
    QVariantMap Metadata() const;
    double Volume() const;
    void setVolume(double volume);
    qlonglong Position() const;
    bool CanGoNext() const;
    bool CanGoPrevious() const;
    bool CanPlay() const;
    bool CanPause() const;
    bool CanSeek() const;
    bool CanControl() const { return true; }

public slots:
    void Next();
    void Previous();
    void Pause();
    void PlayPause();
    void Stop();
    void Play();
    void Seek(qlonglong Offset);
    void SetPosition(const QDBusObjectPath& TrackId, qlonglong Position);
    void OpenUri(const QString& Uri, const QDBusMessage& message);

signals:
    void Seeked(qlonglong Position);

private:
    // A control waiting to run; the kinds that join their like in a row have a name of their own.
    struct Control {
        enum class Kind { Other, Next, Previous, Open } kind = Kind::Other;
        int count = 1;
        std::function<void()> run; // Other and Open
    };

    void queue(Control control);
    void runQueued();
    void found(const QString& uri, const std::string& path, const std::shared_ptr<const SongPaths>& paths, int index,
               const QDBusMessage& message);

    RemotePlayer& m_remote;
    QDBusConnection m_bus;
    std::function<void(std::function<void()>)> m_later;
    std::deque<Control> m_queued;
    std::optional<double> m_volume; // set during a burst, and not yet handed on
    bool m_runPending = false;
    QThreadPool m_finder; // one thread: the OpenUri look-ups, in the order they came
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace tavu
