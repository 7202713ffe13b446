#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavu {

class Settings;

// How the music directory is listed and how its songs are titled (section "Library" of the
// settings). The default is the classic library: the directory's own files whose names contain
// ".mp3", titled by their file names.
struct LibraryOptions {
    // The songs of every folder below the music directory too.
    bool subfolders = false;
    // Extensions listed besides the classic rule: lower case, without the dot, each one the player
    // plays, none twice.
    std::vector<std::string> formats;
    // Titles "ARTIST - TITLE" from the songs' tags instead of their file names.
    bool tagTitles = false;

    bool classic() const { return !subfolders && formats.empty() && !tagTitles; }
    bool operator==(const LibraryOptions&) const = default;
};

// The options stored in the settings file; a missing key keeps its classic rule. "Subfolders" is on
// for a number other than 0, "Titles" takes tags for "tags" in any case.
LibraryOptions readLibraryOptions(const Settings& settings);
// Stores the options whose stored value means something else, and only those: a settings file of
// the classic kind stays as it is while the classic options are chosen.
void writeLibraryOptions(const Settings& settings, const LibraryOptions& options);

// The extensions of the formats the player plays.
const std::vector<std::string_view>& playableFormats();
// The formats the owner chooses one by one (MP3 always plays), with the names the settings show.
struct FormatChoice {
    std::string_view extension;
    std::string_view name;
};
const std::vector<FormatChoice>& formatChoices();
// The "Formats" value: extensions separated by blanks, a leading dot and letter case ignored;
// those the player does not play, and repeated ones, are dropped.
std::vector<std::string> parseFormats(std::string_view text);
// The "Formats" value of a list of extensions.
std::string formatsText(const std::vector<std::string>& formats);

// Whether a file name is a song's: it contains ".mp3" (case-sensitive, the classic rule), or its
// extension is one of the formats, letter case ignored.
bool isSong(std::string_view name, const LibraryOptions& options);

// The title of a song from its name: every ".mp3" removed, letter case ignored, and the extension
// of a song listed by one of the formats.
std::string fileTitle(std::string_view song, const LibraryOptions& options);

} // namespace tavu
