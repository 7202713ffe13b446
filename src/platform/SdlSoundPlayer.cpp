#include "platform/SdlSoundPlayer.h"

#include "platform/SdlAudio.h"

#include <SDL2/SDL_mixer.h>

#include <filesystem>

namespace tavu {
namespace {

constexpr std::size_t kMaxCached = 8;
constexpr std::uintmax_t kMaxFileBytes = 16u << 20; // about 90 s of CD-quality sound

// Runs on the audio thread for the interface sound's channel, before the music's level is applied.
void SDLCALL noteSound(int, void* samples, int bytes, void* level)
{
    static_cast<MusicLevel*>(level)->noteSound(static_cast<const Sint16*>(samples),
                                               static_cast<std::size_t>(bytes) / sizeof(Sint16));
}

} // namespace

SdlSoundPlayer::SdlSoundPlayer(SdlAudio& audio) : m_audio(audio) {}

SdlSoundPlayer::~SdlSoundPlayer()
{
    clearCache();
}

void SdlSoundPlayer::clearCache()
{
    if (m_audio.awake()) // a sleeping device has no channels
        Mix_HaltChannel(SdlAudio::kSoundChannel);
    for (auto& [path, chunk] : m_chunks)
        Mix_FreeChunk(chunk);
    m_chunks.clear();
}

Mix_Chunk* SdlSoundPlayer::chunkFor(const std::string& path)
{
    if (auto found = m_chunks.find(path); found != m_chunks.end())
        return found->second;
    std::error_code ec;
    // A regular file only: a FIFO or a device would block or never end.
    if (!std::filesystem::is_regular_file(path, ec) || std::filesystem::file_size(path, ec) > kMaxFileBytes || ec)
        return nullptr;
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    if (!chunk)
        return nullptr;
    if (m_chunks.size() >= kMaxCached)
        clearCache();
    m_chunks.emplace(path, chunk);
    return chunk;
}

void SdlSoundPlayer::playWave(const std::string& path)
{
    if (!m_audio.wake())
        return;
    Mix_HaltChannel(SdlAudio::kSoundChannel);
    Mix_Chunk* chunk = chunkFor(path);
    if (!chunk)
        return;
    // The music's level must see this sound from its first buffer on, so the channel's effect goes
    // on before it starts. The channel is halted, so nothing runs on it meanwhile; the effect ends
    // with the sound.
    Mix_UnregisterAllEffects(SdlAudio::kSoundChannel);
    Mix_RegisterEffect(SdlAudio::kSoundChannel, noteSound, nullptr, &m_audio.musicLevel());
    Mix_PlayChannel(SdlAudio::kSoundChannel, chunk, 0);
}

} // namespace tavu
