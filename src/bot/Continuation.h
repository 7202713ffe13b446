#pragma once

#include "bot/Controls.h"
#include "util/Runtime.h"
#include "util/Signal.h"

#include <optional>

namespace tavu {

class Bot;

// What happens when a song has played to its end, by the play mode: a random song, the next song
// (after the last one the first), the same song again, or stop. Each new song is announced.
//
// Songs that fail do not stop the modes that move on, and never make them loop for ever: under auto
// random and auto continue a song that cannot be played is said (" Cannot play TITLE ") and the next
// one is tried, and after a whole round of the song list that failed in a row (could not be played,
// or ended within a second of starting) the player stops. A song is never started again sooner than
// a second after the last one started: a continuation that comes sooner waits for the rest of that
// second (events run meanwhile) and is dropped when another song starts or the player is stopped.
class Continuation {
public:
    static constexpr int kMomentMs = 1000;

    explicit Continuation(Bot& bot);
    Continuation(const Continuation&) = delete;
    Continuation& operator=(const Continuation&) = delete;

    // The player's end-of-song event, and what comes just before it, when the player has just
    // found its song over (from then on, under auto continue, the list goes on).
    void songEnding();
    Task<> songEnded();

    // The song that follows the one that plays when it ends, by the play mode: the same song under
    // repeat, the next in the list (after the last one the first) under auto continue, a random
    // one under auto random, none otherwise. The one place that decides it, for the end of a song
    // and for the player's gapless hand-over alike. Auto random draws once; the draw stands until
    // the song it chose starts or the play mode changes.
    std::optional<int> followingSong();
    // With "Gapless" on, tells the player the path of the following song, so that it follows the
    // one that plays without a gap (and the one-second pause of auto continue goes).
    // The first queued song goes before the play mode's choice.
    void preloadFollowing();
    // From now on a change of the queue changes what is preloaded (the queue is made after this).
    void followQueue();
    bool gapless() const;
    // Another start of a song, or a stop: a continuation that waits for its second is dropped.
    void cancel() { m_heldBack.setEnabled(false); }
    bool heldBack() const { return m_heldBack.enabled(); }
    // Between two songs of auto continue: the list goes on, though no song is open.
    bool betweenSongs() const { return m_waiting || heldBack(); }

private:
    void carryOn(PlayMode mode);
    void autoRandom();
    void autoContinue();
    void repeat();
    // One more song that failed; true when a whole round has, and the player has stopped.
    bool failedAgain();
    void stopAtTheEnd();
    void listGoesOnNoMore();

    Bot& m_bot;
    Timer m_heldBack;
    bool m_waiting = false;
    std::size_t m_failures = 0; // songs in a row that could not be played or ended at once
    std::optional<int> m_randomPick;
    Signal<>::Subscription m_modeChanged;
    Signal<>::Subscription m_queueChanged;
};

} // namespace tavu
