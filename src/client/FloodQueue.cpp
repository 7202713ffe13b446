#include "client/FloodQueue.h"

#include "util/Runtime.h"

#include <algorithm>

namespace tavu {

FloodQueue::FloodQueue(Runtime& runtime, Sink sink, int burst, int intervalMs)
    : m_runtime(runtime), m_sink(std::move(sink)), m_burstMs(std::int64_t{std::max(burst, 1) - 1} * intervalMs),
      m_intervalMs(std::max(intervalMs, 0)), m_clock(runtime.tickMs()), m_timer(runtime)
{
}

void FloodQueue::enqueue(std::string line, Tag tag)
{
    // While there is room every line waits its turn; a full queue first lets a newer run of a
    // command replace its older ones, then loses its oldest lines.
    const std::size_t before = m_queue.size();
    if (!tag.group.empty() && before >= kLimit)
        std::erase_if(m_queue, [&](const Entry& e) { return e.tag.group == tag.group && e.tag.run != tag.run; });
    bool lost = m_queue.size() != before;
    m_queue.push_back({std::move(line), std::move(tag)});
    while (m_queue.size() > kLimit) {
        m_queue.pop_front();
        lost = true;
    }
    if (lost)
        dropped();
    if (!m_timer.active())
        drain();
}

void FloodQueue::dropped()
{
    if (m_dropSaid)
        return;
    m_dropSaid = true;
    if (onDropped)
        onDropped();
}

// Each line sent moves the bucket's clock one interval on; a line may go while that clock is at
// most burst-1 intervals ahead of now.
void FloodQueue::drain()
{
    const std::int64_t now = m_runtime.tickMs();
    m_clock = std::max(m_clock, now);
    const bool hadLines = !m_queue.empty();
    while (!m_queue.empty() && m_clock - now <= m_burstMs) {
        const std::string line = std::move(m_queue.front().line);
        m_queue.pop_front();
        m_clock += m_intervalMs;
        m_sink(line);
    }
    if (!m_queue.empty()) {
        if (!m_timer.active())
            m_timer.start(m_clock - m_burstMs - now, [this] { drain(); });
        return;
    }
    m_dropSaid = false;
    if (hadLines && onEmpty)
        onEmpty();
}

void FloodQueue::clear()
{
    m_timer.stop();
    m_queue.clear();
    m_dropSaid = false;
}

} // namespace tavu
