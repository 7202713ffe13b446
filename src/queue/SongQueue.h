#pragma once

#include "util/Signal.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tavu {

// One song waiting to play: its name in the song list (relative to the music folder), and who asked
// for it (empty for the owner): the member's identity, which limits and removals go by, and the nick
// the listing shows.
struct QueuedSong {
    std::string song;
    std::string requester;
    std::string nick;
    bool operator==(const QueuedSong&) const = default;
};

// The songs that play next, first one first. Positions are 0-based here; the chat counts from 1.
// changed follows every change, so the windows and the saved copy stay up to date.
class SongQueue {
public:
    std::size_t size() const { return m_songs.size(); }
    bool empty() const { return m_songs.empty(); }
    const std::vector<QueuedSong>& songs() const { return m_songs; }
    const QueuedSong& at(std::size_t position) const { return m_songs.at(position); }

    // Appends; returns its position.
    std::size_t add(QueuedSong song);
    // Puts the song before all others.
    void addFirst(QueuedSong song);
    // Removes positions first to last (both included); false when the range is not in the queue.
    bool remove(std::size_t first, std::size_t last);
    // Moves the song at from so that it ends up at to; false when either is not a position.
    bool move(std::size_t from, std::size_t to);
    // Hands out the song at position, and drops the songs before it unless told to keep them;
    // nothing when there is none.
    std::optional<QueuedSong> takeAt(std::size_t position, bool keepEarlier = false);
    std::optional<QueuedSong> takeFirst() { return takeAt(0); }
    void clear();
    // Puts the songs in a random order; fraction gives numbers in [0, 1).
    void shuffle(const std::function<double()>& fraction);
    // Replaces the whole queue (loading a saved one); changed runs once.
    void assign(std::vector<QueuedSong> songs);

    bool contains(const std::string& song) const;
    // How many songs this requester has waiting.
    std::size_t countBy(const std::string& requester) const;

    Signal<> changed;

private:
    std::vector<QueuedSong> m_songs;
};

} // namespace tavu
