#pragma once

#include <functional>
#include <set>
#include <string>

namespace tavu {

struct IrcMessage;

// The sign-on dialogue with a server: PASS when the server wants one, capability negotiation
// (CAP LS 302, REQ, END), SASL (EXTERNAL with a client certificate, else PLAIN when there is a
// password), NICK and USER, and other nicks to try when the server refuses one. It ends with the
// server's welcome (001).
class IrcRegistration {
public:
    using Send = std::function<void(const std::string& line)>;
    using Report = std::function<void(const std::string& text)>;

    IrcRegistration(Send send, Report report);

    struct Login {
        std::string account; // the services login; no password and no certificate, no login
        std::string password;
        std::string serverPassword; // sent as PASS first, when not empty
        bool certificate = false;   // the link carries a client certificate: SASL EXTERNAL
    };
    // Starts over on a new connection.
    void start(const std::string& nick, const std::string& userName, const std::string& realName, const Login& login);
    // Handles a line that belongs to the dialogue (CAP, AUTHENTICATE, the nick refusals before the
    // welcome, the SASL numerics, the welcome itself); false for any other line.
    bool handle(const IrcMessage& message);

    bool welcomed() const { return m_welcomed; }
    // The nick being tried, or after the welcome the nick the server gave us.
    const std::string& nick() const { return m_nick; }
    bool hasCap(const std::string& cap) const { return m_enabled.contains(cap); }
    // The services account the server logged us into, if any. It follows the server's word after
    // the welcome too (900 logged in, 901 logged out).
    const std::string& account() const { return m_account; }
    bool loggedIn() const { return !m_account.empty(); }
    // The nick asked for, before the server refused it; the nick to take back later.
    const std::string& wantedNick() const { return m_baseNick; }

    // The services refused our SASL login (wrong account or password) on this connection.
    bool saslRefused() const { return m_saslRefused; }
    // A SASL login is under way and the sign-on waits for its outcome.
    bool saslPending() const { return m_saslBusy && !m_capsEnded; }
    // The services never answered the login: sign on without it.
    void abandonSasl();

    // Nicks are at most this long until the server says otherwise.
    static constexpr std::size_t kDefaultNickLength = 9;
    // The nick to try after attempt n (1, 2, ...) of base was refused.
    static std::string alternativeNick(const std::string& base, int attempt);

private:
    void handleCap(const IrcMessage& message);
    void requestCaps();
    void handleSasl(const IrcMessage& message);
    void nickRefused(bool erroneous);
    bool wantsSasl() const { return !m_password.empty() || m_certificate; }
    void endCaps();

    Send m_send;
    Report m_report;
    std::string m_baseNick, m_nick, m_login, m_password, m_account;
    std::string m_offered;   // the CAP LS list, gathered over several lines
    std::string m_mechanism; // the SASL mechanism asked for: PLAIN or EXTERNAL
    bool m_certificate = false;
    bool m_externalOffered = false;
    std::set<std::string> m_enabled;
    int m_nickAttempts = 0;
    bool m_capsEnded = false;
    bool m_saslBusy = false;
    bool m_saslRefused = false;
    bool m_welcomed = false;
};

} // namespace tavu
