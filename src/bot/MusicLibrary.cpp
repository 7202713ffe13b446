#include "bot/MusicLibrary.h"

#include "bot/Bot.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace tavu {

std::optional<LibraryListing> listSongs(Bot& bot, const std::string& directory, const LibraryOptions& options)
{
    // One listing at a time: one started by a window while another runs waits for it.
    static std::atomic<bool> busy = false;
    bot.holdChat();
    bot.runtime().runUntil([] { return !busy.load(std::memory_order_acquire); });
    if (bot.runtime().quitting()) {
        bot.releaseChat();
        return std::nullopt;
    }
    busy.store(true, std::memory_order_relaxed);
    std::atomic<bool> cancel = false;
    std::optional<LibraryListing> listing;
    std::atomic<bool> done = false;
    const bool wantPaths = bot.songPathsWanted;
    std::thread worker([&] {
        listing = bot.library.list(directory, options, &cancel);
        if (listing) {
            listing->songs = songsAmong(listing->files, listing->options);
            listing->mirroredSongs = listing->songs;
            if (wantPaths) {
                listing->songPaths.reserve(listing->songs.size());
                for (const std::string& song : listing->songs)
                    listing->songPaths.push_back(directory + "/" + song);
            }
            listing->songsReady = true;
        }
        done.store(true, std::memory_order_release);
        busy.store(false, std::memory_order_release);
    });
    bot.runtime().runUntil([&] { return done.load(std::memory_order_acquire); });
    cancel = true; // told to end: what has not been read yet stays unread
    worker.join();
    bot.releaseChat();
    if (bot.runtime().quitting())
        return std::nullopt;
    return listing;
}

std::size_t fillSongList(Bot& bot, const std::string& directory, const LibraryOptions& options, bool& listed)
{
    auto listing = listSongs(bot, directory, options);
    listed = listing.has_value();
    if (listing)
        return useListing(bot, directory, std::move(*listing));
    return showSongs(bot.songFiles, bot.songList, bot.playlistRows, bot.library.options());
}

std::size_t fillSongList(Bot& bot, const std::string& directory, bool& listed)
{
    return fillSongList(bot, directory, readLibraryOptions(bot.settings()), listed);
}

std::size_t useListing(Bot& bot, const std::string& directory, LibraryListing listing)
{
    bot.library.adopt(listing);
    bot.songFiles.assign(directory, std::move(listing.files));
    if (listing.songsReady) {
        const std::size_t count =
            showSongs(bot.songList, bot.playlistRows, std::move(listing.songs), std::move(listing.mirroredSongs));
        bot.listedSongPaths = std::move(listing.songPaths);
        return count;
    }
    return showSongs(bot.songFiles, bot.songList, bot.playlistRows, bot.library.options());
}

std::size_t songCount(const LibraryListing& listing)
{
    if (!listing.options.classic())
        return listing.files.size(); // the listing holds nothing else
    return static_cast<std::size_t>(
        std::count_if(listing.files.begin(), listing.files.end(), [](const std::string& f) { return isSong(f); }));
}

std::string songTitle(const Bot& bot, std::string_view song, std::size_t hint)
{
    return bot.library.title(song, hint);
}

} // namespace tavu
