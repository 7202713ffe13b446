#include "client/FloodQueue.h"

#include "util/Runtime.h"

#include <algorithm>

namespace tavu {

FloodQueue::FloodQueue(Runtime& runtime, Sink sink, int burst, int intervalMs)
    : m_runtime(runtime), m_sink(std::move(sink)), m_burstMs(std::int64_t{std::max(burst, 1) - 1} * intervalMs),
      m_intervalMs(std::max(intervalMs, 0)), m_clock(runtime.tickMs()), m_timer(runtime)
{
}

void FloodQueue::enqueue(std::string line)
{
    m_queue.push_back(std::move(line));
    if (!m_timer.active())
        drain();
}

// Each line sent moves the bucket's clock one interval on; a line may go while that clock is at
// most burst-1 intervals ahead of now.
void FloodQueue::drain()
{
    const std::int64_t now = m_runtime.tickMs();
    m_clock = std::max(m_clock, now);
    while (!m_queue.empty() && m_clock - now <= m_burstMs) {
        std::string line = std::move(m_queue.front());
        m_queue.pop_front();
        m_clock += m_intervalMs;
        m_sink(line);
    }
    if (!m_queue.empty() && !m_timer.active())
        m_timer.start(m_clock - m_burstMs - now, [this] { drain(); });
}

void FloodQueue::flush()
{
    m_timer.stop();
    while (!m_queue.empty()) {
        std::string line = std::move(m_queue.front());
        m_queue.pop_front();
        m_sink(line);
    }
}

void FloodQueue::clear()
{
    m_timer.stop();
    m_queue.clear();
}

} // namespace tavu
