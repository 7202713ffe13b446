#include "client/IrcChatRoom.h"

#include "client/HtmlLineSplitter.h"
#include "client/IrcFormatting.h"
#include "client/IrcLineSplitter.h"
#include "client/IrcMessage.h"
#include "util/Runtime.h"

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

} // namespace

IrcChatRoom::IrcChatRoom(Runtime& runtime, std::unique_ptr<IrcTransport> transport, IrcConfig config,
                         std::function<double()> random)
    : LocalChatRoom(config.nick), m_runtime(runtime), m_transport(std::move(transport)),
      m_session(runtime, *m_transport, config, std::move(random)),
      m_mask(OwnerMask::parse(config.owner, config.ownerAccount)), m_htmlFormat(config.htmlFormat)
{
    m_session.setEvents({
        [this](IrcSession::Phase, const std::string&) { statusChanged(); },
        [this](const std::string& text) { notice(text); },
        [this](const IrcMessage& message, const std::string& text, bool action) {
            channelMessage(message, text, action);
        },
        [this] { joined(); },
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

std::string IrcChatRoom::GetOwnerName() const
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
        lineAppeared(GetOwnerName(), text);
}

void IrcChatRoom::sendReply(const std::string& line)
{
    addEntry({Kind::Reply, m_session.nick(), line});
    send(line, true, false);
}

void IrcChatRoom::ChatSendToOwner(const std::string& line)
{
    if (!m_mask || m_ownerNick.empty() || !m_session.connection().registered()) {
        addEntry({Kind::Reply, m_session.nick(), line});
        return;
    }
    addEntry({Kind::Reply, m_session.nick() + " to " + m_ownerNick, line});
    const std::size_t budget = m_session.noticeBudget(m_ownerNick);
    const std::string text = oneLine(m_htmlFormat ? line : htmlToIrc(line));
    for (const std::string& piece : m_htmlFormat ? splitHtmlText(text, budget) : splitIrcText(text, budget))
        m_session.sendNotice(m_ownerNick, piece);
}

void IrcChatRoom::send(std::string text, bool reply, bool action)
{
    FloodQueue::Tag tag;
    if (reply)
        tag = {replySource().command, replySource().run};
    Held line{oneLine(std::move(text)), reply, action, m_runtime.tickMs(), std::move(tag)};
    if (m_session.inChannel()) {
        deliver(line);
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
    std::deque<Held> held;
    held.swap(m_held);
    for (const Held& line : held)
        if (now - line.at <= m_session.config().timings.heldLineMs)
            deliver(line);
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
    if (message.nick.empty() || mapping.equals(message.nick, GetOwnerName()))
        return message.nick + "!" + message.user + "@" + message.host;
    return message.nick;
}

} // namespace tavu
