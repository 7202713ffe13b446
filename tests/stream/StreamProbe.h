#pragma once

#include "player/AudioTap.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace tavu::test {

// Plays a sine tone into a tap at real-time pace, as the audio engine writes its output, from a
// thread of its own; stops when it goes. Frequency 0 writes nothing (a paused player).
class ToneWriter {
public:
    ToneWriter(std::shared_ptr<AudioTap> tap, double frequency, double amplitude, int rate = 44100);
    ~ToneWriter();
    ToneWriter(const ToneWriter&) = delete;
    ToneWriter& operator=(const ToneWriter&) = delete;
    void setFrequency(double frequency) { m_frequency.store(frequency); }

private:
    std::shared_ptr<AudioTap> m_tap;
    std::atomic<double> m_frequency;
    double m_amplitude;
    int m_rate;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// What a listener hears: seconds of the stream at url, fetched with curl and decoded by ffmpeg to
// float samples of its left channel at 48 kHz. Empty when nothing came.
std::vector<float> listen(const std::string& url, double seconds);
constexpr int kProbeRate = 48000;

// The loudest tone's frequency in the samples (from the zero crossings of their second half) and
// their root-mean-square level.
double toneFrequency(const std::vector<float>& samples, int rate = kProbeRate);
double rmsLevel(const std::vector<float>& samples);

// The StreamTitle a listener asking for ICY metadata reads first; "" when none came.
std::string icyTitle(const std::string& url);

} // namespace tavu::test
