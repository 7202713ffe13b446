#pragma once

#include <functional>
#include <memory>
#include <string>

namespace tavu {

class Runtime;

// Watches the chat room: raises ChatMsg once for every new line, in order, as an event of its own
// on the UI thread, while it is started. A line that appears while the scanner is stopped is never
// reported, and neither is one still queued when StopScan is called.
class ChatScanner {
public:
    using Handler = std::function<void(const std::string& Screen_Name, const std::string& What_Said)>;

    explicit ChatScanner(Runtime& runtime);
    ~ChatScanner();
    ChatScanner(const ChatScanner&) = delete;
    ChatScanner& operator=(const ChatScanner&) = delete;

    void StartScan() { m_scanning = true; }
    void StopScan() { m_scanning = false; }
    bool scanning() const { return m_scanning; }

    Handler ChatMsg;

    // Called by the chat room for each new line.
    void lineAppeared(const std::string& sender, const std::string& text);

private:
    Runtime& m_runtime;
    bool m_scanning = false;
    std::shared_ptr<ChatScanner*> m_self;
};

} // namespace tavu
