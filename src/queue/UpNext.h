#pragma once

#include "queue/SongQueue.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace tavu {

class Bot;

// The bot's queue of songs that play next, and what goes with it: who asked for the song that plays,
// the lengths shown in the listings, and the copy kept beside Tavu.ini (Queue.m3u8, written at once
// after every change, read back at start-up, stopped).
class UpNext {
public:
    explicit UpNext(Bot& bot);
    UpNext(const UpNext&) = delete;
    UpNext& operator=(const UpNext&) = delete;

    // Whether the queue and its commands are in use ("Queue"/"Enabled"): a settings file of an
    // older version has no such key and goes on without them.
    bool enabled() const;

    SongQueue queue;

    // The song of the song list at this position of the queue starts (the songs before it leave
    // the queue); one that cannot be played is said and the next one is tried. False when none
    // could be started.
    bool play(std::size_t position = 0);
    // The song at this position starts at once, the others stay where they are (a song added
    // while nothing plays).
    bool playOnly(std::size_t position);
    // Whether nothing is open in the player, so a queued song may start at once.
    bool idle() const;

    // The queued song that plays now, when it came from the queue (requester and nick for skip).
    const std::optional<QueuedSong>& playing() const { return m_playing; }

    // A song's length in seconds, 0 when unknown; read once per file.
    double length(const std::string& song);
    std::function<double(const std::string& path)> lengthReader;

    // Reads the queue kept by the last run (songs no longer in the music folder are left out).
    void restore();
    std::string savedPath() const;

    // The members who voted to skip the song that plays.
    std::set<std::string> skipVotes;
    // When each member's last command ran (the runtime's ms), for the cooldown between them.
    std::map<std::string, std::int64_t> lastCommandMs;

    // "playnext" opened the selection dialogue: its choice goes first rather than last.
    bool dialogueQueuesFirst = false;

private:
    bool start(std::optional<QueuedSong> next);
    void save() const;

    Bot& m_bot;
    std::optional<QueuedSong> m_playing;
    std::map<std::string, double> m_lengths;
    Signal<>::Subscription m_saving;
    Signal<>::Subscription m_started;
    bool m_starting = false;
};

// Seconds as "M:SS", and as "H:MM:SS" for the whole queue.
std::string minutesSeconds(double seconds);
std::string hoursMinutesSeconds(double seconds);

} // namespace tavu
