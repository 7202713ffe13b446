#include "player/Library.h"

#include "id3/TagReader.h"
#include "player/FileList.h"
#include "player/LibraryCache.h"
#include "player/LibraryScanner.h"
#include "util/Text.h"
#include "util/Utf8.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

namespace tavu {

namespace {

// A title or artist from a tag as a title may hold it: control characters (a line break would
// split a reply line) become blanks, blanks around are dropped, and at most kTitleLength
// characters are kept.
constexpr std::size_t kTitleLength = 255;
std::string cleanText(std::string_view text)
{
    std::string clean(text);
    for (char& c : clean)
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7f')
            c = ' ';
    clean = std::string(trimmed(clean, " "));
    return utf8Length(clean) > kTitleLength ? utf8Left(clean, kTitleLength) : clean;
}

// "ARTIST - TITLE", "TITLE" without an artist, the name's title without a title.
std::string composeTitle(const LibraryCache::Song& tags, std::string_view name, const LibraryOptions& options)
{
    if (tags.title.empty())
        return fileTitle(name, options);
    return tags.artist.empty() ? tags.title : tags.artist + " - " + tags.title;
}

std::string withoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string joined(const std::string& folder, const std::string& name)
{
    return folder.empty() ? name : folder + "/" + name;
}

// The songs of a listing as they are found, folder by folder, and then in song-list order.
class Songs {
public:
    void add(std::string name, std::string_view title)
    {
        m_keys.add(toLower(name), {});
        m_found.add(name, title);
    }

    void into(LibraryListing& listing, bool withTitles)
    {
        std::vector<std::uint32_t> order(m_found.size());
        std::iota(order.begin(), order.end(), 0u);
        // The order of compareNoCase: the lower-cased text, then the bytes.
        std::sort(order.begin(), order.end(), [this](std::uint32_t a, std::uint32_t b) {
            if (const int c = m_keys.name(a).compare(m_keys.name(b)); c != 0)
                return c < 0;
            return m_found.name(a) < m_found.name(b);
        });
        m_keys.clear();
        listing.files.reserve(order.size());
        for (const std::uint32_t i : order) {
            listing.files.emplace_back(m_found.name(i));
            if (withTitles)
                listing.titles.add(m_found.name(i), m_found.title(i));
        }
        m_found.clear();
    }

private:
    SongTitles m_keys;  // the sort keys, in the order found
    SongTitles m_found; // the names and titles, in the order found
};

// Titles the songs of one folder from the tags stored for it, reading the tags of the songs that are
// new or changed, and stores the folder again when anything changed. Returns the tags read.
std::size_t titleFolder(const Library& library, const std::string& path, const ScannedFolder& folder,
                        const LibraryOptions& options, LibraryCache* cache, Songs& songs,
                        const std::atomic<bool>* cancel)
{
    using Song = LibraryCache::Song;
    std::vector<Song> stored = cache ? cache->folder(path) : std::vector<Song>{};
    const auto byName = [](const Song& a, const Song& b) { return a.name < b.name; };
    std::sort(stored.begin(), stored.end(), byName);
    std::size_t read = 0;
    std::vector<Song> fresh;
    fresh.reserve(folder.songs.size());
    for (const ScannedSong& found : folder.songs) {
        Song song{found.name, found.size, found.mtime, {}, {}, found.ctime, found.inode};
        const auto at = std::lower_bound(stored.begin(), stored.end(), song, byName);
        if (cache && at != stored.end() && at->name == found.name && at->size == found.size &&
            at->mtime == found.mtime && at->ctime == found.ctime && at->inode == found.inode) {
            song.title = at->title; // the stored songs stay whole: they are searched again
            song.artist = at->artist;
        } else {
            if (cancel && cancel->load(std::memory_order_relaxed))
                return read; // nothing is stored: the listing is dropped
            const Id3Tag tag = library.readTag(path + "/" + found.name);
            song.title = cleanText(tag.title);
            song.artist = cleanText(tag.artist);
            ++read;
        }
        const std::string name = joined(folder.path, found.name);
        songs.add(name, composeTitle(song, name, options));
        fresh.push_back(std::move(song));
    }
    if (cache && (read > 0 || stored.size() != fresh.size()) && !(cancel && cancel->load()))
        cache->storeFolder(path, fresh);
    return read;
}

// Forgets the stored folders below the directory that the listing did not find.
void forgetVanishedFolders(LibraryCache& cache, const std::string& root, const LibraryOptions& options,
                           std::vector<std::string> visited)
{
    // Without sub-folders only the directory itself was listed; what is stored below it stays for
    // the day they are listed again.
    if (!options.subfolders)
        return;
    std::sort(visited.begin(), visited.end());
    for (const std::string& folder : cache.foldersBelow(root))
        if (!std::binary_search(visited.begin(), visited.end(), folder))
            cache.forgetFolder(folder);
}

} // namespace

std::optional<LibraryListing> Library::list(const std::string& directory, const LibraryOptions& options,
                                            const std::atomic<bool>* cancel) const
{
    const auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_relaxed); };
    LibraryListing listing;
    listing.options = options;
    if (options.classic()) {
        auto files = listPlainFiles(directory);
        if (!files)
            return std::nullopt;
        listing.files = std::move(*files);
        return listing;
    }
    LibraryCache* cache = options.tagTitles ? m_cache : nullptr;
    auto folders = scanLibrary(directory, options, cache != nullptr);
    if (!folders || cancelled())
        return std::nullopt;
    const std::string root = withoutTrailingSlash(directory);
    Songs songs;
    if (cache)
        cache->begin();
    std::vector<std::string> visited;
    for (ScannedFolder& folder : *folders) {
        const std::string path = folder.path.empty() ? root : root + "/" + folder.path;
        if (!options.tagTitles) {
            for (const ScannedSong& song : folder.songs)
                songs.add(joined(folder.path, song.name), {});
        } else {
            listing.tagsRead += titleFolder(*this, path, folder, options, cache, songs, cancel);
            visited.push_back(path);
        }
        folder.songs = {};
        if (cancelled())
            break;
    }
    if (cancelled()) {
        if (cache)
            cache->commit(); // what was stored before the cut is whole and stays
        return std::nullopt;
    }
    if (cache) {
        forgetVanishedFolders(*cache, root, options, std::move(visited));
        cache->commit();
    }
    songs.into(listing, options.tagTitles);
    return listing;
}

void Library::adopt(LibraryListing& listing)
{
    m_options = listing.options;
    m_titles = std::move(listing.titles);
    listing.titles.clear();
}

std::string Library::title(std::string_view song, std::size_t hint) const
{
    if (const auto tags = tagTitle(song, hint))
        return std::string(*tags);
    return fileTitle(song, m_options);
}

std::optional<std::string_view> Library::tagTitle(std::string_view song, std::size_t hint) const
{
    if (!m_options.tagTitles)
        return std::nullopt;
    const std::size_t index = m_titles.find(song, hint);
    if (index == SongTitles::npos)
        return std::nullopt;
    return m_titles.title(index);
}

Id3Tag Library::readTag(const std::string& path) const
{
    return m_tags ? m_tags->read(path) : readSongTag(path);
}

SongPicture Library::readPicture(const std::string& path) const
{
    return m_tags ? m_tags->picture(path) : SongPicture{};
}

} // namespace tavu
