#include "util/SongFileHandle.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavu {

SongFileHandle::SongFileHandle(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return;
    }
    m_fd = fd;
    m_size = static_cast<std::uint64_t>(st.st_size);
}

SongFileHandle::~SongFileHandle()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::string SongFileHandle::readAt(std::uint64_t offset, std::uint64_t bytes) const
{
    if (m_fd < 0)
        return {};
    std::string data(bytes, '\0');
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::pread(m_fd, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    data.resize(done);
    return data;
}

int SongFileHandle::duplicate() const
{
    return m_fd >= 0 ? ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0) : -1;
}

} // namespace tavu
