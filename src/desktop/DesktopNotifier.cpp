#include "desktop/DesktopNotifier.h"

#include "bot/Bot.h"
#include "settings/DesktopSettings.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QIcon>

namespace tavu {

DesktopNotifier::DesktopNotifier(Bot& bot, const QDBusConnection& bus) : m_bot(bot), m_bus(bus)
{
    m_following = bot.songStarted.subscribe([this] { songStarted(); });
}

void DesktopNotifier::songStarted()
{
    if (!m_bus.isConnected() || !notifyOnSongStart(m_bot.settings()))
        return;
    const NowPlaying& now = m_bot.nowPlaying();
    QStringList about;
    for (const std::string* field : {&now.tag.artist, &now.tag.album})
        if (!field->empty())
            about << QString::fromStdString(*field);
    // The body may be shown as simple markup.
    // The tag's own title: the player's title may already hold the artist.
    const Note note{QString::fromStdString(now.tag.title.empty() ? now.title : now.tag.title),
                    about.join(QStringLiteral(" \u2014 ")).toHtmlEscaped()};
    if (m_waiting)
        m_next = note; // sent when the id to replace is known
    else
        send(note);
}

// The program's icon where it is installed in the icon theme; the desktop's generic sound icon
// where it is not (a build tree), since a name that resolves to nothing shows a blank or broken one.
QString DesktopNotifier::notificationIcon()
{
    return QIcon::hasThemeIcon(QStringLiteral("tavu")) ? QStringLiteral("tavu") : QStringLiteral("audio-x-generic");
}

void DesktopNotifier::send(const Note& note)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("tavu")}};
    call << QStringLiteral("Tavu") << m_shown << notificationIcon() << note.summary << note.body << QStringList()
         << hints << -1;
    m_waiting = true;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        const QDBusPendingReply<uint> reply = *done;
        if (reply.isValid())
            m_shown = reply.value();
        m_waiting = false;
        if (m_next) {
            const Note next = *m_next;
            m_next.reset();
            send(next);
        }
    });
}

} // namespace tavu
