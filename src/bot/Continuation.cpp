#include "bot/Continuation.h"

#include "bot/Bot.h"
#include "bot/MusicLibrary.h"
#include "bot/StartSong.h"
#include "queue/UpNext.h"
#include "settings/Settings.h"
#include "util/Text.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace tavu {

Continuation::Continuation(Bot& bot)
    : m_bot(bot), m_heldBack(bot.runtime(), kMomentMs, [this] {
          m_heldBack.setEnabled(false);
          carryOn(m_bot.playMode()); // the mode in effect now
      })
{
    m_modeChanged = m_bot.playModeChanged.subscribe([this] {
        m_randomPick.reset();
        preloadFollowing();
    });
}

bool Continuation::gapless() const
{
    return leadingNumber(m_bot.settings().read(keys::PlaybackGapless)) != 0;
}

std::optional<int> Continuation::followingSong()
{
    const int count = static_cast<int>(m_bot.songList.count());
    switch (m_bot.playMode()) {
    case PlayMode::None:
        return std::nullopt;
    case PlayMode::Repeat: {
        const int index = m_bot.songList.selectedIndex();
        return index < 0 ? std::nullopt : std::optional<int>(index);
    }
    case PlayMode::AutoContinue: {
        if (m_bot.songList.selectedText().empty() || count == 0)
            return std::nullopt;
        // After the last song of the order shown, the first.
        const int next = m_bot.shownStep(m_bot.songList.selectedIndex(), 1);
        return next < 0 ? m_bot.shownStep(-1, 1) : next;
    }
    case PlayMode::AutoRandom:
        if (count == 0)
            return std::nullopt;
        if (!m_randomPick || *m_randomPick >= count) {
            const double draw = std::floor(static_cast<double>(count) * randomFraction(m_bot.runtime()));
            m_randomPick = std::min(static_cast<int>(draw), count - 1);
        }
        return m_randomPick;
    }
    return std::nullopt;
}

void Continuation::preloadFollowing()
{
    if (!gapless() || m_bot.media().playState() == MediaPlayer::Stopped)
        return;
    std::string path;
    if (m_bot.upNext && m_bot.upNext->enabled() && !m_bot.upNext->queue.empty()) {
        path = songPath(m_bot.songFiles, m_bot.upNext->queue.at(0).song);
    } else {
        const std::optional<int> next = followingSong();
        if (next && *next < static_cast<int>(m_bot.songList.count()))
            path = songPath(m_bot.songFiles, m_bot.songList.item(static_cast<std::size_t>(*next)));
    }
    m_bot.media().setFollowing(path);
}

void Continuation::followQueue()
{
    m_queueChanged = m_bot.upNext->queue.changed.subscribe([this] { preloadFollowing(); });
}

void Continuation::songEnding()
{
    m_waiting = m_bot.playMode() == PlayMode::AutoContinue;
}

Task<> Continuation::songEnded()
{
    const NowPlaying& ended = m_bot.nowPlaying();
    const bool atOnce = !ended.song.empty() && m_bot.runtime().tickMs() - ended.startedMs < kMomentMs;
    const PlayMode mode = m_bot.playMode();
    if (!atOnce || mode == PlayMode::None)
        m_failures = 0;
    else if (mode != PlayMode::Repeat && failedAgain()) {
        listGoesOnNoMore();
        co_return;
    }
    if (mode == PlayMode::AutoContinue && !gapless()) {
        // The list still plays while it waits for its next song.
        m_waiting = true;
        co_await secondsPass(m_bot.runtime(), 1);
    }
    carryOn(mode);
    listGoesOnNoMore();
}

void Continuation::listGoesOnNoMore()
{
    if (!m_waiting)
        return;
    m_waiting = false;
    m_bot.playStateChanged();
}

void Continuation::carryOn(PlayMode mode)
{
    // The queue goes first; the play mode goes on when it is empty.
    const bool queued = m_bot.upNext->enabled() && !m_bot.upNext->queue.empty();
    if (mode != PlayMode::None || queued) {
        const NowPlaying& last = m_bot.nowPlaying();
        const std::int64_t since = m_bot.runtime().tickMs() - last.startedMs;
        if (!last.song.empty() && since < kMomentMs) {
            m_heldBack.setInterval(static_cast<int>(kMomentMs - since));
            m_heldBack.setEnabled(true);
            return;
        }
    }
    if (queued && m_bot.upNext->play())
        return;
    switch (mode) {
    case PlayMode::AutoRandom:
        return autoRandom();
    case PlayMode::AutoContinue:
        return autoContinue();
    case PlayMode::Repeat:
        return repeat();
    case PlayMode::None:
        return stopAtTheEnd();
    }
}

bool Continuation::failedAgain()
{
    if (++m_failures < m_bot.songList.count())
        return false;
    m_failures = 0;
    stopAtTheEnd();
    return true;
}

void Continuation::stopAtTheEnd()
{
    m_bot.media().stop();
    m_bot.titleTimer.setEnabled(false);
}

void Continuation::autoRandom()
{
    // A random song of those not tried yet; the first is the following song, drawn over the whole list.
    std::vector<int> untried(m_bot.songList.count());
    std::iota(untried.begin(), untried.end(), 0);
    std::optional<int> first = followingSong();
    m_randomPick.reset();
    while (!untried.empty()) {
        std::size_t at = 0;
        if (first) {
            at = static_cast<std::size_t>(*first);
            first.reset();
        } else {
            const double draw = std::floor(static_cast<double>(untried.size()) * randomFraction(m_bot.runtime()));
            at = std::min(static_cast<std::size_t>(draw), untried.size() - 1);
        }
        if (startSong(m_bot, untried[at], roads::AutoRandom) || failedAgain())
            return;
        untried[at] = untried.back();
        untried.pop_back();
    }
}

void Continuation::autoContinue()
{
    if (m_bot.songList.selectedText().empty() || m_bot.songList.empty())
        return;
    // Each try selects its song, so the next try goes on from there.
    for (;;) {
        const int next = followingSong().value_or(0);
        if (startSong(m_bot, next, roads::AutoContinue) || failedAgain())
            return;
    }
}

void Continuation::repeat()
{
    // The song that played plays again.
    const int index = m_bot.songList.selectedIndex();
    if (index < 0)
        return; // nothing selected: nothing to repeat
    startSong(m_bot, index, roads::Repeat, htmlText(songTitle(m_bot, m_bot.songList.selectedText())));
}

} // namespace tavu
