#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavu {

// Reads a whole file as bytes; nothing when it cannot be opened.
std::optional<std::string> readFileBytes(const std::string& path);

// Replaces the file's content so that a crash at any moment leaves either the old or the new
// file: the bytes go to a temporary file beside it, are flushed to disk, and the temporary file
// is renamed over the old one. Returns false (and leaves the old file) when any step fails, and
// when the file is there but read-only (no write permission for this user, or no write bit at all).
bool writeFileAtomically(const std::string& path, std::string_view bytes);

// Removes what writes cut short by a crash left in the program directory: the temporary files of
// writeFileAtomically beside Tavu.ini, Styles.txt and Queue.m3u8 ("Tavu.ini.XXXXXX"), and unfinished style
// files in Styles/ ("NAME.ini.new" and its temporary files). Nothing else is touched. Returns how
// many files went.
int removeStaleTempFiles(const std::string& programDir);

} // namespace tavu
