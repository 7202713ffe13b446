#include "client/ChatScanner.h"

#include "util/Runtime.h"

#include <utility>

namespace tavu {

ChatScanner::ChatScanner(Runtime& runtime) : m_runtime(runtime), m_self(std::make_shared<ChatScanner*>(this)) {}

ChatScanner::~ChatScanner()
{
    *m_self = nullptr;
}

void ChatScanner::startScan()
{
    m_scanning = true;
    m_keep = nullptr;
    for (const auto& [sender, text] : std::exchange(m_held, {}))
        post(sender, text);
}

void ChatScanner::holdLines(Keep keep)
{
    m_keep = std::move(keep);
}

void ChatScanner::dropHeldLines()
{
    m_keep = nullptr;
    m_held.clear();
}

void ChatScanner::lineAppeared(const std::string& sender, const std::string& text)
{
    if (m_scanning)
        post(sender, text);
    else if (m_keep && m_held.size() < kMostHeldLines && m_keep(sender, text))
        m_held.emplace_back(sender, text);
}

void ChatScanner::post(const std::string& sender, const std::string& text)
{
    std::weak_ptr<ChatScanner*> self = m_self;
    m_runtime.post([self, sender, text] {
        const auto alive = self.lock();
        ChatScanner* scanner = alive ? *alive : nullptr;
        if (scanner && scanner->m_scanning && scanner->ChatMsg)
            scanner->ChatMsg(sender, text);
    });
}

} // namespace tavu
