#pragma once

#include "player/LibraryCache.h"

#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace tavu {

// The library cache in an SQLite file of the program directory, in WAL mode: a program killed while
// it writes leaves the last committed listing, never a file that cannot be opened. The file is
// opened on first use (a program without tag titles never makes one). A file that is not a cache
// of this kind (broken, cut off, of another version) is replaced by an empty cache. When the file
// cannot be used at all, or another program holds it, the cache is empty for the moment: tags are
// read again, nothing fails.
class SqliteLibraryCache : public LibraryCache {
public:
    explicit SqliteLibraryCache(std::string path);
    ~SqliteLibraryCache() override;
    SqliteLibraryCache(const SqliteLibraryCache&) = delete;
    SqliteLibraryCache& operator=(const SqliteLibraryCache&) = delete;

    void begin() override;
    void commit() override;
    std::vector<Song> folder(const std::string& folder) override;
    void storeFolder(const std::string& folder, const std::vector<Song>& songs) override;
    std::vector<std::string> foldersBelow(const std::string& root) override;
    void forgetFolder(const std::string& folder) override;

    // How many times the file was found broken and made anew.
    int rebuilds() const { return m_rebuilds; }

private:
    enum Statement { FolderSongs, FolderId, AddFolder, DeleteSongs, AddSong, FoldersBelow, DeleteFolder, Count };

    bool open();
    bool openFile();
    void close();
    // After a failed step: a broken file is made anew; other failures leave it for the next use.
    void failed(int code);
    sqlite3_stmt* statement(Statement which);
    long long folderId(const std::string& folder, bool add);
    void removeFiles();

    std::string m_path;
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statements[Count] = {};
    bool m_inTransaction = false;
    bool m_wantTransaction = false; // between begin and commit, also across a rebuild
    bool m_busy = false;            // another program holds the file: no more use until commit
    bool m_unusable = false;
    int m_rebuilds = 0;
};

} // namespace tavu
