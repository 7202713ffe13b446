#include "NgircdServer.h"

#include "InspircdNetwork.h"
#include "LoopbackPorts.h"

#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tavu::test {
NgircdServer::NgircdServer(Options options) : m_options(options)
{
    namespace fs = std::filesystem;
    fs::permissions(m_dir.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec);
    m_pidFile = (fs::temp_directory_path() / ("tavu-ngircd-" + m_dir.path().filename().string() + ".pid")).string();
    m_process.setProcessChannelMode(QProcess::MergedChannels);
}

NgircdServer::~NgircdServer()
{
    kill();
    std::error_code ec;
    std::filesystem::remove(m_pidFile, ec);
}

bool NgircdServer::start()
{
    if (m_port == 0) {
        m_port = freeLoopbackPort();
        m_tlsPort = m_options.tls ? freeLoopbackPort() : 0;
        if (m_options.tls && !makeCertificate())
            return false;
        writeConfig();
    }
    m_process.start(QStringLiteral(NGIRCD_EXECUTABLE),
                    {QStringLiteral("-n"), QStringLiteral("-f"), QString::fromStdString(m_dir.file("ngircd.conf"))});
    if (!m_process.waitForStarted(10'000)) {
        ADD_FAILURE() << "ngircd did not start: " << NGIRCD_EXECUTABLE;
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 15'000) {
        if (acceptingOnLoopback(m_port) && (m_tlsPort == 0 || acceptingOnLoopback(m_tlsPort)))
            return true;
        if (m_process.state() != QProcess::Running)
            break;
        QThread::msleep(20);
    }
    ADD_FAILURE() << "ngircd is not accepting connections on port " << m_port << ":\n" << output();
    return false;
}

void NgircdServer::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(10'000);
}

std::string NgircdServer::output()
{
    return m_process.readAll().toStdString();
}

bool NgircdServer::makeCertificate()
{
    if (!InspircdNetwork::makeCertificate(m_dir.file("cert.pem"), m_dir.file("key.pem")))
        return false;
    namespace fs = std::filesystem;
    fs::permissions(m_dir.file("key.pem"), fs::perms::others_read | fs::perms::group_read, fs::perm_options::add);
    return true;
}

void NgircdServer::writeConfig()
{
    std::ofstream conf(m_dir.file("ngircd.conf"));
    conf << "[Global]\n"
         << "  Name = " << kName << "\n"
         << "  Info = Tavu test server\n"
         << "  AdminInfo1 = Tavu tests\n  AdminInfo2 = loopback\n  AdminEMail = nobody@localhost\n"
         << "  Listen = 127.0.0.1\n"
         << "  Ports = " << m_port << "\n"
         << "  PidFile = " << m_pidFile << "\n"
         << "  MotdPhrase = Tavu test server\n"
         << (m_options.password.empty() ? std::string() : "  Password = " + m_options.password + "\n") << "[Limits]\n"
         << "  MaxConnectionsIP = 0\n"
         << "  MaxNickLength = 9\n"
         << (m_options.throttle ? "" : "  MaxPenaltyTime = 0\n") << "[Options]\n"
         << "  PAM = no\n  Ident = no\n  DNS = no\n";
    if (m_options.tls)
        conf << "[SSL]\n"
             << "  Ports = " << m_tlsPort << "\n"
             << "  CertFile = " << m_dir.file("cert.pem") << "\n"
             << "  KeyFile = " << m_dir.file("key.pem") << "\n";
    conf.close();
    std::filesystem::permissions(m_dir.file("ngircd.conf"),
                                 std::filesystem::perms::others_read | std::filesystem::perms::group_read,
                                 std::filesystem::perm_options::add);
}

} // namespace tavu::test
