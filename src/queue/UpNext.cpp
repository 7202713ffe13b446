#include "queue/UpNext.h"

#include "bot/Bot.h"
#include "bot/StartSong.h"
#include "queue/M3uPlaylist.h"
#include "settings/AtomicFile.h"
#include "util/Text.h"

#include <algorithm>
#include <cmath>

namespace tavu {

UpNext::UpNext(Bot& bot) : m_bot(bot)
{
    m_saving = queue.changed.subscribe([this] { save(); });
    // A song started any other way is nobody's request.
    m_started = m_bot.songStarted.subscribe([this] {
        skipVotes.clear();
        if (!m_starting)
            m_playing.reset();
    });
}

bool UpNext::enabled() const
{
    return leadingNumber(m_bot.settings().readOr(keys::QueueEnabled)) != 0;
}

bool UpNext::idle() const
{
    return m_bot.media().playState() == MediaPlayer::Stopped;
}

bool UpNext::playOnly(std::size_t position)
{
    return start(queue.takeAt(position, true));
}

bool UpNext::play(std::size_t position)
{
    for (auto next = queue.takeAt(position); next; next = queue.takeFirst())
        if (start(std::move(next)))
            return true;
    return false;
}

bool UpNext::start(std::optional<QueuedSong> next)
{
    if (!next)
        return false;
    const auto& songs = m_bot.songList.items();
    const auto at = std::find(songs.begin(), songs.end(), next->song);
    if (at == songs.end()) {
        // The music folder changed since it was queued.
        reportUnplayable(m_bot, next->song, StartHow::Failure::Reply);
        return false;
    }
    m_starting = true;
    const bool started = startSong(m_bot, static_cast<int>(at - songs.begin()), roads::Queued);
    m_starting = false;
    if (started)
        m_playing = std::move(next);
    return started;
}

double UpNext::length(const std::string& song)
{
    const auto known = m_lengths.find(song);
    if (known != m_lengths.end())
        return known->second;
    const double seconds = lengthReader ? lengthReader(songPath(m_bot.songFiles, song)) : 0.0;
    m_lengths.emplace(song, seconds);
    return seconds;
}

std::string UpNext::savedPath() const
{
    return m_bot.programFile("Queue.m3u8");
}

void UpNext::save() const
{
    if (enabled())
        (void)writeFileAtomically(savedPath(), m3u::write(queue.songs()));
}

void UpNext::restore()
{
    if (!enabled())
        return;
    const auto bytes = readFileBytes(savedPath());
    if (!bytes || m_bot.songFiles.path().empty())
        return;
    auto read = m3u::read(*bytes, {}, m_bot.songFiles.path());
    const auto& songs = m_bot.songList.items();
    std::erase_if(read.songs,
                  [&](const QueuedSong& q) { return std::find(songs.begin(), songs.end(), q.song) == songs.end(); });
    queue.assign(std::move(read.songs));
}

std::string minutesSeconds(double seconds)
{
    const auto whole = static_cast<long long>(std::max(0.0, std::round(seconds)));
    std::string s = decimal(whole % 60);
    return decimal(whole / 60) + ":" + (s.size() == 1 ? "0" + s : s);
}

std::string hoursMinutesSeconds(double seconds)
{
    const auto whole = static_cast<long long>(std::max(0.0, std::round(seconds)));
    const std::string m = decimal(whole / 60 % 60);
    const std::string s = decimal(whole % 60);
    return decimal(whole / 3600) + ":" + (m.size() == 1 ? "0" + m : m) + ":" + (s.size() == 1 ? "0" + s : s);
}

} // namespace tavu
