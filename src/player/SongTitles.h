#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tavu {

// The songs of a listing with their titles, in song-list order, packed into one block of text: a
// hundred thousand songs cost their characters and two numbers each.
class SongTitles {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // Adds a song after the last one. find needs the songs in song-list order (compareNoCase).
    void add(std::string_view name, std::string_view title);
    void clear();

    std::size_t size() const { return m_starts.size() / 2; }
    bool empty() const { return m_starts.empty(); }
    std::string_view name(std::size_t index) const;
    std::string_view title(std::size_t index) const;

    // The index of the song with this name, or npos. A song-list index is tried first, so the
    // usual look-up costs one comparison.
    std::size_t find(std::string_view name, std::size_t hint = npos) const;

private:
    std::string m_text;
    std::vector<std::size_t> m_starts; // per song: where its name starts, where its title starts
};

} // namespace tavu
