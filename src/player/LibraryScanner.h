#pragma once

#include "player/LibraryOptions.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavu {

// A song file as the listing finds it.
struct ScannedSong {
    std::string name;       // the file name within its folder
    std::int64_t size = 0;  // with `withStat` only
    std::int64_t mtime = 0; // nanoseconds since the epoch; with `withStat` only
    std::int64_t ctime = 0; // nanoseconds since the epoch; with `withStat` only
    std::int64_t inode = 0; // with `withStat` only
};

// The songs of one folder of the music library.
struct ScannedFolder {
    std::string path;               // relative to the music directory, '/' between folders; "" for the directory itself
    std::vector<ScannedSong> songs; // in the order the folder lists them
};

// The song files of the music directory by the options: its own plain files (links that end at one
// included) whose names are songs', and with `subfolders` those of every folder below it. Hidden
// files and folders, names that are not UTF-8, dangling links, pipes, devices and folders that
// cannot be read are passed over; a folder reached a second time (through a link, even one that
// loops) is not listed again. Folders come in no particular order. Nothing when the music directory
// itself cannot be read to its end.
std::optional<std::vector<ScannedFolder>> scanLibrary(const std::string& directory, const LibraryOptions& options,
                                                      bool withStat);

} // namespace tavu
