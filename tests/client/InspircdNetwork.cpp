#include "InspircdNetwork.h"

#include "LoopbackPorts.h"

#include "TestIrcClient.h"
#include "support/PumpedQtRuntime.h"

#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <memory>

namespace tavu::test {
namespace {

constexpr const char* kLinkPassword = "tavu-link";

} // namespace

InspircdNetwork::InspircdNetwork()
{
    m_ircd.setProcessChannelMode(QProcess::MergedChannels);
    m_services.setProcessChannelMode(QProcess::MergedChannels);
}

InspircdNetwork::~InspircdNetwork()
{
    for (QProcess* process : {&m_services, &m_ircd}) {
        if (process->state() == QProcess::NotRunning)
            continue;
        process->kill();
        process->waitForFinished(10'000);
    }
}

std::string InspircdNetwork::missingPrograms()
{
    std::string missing;
    if (!std::filesystem::exists(INSPIRCD_EXECUTABLE))
        missing += "inspircd (Debian package inspircd) ";
    if (!std::filesystem::exists(ATHEME_EXECUTABLE))
        missing += "atheme-services (Debian package atheme-services) ";
    return missing.empty() ? missing : "not installed: " + missing;
}

bool InspircdNetwork::makeCertificate(const std::string& certificate, const std::string& key)
{
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral(OPENSSL_EXECUTABLE),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                   QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                   QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                   QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                   QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"),
                   QString::fromStdString(key), QStringLiteral("-out"), QString::fromStdString(certificate)});
    if (!openssl.waitForFinished(30'000) || openssl.exitCode() != 0) {
        ADD_FAILURE() << "openssl could not make a certificate: " << openssl.readAll().toStdString();
        return false;
    }
    return true;
}

std::string InspircdNetwork::fingerprint(const std::string& certificate)
{
    QProcess openssl;
    openssl.start(QStringLiteral(OPENSSL_EXECUTABLE),
                  {QStringLiteral("x509"), QStringLiteral("-noout"), QStringLiteral("-fingerprint"),
                   QStringLiteral("-sha256"), QStringLiteral("-in"), QString::fromStdString(certificate)});
    openssl.waitForFinished(30'000);
    const std::string said = openssl.readAllStandardOutput().toStdString();
    std::string hex;
    for (const char c : said.substr(said.find('=') + 1))
        if (std::isxdigit(static_cast<unsigned char>(c)))
            hex.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    return hex;
}

bool InspircdNetwork::start(bool withServices, bool tls)
{
    m_port = freeLoopbackPort();
    m_linkPort = freeLoopbackPort();
    m_tlsPort = tls ? freeLoopbackPort() : 0;
    if (tls && !makeCertificate(m_dir.file("server-cert.pem"), m_dir.file("server-key.pem")))
        return false;
    writeConfigs();
    // As root InspIRCd wants to be told that this is meant.
    m_ircd.start(QStringLiteral(INSPIRCD_EXECUTABLE),
                 {QStringLiteral("--nofork"), QStringLiteral("--runasroot"),
                  QStringLiteral("--config=") + QString::fromStdString(m_dir.file("inspircd.conf"))});
    if (!m_ircd.waitForStarted(10'000)) {
        ADD_FAILURE() << "inspircd did not start: " << INSPIRCD_EXECUTABLE;
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (!(acceptingOnLoopback(m_port) && acceptingOnLoopback(m_linkPort) &&
             (m_tlsPort == 0 || acceptingOnLoopback(m_tlsPort)))) {
        if (clock.elapsed() > 15'000 || m_ircd.state() != QProcess::Running) {
            ADD_FAILURE() << "inspircd is not accepting connections:\n" << m_ircd.readAll().toStdString();
            return false;
        }
        QThread::msleep(20);
    }
    return !withServices || startServices();
}

bool InspircdNetwork::startServices()
{
    m_services.start(QStringLiteral(ATHEME_EXECUTABLE),
                     {QStringLiteral("-n"), QStringLiteral("-c"), QString::fromStdString(m_dir.file("atheme.conf")),
                      QStringLiteral("-D"), QString::fromStdString(m_dir.str()), QStringLiteral("-l"),
                      QString::fromStdString(m_dir.file("atheme.log")), QStringLiteral("-p"),
                      QString::fromStdString(m_dir.file("atheme.pid"))});
    if (!m_services.waitForStarted(10'000)) {
        ADD_FAILURE() << "atheme-services did not start: " << ATHEME_EXECUTABLE;
        return false;
    }
    std::string said;
    QElapsedTimer clock;
    clock.start();
    while (said.find("finished synching with uplink") == std::string::npos) {
        if (clock.elapsed() > 15'000 || m_services.state() != QProcess::Running) {
            ADD_FAILURE() << "the services did not link to the server:\n" << said;
            return false;
        }
        m_services.waitForReadyRead(100);
        said += m_services.readAll().toStdString();
    }
    return true;
}

void InspircdNetwork::stopServices()
{
    if (m_services.state() == QProcess::NotRunning)
        return;
    m_services.terminate();
    if (!m_services.waitForFinished(10'000))
        m_services.kill();
}

bool InspircdNetwork::registerAccounts(PumpedQtRuntime& runtime,
                                       const std::vector<std::pair<std::string, std::string>>& accounts)
{
    std::vector<std::unique_ptr<TestIrcClient>> clients;
    for (const auto& [nick, password] : accounts) {
        clients.push_back(std::make_unique<TestIrcClient>(runtime, m_port, nick, nick));
        clients.back()->beginSignOn();
    }
    bool done = true;
    for (std::size_t i = 0; i < clients.size(); ++i) {
        TestIrcClient& client = *clients[i];
        const auto& [nick, password] = accounts[i];
        if (!client.waitFor([&] { return client.welcomed(); })) {
            ADD_FAILURE() << nick << " could not sign on to register";
            return false;
        }
        client.send("PRIVMSG NickServ :REGISTER " + password + " " + nick + "@example.org");
    }
    for (std::size_t i = 0; i < clients.size(); ++i) {
        TestIrcClient& client = *clients[i];
        if (!client.waitFor([&] { return client.heard("900"); })) {
            ADD_FAILURE() << "NickServ did not register " << accounts[i].first;
            done = false;
        }
        client.quit();
    }
    return done;
}

void InspircdNetwork::writeConfigs()
{
    const std::string dir = m_dir.str();
    std::ofstream ircd(m_dir.file("inspircd.conf"));
    ircd << "<server name=\"" << kServerName << "\" description=\"Tavu test server\" network=\"TavuTest\" id=\"1TV\">\n"
         << "<admin name=\"Tavu tests\" nick=\"tavu\" email=\"nobody@localhost\">\n"
         << "<bind address=\"127.0.0.1\" port=\"" << m_port << "\" type=\"clients\">\n"
         << "<bind address=\"127.0.0.1\" port=\"" << m_linkPort << "\" type=\"servers\">\n";
    if (m_tlsPort != 0)
        ircd << "<bind address=\"127.0.0.1\" port=\"" << m_tlsPort << "\" type=\"clients\" sslprofile=\"clients\">\n"
             << "<module name=\"ssl_gnutls\">\n<module name=\"sslinfo\">\n"
             << "<sslprofile name=\"clients\" provider=\"gnutls\" certfile=\"" << m_dir.file("server-cert.pem")
             << "\" keyfile=\"" << m_dir.file("server-key.pem") << "\" hash=\"sha256\" requestclientcert=\"yes\">\n";
    ircd << "<connect name=\"main\" allow=\"*\" timeout=\"60\" pingfreq=\"120\" hardsendq=\"1M\" softsendq=\"8192\" "
            "recvq=\"8K\" threshold=\"100\" commandrate=\"100000\" fakelag=\"no\" localmax=\"100\" globalmax=\"100\" "
            "resolvehostnames=\"no\" useident=\"no\" limit=\"1000\" maxchans=\"20\">\n"
         // Without a server of its own InspIRCd would ask the machine's resolver.
         << "<dns server=\"127.0.0.1\" timeout=\"1\">\n"
         << "<pid file=\"" << dir << "/inspircd.pid\">\n"
         << "<path configdir=\"" << dir << "\" datadir=\"" << dir << "\" logdir=\"" << dir << "\" runtimedir=\"" << dir
         << "\">\n"
         << "<options prefixquit=\"Quit: \">\n"
         << "<security hidesplits=\"no\" hideulines=\"no\">\n"
         << "<performance nouserdns=\"yes\" clonesonconnect=\"no\" softlimit=\"1024\" somaxconn=\"128\">\n";
    for (const char* module :
         {"cap", "ircv3", "ircv3_accounttag", "sasl", "services_account", "spanningtree", "monitor"})
        ircd << "<module name=\"" << module << "\">\n";
    ircd << "<link name=\"" << kServicesName << "\" ipaddr=\"127.0.0.1\" port=\"" << m_linkPort
         << "\" allowmask=\"127.0.0.0/8\" sendpass=\"" << kLinkPassword << "\" recvpass=\"" << kLinkPassword << "\">\n"
         << "<uline server=\"" << kServicesName << "\" silent=\"yes\">\n"
         << "<sasl target=\"" << kServicesName << "\">\n";
    ircd.close();

    std::ofstream services(m_dir.file("atheme.conf"));
    for (const char* module :
         {"protocol/inspircd", "backend/opensex", "crypto/pbkdf2v2", "nickserv/main", "nickserv/register",
          "nickserv/identify", "nickserv/cert", "saslserv/main", "saslserv/plain", "saslserv/external"})
        services << "loadmodule \"modules/" << module << "\";\n";
    services << "serverinfo {\n  name = \"" << kServicesName << "\";\n  desc = \"Tavu test services\";\n"
             << "  numeric = \"0TS\";\n  recontime = 1;\n  netname = \"TavuTest\";\n"
             << "  hidehostsuffix = \"users.test\";\n  adminname = \"tavu\";\n  adminemail = \"nobody@localhost\";\n"
             << "  registeremail = \"nobody@localhost\";\n  auth = none;\n  casemapping = rfc1459;\n"
             << "  loglevel = { error; info; };\n  maxlogins = 5;\n  maxusers = 5;\n  mdlimit = 30;\n"
             << "  emaillimit = 10;\n  emailtime = 300;\n};\n"
             << "uplink \"" << kServerName << "\" {\n  host = \"127.0.0.1\";\n  password = \"" << kLinkPassword
             << "\";\n  port = " << m_linkPort << ";\n};\n"
             << "nickserv {\n  nick = \"NickServ\";\n  user = \"NickServ\";\n  host = \"" << kServicesName
             << "\";\n  real = \"Nickname Services\";\n  maxnicks = 5;\n  expire = 30;\n};\n"
             << "saslserv {\n  nick = \"SaslServ\";\n  user = \"SaslServ\";\n  host = \"" << kServicesName
             << "\";\n  real = \"SASL Authentication Agent\";\n};\n"
             << "general {\n  commit_interval = 5;\n  flood_msgs = 0;\n  flood_time = 10;\n  ratelimit_uses = 100;\n"
             << "  ratelimit_period = 60;\n  kline_time = 7;\n  clone_time = 0;\n  default_clone_allowed = 50;\n"
             << "  default_clone_warn = 40;\n  uplink_sendq_limit = 1048576;\n  language = \"en\";\n};\n";
}

} // namespace tavu::test
