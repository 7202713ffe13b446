#include "IcecastServer.h"

#include "LoopbackPorts.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <QUrl>

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace tavu::test {

IcecastServer::IcecastServer(std::optional<int> relayOf) : m_relayOf(relayOf)
{
    std::filesystem::permissions(m_dir.path(), std::filesystem::perms::all);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
}

IcecastServer::~IcecastServer()
{
    kill();
}

void IcecastServer::writeConfig()
{
    const std::string dir = m_dir.str();
    std::ofstream conf(m_dir.file("icecast.xml"));
    conf << "<icecast>\n"
            " <location>test</location><admin>test@localhost</admin>\n"
            " <limits><clients>20</clients><sources>4</sources><queue-size>524288</queue-size>"
            "<client-timeout>30</client-timeout><header-timeout>15</header-timeout>"
            "<source-timeout>5</source-timeout><burst-size>16384</burst-size></limits>\n"
            " <authentication><source-password>"
         << kSourcePassword
         << "</source-password><relay-password>relaypw</relay-password>"
            "<admin-user>admin</admin-user><admin-password>adminpw</admin-password></authentication>\n"
            " <hostname>127.0.0.1</hostname>\n"
            " <listen-socket><port>"
         << m_port << "</port><bind-address>127.0.0.1</bind-address></listen-socket>\n";
    if (m_relayOf)
        conf << " <relay><server>127.0.0.1</server><port>" << *m_relayOf << "</port><mount>" << kMount
             << "</mount><local-mount>" << kMount
             << "</local-mount><on-demand>0</on-demand><relay-shoutcast-metadata>1</relay-shoutcast-metadata>"
                "</relay>\n";
    conf << " <fileserve>1</fileserve>\n"
            " <paths><basedir>/usr/share/icecast2</basedir><logdir>"
         << dir << "</logdir><webroot>/usr/share/icecast2/web</webroot>"
         << "<adminroot>/usr/share/icecast2/admin</adminroot><pidfile>" << dir << "/icecast.pid</pidfile></paths>\n"
         << " <logging><accesslog>access.log</accesslog><errorlog>error.log</errorlog><loglevel>3</loglevel>"
            "</logging>\n"
            " <security><chroot>0</chroot>";
    // icecast2 refuses to run as root unless it is told whom to become.
    if (::geteuid() == 0)
        conf << "<changeowner><user>nobody</user><group>nogroup</group></changeowner>";
    conf << "</security>\n</icecast>\n";
}

bool IcecastServer::start()
{
    if (m_port == 0) {
        m_port = freeLoopbackPort();
        writeConfig();
    }
    m_process.start(QStringLiteral(ICECAST_EXECUTABLE),
                    {QStringLiteral("-c"), QString::fromStdString(m_dir.file("icecast.xml"))});
    if (!m_process.waitForStarted(10'000)) {
        ADD_FAILURE() << "icecast2 did not start: " << ICECAST_EXECUTABLE;
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 15'000) {
        if (acceptingOnLoopback(m_port) && !status().empty())
            return true;
        if (m_process.state() != QProcess::Running)
            break;
        QThread::msleep(20);
    }
    ADD_FAILURE() << "icecast2 does not answer on port " << m_port << ":\n"
                  << m_process.readAll().toStdString() << errorLog();
    return false;
}

void IcecastServer::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(10'000);
}

std::string IcecastServer::status() const
{
    return fetch("http://127.0.0.1:" + std::to_string(m_port) + "/status-json.xsl", 2);
}

int IcecastServer::listeners(const std::string& mount) const
{
    const QJsonValue sources = QJsonDocument::fromJson(QByteArray::fromStdString(status()))
                                   .object()
                                   .value(QStringLiteral("icestats"))
                                   .toObject()
                                   .value(QStringLiteral("source"));
    const QJsonArray all = sources.isArray() ? sources.toArray() : QJsonArray{sources};
    for (const QJsonValue& source : all)
        if (QUrl(source.toObject().value(QStringLiteral("listenurl")).toString()).path() ==
            QString::fromStdString(mount))
            return source.toObject().value(QStringLiteral("listeners")).toInt();
    return -1;
}

std::string IcecastServer::errorLog() const
{
    return readBytes(m_dir.file("error.log"));
}

std::string fetch(const std::string& url, double seconds, const std::string& header)
{
    QProcess curl;
    QStringList arguments{QStringLiteral("-s"), QStringLiteral("--max-time"), QString::number(seconds)};
    if (!header.empty())
        arguments << QStringLiteral("-H") << QString::fromStdString(header);
    arguments << QString::fromStdString(url);
    curl.start(QStringLiteral("curl"), arguments);
    curl.waitForFinished(static_cast<int>(seconds * 1000) + 5000);
    return curl.readAllStandardOutput().toStdString();
}

} // namespace tavu::test
