#include "platform/MusicLevel.h"

#include <algorithm>
#include <cmath>

namespace tavu {
namespace {

// Enough for any buffer the mixer is opened with (SdlAudio asks for 2048 frames).
constexpr std::size_t kMaxSamples = 1 << 16;

std::int16_t clampSample(float value)
{
    return static_cast<std::int16_t>(std::clamp(std::lrint(value), -32768L, 32767L));
}

} // namespace

MusicLevel::MusicLevel() : m_sound(kMaxSamples) {}

void MusicLevel::setVolume(int hundredthsOfDb)
{
    m_volume = std::clamp(hundredthsOfDb, -10000, 0);
    updateGains();
}

void MusicLevel::setBalance(int balance)
{
    m_balance = std::clamp(balance, -10000, 10000);
    updateGains();
}

void MusicLevel::setMute(bool mute)
{
    m_mute = mute;
    updateGains();
}

void MusicLevel::updateGains()
{
    // Hundredths of a decibel to an amplitude factor: 10^(dB / 20) with dB = volume / 100.
    const float gain = m_mute ? 0.0f : static_cast<float>(std::pow(10.0, m_volume / 2000.0));
    const float left = m_balance > 0 ? (10000 - m_balance) / 10000.0f : 1.0f;
    const float right = m_balance < 0 ? (10000 + m_balance) / 10000.0f : 1.0f;
    m_left.store(gain * left, std::memory_order_relaxed);
    m_right.store(gain * right, std::memory_order_relaxed);
}

void MusicLevel::noteSound(const std::int16_t* samples, std::size_t count)
{
    count = std::min(count, m_sound.size() - m_soundCount);
    std::copy_n(samples, count, m_sound.begin() + static_cast<std::ptrdiff_t>(m_soundCount));
    m_soundCount += count;
}

void MusicLevel::apply(std::int16_t* stream, std::size_t count)
{
    const float gains[2] = {leftGain(), rightGain()};
    const std::size_t sound = std::min(m_soundCount, count);
    m_soundCount = 0;
    if (gains[0] == 1.0f && gains[1] == 1.0f)
        return;
    // The mixer added the sound to the music at full level (both 16-bit, clipped to the range), so
    // the music is the difference, exact unless the sum clipped.
    for (std::size_t i = 0; i < sound; ++i) {
        const float music = static_cast<float>(stream[i] - m_sound[i]);
        stream[i] = clampSample(music * gains[i % 2] + m_sound[i]);
    }
    for (std::size_t i = sound; i < count; ++i)
        stream[i] = clampSample(stream[i] * gains[i % 2]);
}

} // namespace tavu
