#pragma once

#include <QDBusAbstractAdaptor>
#include <QStringList>

#include <functional>

namespace tavu {

class SideWindows;

// org.mpris.MediaPlayer2: who the player is, and bringing it up or ending it. Raise brings the
// player back in front; Quit runs the shutdown with its announcements, as the exit button does.
class MprisRoot : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ CanQuit)
    Q_PROPERTY(bool CanRaise READ CanRaise)
    Q_PROPERTY(bool HasTrackList READ HasTrackList)
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

public:
    // later: runs a call after the caller has had its answer.
    MprisRoot(QObject* parent, SideWindows& windows, std::function<void(std::function<void()>)> later);

    bool CanQuit() const { return true; }
    bool CanRaise() const { return true; }
    bool HasTrackList() const { return false; }
    QString Identity() const;
    QString DesktopEntry() const;
    QStringList SupportedUriSchemes() const;
    QStringList SupportedMimeTypes() const;

public slots:
    void Raise();
    void Quit();

private:
    SideWindows& m_windows;
    std::function<void(std::function<void()>)> m_later;
};

} // namespace tavu
