#include "bot/MusicLibrary.h"

#include "bot/Bot.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace tavu {

namespace {

// The worker of one listing and what it shares with it. The worker may outlive the task that
// waits for it (the bot goes away meanwhile): then it is told to stop, and joined.
struct ListingWork {
    std::atomic<bool> cancel = false;
    std::atomic<bool> done = false;
    std::optional<LibraryListing> listing;
    std::thread worker;
    ~ListingWork()
    {
        cancel = true;
        if (worker.joinable())
            worker.join();
    }
};

} // namespace

Task<std::optional<LibraryListing>> listSongs(Bot& bot, std::string directory, LibraryOptions options)
{
    // One listing at a time: one started by a window while another runs waits for it.
    static std::atomic<bool> busy = false;
    bot.holdChat();
    co_await workDone(bot.runtime(), [] { return !busy.load(std::memory_order_acquire); });
    if (bot.runtime().quitting()) {
        bot.releaseChat();
        co_return std::nullopt;
    }
    busy.store(true, std::memory_order_relaxed);
    const auto work = std::make_unique<ListingWork>();
    const bool wantPaths = bot.songPathsWanted;
    work->worker = std::thread([&bot, &work = *work, directory, options, wantPaths] {
        work.listing = bot.library.list(directory, options, &work.cancel);
        if (auto& listing = work.listing) {
            listing->songs = songsAmong(listing->files, listing->options);
            listing->mirroredSongs = listing->songs;
            if (wantPaths) {
                listing->songPaths.reserve(listing->songs.size());
                for (const std::string& song : listing->songs)
                    listing->songPaths.push_back(directory + "/" + song);
            }
            listing->songsReady = true;
        }
        work.done.store(true, std::memory_order_release);
        busy.store(false, std::memory_order_release);
    });
    co_await workDone(bot.runtime(), [&work = *work] { return work.done.load(std::memory_order_acquire); });
    work->cancel = true; // told to end: what has not been read yet stays unread
    work->worker.join();
    bot.releaseChat();
    if (bot.runtime().quitting())
        co_return std::nullopt;
    co_return std::move(work->listing);
}

Task<FilledList> fillSongList(Bot& bot, std::string directory, LibraryOptions options)
{
    auto listing = co_await listSongs(bot, directory, options);
    if (!listing)
        co_return FilledList{showSongs(bot.songFiles, bot.songList, bot.playlistRows, bot.library.options()), false};
    co_return FilledList{useListing(bot, directory, std::move(*listing)), true};
}

Task<FilledList> fillSongList(Bot& bot, std::string directory)
{
    return fillSongList(bot, std::move(directory), readLibraryOptions(bot.settings()));
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
