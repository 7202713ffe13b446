#include "client/IrcChatRoom.h"

#include "client/HtmlLineSplitter.h"
#include "client/IrcFormatting.h"
#include "client/IrcLineSplitter.h"
#include "client/IrcMessage.h"
#include "util/Runtime.h"

#include <algorithm>

namespace tavu {
namespace {

constexpr std::string_view kAction = "/me ";

// A line break would let the text end the line and start a command of its own.
std::string oneLine(std::string text)
{
    for (char& c : text)
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    return text;
}

// A reply as the channel may see it: the names and texts in it (file names, folders, tags) carry
// no control codes of their own, which would end the style's colours or ring the others' bells.
// Its formatting comes from its HTML alone.
std::string withoutControlCodes(std::string text)
{
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7f')
            c = ' ';
    return text;
}

} // namespace

IrcChatRoom::IrcChatRoom(Runtime& runtime, std::unique_ptr<IrcTransport> transport, IrcConfig config,
                         std::function<double()> random)
    : LocalChatRoom(config.nick), m_runtime(runtime), m_transport(std::move(transport)),
      m_session(runtime, *m_transport, config, std::move(random)),
      m_mask(OwnerMask::parse(config.owner, config.ownerAccount)), m_htmlFormat(config.htmlFormat),
      m_replayTimer(runtime), m_members(m_session.config().channel)
{
    m_session.setEvents({
        [this](IrcSession::Phase, const std::string&) { statusChanged(); },
        [this](const std::string& text) { notice(text); },
        [this](const IrcMessage& message, const std::string& text, bool action) {
            channelMessage(message, text, action);
        },
        [this] { joined(); },
        [this](const std::string& host) {
            if (onServicesHost)
                onServicesHost(host);
        },
        [this](const std::string& text) {
            if (onLog)
                onLog(text);
        },
        [this](const IrcMessage& message) { m_members.track(message, m_session.caseMapping()); },
    });
}

IrcChatRoom::~IrcChatRoom()
{
    m_session.setEvents({});
    m_session.signOff("Tavu");
}

void IrcChatRoom::start()
{
    m_problem = m_session.config().missing();
    if (!m_problem.empty()) {
        m_problem = "Not signed on: " + m_problem + " in the Chat settings";
        notice(m_problem);
        statusChanged();
        return;
    }
    m_session.start();
}

std::string IrcChatRoom::ownerNick() const
{
    return m_mask ? m_mask->ownerName() : m_session.nick();
}

std::string IrcChatRoom::status() const
{
    return m_problem.empty() ? m_session.statusText() : m_problem;
}

void IrcChatRoom::statusChanged()
{
    if (onStatus)
        onStatus(status());
}

void IrcChatRoom::signOff()
{
    m_held.clear();
    m_replay.clear();
    m_replayTimer.stop();
    m_session.signOff("Tavu", m_session.config().timings.quitLingerMs);
}

void IrcChatRoom::ownerTyped(const std::string& text)
{
    const bool action = text.starts_with(kAction);
    const std::string body = action ? text.substr(kAction.size()) : text;
    const std::string& nick = m_session.nick();
    if (action)
        addEntry({Kind::Notice, {}, "* " + nick + " " + body});
    else
        addEntry({Kind::Typed, nick, text});
    send(body, false, action);
    // With an owner mask the person at this window is not the owner the bot obeys.
    if (!m_mask)
        lineAppeared(ownerNick(), text);
}

void IrcChatRoom::sendReply(const std::string& line)
{
    addEntry({Kind::Reply, m_session.nick(), line});
    send(line, true, false);
}

void IrcChatRoom::sendToOwner(const std::string& line)
{
    if (!m_mask || m_ownerNick.empty() || !m_session.connection().registered()) {
        addEntry({Kind::Reply, m_session.nick(), line});
        return;
    }
    addEntry({Kind::Reply, m_session.nick() + " to " + m_ownerNick, line});
    const std::size_t budget = m_session.noticeBudget(m_ownerNick);
    const std::string clean = withoutControlCodes(line);
    const std::string text = m_htmlFormat ? clean : htmlToIrc(clean);
    for (const std::string& piece : m_htmlFormat ? splitHtmlText(text, budget) : splitIrcText(text, budget))
        m_session.sendNotice(m_ownerNick, piece);
}

void IrcChatRoom::send(std::string text, bool reply, bool action)
{
    FloodQueue::Tag tag;
    if (reply)
        tag = {replySource().command, replySource().run};
    Held line{reply ? withoutControlCodes(std::move(text)) : oneLine(std::move(text)), reply, action,
              m_runtime.tickMs(), std::move(tag)};
    if (m_session.inChannel() && m_replay.empty()) {
        deliver(line);
        return;
    }
    if (m_session.inChannel()) {
        m_replay.push_back(std::move(line)); // behind the held lines still going out
        return;
    }
    if (m_session.phase() == IrcSession::Phase::Closing || m_session.phase() == IrcSession::Phase::Closed)
        return;
    if (!line.tag.group.empty())
        std::erase_if(m_held,
                      [&](const Held& h) { return h.tag.group == line.tag.group && h.tag.run != line.tag.run; });
    m_held.push_back(std::move(line));
    if (m_held.size() > kHeldLimit)
        m_held.pop_front();
}

void IrcChatRoom::deliver(const Held& line)
{
    const std::size_t budget = m_session.textBudget(line.action);
    if (line.reply && m_htmlFormat) {
        for (const std::string& piece : splitHtmlText(line.text, budget))
            m_session.say(piece, line.action, line.tag);
        return;
    }
    const std::string text = line.reply ? htmlToIrc(line.text) : line.text;
    for (const std::string& piece : splitIrcText(text, budget))
        m_session.say(piece, line.action, line.tag);
}

void IrcChatRoom::joined()
{
    const std::int64_t now = m_runtime.tickMs();
    const std::int64_t keepMs = m_session.config().timings.heldLineMs;
    const std::size_t old = static_cast<std::size_t>(
        std::count_if(m_held.begin(), m_held.end(), [&](const Held& line) { return now - line.at > keepMs; }));
    if (old > 0)
        notice(std::to_string(old) + (old == 1 ? " line" : " lines") + " said more than " +
               std::to_string(keepMs / 1000) + " s before joining " + m_session.config().channel + " will not be sent");
    std::erase_if(m_held, [&](const Held& line) { return now - line.at > keepMs; });
    if (!m_held.empty() && m_replay.empty())
        m_replayedAt = m_held.front().at;
    for (Held& line : m_held)
        m_replay.push_back(std::move(line));
    m_held.clear();
    replayHeld();
    if (m_mask && m_mask->dependsOnAccounts() && !m_session.accountTags()) {
        if (m_mask->needsAccount())
            notice("The owner mask " + m_mask->text() +
                   " names a nick only, and this server does not tell "
                   "accounts: nobody will be obeyed. Put the owner's user@host into the mask.");
        else
            notice("The owner must be logged in to the account " + m_mask->account() +
                   ", and this server does not tell accounts: nobody will be obeyed. "
                   "Leave Owner Account empty to go by the owner mask alone.");
    }
}

// One held line now, the next after the gap it was said with.
void IrcChatRoom::replayHeld()
{
    if (m_replay.empty() || m_replayTimer.active())
        return;
    if (!m_session.inChannel()) {
        // Out again before they all went: they wait for the next join, in order.
        for (auto it = m_replay.rbegin(); it != m_replay.rend(); ++it)
            m_held.push_front(std::move(*it));
        m_replay.clear();
        return;
    }
    do {
        const Held line = std::move(m_replay.front());
        m_replay.pop_front();
        m_replayedAt = line.at;
        deliver(line);
    } while (!m_replay.empty() && m_replay.front().at <= m_replayedAt);
    if (m_replay.empty())
        return;
    const std::int64_t gap = std::min<std::int64_t>(m_replay.front().at - m_replayedAt, kHeldGapMs);
    m_replayTimer.start(gap, [this] { replayHeld(); });
}

void IrcChatRoom::channelMessage(const IrcMessage& message, const std::string& text, bool action)
{
    const std::string visible = stripIrcFormatting(text);
    if (action)
        addEntry({Kind::Notice, {}, "* " + message.nick + " " + visible});
    else
        addEntry({Kind::Typed, message.nick, visible});
    const std::string sender = senderOf(message);
    if (m_mask && sender == m_mask->ownerName())
        m_ownerNick = message.nick;
    m_members.heard(sender, message, m_session.accountTags(), m_session.caseMapping());
    lineAppeared(sender, action ? std::string(kAction) + visible : visible);
}

std::string IrcChatRoom::senderOf(const IrcMessage& message) const
{
    const IrcCaseMapping& mapping = m_session.caseMapping();
    if (m_mask) {
        const auto account = m_session.accountTags() ? message.tag("account") : std::nullopt;
        if (m_mask->matches(message.nick, message.user, message.host, account, mapping))
            return m_mask->ownerName();
    }
    if (message.nick.empty() || mapping.equals(message.nick, ownerNick()))
        return message.nick + "!" + message.user + "@" + message.host;
    return message.nick;
}

} // namespace tavu
