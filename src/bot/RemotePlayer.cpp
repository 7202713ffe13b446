#include "bot/RemotePlayer.h"

#include "bot/Bot.h"
#include "bot/Continuation.h"
#include "bot/CoverArt.h"
#include "bot/DesktopControls.h"
#include "bot/PlayerControls.h"
#include "bot/StartSong.h"
#include "queue/UpNext.h"
#include "util/Text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <unistd.h>

namespace tavu {
namespace {

// From this many songs on, an old index of the song list is freed away from the user interface.
constexpr std::size_t kFreeAsideFrom = 10'000;

std::int64_t microseconds(double seconds)
{
    return static_cast<std::int64_t>(std::llround(seconds * 1e6));
}

const char* statusName(int state)
{
    switch (state) {
    case MediaPlayer::Playing:
        return "Playing";
    case MediaPlayer::Paused:
        return "Paused";
    default:
        return "Stopped";
    }
}

const char* loopName(PlayMode mode)
{
    switch (mode) {
    case PlayMode::Repeat:
        return "Track";
    case PlayMode::AutoContinue:
        return "Playlist"; // auto continue goes round to the first song after the last
    default:
        return "None";
    }
}

bool hasQueued(const Bot& bot)
{
    return bot.upNext->enabled() && !bot.upNext->queue.empty();
}

} // namespace

RemotePlayer::RemotePlayer(Bot& bot, std::string coverFolder) : m_bot(bot), m_coverFolder(std::move(coverFolder))
{
    m_bot.songPathsWanted = true;
    if (m_coverFolder.empty()) {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        std::error_code ec;
        const std::string base =
            runtime && *runtime ? std::string(runtime) : std::filesystem::temp_directory_path(ec).string();
        m_coverFolder = (base.empty() ? std::string("/tmp") : base) + "/tavu-covers";
    }
    const auto change = [this] { changed(); };
    m_following.follow(bot.songStarted, [this] { songStarted(); });
    m_following.follow(bot.playStateChanged, change);
    m_following.follow(bot.playModeChanged, change);
    m_following.follow(bot.lblVol.changed, change);
    m_following.follow(bot.muteChanged, change);
    m_following.follow(bot.songList.selectionChanged, change);
    m_following.follow(bot.songList.itemsChanged, [this] {
        // The index of a long list takes a while to free: it is let go on a thread of its own.
        if (m_songPaths && m_songPaths->size() >= kFreeAsideFrom)
            std::thread([old = std::move(m_songPaths)] {}).detach();
        m_songPaths.reset();
        changed();
    });
    m_following.follow(bot.upNext->queue.changed, change);
    // The player may learn a song's length only once it plays; the bar follows it.
    m_following.follow(bot.progress.changed, [this] {
        if (m_track.number > 0 && m_bot.media().duration() > 0)
            m_track.lengthUs = microseconds(m_bot.media().duration());
        changed();
    });
    m_following.follow(bot.seeked, [this] { seeked(); });
    m_following.follow(bot.songCleared, [this] {
        m_track = {};
        forgetCover();
        changed();
    });
}

RemotePlayer::~RemotePlayer()
{
    m_bot.songPathsWanted = false;
    m_bot.listedSongPaths.clear();
    forgetCover();
}

void RemotePlayer::forgetCover()
{
    if (m_writtenCover.empty())
        return;
    std::error_code ec;
    std::filesystem::remove(m_writtenCover, ec);
    m_writtenCover.clear();
}

// The song's own cover first, then a picture file beside it.
std::string RemotePlayer::coverOf(const std::string& path)
{
    forgetCover();
    const SongPicture picture = m_bot.library.readPicture(path);
    if (!picture.bytes.empty()) {
        m_writtenCover =
            writeCover(picture, m_coverFolder, "cover-" + std::to_string(::getpid()) + "-" + std::to_string(m_starts));
        if (!m_writtenCover.empty())
            return m_writtenCover;
    }
    return coverBeside(path);
}

void RemotePlayer::songStarted()
{
    const NowPlaying& now = m_bot.nowPlaying();
    ++m_starts;
    const int track = static_cast<int>(leadingNumber(now.tag.track));
    m_track = {m_starts,
               microseconds(m_bot.media().duration()),
               now.tag.title.empty() ? now.title : now.tag.title,
               now.tag.artist,
               now.tag.album,
               now.path,
               track > 0 ? track : 0,
               coverOf(now.path)};
    changed();
}

RemoteState RemotePlayer::state() const
{
    RemoteState s;
    const int playState = m_bot.media().playState();
    s.status = statusName(playState);
    if (playState == MediaPlayer::Stopped && m_bot.playMode() == PlayMode::AutoContinue &&
        m_bot.continuation->betweenSongs())
        s.status = "Playing";
    s.loop = loopName(m_bot.playMode());
    s.shuffle = m_bot.playMode() == PlayMode::AutoRandom;
    s.volume = m_bot.muted() ? 0.0 : std::clamp(leadingNumber(m_bot.lblVol.caption()) / 100.0, 0.0, 1.0);
    const bool open = playState == MediaPlayer::Playing || playState == MediaPlayer::Paused;
    s.canPlay = open || !m_bot.songList.empty();
    s.canPause = open;
    s.canSeek = open && m_bot.media().duration() > 0;
    s.canGoNext = hasQueued(m_bot) || stepIndex(m_bot, +1) >= 0;
    s.canGoPrevious = stepIndex(m_bot, -1) >= 0;
    s.track = m_track;
    return s;
}

std::int64_t RemotePlayer::positionUs() const
{
    return m_bot.media().playState() == MediaPlayer::Stopped ? 0 : microseconds(m_bot.media().currentPosition());
}

// A desktop's play key on a stopped player with no song selected starts the first song: the user
// cannot see the player's list from there to choose one.
void RemotePlayer::playSelected()
{
    if (m_bot.songList.empty())
        return;
    if (m_bot.songList.selectedText().empty())
        m_bot.playlistRows.select(0); // as a click on it in the playlist
    playClick(m_bot);
}

void RemotePlayer::play()
{
    switch (m_bot.media().playState()) {
    case MediaPlayer::Playing:
        return;
    case MediaPlayer::Paused:
        return pauseClick(m_bot);
    default:
        playSelected();
    }
}

void RemotePlayer::pause()
{
    if (m_bot.media().playState() == MediaPlayer::Playing)
        pauseClick(m_bot);
}

void RemotePlayer::playPause()
{
    if (m_bot.media().playState() == MediaPlayer::Stopped)
        playSelected();
    else
        pauseClick(m_bot);
}

void RemotePlayer::stop()
{
    if (m_bot.media().playState() != MediaPlayer::Stopped)
        stopClick(m_bot);
}

void RemotePlayer::next(int count)
{
    if (count < 1)
        return;
    if (hasQueued(m_bot)) {
        m_bot.upNext->play(); // the queue goes first, as at the end of a song
        return;
    }
    if (!state().canGoNext)
        return;
    if (count == 1)
        return nextClick(m_bot);
    const int current = m_bot.songList.selectedIndex();
    const int last = static_cast<int>(m_bot.songList.count()) - 1;
    stepClick(m_bot, std::min<long long>(static_cast<long long>(current) + count, last) - current);
}

void RemotePlayer::previous(int count)
{
    if (count < 1 || !state().canGoPrevious)
        return;
    if (count == 1)
        return prevClick(m_bot);
    const int current = m_bot.songList.selectedIndex();
    stepClick(m_bot, -std::min(count, current));
}

void RemotePlayer::seek(std::int64_t offsetUs)
{
    if (state().canSeek)
        seekBy(m_bot, static_cast<double>(offsetUs) / 1e6);
}

void RemotePlayer::setPosition(std::int64_t trackNumber, std::int64_t positionUs)
{
    if (trackNumber != m_track.number || positionUs < 0 || positionUs > m_track.lengthUs || !state().canSeek)
        return;
    seekTo(m_bot, static_cast<double>(positionUs) / 1e6);
}

int RemotePlayer::songIndexOf(const std::string& path) const
{
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(path, ec))
        return -1;
    // The path as the list names it first; a file check for each song only for another spelling
    // of it (a link, "..").
    for (std::size_t i = 0; i < m_bot.songList.count(); ++i)
        if (songPath(m_bot.songFiles, m_bot.songList.item(i)) == path)
            return static_cast<int>(i);
    for (std::size_t i = 0; i < m_bot.songList.count(); ++i)
        if (std::filesystem::equivalent(songPath(m_bot.songFiles, m_bot.songList.item(i)), path, ec))
            return static_cast<int>(i);
    return -1;
}

std::shared_ptr<const SongPaths> RemotePlayer::songPaths()
{
    if (!m_songPaths) {
        // The paths the listing made, if they are still the list's; else made here.
        std::vector<std::string> paths = std::move(m_bot.listedSongPaths);
        m_bot.listedSongPaths.clear();
        const std::string& folder = m_bot.songFiles.path();
        const auto& songs = m_bot.songList.items();
        const auto pathOf = [&folder](const std::string& path, const std::string& song) {
            return path.size() == folder.size() + 1 + song.size() && path.starts_with(folder) &&
                   path[folder.size()] == '/' && path.ends_with(song);
        };
        if (paths.size() != songs.size() || !std::equal(paths.begin(), paths.end(), songs.begin(), pathOf)) {
            paths.clear();
            paths.reserve(songs.size());
            for (const std::string& song : songs)
                paths.push_back(songPath(m_bot.songFiles, song));
        }
        m_songPaths = std::make_shared<const SongPaths>(std::move(paths));
    }
    return m_songPaths;
}

bool RemotePlayer::openFound(const std::shared_ptr<const SongPaths>& paths, int index, const std::string& path)
{
    if (paths != m_songPaths || index < 0 || static_cast<std::size_t>(index) >= m_bot.songList.count())
        return OpenUri(path);
    startSong(m_bot, index, roads::RemoteOpen);
    return true;
}

bool RemotePlayer::OpenUri(const std::string& path)
{
    const int index = songIndexOf(path);
    if (index < 0)
        return false;
    startSong(m_bot, index, roads::RemoteOpen);
    return true;
}

void RemotePlayer::setVolume(double volume)
{
    if (std::isfinite(volume))
        storeVolumeLevel(m_bot, volume * 100);
}

bool RemotePlayer::setLoopStatus(const std::string& loop)
{
    const PlayMode mode = m_bot.playMode();
    if (loop == "Track") {
        if (mode != PlayMode::Repeat)
            repeatClick(m_bot);
    } else if (loop == "Playlist") {
        if (mode != PlayMode::AutoContinue)
            autoContinueClick(m_bot);
    } else if (loop == "None") {
        if (mode == PlayMode::Repeat)
            repeatClick(m_bot);
        else if (mode == PlayMode::AutoContinue)
            autoContinueClick(m_bot);
    } else {
        return false;
    }
    return true;
}

void RemotePlayer::setShuffle(bool shuffle)
{
    if (shuffle != (m_bot.playMode() == PlayMode::AutoRandom))
        randomClick(m_bot);
}

} // namespace tavu
