#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tavu {

// The full paths of the song list's songs, in list order, to find a file among them. The first
// look-up that needs it reads every song's file identity once (one stat a song), so a long list
// should be searched on a worker thread; the list itself never changes. Not for two threads at
// once.
class SongPaths {
public:
    explicit SongPaths(std::vector<std::string> paths);

    std::size_t size() const { return m_paths.size(); }

    // The index of the first song named path, else of the first that is the same file under
    // another name (a link, ".."); -1 when path is no regular file or none is.
    int indexOf(const std::string& path) const;

private:
    using FileId = std::pair<std::uint64_t, std::uint64_t>; // device, inode

    std::vector<std::string> m_paths;
    mutable std::unordered_map<std::string, int> m_byName;
    mutable std::map<FileId, int> m_byFile;
    mutable bool m_indexed = false;
};

} // namespace tavu
