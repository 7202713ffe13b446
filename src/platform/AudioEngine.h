#pragma once

#include "platform/AudioDecoder.h"
#include "player/AudioTap.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tavu {

// Tavu's audio engine: a decoding thread fills a ring of stereo float frames ahead of the output,
// and the output (the sound device's callback, or a clock of its own when there is no device)
// takes them with render(). Songs are known by serial numbers the caller gives. When a song ends
// and the following one was named with setNext, the following song's first frame comes right after
// the last frame of the one before. The output never waits for the decoding thread, and the user
// interface's thread never waits for a file it did not open itself.
//
// Control calls (start, seek, stop, setNext, setPaused) and position() belong to one thread, the
// user interface's; render() to the output's thread; the opener runs on the decoding thread.
class AudioEngine {
public:
    // A song ready to play: its decoder and the gain that goes on its samples.
    struct Track {
        std::unique_ptr<AudioDecoder> decoder;
        float gain = 1.0f;
        // For a following song: gives its gain anew as its decoding begins, on the decoding thread,
        // about a ring's length before it is heard (what is learnt of it while the song before
        // plays still counts). Must not block.
        std::function<float()> settleGain;
    };
    // Opens a following song on the decoding thread; a track without a decoder when it fails.
    using Opener = std::function<Track(const std::string& path, unsigned serial)>;
    // A song has gone out to its end. `next` is the serial of the song that followed it without a
    // gap (0 when none did), `nextLength` its length in frames. `epoch` tells the control call it
    // belongs to: an end from before the latest start, seek or stop is stale.
    struct Ended {
        unsigned epoch;
        unsigned serial;
        unsigned next;
        std::int64_t nextLength;
    };
    // Called on the output's thread; must only hand the event on.
    using EndedSink = std::function<void(const Ended&)>;

    AudioEngine(int rate, Opener opener, EndedSink ended);
    ~AudioEngine();
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    int rate() const { return m_rate; }
    // The ring holds this much, in frames: about a second and a half.
    static constexpr std::size_t kRingFrames = 65536;

    // Plays the track from startFrame, dropping whatever was decoded ahead.
    void start(Track track, unsigned serial, std::int64_t startFrame = 0);
    // Moves the open song; what was decoded ahead is dropped.
    void seek(std::int64_t frame);
    void stop();
    // The song to follow the open one without a gap; an empty path for none.
    void setNext(const std::string& path, unsigned serial);
    void setPaused(bool paused);

    // The latest control call's number; the events and position() carry it.
    unsigned epoch() const { return m_epoch; }
    struct Position {
        unsigned epoch;
        unsigned serial;
        std::int64_t frame;
    };
    // Where the output stands: the song and its frame most recently played.
    Position position() const;
    // Whether a song is open, playing or paused.
    bool sounding() const { return m_sounding.load(std::memory_order_relaxed); }

    // The output's side. Fills `frames` stereo frames, silence where there is no music; returns
    // how many were music. Writes the music to the tap first. Never blocks.
    std::size_t render(float* out, std::size_t frames);

    AudioTapPoint& tapPoint() { return m_tapPoint; }

private:
    struct Mark {
        enum Kind { Start, Boundary } kind;
        std::uint64_t at; // ring position, in frames written
        unsigned epoch;
        unsigned serial;
        unsigned next;
        std::int64_t frame; // Start: the song's frame at `at`; Boundary: the next song's length
    };
    struct Command {
        enum Kind { Start, Seek, Stop, Next } kind = Start;
        unsigned epoch = 0;
        Track track;
        unsigned serial = 0;
        std::int64_t frame = 0;
        std::string path;
    };

    void send(Command command);
    void decodeLoop();
    void apply(Command& command);
    void flush(unsigned epoch);
    bool pump();
    void pushMark(const Mark& mark);
    bool takeMark(Mark& mark);
    std::size_t ringFree() const;

    const int m_rate;
    Opener m_opener;
    EndedSink m_ended;
    AudioTapPoint m_tapPoint;
    unsigned m_epoch = 0; // the UI thread's count of control calls

    // The ring: the decoding thread writes at m_head, the output reads at m_tail.
    std::vector<float> m_ring;
    std::atomic<std::uint64_t> m_head{0};
    std::atomic<std::uint64_t> m_tail{0};
    // Marks, in ring order; a small ring of their own.
    static constexpr std::size_t kMarks = 64;
    Mark m_marks[kMarks];
    std::atomic<std::uint64_t> m_markHead{0};
    std::atomic<std::uint64_t> m_markTail{0};
    // Everything before m_staleBefore belongs to an older control call than m_flushEpoch.
    std::atomic<std::uint64_t> m_staleBefore{0};
    std::atomic<unsigned> m_flushEpoch{0};

    std::atomic<bool> m_paused{false};
    // The latest control call: until the decoding thread has carried it out, the output is silent.
    std::atomic<unsigned> m_requestedEpoch{0};
    std::atomic<bool> m_sounding{false};
    std::atomic<unsigned> m_playedEpoch{0};
    std::atomic<unsigned> m_playedSerial{0};
    std::atomic<std::int64_t> m_playedFrame{0};

    // The output's own state.
    unsigned m_outEpoch = 0;
    bool m_outHasSong = false;
    unsigned m_outSerial = 0;
    std::int64_t m_outFrame = 0;

    // The decoding thread's state.
    Track m_current;
    unsigned m_currentSerial = 0;
    unsigned m_currentEpoch = 0;
    Track m_next;
    unsigned m_nextSerial = 0;
    std::vector<float> m_chunk;

    std::mutex m_mutex; // guards m_commands, m_resumed and m_quit, between the UI and the decoding thread
    std::condition_variable m_wake;
    std::deque<Command> m_commands;
    bool m_resumed = false;
    bool m_quit = false;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

} // namespace tavu
