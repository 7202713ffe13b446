#include "platform/SqliteLibraryCache.h"

#include <sqlite3.h>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace tavu {

namespace {

// The version of the layout below; a file of another version is made anew.
constexpr int kVersion = 3;
// Version 2 lacked the loudness table: it is added, and the tags are kept, but for the kinds of
// file whose tags it could not read (M4A, WavPack, APE), which are read anew.
constexpr int kWithoutLoudness = 2;
constexpr const char* kForgetUnreadKinds = "DELETE FROM songs WHERE name LIKE '%.m4a' OR name LIKE '%.aac' "
                                           "OR name LIKE '%.wv' OR name LIKE '%.ape';";
// Version 1 lacked the change times and inodes: its tables are dropped and made anew, quietly (the
// tags are read once more).
constexpr int kOldVersion = 1;

constexpr const char* kSchema = R"(
DROP TABLE IF EXISTS songs;
DROP TABLE IF EXISTS folders;
DROP TABLE IF EXISTS loudness;
CREATE TABLE folders(id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE);
CREATE TABLE songs(folder INTEGER NOT NULL, name TEXT NOT NULL, size INTEGER NOT NULL, mtime INTEGER NOT NULL,
                   ctime INTEGER NOT NULL, inode INTEGER NOT NULL, title TEXT NOT NULL, artist TEXT NOT NULL,
                   PRIMARY KEY(folder, name)) WITHOUT ROWID;
)";

// A gain of NULL is a file that holds nothing measurable.
constexpr const char* kLoudnessTable = R"(
CREATE TABLE IF NOT EXISTS loudness(path TEXT PRIMARY KEY, size INTEGER NOT NULL, mtime INTEGER NOT NULL,
                                    inode INTEGER NOT NULL, gain REAL, peak REAL) WITHOUT ROWID;
PRAGMA user_version = 3;
)";

// How long a listing waits for another program that holds the file before it goes on without it.
constexpr int kBusyWaitMs = 200;

constexpr const char* kStatements[] = {
    "SELECT name, size, mtime, title, artist, ctime, inode FROM songs WHERE folder = "
    "(SELECT id FROM folders WHERE path = ?1)",
    "SELECT id FROM folders WHERE path = ?1",
    "INSERT INTO folders(path) VALUES(?1)",
    "DELETE FROM songs WHERE folder = ?1",
    "INSERT INTO songs(folder, name, size, mtime, title, artist, ctime, inode) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)",
    // The root, and every path that starts with the root and "/" ("0" is the character after "/").
    "SELECT path FROM folders WHERE path = ?1 OR (path >= ?1 || '/' AND path < ?1 || '0')",
    "DELETE FROM folders WHERE id = ?1",
    "SELECT size, mtime, inode, gain, peak FROM loudness WHERE path = ?1",
    "INSERT OR REPLACE INTO loudness(path, size, mtime, inode, gain, peak) VALUES(?1, ?2, ?3, ?4, ?5, ?6)",
};

bool broken(int code)
{
    const int primary = code & 0xff;
    return code == SQLITE_IOERR_SHORT_READ || primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB ||
           primary == SQLITE_FORMAT || primary == SQLITE_SCHEMA || primary == SQLITE_ERROR;
}

bool busy(int code)
{
    const int primary = code & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

// True when nothing is at the path, or a plain file (through links).
bool plainOrMissing(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode);
}

void bindText(sqlite3_stmt* s, int index, const std::string& text)
{
    sqlite3_bind_text(s, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

std::string columnText(sqlite3_stmt* s, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(s, column))) : std::string();
}

// Runs a statement to its end, and makes it ready for the next use.
int run(sqlite3_stmt* s)
{
    int code = SQLITE_ROW;
    while (code == SQLITE_ROW)
        code = sqlite3_step(s);
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    return code == SQLITE_DONE ? SQLITE_OK : code;
}

// The layout version of the file; -1 when it cannot be read (code says why).
int userVersion(sqlite3* db, int& code)
{
    sqlite3_stmt* version = nullptr;
    code = sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &version, nullptr);
    int found = -1;
    if (code == SQLITE_OK) {
        code = sqlite3_step(version);
        if (code == SQLITE_ROW)
            found = sqlite3_column_int(version, 0);
    }
    sqlite3_finalize(version);
    return found;
}

bool knownVersion(int version)
{
    return version == 0 || version == kOldVersion || version == kWithoutLoudness || version == kVersion;
}

} // namespace

SqliteLibraryCache::SqliteLibraryCache(std::string path) : m_path(std::move(path)) {}

SqliteLibraryCache::~SqliteLibraryCache()
{
    close();
}

void SqliteLibraryCache::close()
{
    for (sqlite3_stmt*& s : m_statements) {
        sqlite3_finalize(s);
        s = nullptr;
    }
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_inTransaction = false;
}

SqliteLibraryCache::Opened SqliteLibraryCache::outcome(int code, const char* off)
{
    if (busy(code))
        return Opened::Busy;
    if (broken(code))
        return Opened::Broken;
    m_offReason = off;
    return Opened::Off;
}

SqliteLibraryCache::Opened SqliteLibraryCache::openFile()
{
    // A folder, a pipe or a device of that name is not the program's to open, nor to remove.
    if (!plainOrMissing(m_path)) {
        m_offReason = "it is not a plain file";
        return Opened::Off;
    }
    // A file without any write bit is read-only for the superuser too.
    struct stat st {};
    if (::stat(m_path.c_str(), &st) == 0 && (::access(m_path.c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0)) {
        m_offReason = "it is read-only";
        return Opened::Off;
    }
    if (sqlite3_open_v2(m_path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        m_offReason = "it cannot be opened";
        return Opened::Off;
    }
    if (sqlite3_db_readonly(m_db, "main") == 1) {
        m_offReason = "it is read-only";
        return Opened::Off;
    }
    sqlite3_extended_result_codes(m_db, 1); // a file cut short reads short, which is no disk error
    // Another program using the same cache makes this one wait briefly, then go without.
    sqlite3_busy_timeout(m_db, kBusyWaitMs);
    int code = SQLITE_OK;
    const int found = userVersion(m_db, code);
    if (found < 0)
        return outcome(code, "it cannot be read");
    if (!knownVersion(found))
        return Opened::Broken; // not a cache this program can read
    code = sqlite3_exec(m_db,
                        "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL; PRAGMA journal_size_limit = 4194304",
                        nullptr, nullptr, nullptr);
    if (code != SQLITE_OK)
        return outcome(code, "it cannot be written");
    if (found != kVersion && (code = upgrade()) != SQLITE_OK) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        return code == SQLITE_NOTADB ? Opened::Broken : outcome(code, "it cannot be written");
    }
    for (int i = 0; i < Count; ++i)
        if ((code = sqlite3_prepare_v3(m_db, kStatements[i], -1, SQLITE_PREPARE_PERSISTENT, &m_statements[i],
                                       nullptr)) != SQLITE_OK)
            return outcome(code, "it cannot be read");
    return Opened::Ready;
}

// Brings the file to this version, in one transaction. The version is read again inside it: the
// player's and the listing's connections may both open an old file at once.
int SqliteLibraryCache::upgrade()
{
    int code = sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (code != SQLITE_OK)
        return code;
    const int found = userVersion(m_db, code);
    if (found < 0)
        return code;
    if (!knownVersion(found))
        return SQLITE_NOTADB;
    if (found != kVersion && found != kWithoutLoudness &&
        (code = sqlite3_exec(m_db, kSchema, nullptr, nullptr, nullptr)) != SQLITE_OK)
        return code;
    if (found == kWithoutLoudness &&
        (code = sqlite3_exec(m_db, kForgetUnreadKinds, nullptr, nullptr, nullptr)) != SQLITE_OK)
        return code;
    if (found != kVersion && (code = sqlite3_exec(m_db, kLoudnessTable, nullptr, nullptr, nullptr)) != SQLITE_OK)
        return code;
    return sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
}

bool SqliteLibraryCache::open()
{
    if (m_busy || m_unusable)
        return false;
    if (!m_db) {
        Opened opened = openFile();
        if (opened == Opened::Broken) {
            // A file that is not a cache of this version: start again with an empty one.
            removeFiles();
            opened = openFile();
            if (opened == Opened::Broken) {
                m_offReason = "it cannot be made anew";
                opened = Opened::Off;
            }
        }
        if (opened != Opened::Ready) {
            close();
            if (opened == Opened::Busy) {
                becameBusy();
            } else {
                m_unusable = true; // no listing tries again
                tell("The song tag cache " + m_path + " is not in use: " + m_offReason +
                     "; tags are read from the songs.");
            }
            return false;
        }
    }
    if (m_wantTransaction && !m_inTransaction) {
        if (sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) {
            failed(sqlite3_errcode(m_db));
            return false;
        }
        m_inTransaction = true;
    }
    return true;
}

void SqliteLibraryCache::becameBusy()
{
    // Waiting on every folder would stall the listing; this one goes on without the cache, and
    // the next tries again. Nothing of the file is touched.
    m_busy = true;
    tell("The song tag cache " + m_path + " is not in use: another program holds it; tags are read from the songs.");
}

void SqliteLibraryCache::tell(const std::string& text)
{
    if (m_told || !onNotice)
        return;
    m_told = true;
    onNotice(text);
}

void SqliteLibraryCache::removeFiles()
{
    close();
    ++m_rebuilds;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        if (plainOrMissing(m_path + suffix))
            std::remove((m_path + suffix).c_str());
    tell("The song tag cache " + m_path + " could not be read and is made anew.");
}

void SqliteLibraryCache::failed(int code)
{
    if (busy(code)) {
        if (m_inTransaction)
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        m_inTransaction = false;
        becameBusy();
    } else if (broken(code)) {
        removeFiles(); // the next use makes it anew
    }
    // Anything else (a full disk, no memory) leaves the file for the next use.
}

sqlite3_stmt* SqliteLibraryCache::statement(Statement which)
{
    return open() ? m_statements[which] : nullptr;
}

void SqliteLibraryCache::begin()
{
    m_wantTransaction = true;
    open();
}

void SqliteLibraryCache::commit()
{
    m_wantTransaction = false;
    m_busy = false;
    if (!m_inTransaction || !m_db)
        return;
    m_inTransaction = false;
    if (sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const int code = sqlite3_errcode(m_db);
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        failed(code);
        m_busy = false;
    }
}

std::vector<LibraryCache::Song> SqliteLibraryCache::folder(const std::string& folder)
{
    std::vector<Song> songs;
    sqlite3_stmt* s = statement(FolderSongs);
    if (!s)
        return songs;
    bindText(s, 1, folder);
    int code;
    while ((code = sqlite3_step(s)) == SQLITE_ROW)
        songs.push_back({columnText(s, 0), sqlite3_column_int64(s, 1), sqlite3_column_int64(s, 2), columnText(s, 3),
                         columnText(s, 4), sqlite3_column_int64(s, 5), sqlite3_column_int64(s, 6)});
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    if (code != SQLITE_DONE) {
        failed(code);
        return {};
    }
    return songs;
}

long long SqliteLibraryCache::folderId(const std::string& folder, bool add)
{
    sqlite3_stmt* s = statement(FolderId);
    if (!s)
        return -1;
    bindText(s, 1, folder);
    long long id = -1;
    const int code = sqlite3_step(s);
    if (code == SQLITE_ROW)
        id = sqlite3_column_int64(s, 0);
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    if (code != SQLITE_ROW && code != SQLITE_DONE) {
        failed(code);
        return -1;
    }
    if (id >= 0 || !add)
        return id;
    sqlite3_stmt* insert = statement(AddFolder);
    bindText(insert, 1, folder);
    if (const int added = run(insert); added != SQLITE_OK) {
        failed(added);
        return -1;
    }
    return sqlite3_last_insert_rowid(m_db);
}

void SqliteLibraryCache::storeFolder(const std::string& folder, const std::vector<Song>& songs)
{
    const long long id = folderId(folder, true);
    if (id < 0)
        return;
    sqlite3_stmt* clear = statement(DeleteSongs);
    sqlite3_bind_int64(clear, 1, id);
    if (const int code = run(clear); code != SQLITE_OK)
        return failed(code);
    sqlite3_stmt* add = statement(AddSong);
    for (const Song& song : songs) {
        sqlite3_bind_int64(add, 1, id);
        bindText(add, 2, song.name);
        sqlite3_bind_int64(add, 3, song.size);
        sqlite3_bind_int64(add, 4, song.mtime);
        bindText(add, 5, song.title);
        bindText(add, 6, song.artist);
        sqlite3_bind_int64(add, 7, song.ctime);
        sqlite3_bind_int64(add, 8, song.inode);
        if (const int code = run(add); code != SQLITE_OK)
            return failed(code);
    }
}

std::vector<std::string> SqliteLibraryCache::foldersBelow(const std::string& root)
{
    std::vector<std::string> folders;
    sqlite3_stmt* s = statement(FoldersBelow);
    if (!s)
        return folders;
    bindText(s, 1, root);
    int code;
    while ((code = sqlite3_step(s)) == SQLITE_ROW)
        folders.push_back(columnText(s, 0));
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    if (code != SQLITE_DONE) {
        failed(code);
        return {};
    }
    return folders;
}

void SqliteLibraryCache::forgetFolder(const std::string& folder)
{
    const long long id = folderId(folder, false);
    if (id < 0)
        return;
    for (Statement which : {DeleteSongs, DeleteFolder}) {
        sqlite3_stmt* s = statement(which);
        if (!s)
            return;
        sqlite3_bind_int64(s, 1, id);
        if (const int code = run(s); code != SQLITE_OK)
            return failed(code);
    }
}

std::optional<LoudnessStore::Entry> SqliteLibraryCache::loudness(const std::string& path)
{
    std::optional<Entry> entry;
    if (sqlite3_stmt* s = statement(FindLoudness)) {
        bindText(s, 1, path);
        const int code = sqlite3_step(s);
        if (code == SQLITE_ROW) {
            entry = Entry{sqlite3_column_int64(s, 0), sqlite3_column_int64(s, 1), sqlite3_column_int64(s, 2), {}};
            if (sqlite3_column_type(s, 3) != SQLITE_NULL && sqlite3_column_type(s, 4) != SQLITE_NULL)
                entry->loudness = MeasuredLoudness{sqlite3_column_double(s, 3), sqlite3_column_double(s, 4)};
        }
        sqlite3_reset(s);
        sqlite3_clear_bindings(s);
        if (code != SQLITE_ROW && code != SQLITE_DONE)
            failed(code);
    }
    standAlone();
    return entry;
}

void SqliteLibraryCache::storeLoudness(const std::string& path, const Entry& entry)
{
    if (sqlite3_stmt* s = statement(StoreLoudness)) {
        bindText(s, 1, path);
        sqlite3_bind_int64(s, 2, entry.size);
        sqlite3_bind_int64(s, 3, entry.mtime);
        sqlite3_bind_int64(s, 4, entry.inode);
        if (entry.loudness) {
            sqlite3_bind_double(s, 5, entry.loudness->gainDb);
            sqlite3_bind_double(s, 6, entry.loudness->peak);
        } else {
            sqlite3_bind_null(s, 5);
            sqlite3_bind_null(s, 6);
        }
        if (const int code = run(s); code != SQLITE_OK)
            failed(code);
    }
    standAlone();
}

// A look-up or a store outside a listing is a step of its own: when another program held the file,
// the next one tries again.
void SqliteLibraryCache::standAlone()
{
    if (!m_wantTransaction)
        m_busy = false;
}

} // namespace tavu
