#include "queue/SongQueue.h"

#include <algorithm>
#include <cmath>

namespace tavu {

std::size_t SongQueue::add(QueuedSong song)
{
    m_songs.push_back(std::move(song));
    changed();
    return m_songs.size() - 1;
}

void SongQueue::addFirst(QueuedSong song)
{
    m_songs.insert(m_songs.begin(), std::move(song));
    changed();
}

bool SongQueue::remove(std::size_t first, std::size_t last)
{
    if (first > last || last >= m_songs.size())
        return false;
    const auto begin = m_songs.begin() + static_cast<std::ptrdiff_t>(first);
    m_songs.erase(begin, m_songs.begin() + static_cast<std::ptrdiff_t>(last) + 1);
    changed();
    return true;
}

bool SongQueue::move(std::size_t from, std::size_t to)
{
    if (from >= m_songs.size() || to >= m_songs.size())
        return false;
    if (from == to)
        return true;
    QueuedSong song = std::move(m_songs[from]);
    m_songs.erase(m_songs.begin() + static_cast<std::ptrdiff_t>(from));
    m_songs.insert(m_songs.begin() + static_cast<std::ptrdiff_t>(to), std::move(song));
    changed();
    return true;
}

std::optional<QueuedSong> SongQueue::takeAt(std::size_t position, bool keepEarlier)
{
    if (position >= m_songs.size())
        return std::nullopt;
    QueuedSong song = std::move(m_songs[position]);
    const auto at = m_songs.begin() + static_cast<std::ptrdiff_t>(position);
    m_songs.erase(keepEarlier ? at : m_songs.begin(), at + 1);
    changed();
    return song;
}

void SongQueue::clear()
{
    if (m_songs.empty())
        return;
    m_songs.clear();
    changed();
}

void SongQueue::shuffle(const std::function<double()>& fraction)
{
    // Fisher-Yates, from the back.
    for (std::size_t i = m_songs.size(); i > 1; --i) {
        const auto draw = static_cast<std::size_t>(std::floor(fraction() * static_cast<double>(i)));
        std::swap(m_songs[i - 1], m_songs[std::min(draw, i - 1)]);
    }
    changed();
}

void SongQueue::assign(std::vector<QueuedSong> songs)
{
    m_songs = std::move(songs);
    changed();
}

bool SongQueue::contains(const std::string& song) const
{
    return std::any_of(m_songs.begin(), m_songs.end(), [&](const QueuedSong& q) { return q.song == song; });
}

std::size_t SongQueue::countBy(const std::string& requester) const
{
    return static_cast<std::size_t>(
        std::count_if(m_songs.begin(), m_songs.end(), [&](const QueuedSong& q) { return q.requester == requester; }));
}

} // namespace tavu
