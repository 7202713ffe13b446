#pragma once

#include "player/AudioTap.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace tavu {

// Where the stream goes and what it sends.
struct IcecastTarget {
    enum class Format { Mp3, Opus };
    std::string host;
    int port = 8000;
    std::string mount;
    std::string user;
    std::string password;
    bool tls = false;
    Format format = Format::Mp3;
    int kbps = 128;
    std::string name;
    std::string description;
    std::string genre;
    std::string url;   // where listeners find the stream, sent as the stream's address
    double gain = 1.0; // the stream's own level, linear
};

// The stream's source: on a thread of its own it takes the music from the tap, encodes it and
// sends it to an Icecast mount through libshout, without ever blocking on the network. While the
// tap is silent (the player paused or stopped) it sends silence on its own clock, so that
// listeners stay connected. A connection that fails is tried again after 1 s, then twice as long
// each time up to a minute. When the network is slower than the music, encoded data is dropped;
// the tap is read on time whatever happens, so the speakers never wait.
class IcecastSource {
public:
    enum class Fault { None, Unreachable, Refused, Tls, Lost, Encoder };
    struct Report {
        bool open = false;          // the mount is open now (else closed, or a fault)
        Fault fault = Fault::None;  // why it closed, or None when it was asked to
        std::string detail;         // libshout's own words for the fault
        std::int64_t retryInMs = 0; // when the next attempt is due
    };
    // Called on the stream's thread whenever the mount opens or closes.
    using Reporter = std::function<void(const Report&)>;

    IcecastSource(IcecastTarget target, std::shared_ptr<AudioTap> tap, Reporter report);
    // Closes the mount and ends the thread (within one tick of 20 ms, or one metadata update).
    ~IcecastSource();
    IcecastSource(const IcecastSource&) = delete;
    IcecastSource& operator=(const IcecastSource&) = delete;

    // The title of the song that begins now. Safe from any thread.
    void setTitle(std::string title);
    // Idle closes the mount (the player has been stopped a long time); not idle opens it again.
    // Safe from any thread.
    void setIdle(bool idle);

    // Encoded bytes the network could not take in time.
    std::uint64_t droppedBytes() const { return m_droppedBytes.load(std::memory_order_relaxed); }
    // Frames of silence sent while the tap gave nothing.
    std::uint64_t silentFrames() const { return m_silentFrames.load(std::memory_order_relaxed); }

    // The tap's capacity: enough for the stream's thread to fall a second behind.
    static std::shared_ptr<AudioTap> makeTap();

private:
    class Connection;
    void run();

    IcecastTarget m_target;
    std::shared_ptr<AudioTap> m_tap;
    Reporter m_report;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_idle{false};
    std::atomic<std::shared_ptr<const std::string>> m_title;
    std::atomic<std::uint64_t> m_titleTurn{0};
    std::atomic<std::uint64_t> m_droppedBytes{0};
    std::atomic<std::uint64_t> m_silentFrames{0};
    std::thread m_thread;
};

} // namespace tavu
