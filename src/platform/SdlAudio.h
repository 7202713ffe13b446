#pragma once

#include "platform/MusicLevel.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tavu {

class Runtime;
class Timer;

// What the output plays as music: interleaved stereo 16-bit frames at SdlAudio::kRate. Runs on the
// audio thread and must never block.
class MusicSource {
public:
    virtual ~MusicSource() = default;
    virtual void renderMusic(std::int16_t* samples, std::size_t frames) = 0;
    // Whether there is music open, playing or paused: the device then stays awake.
    virtual bool sounding() const = 0;
};

// The sound output of the program: SDL's audio and the mixer, opened once for 44100 Hz stereo,
// 16 bits, one channel kept for the interface sounds, the music of a MusicSource under them, and
// the music's level applied after mixing. With no usable sound device it runs on SDL's "dummy" driver, silently;
// if even that fails, ready() is false and the players stay silent. Never throws.
// One at a time per process; the players that use it must go before it.
//
// An open device keeps SDL's audio thread waking for every buffer even when everything is silent.
// Once sleepWhenSilent has been called, the device is closed after 5 to 10 seconds without sound
// and opened again by the next song or interface sound (the players call wake()); loaded songs and
// sounds stay valid, as the mixer's format never changes.
class SdlAudio {
public:
    SdlAudio();
    ~SdlAudio();
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    // The mixer channel of the interface sounds.
    static constexpr int kSoundChannel = 0;
    // The output's rate, whatever the device's own: SDL converts.
    static constexpr int kRate = 44100;

    bool ready() const { return m_ready; }
    // The SDL driver in use ("pulseaudio", "alsa", "dummy", "disk", ...), empty when not ready.
    const std::string& driver() const { return m_driver; }
    MusicLevel& musicLevel() { return m_level; }
    // The music under the interface sounds; null for none. The source must stay until it is
    // replaced; the call returns once the audio thread no longer uses the old one.
    void setMusicSource(MusicSource* source);

    // Opens the device if it sleeps; false when it cannot be opened (then nothing can play).
    bool wake();
    // Whether the device is open.
    bool awake() const { return m_awake; }
    // Lets the device sleep through silences, checked by a timer of the runtime.
    void sleepWhenSilent(Runtime& runtime);

private:
    bool openAnyDriver();
    bool openOn(const char* driver);
    bool openDevice();
    void setUpMixer();
    void checkSilence();

    MusicLevel m_level;
    MusicSource* m_music = nullptr;
    bool m_ready = false;
    bool m_awake = false;
    bool m_wokenSinceCheck = false;
    std::string m_driver;
    std::unique_ptr<Timer> m_silenceCheck;
};

} // namespace tavu
