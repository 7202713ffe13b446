#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tavu {

// The music as the audio engine hands it to listeners (the stream): interleaved float samples,
// after ReplayGain and before the owner's volume, balance and mute. One writer (the engine's
// thread) and one reader (the consumer's thread); neither ever waits for the other. When the
// reader falls behind, the writer drops what does not fit and counts it, so a slow consumer
// loses samples and never stalls the sound.
class AudioTap {
public:
    // capacityFrames: how many frames (one sample per channel) the ring holds.
    AudioTap(std::size_t capacityFrames, int channels)
        : m_channels(channels), m_capacity(capacityFrames), m_ring(capacityFrames * channels)
    {
    }

    int channels() const { return m_channels; }
    std::size_t capacityFrames() const { return m_capacity; }

    // The sample rate of what is written; set by the writer before the first write of a new rate.
    int sampleRate() const { return m_rate.load(std::memory_order_acquire); }
    void setSampleRate(int rate) { m_rate.store(rate, std::memory_order_release); }

    // Writer side. Copies up to `frames` frames; returns how many fit. Never blocks.
    std::size_t write(const float* samples, std::size_t frames)
    {
        const std::uint64_t head = m_head.load(std::memory_order_relaxed);
        const std::uint64_t tail = m_tail.load(std::memory_order_acquire);
        const std::size_t room = m_capacity - static_cast<std::size_t>(head - tail);
        const std::size_t n = frames < room ? frames : room;
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t slot = static_cast<std::size_t>((head + i) % m_capacity) * m_channels;
            for (int c = 0; c < m_channels; ++c)
                m_ring[slot + c] = samples[i * m_channels + c];
        }
        m_head.store(head + n, std::memory_order_release);
        if (n < frames)
            m_dropped.fetch_add(frames - n, std::memory_order_relaxed);
        return n;
    }

    // Reader side. Copies up to `frames` frames into `samples`; returns how many there were.
    std::size_t read(float* samples, std::size_t frames)
    {
        const std::uint64_t tail = m_tail.load(std::memory_order_relaxed);
        const std::uint64_t head = m_head.load(std::memory_order_acquire);
        const std::size_t ready = static_cast<std::size_t>(head - tail);
        const std::size_t n = frames < ready ? frames : ready;
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t slot = static_cast<std::size_t>((tail + i) % m_capacity) * m_channels;
            for (int c = 0; c < m_channels; ++c)
                samples[i * m_channels + c] = m_ring[slot + c];
        }
        m_tail.store(tail + n, std::memory_order_release);
        return n;
    }

    // Frames waiting for the reader.
    std::size_t readable() const
    {
        return static_cast<std::size_t>(m_head.load(std::memory_order_acquire) -
                                        m_tail.load(std::memory_order_acquire));
    }

    // Frames the writer had to drop because the reader fell behind.
    std::uint64_t dropped() const { return m_dropped.load(std::memory_order_relaxed); }

private:
    const int m_channels;
    const std::size_t m_capacity;
    std::vector<float> m_ring;
    std::atomic<std::uint64_t> m_head{0};
    std::atomic<std::uint64_t> m_tail{0};
    std::atomic<std::uint64_t> m_dropped{0};
    std::atomic<int> m_rate{0};
};

// Where the engine finds its listener. The engine writes to the tap that is attached at the
// moment; attaching and detaching are safe from any thread while the engine runs.
class AudioTapPoint {
public:
    void attach(std::shared_ptr<AudioTap> tap) { std::atomic_store(&m_tap, std::move(tap)); }
    void detach() { std::atomic_store(&m_tap, std::shared_ptr<AudioTap>()); }
    std::shared_ptr<AudioTap> current() const { return std::atomic_load(&m_tap); }

private:
    std::shared_ptr<AudioTap> m_tap;
};

} // namespace tavu
