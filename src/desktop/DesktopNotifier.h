#pragma once

#include "util/Signal.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <optional>

namespace tavu {

class Bot;

// A desktop notification (org.freedesktop.Notifications) on every song start while "Desktop"/
// "Notify" is on: the title, with the artist and album of its tag; each one replaces the one
// before. Without a notification service on the bus nothing shows, and nothing waits for one.
class DesktopNotifier : public QObject {
public:
    DesktopNotifier(Bot& bot, const QDBusConnection& bus);

private:
    struct Note {
        QString summary;
        QString body;
    };
    void songStarted();
    void send(const Note& note);
    static QString notificationIcon();

    Bot& m_bot;
    QDBusConnection m_bus;
    Signal<>::Subscription m_following;
    uint m_shown = 0;           // the id of the notification on screen, which the next replaces
    bool m_waiting = false;     // for the id of the one just sent
    std::optional<Note> m_next; // a song that started meanwhile
};

} // namespace tavu
