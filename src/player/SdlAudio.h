#pragma once

#include "player/MusicLevel.h"

#include <memory>
#include <string>

namespace tavu {

class Runtime;
class Timer;

// The sound output of the program: SDL's audio and the mixer, opened once for 44100 Hz stereo,
// 16 bits, with MP3 decoding, one channel kept for the interface sounds, and the music's level
// applied after mixing. With no usable sound device it runs on SDL's "dummy" driver, silently;
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

    bool ready() const { return m_ready; }
    // The SDL driver in use ("pulseaudio", "alsa", "dummy", "disk", ...), empty when not ready.
    const std::string& driver() const { return m_driver; }
    MusicLevel& musicLevel() { return m_level; }

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
    bool m_ready = false;
    bool m_awake = false;
    bool m_wokenSinceCheck = false;
    std::string m_driver;
    std::unique_ptr<Timer> m_silenceCheck;
};

} // namespace tavu
