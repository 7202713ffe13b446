#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QVariantMap>

#include <vector>

namespace tavu::test {

// A session bus of the test's own: a dbus-daemon that knows no services to start, stopped when the
// object goes. Its connections are made with connect().
class SessionBus {
public:
    SessionBus();
    ~SessionBus();
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

    const QString& address() const { return m_address; }
    // A new connection to the bus; name tells the connections apart.
    QDBusConnection connect(const QString& name);
    // Runs playerctl on the bus (for player tavu), keeping this program's events running meanwhile.
    // The standard output, trimmed; exitCode gets the exit status.
    QString playerctl(const QStringList& arguments, int* exitCode = nullptr);

private:
    QProcess m_daemon;
    QString m_address;
    QStringList m_connections;
    QString m_config;
};

// What the player sends on the bus: PropertiesChanged and Seeked.
class PlayerSignals : public QObject {
    Q_OBJECT
public:
    explicit PlayerSignals(QDBusConnection bus);

    struct Change {
        QString interface;
        QVariantMap changed;
    };
    std::vector<Change> changes;
    std::vector<qlonglong> seeks;
    // Waits, events running, until a change names this property (true) or a second has passed.
    bool waitForChange(const QString& property);

public slots:
    void propertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);
    void seeked(qlonglong position);
};

// A notification server: org.freedesktop.Notifications that records what it is asked to show.
class NotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    // Registers on the bus; false when it could not.
    bool serve(QDBusConnection bus);

    struct Shown {
        QString app;
        uint replaces;
        QString icon, summary, body;
        QVariantMap hints;
        uint id;
    };
    std::vector<Shown> shown;

public slots:
    uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary, const QString& body,
                const QStringList& actions, const QVariantMap& hints, int timeout);
    QStringList GetCapabilities() { return {QStringLiteral("body")}; }

private:
    uint m_next = 40;
};

} // namespace tavu::test
