#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavu {

// The loudness of the music: the player's volume, balance and mute, applied to the mixed output on
// the audio thread. The interface sound mixed into the same output keeps its own level: it is told
// to noteSound() before apply() runs, and apply() takes it out, scales the rest and puts it back.
// The setters run on the UI thread; noteSound() and apply() on the audio thread.
class MusicLevel {
public:
    MusicLevel();

    // Attenuation in hundredths of a decibel, 0 (full) to -10000; other values are clamped.
    void setVolume(int hundredthsOfDb);
    // -10000 (left only) to 10000 (right only), a linear pan; other values are clamped.
    void setBalance(int balance);
    void setMute(bool mute);

    float leftGain() const { return m_left.load(std::memory_order_relaxed); }
    float rightGain() const { return m_right.load(std::memory_order_relaxed); }

    // The interface sound's samples as they go into the output, from the start of the current
    // buffer (interleaved stereo, 16 bits).
    void noteSound(const std::int16_t* samples, std::size_t count);
    // Scales the music of one mixed buffer (interleaved stereo, 16 bits) and forgets the noted sound.
    void apply(std::int16_t* stream, std::size_t count);

private:
    void updateGains();

    int m_volume = 0;
    int m_balance = 0;
    bool m_mute = false;
    std::atomic<float> m_left{1.0f};
    std::atomic<float> m_right{1.0f};
    std::vector<std::int16_t> m_sound; // audio thread only
    std::size_t m_soundCount = 0;
};

} // namespace tavu
