#include "player/SdlMediaPlayer.h"

#include "player/Id3v2Prefix.h"
#include "player/SdlAudio.h"
#include "player/SdlFileWindow.h"
#include "util/Runtime.h"

#include <SDL2/SDL_mixer.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

namespace tavu {
namespace {

// The player whose songs the mixer's end-of-music hook reports. Set before the hook goes in and
// cleared after it is out; setting the hook takes the mixer's lock, which the hook runs under.
std::atomic<SdlMediaPlayer*> s_player{nullptr};

// The decoder for a file with tags in front, by its extension: a FLAC file may start with an ID3v2
// tag too. Anything else is taken for MP3, as the classic library only plays MP3.
Mix_MusicType typeAfterTags(const std::string& path)
{
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return MUS_MP3;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == "flac")
        return MUS_FLAC;
    if (extension == "ogg" || extension == "oga")
        return MUS_OGG;
    if (extension == "opus")
        return MUS_OPUS;
    if (extension == "wav")
        return MUS_WAV;
    return MUS_MP3;
}

// Loads a song; the mixer picks the decoder by the extension. Its MP3 decoder reckons the length
// from the file size, tags included, so a file that starts with ID3v2 tags is handed over from the
// first byte after them.
Mix_Music* loadSong(const std::string& path)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec)
        return nullptr;
    std::ifstream in(path, std::ios::binary);
    const std::uint64_t tags = in ? id3v2PrefixSize(in, size) : 0;
    if (tags == 0)
        return Mix_LoadMUS(path.c_str());
    SDL_RWops* rw = openFileWindow(path, static_cast<Sint64>(tags));
    return rw ? Mix_LoadMUSType_RW(rw, typeAfterTags(path), SDL_TRUE) : nullptr;
}

} // namespace

SdlMediaPlayer::SdlMediaPlayer(SdlAudio& audio, Runtime& runtime) : m_audio(audio), m_runtime(runtime)
{
    if (!m_audio.ready())
        return;
    s_player = this;
    Mix_HookMusicFinished(&SdlMediaPlayer::musicFinished);
}

SdlMediaPlayer::~SdlMediaPlayer()
{
    if (!m_audio.ready())
        return;
    Mix_HookMusicFinished(nullptr); // takes the mixer's lock: no hook runs after it returns
    s_player = nullptr;
    close();
}

// Runs on the audio thread when a song ends, and inside Mix_HaltMusic: only posts.
void SdlMediaPlayer::musicFinished()
{
    if (SdlMediaPlayer* player = s_player.load())
        player->postEnd();
}

void SdlMediaPlayer::postEnd()
{
    const unsigned generation = m_generation.load();
    m_runtime.post([this, alive = std::weak_ptr<int>(m_alive), generation] {
        if (alive.lock())
            songEnded(generation);
    });
}

// On the UI thread. Stop and Open count the generation up after halting the mixer, so an end of the
// song they stopped (or one that ended just before) arrives with an old generation and is dropped.
void SdlMediaPlayer::songEnded(unsigned generation)
{
    if (generation != m_generation.load() || !m_music)
        return;
    ++m_generation; // exactly once
    m_state = Stopped;
    m_stoppedAt = m_duration;
    if (EndOfStream)
        EndOfStream();
}

void SdlMediaPlayer::close()
{
    Mix_HaltMusic();
    ++m_generation;
    if (m_music)
        Mix_FreeMusic(m_music);
    m_music = nullptr;
    m_duration = 0.0;
    m_stoppedAt = 0.0;
    m_state = Stopped;
}

bool SdlMediaPlayer::Open(const std::string& path)
{
    close();
    if (!m_audio.wake())
        return false;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) // also keeps FIFOs and devices from blocking us
        return false;
    Mix_Music* music = loadSong(path);
    if (!music)
        return false;
    if (Mix_PlayMusic(music, 0) != 0) {
        Mix_FreeMusic(music);
        return false;
    }
    m_music = music;
    m_duration = std::max(0.0, Mix_MusicDuration(music));
    m_state = Playing;
    return true;
}

void SdlMediaPlayer::Play()
{
    if (!m_music)
        return;
    if (m_state == Paused) {
        Mix_ResumeMusic();
        m_state = Playing;
    } else if (m_state == Stopped && m_audio.wake() && Mix_PlayMusic(m_music, 0) == 0) {
        m_state = Playing; // from the start, as after Stop the position is 0
    }
}

void SdlMediaPlayer::Pause()
{
    if (m_state != Playing || !Mix_PlayingMusic())
        return;
    Mix_PauseMusic();
    m_state = Paused;
}

void SdlMediaPlayer::Stop()
{
    if (!m_music)
        return;
    Mix_HaltMusic();
    ++m_generation;
    m_state = Stopped;
    m_stoppedAt = 0.0;
}

bool SdlMediaPlayer::Seek(double seconds)
{
    if (!m_music || m_state == Stopped || !(seconds >= 0.0 && seconds <= m_duration))
        return false;
    return Mix_SetMusicPosition(seconds) == 0;
}

void SdlMediaPlayer::setVolume(int hundredthsOfDb)
{
    m_audio.musicLevel().setVolume(hundredthsOfDb);
}
void SdlMediaPlayer::setBalance(int balance)
{
    m_audio.musicLevel().setBalance(balance);
}
void SdlMediaPlayer::setMute(bool mute)
{
    m_audio.musicLevel().setMute(mute);
}

double SdlMediaPlayer::CurrentPosition() const
{
    if (!m_music || m_state == Stopped)
        return m_stoppedAt;
    if (!Mix_PlayingMusic()) // ended; the event is on its way
        return m_duration;
    return std::clamp(Mix_GetMusicPosition(m_music), 0.0, m_duration);
}

int SdlMediaPlayer::PlayState() const
{
    if (m_state == Playing && !Mix_PlayingMusic())
        return Stopped;
    return m_state;
}

} // namespace tavu
