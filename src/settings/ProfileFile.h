#pragma once

#include <string>
#include <string_view>

namespace tavu {

// The INI ("profile") files of the program: Tavu.ini and the saved style files.
//
// Sections and keys are found without regard to letter case. On reading, blanks around a value are
// dropped, one pair of enclosing double or single quotes is removed, and at most 749 characters are
// returned; a missing file, section or key reads as "". Values are stored as Windows-1252 bytes
// when every character fits (so files of older versions read unchanged), as UTF-8 otherwise.

std::string readSetting(std::string_view section, std::string_view key, const std::string& path);

// Stores the value under the key, upper-cased when it is new. An existing key keeps its place and
// spelling, a new key goes to the end of its section, a new section to the end of the file; every
// other line of the file stays as it was. The file is replaced atomically, so a crash leaves the
// old or the new file. Returns false, leaving the file untouched, when the file cannot be
// written, or when the value, key or section holds a line break or a NUL (which would break the
// file or inject keys).
bool writeSetting(std::string_view section, std::string_view key, std::string_view value, const std::string& path);

// The value part of one "key=value" line as readSetting gives it (blanks, quotes, 749 limit).
std::string profileValue(std::string_view rawValueBytes);

} // namespace tavu
