#pragma once

#include "bot/SongPaths.h"
#include "util/Signal.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tavu {

class Bot;

// The song the desktop's media controls show.
struct RemoteTrack {
    std::int64_t number = 0; // the how-many-th song start of this run; 0 before the first
    std::int64_t lengthUs = 0;
    std::string title;  // the tag's title, else the song's title as the player shows it
    std::string artist; // from the song's tag; may be empty
    std::string album;
    std::string path;
    int trackNumber = 0; // from the tag; 0 for none
    std::string artPath; // the song's cover picture file; may be empty

    bool operator==(const RemoteTrack&) const = default;
};

// The player as the desktop's media controls (MPRIS) see it.
struct RemoteState {
    std::string status = "Stopped"; // "Playing", "Paused" or "Stopped"
    std::string loop = "None";      // "Track" for repeat, "Playlist" for auto continue, else "None"
    bool shuffle = false;           // auto random
    double volume = 1.0;            // the volume level 0 to 100 as 0.0 to 1.0; 0.0 while muted
    bool canPlay = false;
    bool canPause = false;
    bool canSeek = false;
    bool canGoNext = false;
    bool canGoPrevious = false;
    RemoteTrack track;

    bool operator==(const RemoteState&) const = default;
};

// The player as the desktop drives it. Every control does what the matching button does, click
// sound included; one that its "can" flag says cannot be done does nothing. Play on a stopped
// player with no song selected selects the first song and plays it.
class RemotePlayer {
public:
    // coverFolder: where the covers that songs' tags hold are written for the desktop to show
    // (the program's run-time folder when empty).
    explicit RemotePlayer(Bot& bot, std::string coverFolder = {});
    ~RemotePlayer();
    RemotePlayer(const RemotePlayer&) = delete;
    RemotePlayer& operator=(const RemotePlayer&) = delete;

    RemoteState state() const;
    std::int64_t positionUs() const;

    // Any part of the state may have changed (observers compare); runs often, also for no change.
    Signal<> changed;
    // The song that plays jumped to positionUs().
    Signal<> seeked;

    void play();
    void pause();
    void playPause();
    void stop();
    // count: a burst of that many presses, taken as one: the song that many places on (or the last
    // one, or the first one back) plays, and none in between.
    void next(int count = 1);
    void previous(int count = 1);
    // Relative to where the song stands; before the start is the start, past the end is Next.
    void seek(std::int64_t offsetUs);
    // Only for the track that plays, and only within it.
    void setPosition(std::int64_t trackNumber, std::int64_t positionUs);
    // Plays a file of the music library, as a double click on it in the playlist does. False when
    // the file is no song of the library.
    bool OpenUri(const std::string& path);
    // The song list index of a file of the library, or -1.
    int songIndexOf(const std::string& path) const;
    // The paths of the songs of the list, as one shared list that a worker may search
    // (SongPaths::indexOf); a new one after each change of the list.
    std::shared_ptr<const SongPaths> songPaths();
    // Plays the song at index as OpenUri does, when paths is still the list's and index is in it;
    // otherwise looks path up again. False when it is no song of the library.
    bool openFound(const std::shared_ptr<const SongPaths>& paths, int index, const std::string& path);

    // 0.0 to 1.0 (outside: the nearest end) as the volume level 0 to 100, stored as the vol
    // command stores it.
    void setVolume(double volume);
    // "None", "Track" or "Playlist" through the repeat and auto continue buttons; false for
    // anything else.
    bool setLoopStatus(const std::string& loop);
    void setShuffle(bool shuffle);

private:
    void songStarted();
    std::string coverOf(const std::string& path);
    void forgetCover();
    void playSelected();

    Bot& m_bot;
    Subscriptions m_following;
    RemoteTrack m_track;
    std::int64_t m_starts = 0; // song starts of this run
    std::string m_coverFolder;
    std::string m_writtenCover;                   // the last cover written there, removed when the next one comes
    std::shared_ptr<const SongPaths> m_songPaths; // null once the list has changed
};

} // namespace tavu
