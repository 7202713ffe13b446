#pragma once

#include "util/Platform.h"

#include <map>
#include <string>

typedef struct Mix_Chunk Mix_Chunk;

namespace tavu {

class SdlAudio;

// The interface sounds on the SdlAudio's reserved mixer channel. Every playWave cuts off the sound
// still playing; a file that is missing, unreadable, no sound, or larger than an interface sound
// has any reason to be plays nothing. The player's volume and mute leave these sounds alone.
// Loaded sounds are kept by path (a handful). Must go before the SdlAudio.
class SdlSoundPlayer : public SoundPlayer {
public:
    explicit SdlSoundPlayer(SdlAudio& audio);
    ~SdlSoundPlayer() override;
    SdlSoundPlayer(const SdlSoundPlayer&) = delete;
    SdlSoundPlayer& operator=(const SdlSoundPlayer&) = delete;

    void playWave(const std::string& path) override;

private:
    Mix_Chunk* chunkFor(const std::string& path);
    void clearCache();

    SdlAudio& m_audio;
    std::map<std::string, Mix_Chunk*> m_chunks;
};

} // namespace tavu
