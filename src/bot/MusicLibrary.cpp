#include "bot/MusicLibrary.h"

#include "bot/Bot.h"

#include <algorithm>

namespace tavu {

std::size_t FillSongList(Bot& bot, const std::string& directory, const LibraryOptions& options, bool& listed)
{
    auto listing = bot.library.list(directory, options);
    listed = listing.has_value();
    if (listing)
        return useListing(bot, directory, std::move(*listing));
    return showSongs(bot.File1, bot.lstMp3, bot.lstmp3, bot.library.options());
}

std::size_t FillSongList(Bot& bot, const std::string& directory, bool& listed)
{
    return FillSongList(bot, directory, readLibraryOptions(bot.settings()), listed);
}

std::size_t useListing(Bot& bot, const std::string& directory, LibraryListing listing)
{
    bot.library.adopt(listing);
    bot.File1.assign(directory, std::move(listing.files));
    return showSongs(bot.File1, bot.lstMp3, bot.lstmp3, bot.library.options());
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
