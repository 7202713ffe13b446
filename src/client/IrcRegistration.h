#pragma once

#include <functional>
#include <set>
#include <string>

namespace tavu {

struct IrcMessage;

// The sign-on dialogue with a server: capability negotiation (CAP LS 302, REQ, END), SASL PLAIN
// when there is a password, NICK and USER, and other nicks to try when the server refuses one.
// It ends with the server's welcome (001).
class IrcRegistration {
public:
    using Send = std::function<void(const std::string& line)>;
    using Report = std::function<void(const std::string& text)>;

    IrcRegistration(Send send, Report report);

    // Starts over on a new connection.
    void start(const std::string& nick, const std::string& userName, const std::string& realName,
               const std::string& password);
    // Handles a line that belongs to the dialogue (CAP, AUTHENTICATE, the nick refusals before the
    // welcome, the SASL numerics, the welcome itself); false for any other line.
    bool handle(const IrcMessage& message);

    bool welcomed() const { return m_welcomed; }
    // The nick being tried, or after the welcome the nick the server gave us.
    const std::string& nick() const { return m_nick; }
    bool hasCap(const std::string& cap) const { return m_enabled.contains(cap); }
    // The services account the server logged us into, if any.
    const std::string& account() const { return m_account; }

    // Nicks are at most this long until the server says otherwise.
    static constexpr std::size_t kDefaultNickLength = 9;
    // The nick to try after attempt n (1, 2, ...) of base was refused.
    static std::string alternativeNick(const std::string& base, int attempt);

private:
    void handleCap(const IrcMessage& message);
    void requestCaps();
    void handleSasl(const IrcMessage& message);
    void nickRefused(bool erroneous);
    void endCaps();

    Send m_send;
    Report m_report;
    std::string m_baseNick, m_nick, m_login, m_password, m_account;
    std::string m_offered; // the CAP LS list, gathered over several lines
    std::set<std::string> m_enabled;
    int m_nickAttempts = 0;
    bool m_capsEnded = false;
    bool m_saslBusy = false;
    bool m_welcomed = false;
};

} // namespace tavu
