#include "client/IrcLineBuffer.h"

#include "util/Cp1252.h"
#include "util/Utf8.h"

namespace tavu {

std::vector<std::string> IrcLineBuffer::feed(std::string_view bytes)
{
    std::vector<std::string> lines;
    for (const char c : bytes) {
        if (c == '\r' || c == '\n') {
            endLine(lines);
        } else if (c != '\0' && !m_overlong) {
            m_partial.push_back(c);
            if (m_partial.size() > kMaxLine) {
                m_overlong = true;
                m_partial.clear();
            }
        }
    }
    return lines;
}

void IrcLineBuffer::endLine(std::vector<std::string>& lines)
{
    if (m_overlong) {
        m_overlong = false;
        ++m_discarded;
    } else if (!m_partial.empty()) {
        lines.push_back(isValidUtf8(m_partial) ? std::move(m_partial) : cp1252ToUtf8(m_partial));
    }
    m_partial.clear();
}

void IrcLineBuffer::clear()
{
    m_partial.clear();
    m_overlong = false;
}

} // namespace tavu
