#pragma once

#include "client/OneShotTimer.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

namespace tavu {

class Runtime;

// Outgoing flood control: a token bucket. Up to `burst` lines go out at once; after that one line
// every `intervalMs`, which keeps a client within what RFC 1459 servers tolerate. Queued lines
// keep their order. Lines sent with sendNow (PONG, the sign-on dialogue) skip the queue.
class FloodQueue {
public:
    using Sink = std::function<void(const std::string& line)>;

    FloodQueue(Runtime& runtime, Sink sink, int burst = 4, int intervalMs = 2000);

    void enqueue(std::string line);
    void sendNow(const std::string& line) { m_sink(line); }
    // Sends everything queued at once (the connection is about to close).
    void flush();
    // Drops everything queued (the connection is gone).
    void clear();
    std::size_t pending() const { return m_queue.size(); }

private:
    void drain();

    Runtime& m_runtime;
    Sink m_sink;
    std::int64_t m_burstMs;
    std::int64_t m_intervalMs;
    std::int64_t m_clock = 0; // when the bucket will be full again, in runtime ticks
    std::deque<std::string> m_queue;
    OneShotTimer m_timer;
};

} // namespace tavu
