#pragma once

#include "client/IrcCaseMapping.h"
#include "client/OneShotTimer.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tavu {

class Runtime;
struct IrcMessage;

// Tells when nicks come onto the network and leave it: through MONITOR where the server offers it
// (ISUPPORT MONITOR), else by asking with ISON every pollMs. The first answer for a nick counts as
// a change, so a nick that is there when the watch starts is reported at once.
class IrcNickWatch {
public:
    using Send = std::function<void(const std::string& line)>;
    using Changed = std::function<void(const std::string& nick, bool online)>;

    IrcNickWatch(Runtime& runtime, Send send, Changed changed, std::int64_t pollMs);

    // A new connection: nothing is watched on the server yet, and MONITOR is not known to be there.
    void reset();
    // The server's ISUPPORT line named MONITOR.
    void useMonitor() { m_monitor = true; }
    void setCaseMapping(const IrcCaseMapping& mapping) { m_mapping = mapping; }
    // Signed on: from now on the watched nicks are asked after.
    void begin();
    bool begun() const { return m_begun; }

    void watch(const std::string& nick);
    void unwatch(const std::string& nick);
    bool watching(const std::string& nick) const { return find(nick) != m_nicks.end(); }

    // Handles the answers (730, 731, 303); false for any other line.
    bool handle(const IrcMessage& message);

private:
    enum class Seen { Unknown, Online, Offline };
    using Nicks = std::map<std::string, Seen>;

    Nicks::const_iterator find(const std::string& nick) const;
    Nicks::iterator find(const std::string& nick);
    void report(const std::string& nick, bool online);
    void poll();

    Send m_send;
    Changed m_changed;
    std::int64_t m_pollMs;
    OneShotTimer m_pollTimer;
    IrcCaseMapping m_mapping;
    Nicks m_nicks;
    std::vector<std::string> m_asked; // the nicks of the ISON that waits for its answer
    bool m_monitor = false;
    bool m_begun = false;
};

} // namespace tavu
