#include "bot/SongPaths.h"

#include <sys/stat.h>

namespace tavu {
namespace {

// The file a path ends at, through links; false when it is no regular file.
bool regularFile(const std::string& path, std::pair<std::uint64_t, std::uint64_t>& id)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    id = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    return true;
}

} // namespace

SongPaths::SongPaths(std::vector<std::string> paths) : m_paths(std::move(paths)) {}

int SongPaths::indexOf(const std::string& path) const
{
    FileId wanted;
    if (path.empty() || !regularFile(path, wanted))
        return -1;
    if (!m_indexed) {
        m_indexed = true;
        m_byName.reserve(m_paths.size());
        for (std::size_t i = 0; i < m_paths.size(); ++i) {
            m_byName.emplace(m_paths[i], static_cast<int>(i)); // the first of equal names stays
            FileId id;
            if (regularFile(m_paths[i], id))
                m_byFile.emplace(id, static_cast<int>(i));
        }
    }
    if (const auto named = m_byName.find(path); named != m_byName.end())
        return named->second;
    const auto same = m_byFile.find(wanted);
    return same == m_byFile.end() ? -1 : same->second;
}

} // namespace tavu
