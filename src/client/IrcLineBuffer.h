#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavu {

// Cuts the byte stream from a server into lines. A line ends at CR, LF or both; empty lines are
// skipped. NUL bytes are dropped. A line that is not valid UTF-8 is read as Windows-1252. A line
// longer than kMaxLine (tags included) is discarded whole, and so is a line the connection loses
// half-way (it is never completed).
class IrcLineBuffer {
public:
    static constexpr std::size_t kMaxLine = 8191 + 512;

    // The complete lines in the bytes received so far, as UTF-8.
    std::vector<std::string> feed(std::string_view bytes);
    // Forgets a partial line (the connection ended).
    void clear();

    std::size_t discardedLines() const { return m_discarded; }

private:
    void endLine(std::vector<std::string>& lines);

    std::string m_partial;
    bool m_overlong = false;
    std::size_t m_discarded = 0;
};

} // namespace tavu
