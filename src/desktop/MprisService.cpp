#include "desktop/MprisService.h"

#include "desktop/MprisPlayer.h"
#include "desktop/MprisRoot.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QTimer>

namespace tavu {
namespace {

const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

bool registerName(QDBusConnection& bus, const QString& name)
{
    QDBusConnectionInterface* names = bus.interface();
    if (!names)
        return false;
    const auto reply = names->registerService(name, QDBusConnectionInterface::DontQueueService,
                                              QDBusConnectionInterface::DontAllowReplacement);
    return reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered;
}

} // namespace

MprisService::MprisService(Bot& bot, SideWindows& windows, const QDBusConnection& bus)
    : m_bus(bus), m_remote(bot),
      m_player(new MprisPlayer(this, m_remote, m_bus, [this](std::function<void()> call) { later(std::move(call)); }))
{
    new MprisRoot(this, windows, [this](std::function<void()> call) { later(std::move(call)); });
    m_published = MprisPlayer::properties(m_remote.state());
    m_following.follow(m_remote.changed, [this] { publishSoon(); });
    m_following.follow(m_remote.seeked, [this] { emit m_player->Seeked(m_remote.positionUs()); });
    if (!m_bus.isConnected() || !m_bus.registerObject(kObjectPath, this, QDBusConnection::ExportAdaptors))
        return;
    const QString name = QStringLiteral("org.mpris.MediaPlayer2.tavu");
    const QString instance = name + QStringLiteral(".instance") + QString::number(QCoreApplication::applicationPid());
    for (const QString& candidate : {name, instance})
        if (registerName(m_bus, candidate)) {
            m_name = candidate;
            break;
        }
}

MprisService::~MprisService()
{
    if (!m_name.isEmpty())
        m_bus.unregisterService(m_name);
    m_bus.unregisterObject(kObjectPath);
}

void MprisService::later(std::function<void()> call)
{
    QTimer::singleShot(0, this, std::move(call));
}

// Changes come in bursts (a song start changes the state, the title and the length one after the
// other); they go out together once the burst is over.
void MprisService::publishSoon()
{
    if (m_publishing)
        return;
    m_publishing = true;
    later([this] { publish(); });
}

void MprisService::publish()
{
    m_publishing = false;
    const QVariantMap now = MprisPlayer::properties(m_remote.state());
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (m_published.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    m_published = now;
    if (changed.isEmpty() || m_name.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    m_bus.send(signal);
}

} // namespace tavu
