#include "platform/AudioEngine.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace tavu {
namespace {

constexpr std::size_t kChunkFrames = 4096;
// How close the output gets to the end of a song before the decoding thread decides it has no
// following song (about a quarter of a second).
constexpr std::size_t kSettleFrames = 11025;
// While the ring is full the decoding thread looks again after a while, and decodes once a chunk
// fits. The while adapts to how fast the output takes the music: longer while a look finds no room
// for a chunk (real time, or paused), shorter while it finds the ring half empty (an output faster
// than real time). Every control call starts again from the shortest.
constexpr auto kShortestRefill = std::chrono::milliseconds(5);
constexpr auto kLongestRefill = std::chrono::milliseconds(100);

// Without branches, so that the loops over a chunk stay cheap.
float clampSample(float value)
{
    value = value > 1.0f ? 1.0f : value;
    value = value < -1.0f ? -1.0f : value;
    return value == value ? value : 0.0f; // NaN is silence
}

// Copies frames into the ring from `at` on, in at most two spans, with the gain applied.
void writeRing(float* ring, std::uint64_t at, const float* from, std::size_t frames, float gain)
{
    while (frames > 0) {
        const auto slot = static_cast<std::size_t>(at % AudioEngine::kRingFrames);
        const std::size_t n = std::min(frames, AudioEngine::kRingFrames - slot);
        float* to = ring + slot * 2;
        if (gain == 1.0f) {
            std::memcpy(to, from, n * 2 * sizeof(float)); // the decoder's samples are in range
        } else {
            for (std::size_t i = 0; i < n * 2; ++i)
                to[i] = clampSample(from[i] * gain);
        }
        at += n;
        from += n * 2;
        frames -= n;
    }
}

void readRing(const float* ring, std::uint64_t at, float* to, std::size_t frames)
{
    while (frames > 0) {
        const auto slot = static_cast<std::size_t>(at % AudioEngine::kRingFrames);
        const std::size_t n = std::min(frames, AudioEngine::kRingFrames - slot);
        std::memcpy(to, ring + slot * 2, n * 2 * sizeof(float));
        at += n;
        to += n * 2;
        frames -= n;
    }
}

} // namespace

AudioEngine::AudioEngine(int rate, Opener opener, EndedSink ended)
    : m_rate(rate), m_opener(std::move(opener)), m_ended(std::move(ended)), m_ring(kRingFrames * 2),
      m_chunk(kChunkFrames * 2)
{
    m_thread = std::thread([this] { decodeLoop(); });
}

AudioEngine::~AudioEngine()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_stopping = true;
    m_wake.notify_all();
    m_thread.join();
}

void AudioEngine::send(Command command)
{
    if (command.kind != Command::Next)
        m_requestedEpoch.store(command.epoch, std::memory_order_release);
    {
        std::lock_guard lock(m_mutex);
        m_commands.push_back(std::move(command));
    }
    m_wake.notify_all();
}

void AudioEngine::start(Track track, unsigned serial, std::int64_t startFrame)
{
    Command command;
    command.kind = Command::Start;
    command.epoch = ++m_epoch;
    command.track = std::move(track);
    command.serial = serial;
    command.frame = startFrame;
    m_sounding = true;
    send(std::move(command));
}

void AudioEngine::seek(std::int64_t frame)
{
    Command command;
    command.kind = Command::Seek;
    command.epoch = ++m_epoch;
    command.frame = frame;
    send(std::move(command));
}

void AudioEngine::stop()
{
    Command command;
    command.kind = Command::Stop;
    command.epoch = ++m_epoch;
    m_sounding = false;
    m_paused = false;
    send(std::move(command));
}

void AudioEngine::setNext(const std::string& path, unsigned serial)
{
    Command command;
    command.kind = Command::Next;
    command.path = path;
    command.serial = path.empty() ? 0 : serial;
    send(std::move(command));
}

void AudioEngine::setPaused(bool paused)
{
    m_paused = paused;
    if (!paused) {
        // The output takes music again: the decoding thread looks at once, and often.
        {
            std::lock_guard lock(m_mutex);
            m_resumed = true;
        }
        m_wake.notify_all();
    }
}

AudioEngine::Position AudioEngine::position() const
{
    return {m_playedEpoch.load(std::memory_order_acquire), m_playedSerial.load(std::memory_order_acquire),
            m_playedFrame.load(std::memory_order_acquire)};
}

// ---- The decoding thread ----

void AudioEngine::decodeLoop()
{
    bool full = false;
    std::chrono::milliseconds refill = kShortestRefill;
    for (;;) {
        std::deque<Command> commands;
        {
            std::unique_lock lock(m_mutex);
            const auto ready = [this] { return m_quit || m_resumed || !m_commands.empty(); };
            if (!m_current.decoder)
                m_wake.wait(lock, ready);
            else if (full && !m_wake.wait_for(lock, refill, ready)) {
                const std::size_t room = ringFree();
                if (room < kChunkFrames)
                    refill = std::min(refill * 2, kLongestRefill);
                else if (room > kRingFrames / 2)
                    refill = std::max(refill / 2, kShortestRefill);
            }
            if (m_quit)
                return;
            if (m_resumed || !m_commands.empty())
                refill = kShortestRefill;
            m_resumed = false;
            commands.swap(m_commands);
        }
        for (Command& command : commands)
            apply(command);
        full = !pump();
    }
}

void AudioEngine::apply(Command& command)
{
    switch (command.kind) {
    case Command::Start:
        m_current = std::move(command.track);
        m_currentSerial = command.serial;
        m_next = {};
        m_nextSerial = 0;
        if (m_current.decoder && command.frame > 0 && !m_current.decoder->seek(command.frame))
            command.frame = 0;
        flush(command.epoch);
        if (m_current.decoder)
            pushMark({Mark::Start, m_head.load(std::memory_order_relaxed), command.epoch, m_currentSerial, 0,
                      command.frame});
        return;
    case Command::Seek: {
        flush(command.epoch);
        if (!m_current.decoder)
            return;
        const std::uint64_t at = m_head.load(std::memory_order_relaxed);
        pushMark({Mark::Start, at, command.epoch, m_currentSerial, 0, command.frame});
        if (!m_current.decoder->seek(command.frame)) {
            // Lost in a stream that cannot seek: the song ends here rather than play on from nowhere.
            pushMark({Mark::Boundary, at, m_currentEpoch, m_currentSerial, 0, 0});
            m_current = {};
            m_next = {};
            m_nextSerial = 0;
        }
        return;
    }
    case Command::Stop:
        m_current = {};
        m_next = {};
        m_nextSerial = 0;
        flush(command.epoch);
        return;
    case Command::Next:
        m_next = command.path.empty() ? Track{} : m_opener(command.path, command.serial);
        m_nextSerial = m_next.decoder ? command.serial : 0;
        return;
    }
}

// What was written before now belongs to older control calls.
void AudioEngine::flush(unsigned epoch)
{
    m_currentEpoch = epoch;
    m_staleBefore.store(m_head.load(std::memory_order_relaxed), std::memory_order_release);
    m_flushEpoch.store(epoch, std::memory_order_release);
}

std::size_t AudioEngine::ringFree() const
{
    return kRingFrames -
           static_cast<std::size_t>(m_head.load(std::memory_order_relaxed) - m_tail.load(std::memory_order_acquire));
}

// Decodes into the ring while it has room; false when it is full (or nothing is open).
bool AudioEngine::pump()
{
    while (m_current.decoder) {
        const std::size_t room = ringFree();
        if (room < kChunkFrames)
            return false;
        const std::size_t n = m_current.decoder->read(m_chunk.data(), std::min(room, kChunkFrames));
        if (n == 0) {
            // The song is decoded to its end. Which song follows is settled at the last moment,
            // when the output is about to reach the end: the following song is often named only
            // just after this one started.
            const std::size_t unplayed = kRingFrames - room;
            if (!m_next.decoder && unplayed > kSettleFrames)
                return false;
            // The song has ended here; the following one, if it opened, goes on from this frame.
            const std::uint64_t at = m_head.load(std::memory_order_relaxed);
            const std::int64_t nextLength = m_next.decoder ? m_next.decoder->lengthFrames() : 0;
            pushMark({Mark::Boundary, at, m_currentEpoch, m_currentSerial, m_nextSerial, nextLength});
            m_current = std::move(m_next);
            m_currentSerial = m_nextSerial;
            m_next = {};
            m_nextSerial = 0;
            if (m_current.settleGain) {
                m_current.gain = m_current.settleGain();
                m_current.settleGain = nullptr;
            }
            continue;
        }
        const std::uint64_t head = m_head.load(std::memory_order_relaxed);
        writeRing(m_ring.data(), head, m_chunk.data(), n, m_current.gain);
        m_head.store(head + n, std::memory_order_release);
        // Commands wait for no more than a chunk.
        std::lock_guard lock(m_mutex);
        if (!m_commands.empty() || m_quit)
            return true;
    }
    return true;
}

void AudioEngine::pushMark(const Mark& mark)
{
    // The output takes marks as it plays; when it does not play, the oldest are of no use.
    while (m_markHead.load(std::memory_order_relaxed) - m_markTail.load(std::memory_order_acquire) >= kMarks &&
           !m_stopping.load(std::memory_order_relaxed))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const std::uint64_t head = m_markHead.load(std::memory_order_relaxed);
    m_marks[head % kMarks] = mark;
    m_markHead.store(head + 1, std::memory_order_release);
}

// ---- The output's thread ----

bool AudioEngine::takeMark(Mark& mark)
{
    const std::uint64_t tail = m_markTail.load(std::memory_order_relaxed);
    if (tail == m_markHead.load(std::memory_order_acquire))
        return false;
    mark = m_marks[tail % kMarks];
    return true;
}

std::size_t AudioEngine::render(float* out, std::size_t frames)
{
    const unsigned epoch = m_flushEpoch.load(std::memory_order_acquire);
    const std::uint64_t stale = m_staleBefore.load(std::memory_order_acquire);
    if (epoch != m_outEpoch) {
        m_outEpoch = epoch;
        m_outHasSong = false;
    }
    std::uint64_t tail = m_tail.load(std::memory_order_relaxed);
    if (tail < stale) {
        tail = stale;
        m_tail.store(tail, std::memory_order_release);
    }
    // Marks of older control calls go, paused or not, so the decoding thread always has room.
    Mark mark{};
    bool haveMark = takeMark(mark);
    while (haveMark && mark.epoch != epoch && static_cast<int>(mark.epoch - epoch) < 0) {
        m_markTail.fetch_add(1, std::memory_order_release);
        haveMark = takeMark(mark);
    }
    std::size_t filled = 0;
    const bool caughtUp = m_requestedEpoch.load(std::memory_order_acquire) == epoch;
    while (caughtUp && !m_paused.load(std::memory_order_relaxed) && filled < frames) {
        const std::uint64_t head = m_head.load(std::memory_order_acquire);
        haveMark = takeMark(mark);
        if (haveMark && mark.epoch != epoch)
            break; // a newer control call's music: the next pass plays it
        if (haveMark && mark.at <= tail) {
            m_markTail.fetch_add(1, std::memory_order_release);
            if (mark.kind == Mark::Start) {
                m_outHasSong = true;
                m_outSerial = mark.serial;
                m_outFrame = mark.frame;
            } else {
                if (m_ended)
                    m_ended({mark.epoch, mark.serial, mark.next, mark.frame});
                m_outHasSong = mark.next != 0;
                m_outSerial = mark.next;
                m_outFrame = 0;
            }
            continue;
        }
        std::uint64_t until = head;
        if (haveMark)
            until = std::min(until, mark.at);
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(until - tail), frames - filled);
        if (n == 0 || !m_outHasSong)
            break;
        readRing(m_ring.data(), tail, out + filled * 2, n);
        tail += n;
        m_tail.store(tail, std::memory_order_release);
        filled += n;
        m_outFrame += static_cast<std::int64_t>(n);
    }
    std::memset(out + filled * 2, 0, (frames - filled) * 2 * sizeof(float));
    m_playedFrame.store(m_outFrame, std::memory_order_release);
    m_playedSerial.store(m_outHasSong ? m_outSerial : 0, std::memory_order_release);
    m_playedEpoch.store(m_outEpoch, std::memory_order_release);
    if (filled > 0) {
        if (std::shared_ptr<AudioTap> tap = m_tapPoint.current()) {
            if (tap->sampleRate() != m_rate)
                tap->setSampleRate(m_rate);
            tap->write(out, filled);
        }
    }
    return filled;
}

} // namespace tavu
