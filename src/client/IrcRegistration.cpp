#include "client/IrcRegistration.h"

#include "client/IrcMessage.h"
#include "client/SaslPlain.h"

#include <algorithm>
#include <sstream>

namespace tavu {
namespace {

constexpr std::string_view kFallbackNick = "Tavu";

std::vector<std::string> words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string word; in >> word;)
        out.push_back(word);
    return out;
}

} // namespace

IrcRegistration::IrcRegistration(Send send, Report report) : m_send(std::move(send)), m_report(std::move(report)) {}

void IrcRegistration::start(const std::string& nick, const std::string& userName, const std::string& realName,
                            const Login& login)
{
    m_baseNick = m_nick = nick;
    m_login = login.account.empty() ? nick : login.account;
    m_password = login.password;
    m_certificate = login.certificate;
    m_externalOffered = false;
    m_mechanism.clear();
    m_account.clear();
    m_offered.clear();
    m_enabled.clear();
    m_nickAttempts = 0;
    m_capsEnded = m_saslBusy = m_saslRefused = m_welcomed = false;
    if (!login.serverPassword.empty())
        m_send(ircLine("PASS", {login.serverPassword}));
    m_send("CAP LS 302");
    m_send(ircLine("NICK", {m_nick}));
    m_send(ircLine("USER", {userName, "0", "*", realName}));
}

bool IrcRegistration::handle(const IrcMessage& message)
{
    const std::string& command = message.command;
    if (command == "CAP") {
        handleCap(message);
    } else if (command == "AUTHENTICATE" || (command >= "900" && command <= "908" && message.isNumeric())) {
        handleSasl(message);
    } else if (!m_welcomed && (command == "432" || command == "433" || command == "437")) {
        nickRefused(command == "432");
    } else if (command == "001") {
        m_welcomed = true;
        if (!message.param(0).empty())
            m_nick = message.param(0);
        if (wantsSasl() && m_account.empty())
            m_report("Signed on without logging in to services");
    } else {
        return false;
    }
    return true;
}

void IrcRegistration::handleCap(const IrcMessage& message)
{
    const std::string sub = message.param(1);
    const std::string list = message.params.empty() ? std::string{} : message.params.back();
    if (sub == "LS" && !m_capsEnded && !m_welcomed) {
        m_offered += " " + list;
        const bool more = message.params.size() >= 4 && message.param(2) == "*";
        if (!more)
            requestCaps();
    } else if (sub == "ACK") {
        for (const std::string& cap : words(list)) {
            if (cap.starts_with('-'))
                m_enabled.erase(cap.substr(1));
            else
                m_enabled.insert(cap);
        }
        if (m_enabled.contains("sasl") && wantsSasl() && !m_capsEnded && !m_saslBusy) {
            m_saslBusy = true;
            m_mechanism = m_certificate && m_externalOffered ? "EXTERNAL" : "PLAIN";
            m_send("AUTHENTICATE " + m_mechanism);
        } else {
            endCaps();
        }
    } else if (sub == "NAK") {
        endCaps();
    } else if (sub == "DEL") {
        for (const std::string& cap : words(list))
            m_enabled.erase(cap);
    }
}

void IrcRegistration::requestCaps()
{
    std::string request;
    for (const std::string& offer : words(m_offered)) {
        const std::size_t eq = offer.find('=');
        const std::string name = offer.substr(0, eq);
        const std::string value = eq == std::string::npos ? std::string{} : offer.substr(eq + 1);
        const bool plain = value.empty() || ("," + value + ",").find(",PLAIN,") != std::string::npos;
        // A server that lists no mechanisms may still take EXTERNAL; it says 904 if not.
        const bool external = value.empty() || ("," + value + ",").find(",EXTERNAL,") != std::string::npos;
        if (name == "sasl")
            m_externalOffered = m_certificate && external;
        const bool sasl = (!m_password.empty() && plain) || m_externalOffered;
        if (name == "account-tag" || (name == "sasl" && sasl))
            request += (request.empty() ? "" : " ") + name;
    }
    if (request.empty())
        endCaps();
    else
        m_send(ircLine("CAP", {"REQ", request}));
}

void IrcRegistration::handleSasl(const IrcMessage& message)
{
    const std::string& command = message.command;
    if (command == "AUTHENTICATE") {
        if (m_saslBusy && message.param(0) == "+" && m_mechanism == "EXTERNAL")
            m_send("AUTHENTICATE +"); // the account is the one the certificate belongs to
        else if (m_saslBusy && message.param(0) == "+")
            for (const std::string& line : SaslPlain::authenticateLines(m_login, m_password))
                m_send(line);
    } else if (command == "900") {
        m_account = message.param(2);
        m_report("Logged in to services as " + m_account);
    } else if (command == "901") {
        if (!m_account.empty())
            m_report("Logged out of services");
        m_account.clear();
    } else if (command == "903" || command == "907") {
        m_saslBusy = false;
        endCaps();
    } else if (command == "902" || command == "904" || command == "905" || command == "906") {
        if (m_saslBusy)
            m_report("Logging in to services failed: " + message.params.back());
        m_saslRefused = m_saslRefused || command == "904";
        m_saslBusy = false;
        endCaps();
    }
}

void IrcRegistration::abandonSasl()
{
    if (!saslPending())
        return;
    m_report("The services did not answer the login; signing on without it");
    m_send("AUTHENTICATE *");
    m_saslBusy = false;
    endCaps();
}

void IrcRegistration::nickRefused(bool erroneous)
{
    // Most likely too long for the server: the nick cut to the common length comes before the
    // fallback nick, which is taken on any network of size.
    if (erroneous && m_nick.size() > kDefaultNickLength) {
        std::size_t cut = kDefaultNickLength;
        while (cut > 0 && (static_cast<unsigned char>(m_nick[cut]) & 0xC0) == 0x80)
            --cut;
        const std::string shorter = m_nick.substr(0, cut);
        m_report("The server refused the nick " + m_nick + "; trying " + shorter);
        m_baseNick = m_nick = shorter;
        m_nickAttempts = 0;
        m_send(ircLine("NICK", {m_nick}));
        return;
    }
    if (erroneous && m_baseNick != kFallbackNick) {
        m_report("The server refused the nick " + m_nick + "; trying " + std::string(kFallbackNick));
        m_baseNick = m_nick = std::string(kFallbackNick);
        m_nickAttempts = 0;
    } else {
        m_nick = alternativeNick(m_baseNick, ++m_nickAttempts);
    }
    m_send(ircLine("NICK", {m_nick}));
}

std::string IrcRegistration::alternativeNick(const std::string& base, int attempt)
{
    const std::string suffix = attempt <= 1 ? std::string("_") : std::to_string(attempt - 1);
    const std::size_t room = kDefaultNickLength > suffix.size() ? kDefaultNickLength - suffix.size() : 0;
    std::size_t cut = std::min(room, base.size());
    while (cut > 0 && cut < base.size() && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80)
        --cut; // never keep half a character
    return base.substr(0, cut) + suffix;
}

void IrcRegistration::endCaps()
{
    if (m_capsEnded || m_welcomed)
        return;
    m_capsEnded = true;
    m_send("CAP END");
}

} // namespace tavu
