#pragma once

#include "id3/Id3Tag.h"
#include "id3/TagReader.h"
#include "player/LibraryOptions.h"
#include "player/SongTitles.h"

#include <atomic>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavu {

class LibraryCache;
class TagReader;

// A listing of the music directory, made by Library::list and not yet in effect.
struct LibraryListing {
    LibraryOptions options;
    // What the file list songFiles holds: with the classic options all plain files of the directory,
    // otherwise the songs, each by its path relative to the directory.
    std::vector<std::string> files;
    // With tag titles: every song with its title, in song-list order.
    SongTitles titles;
    // The files whose tags were read (the others came from the cache).
    std::size_t tagsRead = 0;
    // The song list and its mirror as they will show the listing, when made ready with it (away
    // from the user-interface thread); empty otherwise.
    std::vector<std::string> songs, mirroredSongs;
    std::vector<std::string> songPaths; // the songs' full paths
    bool songsReady = false;
};

// The music library: lists the music directory by the library options, titles songs from their
// tags when asked to, and keeps the titles of the listing in effect.
class Library {
public:
    // tags: reads the songs' tags; without one only ID3v1 tags are read. cache: keeps the tags
    // between listings; without one every listing reads every song's tag. Both must outlive the
    // library.
    void setTagReader(const TagReader* tags) { m_tags = tags; }
    void setCache(LibraryCache* cache) { m_cache = cache; }

    // Lists a directory by the options. Nothing when the directory cannot be listed, or when cancel
    // turns true meanwhile. May run on a worker thread while the program reads the listing in effect
    // (titles, options); one listing at a time.
    std::optional<LibraryListing> list(const std::string& directory, const LibraryOptions& options,
                                       const std::atomic<bool>* cancel = nullptr) const;
    // Makes the options and titles of a listing the ones in effect (its files go to songFiles).
    void adopt(LibraryListing& listing);

    const LibraryOptions& options() const { return m_options; }
    // The title of a song of the listing in effect, as every window and announcement shows it:
    // from its tags when the options say so, otherwise from its name. hint: the song's index in
    // the song list, when known.
    std::string title(std::string_view song, std::size_t hint = SongTitles::npos) const;
    // The title the listing in effect took from the song's tags (its name's title when it has no
    // title tag); nothing without tag titles or for a song the listing does not hold.
    std::optional<std::string_view> tagTitle(std::string_view song, std::size_t hint = SongTitles::npos) const;
    // The tag of a song file, of whichever kind it has.
    Id3Tag readTag(const std::string& path) const;
    // The cover picture a song file's tag holds (none without a tag reader).
    SongPicture readPicture(const std::string& path) const;

private:
    const TagReader* m_tags = nullptr;
    LibraryCache* m_cache = nullptr;
    LibraryOptions m_options;
    SongTitles m_titles;
};

} // namespace tavu
