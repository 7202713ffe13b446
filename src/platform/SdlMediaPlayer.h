#pragma once

#include "platform/AudioEngine.h"
#include "platform/LoudnessMeter.h"
#include "platform/SdlAudio.h"
#include "player/MediaPlayer.h"
#include "player/ReplayGain.h"

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tavu {

class Runtime;

// The media player on Tavu's audio engine: FFmpeg decodes on a thread of its own, and the music
// goes out through the SdlAudio under the interface sounds, its level set through the SdlAudio's
// MusicLevel (interface sounds are not touched by volume, balance or mute). With Output::None there
// is no sound device: a clock of the player's own takes the music at its real pace, for the
// listeners at the tap alone. The end of a song is seen on the output's thread and posted through
// the runtime, so endOfStream runs on the UI thread. One player at a time; it must go before the
// SdlAudio.
class SdlMediaPlayer : public MediaPlayer, private MusicSource {
public:
    enum class Output { Speakers, None };

    SdlMediaPlayer(SdlAudio& audio, Runtime& runtime, Output output = Output::Speakers);
    ~SdlMediaPlayer() override;
    SdlMediaPlayer(const SdlMediaPlayer&) = delete;
    SdlMediaPlayer& operator=(const SdlMediaPlayer&) = delete;

    // Anything but a readable regular file FFmpeg can decode (a missing file, a folder, an empty
    // or foreign file) returns false, and then nothing is open. A cut-off song plays what decodes.
    // The format is told by the content, whatever the name says.
    bool open(const std::string& path) override;
    void play() override;
    void pause() override;
    void stop() override;
    bool seek(double seconds) override;

    void setVolume(int hundredthsOfDb) override;
    void setBalance(int balance) override;
    void setMute(bool mute) override;

    double duration() const override;
    // Stands still while paused; 0 after Stop; the end of the song once it has played to its end.
    double currentPosition() const override;
    int playState() const override { return m_state; }

    void setFollowing(const std::string& path) override;
    AudioTapPoint* tapPoint() override { return &m_engine->tapPoint(); }

    // How the songs opened from now on are levelled.
    void setReplayGain(const ReplayGainOptions& options);
    // Where that is read from anew each time a song is opened or named to follow (the settings
    // file), so that a change applies from the next song on. Called on the UI thread.
    void setReplayGainSource(std::function<ReplayGainOptions()> source);
    // Measures the songs without gain tags that play, unless ReplayGain is off; a song not measured
    // yet plays with the fallback gain, one that follows another takes its measurement when it
    // starts. The meter must outlive the player.
    void setLoudnessMeter(LoudnessMeter* meter) { m_loudness = meter; }

private:
    struct Adoptable {
        std::string path;
        unsigned serial = 0;
    };

    void renderMusic(std::int16_t* samples, std::size_t frames) override;
    bool sounding() const override { return m_engine->sounding(); }
    AudioEngine::Track openTrack(const std::string& path, unsigned serial);
    bool startOpen(const std::string& path);
    void readReplayGain();
    void songEnded(const AudioEngine::Ended& ended);
    void runClock();
    bool wake();

    SdlAudio& m_audio;
    Runtime& m_runtime;
    const Output m_output;
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
    std::unique_ptr<AudioEngine> m_engine;

    // The UI thread's view of the song.
    std::string m_path;
    unsigned m_serial = 0; // the open song's; 0 when none is open
    unsigned m_serials = 0;
    std::int64_t m_lengthFrames = 0;
    std::int64_t m_startFrame = 0;
    double m_stoppedAt = 0.0;
    State m_state = Stopped;
    std::string m_followingPath;
    unsigned m_followingSerial = 0;
    Adoptable m_adoptable; // the song that followed without a gap, until the program opens it

    // Levelling, shared with the decoding thread, which opens the following songs.
    std::mutex m_gainMutex;
    ReplayGainOptions m_gain;
    std::map<unsigned, std::string> m_albums; // the album of each song opened, by serial
    std::function<ReplayGainOptions()> m_gainSource;
    LoudnessMeter* m_loudness = nullptr;

    std::vector<float> m_mix; // the output thread's
    std::atomic<bool> m_clockRunning{false};
    std::thread m_clock;
};

} // namespace tavu
