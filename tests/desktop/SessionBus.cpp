#include "SessionBus.h"

#include <QDBusConnectionInterface>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace tavu::test {

namespace {
// Anyone may own any name and send anything; no service is ever started on demand.
const char* const kConfig = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";
} // namespace

SessionBus::SessionBus()
{
    m_config = QDir::temp().filePath(QStringLiteral("tavu-test-bus-%1.conf").arg(QCoreApplication::applicationPid()));
    QFile config(m_config);
    if (config.open(QIODevice::WriteOnly))
        config.write(kConfig);
    config.close();
    m_daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--config-file=") + m_config,
                                                   QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    if (!m_daemon.waitForStarted(5000)) {
        ADD_FAILURE() << "dbus-daemon (Debian package dbus) does not start";
        return;
    }
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(5000)) {
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    if (m_address.isEmpty())
        ADD_FAILURE() << "dbus-daemon gave no address";
}

SessionBus::~SessionBus()
{
    for (const QString& name : m_connections)
        QDBusConnection::disconnectFromBus(name);
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(3000))
        m_daemon.kill();
    m_daemon.waitForFinished(1000);
    QFile::remove(m_config);
}

QDBusConnection SessionBus::connect(const QString& name)
{
    const QString unique = name + QStringLiteral("-") + QString::number(reinterpret_cast<quintptr>(this));
    m_connections << unique;
    return QDBusConnection::connectToBus(m_address, unique);
}

QString SessionBus::playerctl(const QStringList& arguments, int* exitCode)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
    process.setProcessEnvironment(env);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    process.start(QStringLiteral("playerctl"), QStringList{QStringLiteral("-p"), QStringLiteral("tavu")} + arguments);
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    if (process.state() != QProcess::NotRunning) {
        ADD_FAILURE() << "playerctl did not finish: " << arguments.join(QLatin1Char(' ')).toStdString();
        process.kill();
        process.waitForFinished();
    }
    if (process.error() == QProcess::FailedToStart)
        ADD_FAILURE() << "playerctl (Debian package playerctl) does not start";
    if (exitCode)
        *exitCode = process.exitCode();
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

PlayerSignals::PlayerSignals(QDBusConnection bus)
{
    const QString path = QStringLiteral("/org/mpris/MediaPlayer2");
    bus.connect({}, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"), this,
                SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
    bus.connect({}, path, QStringLiteral("org.mpris.MediaPlayer2.Player"), QStringLiteral("Seeked"), this,
                SLOT(seeked(qlonglong)));
}

void PlayerSignals::propertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList&)
{
    changes.push_back({interface, changed});
}

void PlayerSignals::seeked(qlonglong position)
{
    seeks.push_back(position);
}

bool PlayerSignals::waitForChange(const QString& property)
{
    return QTest::qWaitFor(
        [&] {
            for (const Change& c : changes)
                if (c.changed.contains(property))
                    return true;
            return false;
        },
        1000);
}

bool NotificationServer::serve(QDBusConnection bus)
{
    return bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                              QDBusConnection::ExportAllSlots) &&
           bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
}

uint NotificationServer::Notify(const QString& app, uint replaces, const QString& icon, const QString& summary,
                                const QString& body, const QStringList&, const QVariantMap& hints, int)
{
    const uint id = replaces ? replaces : m_next++;
    shown.push_back({app, replaces, icon, summary, body, hints, id});
    return id;
}

} // namespace tavu::test
