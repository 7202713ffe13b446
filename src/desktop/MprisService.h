#pragma once

#include "bot/RemotePlayer.h"

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

namespace tavu {

class Bot;
class MprisPlayer;
class SideWindows;

// The player on the session bus as an MPRIS 2.2 media player: the object /org/mpris/MediaPlayer2
// under the name org.mpris.MediaPlayer2.tavu (org.mpris.MediaPlayer2.tavu.instance<pid> while
// another Tavu holds that one). Every change of a property goes out in one PropertiesChanged, a
// jump of the song that plays in Seeked.
class MprisService : public QObject {
public:
    MprisService(Bot& bot, SideWindows& windows, const QDBusConnection& bus);
    ~MprisService() override;

    // The name it holds on the bus; empty when it could not register.
    const QString& serviceName() const { return m_name; }
    RemotePlayer& remote() { return m_remote; }

private:
    void later(std::function<void()> call);
    void publishSoon();
    void publish();

    QDBusConnection m_bus;
    RemotePlayer m_remote;
    MprisPlayer* m_player;
    Subscriptions m_following;
    QVariantMap m_published;
    bool m_publishing = false;
    QString m_name;
};

} // namespace tavu
