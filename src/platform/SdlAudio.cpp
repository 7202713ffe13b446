#include "platform/SdlAudio.h"

#include "util/Runtime.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

namespace tavu {
namespace {

constexpr int kRate = SdlAudio::kRate;
constexpr int kChannels = 2;
constexpr int kBufferFrames = 2048; // 46 ms: a click still feels immediate, and half the wake-ups of 1024
constexpr int kSilenceCheckMs = 5000;

// Runs on the audio thread after all mixing.
void SDLCALL applyMusicLevel(int, void* stream, int bytes, void* level)
{
    static_cast<MusicLevel*>(level)->apply(static_cast<Sint16*>(stream),
                                           static_cast<std::size_t>(bytes) / sizeof(Sint16));
}

// Runs on the audio thread, before the interface sound is mixed in.
void SDLCALL renderMusic(void* source, Uint8* stream, int bytes)
{
    if (source)
        static_cast<MusicSource*>(source)->renderMusic(reinterpret_cast<Sint16*>(stream),
                                                       static_cast<std::size_t>(bytes) / (sizeof(Sint16) * kChannels));
}

} // namespace

SdlAudio::SdlAudio()
{
    // SDL's audio brings up its event system, which would take SIGINT and SIGTERM for an SDL_QUIT
    // event nobody reads: the program could then no longer be ended by a signal.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (!openAnyDriver())
        return;
    m_ready = true;
    m_awake = true;
    setUpMixer();
}

SdlAudio::~SdlAudio()
{
    m_silenceCheck.reset();
    if (m_ready) {
        if (m_awake) {
            Mix_HaltChannel(-1);
            Mix_CloseAudio(); // removes the effects too
        }
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

// Closing the device drops the mixer's channels and effects; every opening sets them up again.
void SdlAudio::setUpMixer()
{
    Mix_AllocateChannels(1);
    Mix_ReserveChannels(1); // the one channel is kept for playWave
    Mix_RegisterEffect(MIX_CHANNEL_POST, applyMusicLevel, nullptr, &m_level);
    Mix_HookMusic(renderMusic, m_music);
}

void SdlAudio::setMusicSource(MusicSource* source)
{
    m_music = source;
    if (m_ready && m_awake)
        Mix_HookMusic(renderMusic, source); // under the mixer's lock: no callback runs meanwhile
}

bool SdlAudio::wake()
{
    m_wokenSinceCheck = true;
    if (m_awake || !m_ready)
        return m_awake;
    if (!openDevice()) {
        // The device went away meanwhile: start over on whatever works now, as at start-up.
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        if (!openAnyDriver())
            return false;
    }
    m_awake = true;
    setUpMixer();
    if (m_silenceCheck)
        m_silenceCheck->setEnabled(true);
    return true;
}

void SdlAudio::sleepWhenSilent(Runtime& runtime)
{
    if (!m_ready)
        return;
    m_silenceCheck = std::make_unique<Timer>(runtime, kSilenceCheckMs, [this] { checkSilence(); });
    m_silenceCheck->setEnabled(m_awake);
}

// A paused song counts as sound: the mixer holds it as playing.
void SdlAudio::checkSilence()
{
    const bool woken = m_wokenSinceCheck;
    m_wokenSinceCheck = false;
    if (!m_awake || woken || (m_music && m_music->sounding()) || Mix_Playing(-1))
        return;
    Mix_CloseAudio();
    m_awake = false;
    m_silenceCheck->setEnabled(false);
}

// SDL's choice of driver, else the silent "dummy" one; notes the driver that opened.
bool SdlAudio::openAnyDriver()
{
    if (!openOn(nullptr) && !openOn("dummy"))
        return false;
    const char* name = SDL_GetCurrentAudioDriver();
    m_driver = name ? name : "";
    return true;
}

// Opens audio on the given driver, or on SDL's choice (SDL_AUDIODRIVER or the first that works).
bool SdlAudio::openOn(const char* driver)
{
    if (driver)
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver, SDL_HINT_OVERRIDE);
    bool opened = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (driver)
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (!opened)
        return false;
    opened = openDevice();
    if (!opened)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return opened;
}

// No format changes allowed: SDL converts for the device, so the mixer (and the level applied after
// it) always sees 16-bit stereo at 44100 Hz, and what was loaded for one opening suits the next.
bool SdlAudio::openDevice()
{
    return Mix_OpenAudioDevice(kRate, AUDIO_S16SYS, kChannels, kBufferFrames, nullptr, 0) == 0;
}

} // namespace tavu
