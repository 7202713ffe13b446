#include "platform/LoudnessMeter.h"

#include "platform/AudioDecoder.h"

#include <ebur128.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace tavu {
namespace {

constexpr int kMeasureRate = 44100;
constexpr std::size_t kChunkFrames = 4096;
// The ReplayGain reference.
constexpr double kReferenceLufs = -18.0;
// Nothing real needs more than this; a near-silent song would otherwise be raised into its noise.
constexpr double kMostGainDb = 60.0;

// The measuring thread yields to everything else: the lowest nice value for its CPU and the idle
// class for its reads.
void lowerThisThreadsPriority()
{
    const auto tid = static_cast<id_t>(::gettid());
    ::setpriority(PRIO_PROCESS, tid, 19);
    constexpr int kWhoProcess = 1, kClassIdle = 3, kClassShift = 13;
    ::syscall(SYS_ioprio_set, kWhoProcess, 0, kClassIdle << kClassShift);
}

struct StateDeleter {
    void operator()(ebur128_state* state) const { ebur128_destroy(&state); }
};

} // namespace

std::optional<MeasuredLoudness> measureLoudness(const std::string& path, const std::atomic<bool>* stop)
{
    const std::unique_ptr<AudioDecoder> decoder = AudioDecoder::open(path, kMeasureRate);
    if (!decoder)
        return std::nullopt;
    const std::unique_ptr<ebur128_state, StateDeleter> state(
        ebur128_init(2, kMeasureRate, EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK));
    if (!state)
        return std::nullopt;
    std::vector<float> chunk(kChunkFrames * 2);
    while (const std::size_t n = decoder->read(chunk.data(), kChunkFrames)) {
        if (stop && stop->load(std::memory_order_relaxed))
            return std::nullopt;
        if (ebur128_add_frames_float(state.get(), chunk.data(), n) != EBUR128_SUCCESS)
            return std::nullopt;
    }
    double lufs = 0.0;
    if (ebur128_loudness_global(state.get(), &lufs) != EBUR128_SUCCESS || !std::isfinite(lufs))
        return std::nullopt; // silent, or shorter than one 400 ms block
    double peak = 0.0;
    for (unsigned channel = 0; channel < 2; ++channel) {
        double p = 0.0;
        if (ebur128_sample_peak(state.get(), channel, &p) == EBUR128_SUCCESS)
            peak = std::max(peak, p);
    }
    if (!(peak > 0.0))
        return std::nullopt;
    return MeasuredLoudness{std::clamp(kReferenceLufs - lufs, -kMostGainDb, kMostGainDb), peak};
}

LoudnessMeter::LoudnessMeter(LoudnessStore* store) : m_store(store) {}

LoudnessMeter::~LoudnessMeter()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_stopping = true;
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

std::optional<LoudnessMeter::Identity> LoudnessMeter::identityOf(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return Identity{static_cast<std::int64_t>(st.st_size),
                    static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                    static_cast<std::int64_t>(st.st_ino)};
}

bool LoudnessMeter::matches(const LoudnessStore::Entry& entry, const Identity& identity)
{
    return entry.size == identity.size && entry.mtime == identity.mtime && entry.inode == identity.inode;
}

std::optional<LoudnessStore::Entry> LoudnessMeter::known(const std::string& path)
{
    const std::optional<Identity> identity = identityOf(path);
    if (!identity)
        return std::nullopt;
    {
        std::lock_guard lock(m_mutex);
        if (const auto found = m_known.find(path); found != m_known.end() && matches(found->second, *identity))
            return found->second;
    }
    // Measured in an earlier run: the store answers, unless the measuring thread is using it.
    std::unique_lock store(m_storeMutex, std::try_to_lock);
    if (!m_store || !store.owns_lock())
        return std::nullopt;
    const std::optional<LoudnessStore::Entry> entry = m_store->loudness(path);
    store.unlock();
    if (!entry || !matches(*entry, *identity))
        return std::nullopt;
    std::lock_guard lock(m_mutex);
    m_known[path] = *entry;
    return entry;
}

void LoudnessMeter::request(const std::string& path)
{
    const std::optional<Identity> identity = identityOf(path);
    if (!identity)
        return;
    std::lock_guard lock(m_mutex);
    if (m_quit || m_queued.contains(path))
        return;
    if (const auto found = m_known.find(path); found != m_known.end() && matches(found->second, *identity))
        return;
    m_queued.insert(path);
    m_queue.push_back(path);
    if (!m_thread.joinable())
        m_thread = std::thread([this] { run(); });
    m_wake.notify_all();
}

int LoudnessMeter::measured() const
{
    std::lock_guard lock(m_mutex);
    return m_measured;
}

void LoudnessMeter::run()
{
    lowerThisThreadsPriority();
    for (;;) {
        std::string path;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_quit || !m_queue.empty(); });
            if (m_quit)
                return;
            path = m_queue.front();
        }
        measureOne(path);
        std::lock_guard lock(m_mutex);
        m_queue.pop_front();
        m_queued.erase(path);
    }
}

// On the measuring thread. m_mutex is never held while the store or the file is used.
void LoudnessMeter::measureOne(const std::string& path)
{
    const std::optional<Identity> identity = identityOf(path);
    if (!identity)
        return; // gone since it was asked for
    if (m_store) {
        std::lock_guard store(m_storeMutex);
        const std::optional<LoudnessStore::Entry> stored = m_store->loudness(path);
        if (stored && matches(*stored, *identity)) {
            std::lock_guard lock(m_mutex);
            m_known[path] = *stored;
            return;
        }
    }
    const std::optional<MeasuredLoudness> loudness = measureLoudness(path, &m_stopping);
    if (m_stopping)
        return; // cut short: nothing is known
    const LoudnessStore::Entry entry{identity->size, identity->mtime, identity->inode, loudness};
    if (m_store) {
        std::lock_guard store(m_storeMutex);
        m_store->storeLoudness(path, entry);
    }
    std::lock_guard lock(m_mutex);
    m_known[path] = entry;
    ++m_measured;
}

} // namespace tavu
