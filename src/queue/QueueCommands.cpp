#include "queue/QueueCommands.h"

#include "bot/Bot.h"
#include "bot/Continuation.h"
#include "bot/MusicLibrary.h"
#include "chat/PlayerCommands.h"
#include "chat/SavedStyles.h"
#include "chat/SongSearch.h"
#include "client/ChatRoom.h"
#include "queue/M3uPlaylist.h"
#include "queue/UpNext.h"
#include "settings/AtomicFile.h"
#include "util/Text.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace tavu {
namespace fs = std::filesystem;
namespace {

constexpr std::size_t kPageLines = 4; // a listing is a header and at most four songs

bool isMember(const Bot& bot)
{
    return !bot.requester.id.empty();
}

std::string count(std::size_t n)
{
    return decimal(static_cast<long long>(n));
}

std::string songs(std::size_t n)
{
    return count(n) + (n == 1 ? " song" : " songs");
}

long long limit(const Bot& bot, const SettingKey& key)
{
    return static_cast<long long>(leadingNumber(bot.settings().readOr(key)));
}

// A member's refusal names the member.
void refuse(Bot& bot, const std::string& text)
{
    bot.reply(" " + bot.requester.nick + ", " + text + " ");
}

std::string titleOfSong(Bot& bot, const std::string& song)
{
    return htmlText(songTitle(bot, song));
}

std::string lengthNote(Bot& bot, const std::string& song)
{
    const double seconds = bot.upNext->length(song);
    return seconds > 0 ? " (" + minutesSeconds(seconds) + ")" : std::string();
}

// A 1-based position of the queue typed in the chat, as a 0-based one.
std::optional<std::size_t> position(const Bot& bot, std::string_view typed)
{
    const auto number = parseDecimal(typed);
    if (!number || *number != std::floor(*number) || *number < 1 ||
        *number > static_cast<double>(bot.upNext->queue.size()))
        return std::nullopt;
    return static_cast<std::size_t>(*number) - 1;
}

void askForPosition(Bot& bot)
{
    if (bot.upNext->queue.empty())
        return bot.reply(" The queue is empty ");
    bot.reply(" Please choose a song between 1 and " + count(bot.upNext->queue.size()) + " ");
}

// The refusal of a member's request, or "" when the member may queue the song.
std::string requestRefusal(Bot& bot, const std::string& song)
{
    const SongQueue& queue = bot.upNext->queue;
    const auto mine = queue.countBy(bot.requester.id);
    if (const long long most = limit(bot, keys::RequestsMaxQueued); static_cast<long long>(mine) >= most)
        return "you have " + songs(mine) + " queued (the limit is " + decimal(most) + ")";
    if (const long long most = limit(bot, keys::RequestsQueueSize); static_cast<long long>(queue.size()) >= most)
        return "the queue is full (the limit is " + songs(static_cast<std::size_t>(most)) + ")";
    if (queue.contains(song))
        return titleOfSong(bot, song) + " is queued already";
    const double seconds = bot.upNext->length(song);
    if (const long long most = limit(bot, keys::RequestsMaxLength); seconds > static_cast<double>(most))
        return titleOfSong(bot, song) + " is too long (" + minutesSeconds(seconds) + ", the limit is " +
               minutesSeconds(static_cast<double>(most)) + ")";
    return {};
}

void queueMatching(Bot& bot, const std::string& text, bool first)
{
    const auto found = matchingSongs(bot, text);
    if (found.empty())
        return bot.reply(" Mp3 string not found - <u>" + text + "</u> ");
    if (found.size() == 1) {
        bot.upNext->dialogueQueuesFirst = first;
        queueChosen(bot, found.front());
        bot.upNext->dialogueQueuesFirst = false;
        return;
    }
    if (isMember(bot))
        return refuse(bot, count(found.size()) + " songs match - please type more of the name");
    std::vector<std::string> names;
    for (const std::size_t i : found)
        names.push_back(bot.songList.item(i));
    bot.upNext->dialogueQueuesFirst = first;
    openSelection(bot, text, std::move(names));
}

// The song that plays ends now: the queue or the play mode goes on as at its end.
void skipNow(Bot& bot)
{
    bot.media().stop();
    bot.startTask(bot.continuation->songEnded());
}

fs::path playlistsFolder(const Bot& bot)
{
    return bot.programFile("Playlists");
}

// The playlist file of a name, or nothing when the name could reach outside the folder.
std::optional<fs::path> playlistFile(const Bot& bot, const std::string& name, std::string_view extension)
{
    if (!SavedStyles::isSafeName(name) || name.find("..") != std::string::npos)
        return std::nullopt;
    const fs::path folder = playlistsFolder(bot);
    const fs::path file = folder / (name + std::string(extension));
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(file, ec);
    const fs::path realFolder = fs::weakly_canonical(folder, ec);
    if (ec || real.parent_path() != realFolder)
        return std::nullopt; // a link that leads elsewhere
    return file;
}

} // namespace

bool queueChosen(Bot& bot, std::size_t index)
{
    const std::string song = bot.songList.item(index);
    if (isMember(bot))
        if (const std::string refusal = requestRefusal(bot, song); !refusal.empty()) {
            refuse(bot, refusal);
            return false;
        }
    UpNext& upNext = *bot.upNext;
    QueuedSong entry{song, bot.requester.id, bot.requester.nick};
    std::size_t at = 0;
    if (upNext.dialogueQueuesFirst)
        upNext.queue.addFirst(std::move(entry));
    else
        at = upNext.queue.add(std::move(entry));
    bot.reply(" Queued #" + count(at + 1) + " - [" + titleOfSong(bot, song) + "]" + lengthNote(bot, song) + " ");
    if (upNext.idle())
        upNext.playOnly(at);
    return true;
}

namespace commands {

void add(Bot& bot, Arg text)
{
    queueMatching(bot, text, false);
}

void playnext(Bot& bot, Arg text)
{
    queueMatching(bot, text, true);
}

void queueList(Bot& bot, Arg typedPage)
{
    UpNext& upNext = *bot.upNext;
    const SongQueue& queue = upNext.queue;
    if (queue.empty())
        return bot.reply(" The queue is empty ");
    const std::size_t pages = (queue.size() + kPageLines - 1) / kPageLines;
    std::size_t page = 1;
    if (!trimmed(typedPage).empty()) {
        const auto number = parseDecimal(typedPage);
        if (!number || *number != std::floor(*number) || *number < 1 || *number > static_cast<double>(pages))
            return bot.reply(" Please choose a page between 1 and " + count(pages) + " ");
        page = static_cast<std::size_t>(*number);
    }
    double total = 0;
    for (const QueuedSong& q : queue.songs())
        total += upNext.length(q.song);
    bot.reply(" Up next - [" + songs(queue.size()) + ", " + hoursMinutesSeconds(total) + "] ");
    for (std::size_t i = (page - 1) * kPageLines; i < std::min(queue.size(), page * kPageLines); ++i) {
        const QueuedSong& q = queue.at(i);
        std::string line = " " + count(i + 1) + ". " + titleOfSong(bot, q.song) + lengthNote(bot, q.song);
        if (!q.nick.empty())
            line += " [" + htmlText(q.nick) + "]";
        bot.reply(line + " ");
    }
}

void unq(Bot& bot, Arg range)
{
    SongQueue& queue = bot.upNext->queue;
    const auto dash = range.find('-');
    const auto first = position(bot, std::string_view(range).substr(0, dash));
    const auto last = dash == std::string::npos ? first : position(bot, std::string_view(range).substr(dash + 1));
    if (!first || !last || *first > *last)
        return askForPosition(bot);
    if (isMember(bot))
        for (std::size_t i = *first; i <= *last; ++i)
            if (queue.at(i).requester != bot.requester.id)
                return refuse(bot, "#" + count(i + 1) + " is not your song");
    const std::string title = titleOfSong(bot, queue.at(*first).song);
    queue.remove(*first, *last);
    if (*first == *last)
        return bot.reply(" Removed #" + count(*first + 1) + " - [" + title + "] ");
    bot.reply(" Removed #" + count(*first + 1) + "-" + count(*last + 1) + " - [" + songs(*last - *first + 1) + "] ");
}

void move(Bot& bot, Arg positions)
{
    const std::string_view text = trimmed(positions);
    const auto blank = text.find(' ');
    const auto from = position(bot, text.substr(0, blank));
    const auto to = blank == std::string_view::npos ? std::nullopt : position(bot, text.substr(blank + 1));
    if (!from || !to)
        return askForPosition(bot);
    SongQueue& queue = bot.upNext->queue;
    queue.move(*from, *to);
    bot.reply(" Moved #" + count(*from + 1) + " to #" + count(*to + 1) + " - [" + titleOfSong(bot, queue.at(*to).song) +
              "] ");
}

void skipto(Bot& bot, Arg typed)
{
    const auto at = position(bot, typed);
    if (!at)
        return askForPosition(bot);
    bot.upNext->play(*at);
}

void clear(Bot& bot, Arg)
{
    SongQueue& queue = bot.upNext->queue;
    if (queue.empty())
        return bot.reply(" The queue is empty ");
    const std::size_t n = queue.size();
    queue.clear();
    bot.reply(" Queue cleared - [" + songs(n) + "] ");
}

void shuffle(Bot& bot, Arg)
{
    SongQueue& queue = bot.upNext->queue;
    if (queue.empty())
        return bot.reply(" The queue is empty ");
    queue.shuffle([&bot] { return randomFraction(bot.runtime()); });
    bot.reply(" Queue shuffled - [" + songs(queue.size()) + "] ");
}

void nextOrQueued(Bot& bot, Arg argument)
{
    UpNext& upNext = *bot.upNext;
    if (upNext.enabled() && !upNext.queue.empty() && upNext.play())
        return;
    commands::next(bot, argument);
}

void skip(Bot& bot, Arg)
{
    UpNext& upNext = *bot.upNext;
    if (upNext.idle())
        return bot.reply(" No song is playing! ");
    const auto& playing = upNext.playing();
    if (!isMember(bot) || (playing && playing->requester == bot.requester.id))
        return skipNow(bot);
    upNext.skipVotes.insert(bot.requester.id);
    long long needed = std::max(1LL, limit(bot, keys::RequestsSkipVotes));
    if (const std::size_t members = bot.room().memberCount(); members > 0)
        needed = std::max(1LL, std::min(needed, static_cast<long long>(members / 2)));
    const auto votes = static_cast<long long>(upNext.skipVotes.size());
    bot.reply(" Skip - [" + decimal(std::min(votes, needed)) + "/" + decimal(needed) + "] ");
    if (votes >= needed)
        skipNow(bot);
}

void save(Bot& bot, Arg name)
{
    const auto file = playlistFile(bot, name, ".m3u8");
    if (!file)
        return bot.reply(" Please choose another name for the playlist ");
    const SongQueue& queue = bot.upNext->queue;
    if (queue.empty())
        return bot.reply(" The queue is empty - nothing to save ");
    std::vector<QueuedSong> plain;
    for (const QueuedSong& q : queue.songs())
        plain.push_back({q.song, {}, {}});
    std::error_code ec;
    fs::create_directories(playlistsFolder(bot), ec);
    if (!writeFileAtomically(file->string(), m3u::write(plain)))
        return bot.reply(" Cannot save the playlist [" + htmlText(name) + "] ");
    bot.reply(" Playlist saved - [" + htmlText(name) + "] (" + songs(plain.size()) + ") ");
}

void load(Bot& bot, Arg name)
{
    std::optional<std::string> bytes;
    for (const std::string_view extension : {".m3u8", ".m3u"})
        if (const auto file = playlistFile(bot, name, extension); file && (bytes = readFileBytes(file->string())))
            break;
    if (!bytes)
        return bot.reply(" No playlist named [" + htmlText(name) + "] ");
    auto read = m3u::read(*bytes, playlistsFolder(bot).string(), bot.songFiles.path());
    UpNext& upNext = *bot.upNext;
    const auto& list = bot.songList.items();
    std::size_t queued = 0;
    for (QueuedSong& q : read.songs) {
        if (std::find(list.begin(), list.end(), q.song) == list.end()) {
            ++read.skipped; // in the music folder, but not one of the songs the list shows
            continue;
        }
        upNext.queue.add({std::move(q.song), {}, {}});
        ++queued;
    }
    bot.reply(" Playlist loaded - [" + htmlText(name) + "] (" + songs(queued) + " queued, " + count(read.skipped) +
              " skipped) ");
    if (queued > 0 && upNext.idle())
        upNext.playOnly(upNext.queue.size() - queued);
}

void playlists(Bot& bot, Arg)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(playlistsFolder(bot), ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& path = it->path();
        if ((path.extension() == ".m3u8" || path.extension() == ".m3u") && it->is_regular_file(ec))
            names.push_back(path.stem().string());
    }
    if (names.empty())
        return bot.reply(" No playlists saved ");
    names = sortNoCase(std::move(names));
    names.erase(std::unique(names.begin(), names.end()), names.end());
    // As many names as five lines of about 300 characters hold.
    constexpr std::size_t kWidth = 300, kLines = 5;
    std::vector<std::string> lines{"Playlists (" + count(names.size()) + "):"};
    for (const std::string& n : names) {
        const std::string piece = htmlText(n);
        if (lines.back().size() + piece.size() + 1 <= kWidth)
            lines.back() += " " + piece;
        else if (lines.size() < kLines)
            lines.push_back(piece);
        else
            break;
    }
    for (const std::string& line : lines)
        bot.reply(" " + line + " ");
}

} // namespace commands
} // namespace tavu
