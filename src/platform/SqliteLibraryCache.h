#pragma once

#include "player/LibraryCache.h"
#include "player/LoudnessStore.h"

#include <functional>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace tavu {

// The library cache in an SQLite file of the program directory, in WAL mode: a program killed while
// it writes leaves the last committed listing, never a file that cannot be opened. It also keeps
// the loudness measured of songs without gain tags. The file is opened on first use (a program
// without tag titles and without ReplayGain never makes one). A file that is not a cache
// of this kind (broken, cut off, of another version) is replaced by an empty cache; nothing else
// is ever removed. When another program holds the file, a listing waits briefly and then goes on
// without it (the next tries again); when the file cannot be used at all (a folder or a pipe of
// that name, a read-only file), the cache is off for the run. Tags are then read again; nothing
// fails.
class SqliteLibraryCache : public LibraryCache, public LoudnessStore {
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

    // Measurements are kept in the same file. A file of the layout before them keeps its tags.
    std::optional<Entry> loudness(const std::string& path) override;
    void storeLoudness(const std::string& path, const Entry& entry) override;

    // How many times the file was found broken and made anew.
    int rebuilds() const { return m_rebuilds; }

    // Told once a run, the first time the file is made anew or cannot be used, what happened (a
    // line for the owner). May be called on whichever thread lists the library.
    std::function<void(const std::string& text)> onNotice;

private:
    enum Statement {
        FolderSongs,
        FolderId,
        AddFolder,
        DeleteSongs,
        AddSong,
        FoldersBelow,
        DeleteFolder,
        FindLoudness,
        StoreLoudness,
        Count
    };

    enum class Opened { Ready, Broken, Busy, Off };

    bool open();
    Opened openFile();
    int upgrade();
    void standAlone();
    // What a failed step at opening means; off: why the cache is off, if it is.
    Opened outcome(int code, const char* off);
    void becameBusy();
    void tell(const std::string& text);
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
    bool m_told = false;
    std::string m_offReason;
    int m_rebuilds = 0;
};

} // namespace tavu
