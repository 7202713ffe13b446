#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavu {

// The tags of the library's songs as they were last read, kept between runs so that a listing
// reads only the files that changed. A song is known by its folder, its name, its size, its
// modification time, its change time and its inode (a tagger that keeps the file's time still
// changes the change time; a file put in place by rename is another inode). A cache that cannot be read or written
// behaves as an empty one: it costs time, never a song.
class LibraryCache {
public:
    struct Song {
        std::string name; // the file name within its folder
        std::int64_t size = 0;
        std::int64_t mtime = 0; // nanoseconds since the epoch
        std::string title;
        std::string artist;
        std::int64_t ctime = 0; // nanoseconds since the epoch
        std::int64_t inode = 0;
        bool operator==(const Song&) const = default;
    };

    virtual ~LibraryCache() = default;

    // One listing's reads and writes go between begin and commit, as one transaction.
    virtual void begin() = 0;
    virtual void commit() = 0;
    // The songs stored for a folder (a full path), in any order.
    virtual std::vector<Song> folder(const std::string& folder) = 0;
    // Replaces what is stored for a folder.
    virtual void storeFolder(const std::string& folder, const std::vector<Song>& songs) = 0;
    // The stored folders that are root or lie below it.
    virtual std::vector<std::string> foldersBelow(const std::string& root) = 0;
    // Forgets a folder and its songs.
    virtual void forgetFolder(const std::string& folder) = 0;
};

} // namespace tavu
