#pragma once

#include "player/MusicLevel.h"

#include <string>

namespace tavu {

// The sound output of the program: SDL's audio and the mixer, opened once for 44100 Hz stereo,
// 16 bits, with MP3 decoding, one channel kept for the interface sounds, and the music's level
// applied after mixing. With no usable sound device it runs on SDL's "dummy" driver, silently;
// if even that fails, ready() is false and the players stay silent. Never throws.
// One at a time per process; the players that use it must go before it.
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

  private:
    bool openOn(const char* driver);

    MusicLevel m_level;
    bool m_ready = false;
    std::string m_driver;
};

} // namespace tavu
