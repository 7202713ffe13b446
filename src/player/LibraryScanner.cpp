#include "player/LibraryScanner.h"

#include "util/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <utility>

namespace tavu {

namespace {

constexpr int kMaxReads = 4;

timespec now()
{
    timespec t{};
    ::clock_gettime(CLOCK_REALTIME, &t);
    return t;
}

bool sameTime(const timespec& a, const timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// Changed less than the file system clock's grain (a few milliseconds) before at, or after it.
bool recent(const timespec& changed, const timespec& at)
{
    constexpr std::int64_t kGrainNs = 20'000'000;
    const std::int64_t gap = (static_cast<std::int64_t>(at.tv_sec) - changed.tv_sec) * 1'000'000'000 +
                             (static_cast<std::int64_t>(at.tv_nsec) - changed.tv_nsec);
    return gap < kGrainNs;
}

// Reads one folder and remembers the folders below it. The folders are opened by their full path,
// one at a time, so a deep tree holds no more than one folder open.
class Scanner {
public:
    Scanner(std::string root, const LibraryOptions& options, bool withStat)
        : m_root(std::move(root)), m_options(options), m_withStat(withStat)
    {
    }

    std::optional<std::vector<ScannedFolder>> run()
    {
        if (!readFolder({}))
            return std::nullopt;
        while (!m_pending.empty()) {
            std::string next = std::move(m_pending.back());
            m_pending.pop_back();
            readFolder(std::move(next));
        }
        return std::move(m_folders);
    }

private:
    // False when the folder could not be read to its end; then nothing of it is listed.
    bool readFolder(std::string relative)
    {
        const std::string path = relative.empty() ? m_root : m_root + "/" + relative;
        const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return false;
        struct stat self {};
        if (::fstat(fd, &self) != 0 || !m_seen.insert({self.st_dev, self.st_ino}).second) {
            ::close(fd);
            return false; // a folder already listed: a loop or a second way to it
        }
        DIR* dir = ::fdopendir(fd);
        if (!dir) {
            ::close(fd);
            return false;
        }
        ScannedFolder folder{std::move(relative), {}};
        std::vector<std::string> below;
        bool complete = true;
        // A folder that changes while it is read is read again, so that its listing is the one of
        // before or of after the change, not a bit of each. A change is seen by the folder's
        // modification time; one within the clock's grain of the read may not show, so a folder
        // changed just before the read is read again too. Still changing after a few reads, the
        // last read counts.
        for (int read = 1;; ++read) {
            const timespec started = now();
            for (;;) {
                errno = 0;
                const dirent* entry = ::readdir(dir);
                if (!entry) {
                    complete = errno == 0;
                    break;
                }
                take(::dirfd(dir), *entry, folder, below);
            }
            struct stat after {};
            if (!complete || read == kMaxReads || ::fstat(::dirfd(dir), &after) != 0 ||
                (sameTime(after.st_mtim, self.st_mtim) && !recent(after.st_mtim, started)))
                break;
            self = after;
            folder.songs.clear();
            below.clear();
            ::rewinddir(dir);
        }
        ::closedir(dir);
        if (!complete)
            return false;
        for (std::string& name : below)
            m_pending.push_back(folder.path.empty() ? std::move(name) : folder.path + "/" + name);
        if (!folder.songs.empty())
            m_folders.push_back(std::move(folder));
        return true;
    }

    void take(int fd, const dirent& entry, ScannedFolder& folder, std::vector<std::string>& below) const
    {
        const std::string_view name = entry.d_name;
        if (name.empty() || name.front() == '.' || !isValidUtf8(name))
            return;
        unsigned char type = entry.d_type;
        struct stat st {};
        bool haveStat = false;
        if (type == DT_LNK || type == DT_UNKNOWN) {
            // Where a link ends; a dangling one or a loop of links has no type and is passed over.
            if (::fstatat(fd, entry.d_name, &st, 0) != 0)
                return;
            haveStat = true;
            type = S_ISREG(st.st_mode) ? DT_REG : S_ISDIR(st.st_mode) ? DT_DIR : DT_UNKNOWN;
        }
        if (type == DT_DIR) {
            if (m_options.subfolders)
                below.emplace_back(name);
            return;
        }
        if (type != DT_REG || !isSong(name, m_options))
            return;
        ScannedSong song{std::string(name), 0, 0};
        if (m_withStat) {
            if (!haveStat && ::fstatat(fd, entry.d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                return;
            song.size = static_cast<std::int64_t>(st.st_size);
            song.mtime = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        }
        folder.songs.push_back(std::move(song));
    }

    std::string m_root;
    const LibraryOptions& m_options;
    bool m_withStat;
    std::set<std::pair<dev_t, ino_t>> m_seen;
    std::vector<std::string> m_pending;
    std::vector<ScannedFolder> m_folders;
};

} // namespace

std::optional<std::vector<ScannedFolder>> scanLibrary(const std::string& directory, const LibraryOptions& options,
                                                      bool withStat)
{
    if (directory.empty())
        return std::nullopt;
    std::string root = directory;
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    return Scanner(std::move(root), options, withStat).run();
}

} // namespace tavu
