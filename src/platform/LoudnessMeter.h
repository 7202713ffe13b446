#pragma once

#include "player/LoudnessStore.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>

namespace tavu {

// Measures a song's EBU R128 integrated loudness and sample peak, decoding it as the player does.
// None when the file cannot be decoded, is silent or shorter than one 400 ms block, or when `stop`
// turns true on the way. Blocks for as long as decoding takes.
std::optional<MeasuredLoudness> measureLoudness(const std::string& path, const std::atomic<bool>* stop = nullptr);

// Measures songs without gain tags in the background, at the lowest priority, one at a time, and
// keeps the results in its store (when it has one) and in memory for the run. Nobody waits for a
// measurement: known() answers at once from what is known so far.
//
// Every song is tried once for as long as its file stays the same: one that cannot be measured is
// remembered as such, in the store too, and not tried again. known() and request() may be called
// from any thread; the store is used on the measuring thread, and by known() only when the
// measuring thread is not using it at that moment.
class LoudnessMeter {
public:
    // The store may be null (then nothing is kept between runs); it must outlive the meter.
    explicit LoudnessMeter(LoudnessStore* store);
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter&) = delete;
    LoudnessMeter& operator=(const LoudnessMeter&) = delete;

    // What is known of the song as its file is now: its loudness, or an entry without loudness
    // for a file that holds none; nothing when it has not been measured yet.
    std::optional<LoudnessStore::Entry> known(const std::string& path);
    // Asks for the song to be measured unless it is known or asked for already. The measuring
    // thread starts with the first request.
    void request(const std::string& path);

    // Songs measured (or found unmeasurable) by this meter so far, not counting those read back
    // from the store.
    int measured() const;

private:
    struct Identity {
        std::int64_t size = 0, mtime = 0, inode = 0;
        bool operator==(const Identity&) const = default;
    };
    static std::optional<Identity> identityOf(const std::string& path);
    static bool matches(const LoudnessStore::Entry& entry, const Identity& identity);
    void run();
    void measureOne(const std::string& path);

    LoudnessStore* const m_store;
    std::mutex m_storeMutex; // held while the store is used

    mutable std::mutex m_mutex; // guards everything below
    std::condition_variable m_wake;
    std::map<std::string, LoudnessStore::Entry> m_known;
    std::deque<std::string> m_queue;
    std::set<std::string> m_queued;
    int m_measured = 0;
    bool m_quit = false;
    std::atomic<bool> m_stopping{false}; // cuts a measurement short
    std::thread m_thread;
};

} // namespace tavu
