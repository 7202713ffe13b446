#include "player/SongTitles.h"

#include "util/Text.h"

namespace tavu {

void SongTitles::add(std::string_view name, std::string_view title)
{
    m_starts.push_back(m_text.size());
    m_text += name;
    m_starts.push_back(m_text.size());
    m_text += title;
}

void SongTitles::clear()
{
    m_text.clear();
    m_text.shrink_to_fit();
    m_starts.clear();
    m_starts.shrink_to_fit();
}

std::string_view SongTitles::name(std::size_t index) const
{
    const std::size_t begin = m_starts[2 * index];
    return std::string_view(m_text).substr(begin, m_starts[2 * index + 1] - begin);
}

std::string_view SongTitles::title(std::size_t index) const
{
    const std::size_t begin = m_starts[2 * index + 1];
    const std::size_t end = 2 * index + 2 < m_starts.size() ? m_starts[2 * index + 2] : m_text.size();
    return std::string_view(m_text).substr(begin, end - begin);
}

std::size_t SongTitles::find(std::string_view song, std::size_t hint) const
{
    if (hint < size() && name(hint) == song)
        return hint;
    std::size_t low = 0, high = size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        const int c = compareNoCase(name(middle), song);
        if (c == 0)
            return name(middle) == song ? middle : npos;
        if (c < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return npos;
}

} // namespace tavu
