#include "settings/AtomicFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace tavu {

std::optional<std::string> readFileBytes(const std::string& path, std::size_t most)
{
    // Opening never blocks (a pipe of that name has no writer), and only a plain file is read: a
    // link to a device such as /dev/zero would read without end.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<std::uint64_t>(st.st_size) > most) {
        ::close(fd);
        return std::nullopt;
    }
    // One byte past the limit tells a file that grew past it since fstat.
    std::string bytes(static_cast<std::size_t>(st.st_size) + 1, '\0');
    std::size_t done = 0;
    for (;;) {
        if (done == bytes.size()) {
            if (bytes.size() > most)
                break;
            bytes.resize(std::min(most + 1, bytes.size() + 4096));
        }
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n < 0)
                done = most + 1;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (done > most)
        return std::nullopt;
    bytes.resize(done);
    return bytes;
}

std::string writtenPath(const std::string& path)
{
    // Links are followed to the file they end at (a settings file linked from elsewhere keeps its
    // link); a loop of links gives up after as many steps as the system itself takes.
    std::string at = path;
    for (int step = 0; step < 40; ++step) {
        struct stat st {};
        if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return at;
        std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(at.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size())
            return at;
        target.resize(static_cast<std::size_t>(n));
        if (target.front() != '/') {
            const auto slash = at.find_last_of('/');
            if (slash != std::string::npos)
                target = at.substr(0, slash + 1) + target;
        }
        at = target;
    }
    return path;
}

namespace {

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string directoryOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

bool writeFileAtomically(const std::string& name, std::string_view bytes)
{
    const std::string path = writtenPath(name);
    struct stat end {};
    if (::lstat(path.c_str(), &end) == 0 && S_ISLNK(end.st_mode))
        return false; // a loop of links, or one that cannot be read: no file to replace
    // The rename would replace a file whatever its mode; a file its user made read-only (or one
    // this user may not write) is left alone instead. Without any write bit it is read-only for the
    // superuser too.
    struct stat old {};
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists && (::access(path.c_str(), W_OK) != 0 || (old.st_mode & 0222) == 0))
        return false;
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    const mode_t mode = exists ? (old.st_mode & 07777) : 0644;
    ::fchmod(fd, mode);
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    const int dir = ::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

namespace {

// True when name is base followed by mkstemp's dot and six random letters or digits.
bool isTempOf(const std::string& name, std::string_view base)
{
    if (name.size() != base.size() + 7 || !name.starts_with(base) || name[base.size()] != '.')
        return false;
    for (std::size_t i = base.size() + 1; i < name.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

bool isUnfinishedStyle(const std::string& name)
{
    const auto at = name.rfind(".ini.new");
    return at != std::string::npos && at > 0 &&
           (at + 8 == name.size() || isTempOf(name, std::string_view(name).substr(0, at + 8)));
}

template <typename Stale>
int removeIn(const std::filesystem::path& folder, Stale stale)
{
    int removed = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (entry.is_symlink(ec) || !entry.is_regular_file(ec))
            continue;
        if (stale(entry.path().filename().string()) && std::filesystem::remove(entry.path(), ec))
            ++removed;
    }
    return removed;
}

} // namespace

int removeStaleTempFiles(const std::string& programDir)
{
    const std::filesystem::path dir(programDir);
    return removeIn(dir,
                    [](const std::string& name) {
                        return isTempOf(name, "Tavu.ini") || isTempOf(name, "Styles.txt") ||
                               isTempOf(name, "Queue.m3u8");
                    }) +
           removeIn(dir / "Styles", isUnfinishedStyle);
}

} // namespace tavu
