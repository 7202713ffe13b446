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
//
// The queue is bounded. A line may carry a tag naming the command that made it and the run of
// that command. While the queue has room every line goes out in turn; once it is full, the lines
// of a newer run supersede the queued lines of older runs of the same command (200 volume changes
// leave the first hundred or so and the last), and beyond kLimit the oldest lines go.
class FloodQueue {
public:
    using Sink = std::function<void(const std::string& line)>;
    struct Tag {
        std::string group; // "" for lines that nothing supersedes
        std::uint64_t run = 0;
    };

    FloodQueue(Runtime& runtime, Sink sink, int burst = 4, int intervalMs = 2000);

    void enqueue(std::string line, Tag tag);
    void enqueue(std::string line) { enqueue(std::move(line), Tag{}); }
    void sendNow(const std::string& line) { m_sink(line); }
    // Drops everything queued (the connection is gone).
    void clear();
    std::size_t pending() const { return m_queue.size(); }

    // Called when lines are dropped; once, and again only after the queue has run empty.
    std::function<void()> onDropped;
    // Called when the last queued line has gone out.
    std::function<void()> onEmpty;

    // Most lines queued: a little over three minutes at the usual pace.
    static constexpr std::size_t kLimit = 100;

private:
    struct Entry {
        std::string line;
        Tag tag;
    };
    void drain();
    void dropped();

    Runtime& m_runtime;
    Sink m_sink;
    std::int64_t m_burstMs;
    std::int64_t m_intervalMs;
    std::int64_t m_clock = 0; // when the bucket will be full again, in runtime ticks
    std::deque<Entry> m_queue;
    OneShotTimer m_timer;
    bool m_dropSaid = false;
};

} // namespace tavu
