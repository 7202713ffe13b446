#include "platform/IcecastSource.h"

#include "client/ReconnectBackoff.h"
#include "platform/LameEncoder.h"
#include "platform/OggOpusEncoder.h"

#include <shout/shout.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace tavu {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kTick = std::chrono::milliseconds(20);
// Silence starts once the tap has been quiet this long (the engine writes in bursts).
constexpr double kSilenceAfterSeconds = 0.25;
// A connection that is not up after this long has failed.
constexpr auto kConnectTimeout = std::chrono::seconds(10);
// The most the network may hold back before encoded data is dropped.
constexpr double kQueueSeconds = 2.0;
constexpr int kFallbackRate = 44100;

void initShoutOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        shout_init();
        // libshout writes to its socket without MSG_NOSIGNAL: a server that went away would end
        // the whole program with SIGPIPE instead of failing the write.
        struct sigaction current {};
        if (::sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            std::signal(SIGPIPE, SIG_IGN);
    });
}

std::int64_t msSince(Clock::time_point then)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - then).count();
}

IcecastSource::Fault faultOf(int error)
{
    switch (error) {
    case SHOUTERR_NOLOGIN: // a wrong user or password, and a mount in use, alike
        return IcecastSource::Fault::Refused;
    case SHOUTERR_NOTLS:
    case SHOUTERR_TLSBADCERT:
        return IcecastSource::Fault::Tls;
    default: // nothing listens there (a broken socket), or no such host
        return IcecastSource::Fault::Unreachable;
    }
}

} // namespace

// One connection to the mount, open or opening.
class IcecastSource::Connection {
public:
    Connection(const IcecastTarget& target, int rate) : m_shout(shout_new())
    {
        if (!m_shout)
            throw std::runtime_error("libshout could not start");
        const bool mp3 = target.format == IcecastTarget::Format::Mp3;
        shout_set_host(m_shout, target.host.c_str());
        shout_set_port(m_shout, static_cast<unsigned short>(target.port));
        shout_set_mount(m_shout, target.mount.c_str());
        shout_set_user(m_shout, target.user.c_str());
        shout_set_password(m_shout, target.password.c_str());
        shout_set_protocol(m_shout, SHOUT_PROTOCOL_HTTP);
        shout_set_tls(m_shout, target.tls ? SHOUT_TLS_RFC2818 : SHOUT_TLS_DISABLED);
        shout_set_content_format(m_shout, mp3 ? SHOUT_FORMAT_MP3 : SHOUT_FORMAT_OGG, SHOUT_USAGE_AUDIO, nullptr);
        shout_set_agent(m_shout, "Tavu/" TAVU_VERSION);
        shout_set_public(m_shout, 0);
        const auto meta = [&](const char* name, const std::string& value) {
            if (!value.empty())
                shout_set_meta(m_shout, name, value.c_str());
        };
        meta(SHOUT_META_NAME, target.name);
        meta(SHOUT_META_DESCRIPTION, target.description);
        meta(SHOUT_META_GENRE, target.genre);
        meta(SHOUT_META_URL, target.url);
        shout_set_audio_info(m_shout, SHOUT_AI_BITRATE, std::to_string(target.kbps).c_str());
        shout_set_audio_info(m_shout, SHOUT_AI_SAMPLERATE, std::to_string(mp3 ? rate : 48000).c_str());
        shout_set_audio_info(m_shout, SHOUT_AI_CHANNELS, "2");
        shout_set_nonblocking(m_shout, 1);
        m_result = shout_open(m_shout);
    }
    ~Connection()
    {
        shout_close(m_shout);
        shout_free(m_shout);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // SHOUTERR_SUCCESS once open, SHOUTERR_BUSY while opening, else the error.
    int poll()
    {
        if (m_result == SHOUTERR_BUSY) {
            const int now = shout_get_connected(m_shout);
            m_result = now == SHOUTERR_CONNECTED ? SHOUTERR_SUCCESS : now;
        }
        return m_result;
    }
    std::string error() { return shout_get_error(m_shout); }
    shout_t* shout() const { return m_shout; }

private:
    shout_t* m_shout;
    int m_result;
};

std::shared_ptr<AudioTap> IcecastSource::makeTap()
{
    return std::make_shared<AudioTap>(48000, 2);
}

IcecastSource::IcecastSource(IcecastTarget target, std::shared_ptr<AudioTap> tap, Reporter report)
    : m_target(std::move(target)), m_tap(std::move(tap)), m_report(std::move(report))
{
    initShoutOnce();
    m_thread = std::thread([this] { run(); });
}

IcecastSource::~IcecastSource()
{
    m_stop.store(true);
    m_thread.join();
}

void IcecastSource::setTitle(std::string title)
{
    m_title.store(std::make_shared<const std::string>(std::move(title)));
    m_titleTurn.fetch_add(1);
}

void IcecastSource::setIdle(bool idle)
{
    m_idle.store(idle);
}

void IcecastSource::run()
{
    ReconnectBackoff backoff({1000, 60'000, 0.0, 60'000}, [] { return 0.0; });
    std::unique_ptr<Connection> connection;
    std::unique_ptr<StreamEncoder> encoder;
    bool open = false;
    Clock::time_point startedAt{};
    Clock::time_point retryAt = Clock::now();
    Clock::time_point clockStart{};
    std::uint64_t framesSent = 0;
    std::uint64_t titleSent = 0;
    int rate = 0;
    std::vector<float> samples(static_cast<std::size_t>(m_tap->capacityFrames()) * 2);
    StreamEncoder::Bytes bytes;

    const auto close = [&](Fault fault, const std::string& detail) {
        const bool wasOpen = open;
        const std::int64_t up = wasOpen ? msSince(startedAt) : 0;
        connection.reset();
        encoder.reset();
        open = false;
        if (fault == Fault::None) {
            backoff.reset();
            retryAt = Clock::now();
            if (wasOpen)
                m_report({false, Fault::None, {}, 0});
            return;
        }
        const std::int64_t delay = backoff.nextDelay(up);
        retryAt = Clock::now() + std::chrono::milliseconds(delay);
        m_report({false, fault, detail, delay});
    };
    const auto sendTitle = [&] {
        titleSent = m_titleTurn.load();
        const std::shared_ptr<const std::string> title = m_title.load();
        if (!title)
            return;
        if (encoder->carriesTitles()) {
            encoder->startSong(*title, bytes);
            return;
        }
        shout_metadata_t* metadata = shout_metadata_new();
        if (!metadata)
            return;
        if (shout_metadata_add(metadata, "song", title->c_str()) == SHOUTERR_SUCCESS) {
            const int sent = shout_set_metadata_utf8(connection->shout(), metadata);
            if (sent == SHOUTERR_BUSY || sent == SHOUTERR_RETRY)
                titleSent = 0; // the next tick tries again
        }
        shout_metadata_free(metadata);
    };

    auto nextTick = Clock::now();
    while (!m_stop.load()) {
        nextTick += kTick;
        std::this_thread::sleep_until(nextTick);
        if (Clock::now() > nextTick + std::chrono::seconds(1))
            nextTick = Clock::now(); // the machine slept: no catching up

        const std::size_t frames = m_tap->read(samples.data(), m_tap->capacityFrames());
        const int tapRate = m_tap->sampleRate() > 0 ? m_tap->sampleRate() : kFallbackRate;

        if (m_idle.load()) {
            if (connection)
                close(Fault::None, {});
            continue;
        }
        if (open && tapRate != rate)
            close(Fault::None, {}); // the music's rate changed: a new stream at the new rate
        if (!connection) {
            if (Clock::now() < retryAt)
                continue;
            rate = tapRate;
            try {
                connection = std::make_unique<Connection>(m_target, rate);
            } catch (const std::exception& e) {
                close(Fault::Encoder, e.what());
                continue;
            }
            startedAt = Clock::now();
        }
        if (!open) {
            const int state = connection->poll();
            if (state == SHOUTERR_BUSY) {
                // A TLS greeting to a plain port (or the other way round) is never answered.
                if (Clock::now() - startedAt > kConnectTimeout)
                    close(m_target.tls ? Fault::Tls : Fault::Unreachable, "no answer");
                continue;
            }
            if (state != SHOUTERR_SUCCESS) {
                close(faultOf(state), connection->error());
                continue;
            }
            try {
                if (m_target.format == IcecastTarget::Format::Mp3)
                    encoder = std::make_unique<LameEncoder>(rate, m_target.kbps);
                else
                    encoder = std::make_unique<OggOpusEncoder>(rate, m_target.kbps);
            } catch (const std::exception& e) {
                close(Fault::Encoder, e.what());
                continue;
            }
            open = true;
            startedAt = Clock::now();
            clockStart = startedAt;
            framesSent = 0;
            titleSent = 0;
            bytes.clear();
            encoder->restart(bytes);
            m_report({true, Fault::None, {}, 0});
            continue; // what the tap held while connecting is old by now
        }

        // The stream's own clock: where the tap fell silent, silence fills up to now.
        const double elapsed = std::chrono::duration<double>(Clock::now() - clockStart).count();
        const auto due = static_cast<std::uint64_t>(elapsed * rate);
        std::size_t total = frames;
        if (framesSent + total + static_cast<std::uint64_t>(kSilenceAfterSeconds * rate) < due) {
            const std::size_t silence = std::min<std::size_t>(static_cast<std::size_t>(due - framesSent - total),
                                                              m_tap->capacityFrames() - total);
            std::fill_n(samples.begin() + static_cast<std::ptrdiff_t>(total * 2), silence * 2, 0.0f);
            total += silence;
            m_silentFrames.fetch_add(silence, std::memory_order_relaxed);
        }
        framesSent += total;
        if (framesSent > due) // the music came faster than the clock: the clock follows it
            clockStart =
                Clock::now() - std::chrono::microseconds(static_cast<std::int64_t>(framesSent * 1'000'000.0 / rate));
        if (m_target.gain != 1.0)
            for (std::size_t i = 0; i < total * 2; ++i)
                samples[i] = static_cast<float>(samples[i] * m_target.gain);

        if (titleSent != m_titleTurn.load())
            sendTitle();
        encoder->encode(samples.data(), total, bytes);
        if (bytes.empty())
            continue;
        const ssize_t queued = shout_queuelen(connection->shout());
        if (queued > static_cast<ssize_t>(kQueueSeconds * m_target.kbps * 125)) {
            m_droppedBytes.fetch_add(bytes.size(), std::memory_order_relaxed);
            bytes.clear();
            continue;
        }
        const int sent = shout_send(connection->shout(), bytes.data(), bytes.size());
        bytes.clear();
        if (sent != SHOUTERR_SUCCESS && sent != SHOUTERR_BUSY)
            close(Fault::Lost, connection->error());
    }
    if (connection)
        close(Fault::None, {});
}

} // namespace tavu
