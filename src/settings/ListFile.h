#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavu {

class ListBox;

// List files (the style index Styles.txt): the items of a list box, one field after another.
//
// Reading follows the sequential-field rules of the files older versions wrote: a field ends at a
// line end or a comma, leading blanks are skipped, and a field that begins with a double quote runs
// to the next double quote (line ends and commas included), the quotes removed. Writing puts one
// item on each line, ended by CR LF, and quotes an item only when it would not read back as itself
// (empty, leading or trailing blanks, a comma, a double quote or a line break in it); inside
// quotes a double quote is doubled. Old files never hold a doubled quote inside a quoted field, so
// they read as before, and every list written reads back exactly.
//
// Each item is stored as Windows-1252 bytes when it fits, as UTF-8 otherwise.

// Adds the file's items to the end of the list box (at their sorted place in a sorted one); the
// list box is not cleared first. A sorted list gets all items at once, sorted in O(n log n).
// Returns false, changing nothing, when the file cannot be read.
bool loadListFile(const std::string& path, ListBox& list);

// Replaces the file with the list's items, atomically: a crash leaves the old or the new file.
// An empty list leaves an empty file. Returns false, leaving the old file, when it cannot be
// written.
bool saveListFile(const std::string& path, const ListBox& list);

// The items of a list file's bytes, and the bytes of a list file holding items.
std::vector<std::string> parseListFile(std::string_view bytes);
std::string formatListFile(const std::vector<std::string>& items);

} // namespace tavu
