#pragma once

#include "client/IrcConfig.h"
#include "client/IrcMemberIdentities.h"
#include "client/IrcSession.h"
#include "client/LocalChatRoom.h"
#include "client/OwnerMask.h"

#include <deque>
#include <memory>
#include <optional>

namespace tavu {

class Runtime;

// The chat room as an IRC channel. The transcript (and so the chat room window) shows the
// channel; lines said there go to the scanners.
//
// Without an owner mask the bot is the owner's own IRC client: the owner types into the window,
// the line goes to the channel and to the scanners as the owner's, and nobody on the network is
// the owner. With an owner mask the bot signs on under its own nick and the owner is whoever
// matches the mask; only their lines carry ownerNick as the sender. Anybody else whose nick
// equals that name is reported as nick!user@host, which ownerNick can never be.
class IrcChatRoom : public LocalChatRoom {
public:
    IrcChatRoom(Runtime& runtime, std::unique_ptr<IrcTransport> transport, IrcConfig config,
                std::function<double()> random = {});
    ~IrcChatRoom() override;

    // Starts signing on, or reports in the transcript what the settings lack.
    void start();

    void sendLine(const std::string& line) override { sendReply(line); }
    void sendRawLine(const std::string& line) override { sendReply(line); }
    // A NOTICE to the nick of the owner's last line. Without an owner mask the owner sits at this
    // window, and the line stays in the window.
    void sendToOwner(const std::string& line) override;
    std::string ownerNick() const override;
    std::string memberIdentity(const std::string& name) const override { return m_members.identity(name); }
    std::size_t memberCount() const override { return m_session.inChannel() ? m_members.present() : 0; }
    void ownerTyped(const std::string& text) override;
    // Signs off: the replies still queued go out at the flood rule's pace for a few seconds, then
    // QUIT; signingOff() holds meanwhile.
    void signOff() override;
    bool signingOff() const override { return m_session.phase() == IrcSession::Phase::Closing; }
    std::string status() const override;
    // In the channel, or never going to be (the settings lack a server or a channel).
    bool ready() const override { return m_session.inChannel() || !m_problem.empty(); }

    IrcSession& session() { return m_session; }
    const std::optional<OwnerMask>& ownerMask() const { return m_mask; }

    // NickServ's server was learned at the first login: the settings keep it.
    std::function<void(const std::string& host)> onServicesHost;
    // The course of the link, for a log (the headless program's error output).
    std::function<void(const std::string& text)> onLog;

    // Lines said while the bot is not in the channel wait for it, up to this many. After the join
    // they go out with the gaps they were said with, at most kHeldGapMs each.
    static constexpr std::size_t kHeldLimit = 50;
    static constexpr std::int64_t kHeldGapMs = 1'000;

private:
    struct Held {
        std::string text;
        bool reply;
        bool action;
        std::int64_t at;
        FloodQueue::Tag tag;
    };

    void sendReply(const std::string& line);
    void send(std::string text, bool reply, bool action);
    void deliver(const Held& line);
    void joined();
    void replayHeld();
    void channelMessage(const IrcMessage& message, const std::string& text, bool action);
    std::string senderOf(const IrcMessage& message) const;
    void statusChanged();

    Runtime& m_runtime;
    std::unique_ptr<IrcTransport> m_transport;
    IrcSession m_session;
    std::optional<OwnerMask> m_mask;
    bool m_htmlFormat;
    std::deque<Held> m_held;
    std::deque<Held> m_replay;     // held lines going out after the join
    std::int64_t m_replayedAt = 0; // when the last of them was said
    OneShotTimer m_replayTimer;
    std::string m_problem;   // what keeps the room from signing on
    std::string m_ownerNick; // the nick of the owner's last line in the channel
    IrcMemberIdentities m_members;
};

} // namespace tavu
