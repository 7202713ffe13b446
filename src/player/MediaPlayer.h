#pragma once

#include <functional>
#include <string>

#include "player/AudioTap.h"

namespace tavu {

// The media player of the main window (Media1). The program reaches the player only through these
// members.
class MediaPlayer {
public:
    enum State { Stopped = 0, Paused = 1, Playing = 2 };

    virtual ~MediaPlayer() = default;

    // Loads the file and starts it at once from the beginning. Returns false when the file could
    // not be opened or decoded; then nothing plays.
    virtual bool open(const std::string& path) = 0;
    // A paused song plays on from where it stood.
    virtual void play() = 0;
    // Playing stops; the position is kept.
    virtual void pause() = 0;
    virtual void stop() = 0;
    // Moves the open song, playing or paused, to this many seconds from its start; a paused song
    // stays paused. False, and nothing changes, when nothing plays or the position is outside the
    // song.
    virtual bool seek(double seconds) = 0;

    // Attenuation in hundredths of a decibel: 0 is full volume, -2500 is 25 dB quieter.
    virtual void setVolume(int hundredthsOfDb) = 0;
    // -10000 (left only) to 10000 (right only); 0 is the centre.
    virtual void setBalance(int balance) = 0;
    // Sound off or back on, without stopping.
    virtual void setMute(bool mute) = 0;

    // Seconds; 0 while nothing is open.
    virtual double duration() const = 0;
    virtual double currentPosition() const = 0;
    virtual int playState() const = 0;

    // The song to play when the open one ends, without a gap: its first sample follows the open
    // song's last. Opening that same path right after endOfStream keeps it playing. An empty path
    // takes the choice back; a new Open or Stop forgets it.
    virtual void setFollowing(const std::string& path) { (void)path; }

    // Where listeners (the stream) take the music from; null where this player offers none.
    virtual AudioTapPoint* tapPoint() { return nullptr; }

    // Raised on the UI thread, once, when the open song has played to its end (never after Stop
    // or a new Open).
    std::function<void()> endOfStream;
};

} // namespace tavu
