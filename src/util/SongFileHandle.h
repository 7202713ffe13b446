#pragma once

#include <cstdint>
#include <string>

namespace tavu {

// A song file opened for reading, checked and read through one descriptor, so that what was
// checked is what is read: a file swapped for a pipe or a device after the check is never read.
// Opening never blocks (a pipe named like a song has no writer); anything but a plain file is
// closed at once and reads as a file that could not be opened.
class SongFileHandle {
public:
    explicit SongFileHandle(const std::string& path);
    ~SongFileHandle();
    SongFileHandle(const SongFileHandle&) = delete;
    SongFileHandle& operator=(const SongFileHandle&) = delete;

    // True for a plain file that is open.
    bool plain() const { return m_fd >= 0; }
    std::uint64_t size() const { return m_size; }
    // Up to `bytes` bytes from `offset`; fewer at the end of the file or after an error.
    std::string readAt(std::uint64_t offset, std::uint64_t bytes) const;
    // A second descriptor of the same open file, for a reader that closes what it is given;
    // -1 when there is none.
    int duplicate() const;

private:
    int m_fd = -1;
    std::uint64_t m_size = 0;
};

} // namespace tavu
