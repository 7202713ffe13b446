#pragma once

#include "player/MediaPlayer.h"

#include <atomic>
#include <memory>

typedef struct _Mix_Music Mix_Music;

namespace tavu {

class Runtime;
class SdlAudio;

// The media player on SDL_mixer: one song at a time as the mixer's music, its level set through the
// SdlAudio's MusicLevel (interface sounds are not touched by volume, balance or mute).
// The end of a song is seen on the audio thread and posted through the runtime, so EndOfStream runs
// on the UI thread. One player at a time; it must go before the SdlAudio.
class SdlMediaPlayer : public MediaPlayer {
public:
    SdlMediaPlayer(SdlAudio& audio, Runtime& runtime);
    ~SdlMediaPlayer() override;
    SdlMediaPlayer(const SdlMediaPlayer&) = delete;
    SdlMediaPlayer& operator=(const SdlMediaPlayer&) = delete;

    // Anything but a readable regular file the mixer can decode (a missing file, a folder, an empty
    // or foreign file) returns false, and then nothing is open. A cut-off MP3 plays what decodes.
    bool Open(const std::string& path) override;
    void Play() override;
    void Pause() override;
    void Stop() override;
    bool Seek(double seconds) override;

    void setVolume(int hundredthsOfDb) override;
    void setBalance(int balance) override;
    void setMute(bool mute) override;

    double Duration() const override { return m_music ? m_duration : 0.0; }
    // Stands still while paused; 0 after Stop; the end of the song once it has played to its end.
    double CurrentPosition() const override;
    int PlayState() const override;

private:
    static void musicFinished();
    void postEnd();
    void songEnded(unsigned generation);
    void close();

    SdlAudio& m_audio;
    Runtime& m_runtime;
    Mix_Music* m_music = nullptr;
    double m_duration = 0.0;
    double m_stoppedAt = 0.0;
    State m_state = Stopped;
    // Counts the songs opened and stopped: an end seen for an older song is ignored.
    std::atomic<unsigned> m_generation{0};
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};

} // namespace tavu
