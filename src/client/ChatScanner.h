#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tavu {

class Runtime;

// Watches the chat room: raises ChatMsg once for every new line, in order, as an event of its own
// on the UI thread, while it is started. A line that appears while the scanner is stopped is never
// reported (unless held for it, see holdLines), and neither is one still queued when stopScan is
// called.
class ChatScanner {
public:
    using Handler = std::function<void(const std::string& name, const std::string& said)>;

    explicit ChatScanner(Runtime& runtime);
    ~ChatScanner();
    ChatScanner(const ChatScanner&) = delete;
    ChatScanner& operator=(const ChatScanner&) = delete;

    // Starts hearing lines; lines held meanwhile are heard first, in order.
    void startScan();
    void stopScan() { m_scanning = false; }
    bool scanning() const { return m_scanning; }

    using Keep = std::function<bool(const std::string& name, const std::string& said)>;
    // Until startScan or dropHeldLines, the lines that appear while this does not scan and that
    // `keep` takes are held for it (at most kMostHeldLines; later ones are not).
    void holdLines(Keep keep);
    void dropHeldLines();
    static constexpr std::size_t kMostHeldLines = 64;

    Handler ChatMsg;

    // Called by the chat room for each new line.
    void lineAppeared(const std::string& sender, const std::string& text);

private:
    void post(const std::string& sender, const std::string& text);

    Runtime& m_runtime;
    bool m_scanning = false;
    Keep m_keep;
    std::vector<std::pair<std::string, std::string>> m_held;
    std::shared_ptr<ChatScanner*> m_self;
};

} // namespace tavu
