#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tavu {

// The most bytes readFileBytes takes in unless told otherwise: far more than any settings, list or
// style file holds.
constexpr std::size_t kMostFileBytes = 64 * 1024 * 1024;

// Reads a whole plain file as bytes (through links); nothing when it cannot be opened, is not a
// plain file (a pipe, a device, a folder) or holds more than `most` bytes. Never blocks.
std::optional<std::string> readFileBytes(const std::string& path, std::size_t most = kMostFileBytes);

// The file a write to path replaces: path itself, or the file its links end at.
std::string writtenPath(const std::string& path);

// Replaces the file's content so that a crash at any moment leaves either the old or the new
// file: the bytes go to a temporary file beside it, are flushed to disk, and the temporary file
// is renamed over the old one. Returns false (and leaves the old file) when any step fails, and
// when the file is there but read-only (no write permission for this user, or no write bit at all).
// Through a link the file it ends at is replaced (atomically, beside it) and the link stays.
bool writeFileAtomically(const std::string& path, std::string_view bytes);

// Removes what writes cut short by a crash left in the program directory: the temporary files of
// writeFileAtomically beside Tavu.ini, Styles.txt and Queue.m3u8 ("Tavu.ini.XXXXXX"), and unfinished style
// files in Styles/ ("NAME.ini.new" and its temporary files). Nothing else is touched. Returns how
// many files went.
int removeStaleTempFiles(const std::string& programDir);

} // namespace tavu
