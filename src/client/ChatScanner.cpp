#include "client/ChatScanner.h"

#include "util/Runtime.h"

namespace tavu {

ChatScanner::ChatScanner(Runtime& runtime) : m_runtime(runtime), m_self(std::make_shared<ChatScanner*>(this)) {}

ChatScanner::~ChatScanner()
{
    *m_self = nullptr;
}

void ChatScanner::lineAppeared(const std::string& sender, const std::string& text)
{
    if (!m_scanning)
        return;
    std::weak_ptr<ChatScanner*> self = m_self;
    m_runtime.post([self, sender, text] {
        const auto alive = self.lock();
        ChatScanner* scanner = alive ? *alive : nullptr;
        if (scanner && scanner->m_scanning && scanner->ChatMsg)
            scanner->ChatMsg(sender, text);
    });
}

} // namespace tavu
