#include "bot/Continuation.h"

#include "bot/Bot.h"
#include "bot/MusicLibrary.h"
#include "bot/StartSong.h"
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
}

void Continuation::songEnding()
{
    m_waiting = m_bot.playMode() == PlayMode::AutoContinue;
}

void Continuation::Media1_EndOfStream()
{
    const NowPlaying& ended = m_bot.nowPlaying();
    const bool atOnce = !ended.song.empty() && m_bot.runtime().tickMs() - ended.startedMs < kMomentMs;
    const PlayMode mode = m_bot.playMode();
    if (!atOnce || mode == PlayMode::None)
        m_failures = 0;
    else if (mode != PlayMode::Repeat && failedAgain())
        return listGoesOnNoMore();
    if (mode == PlayMode::AutoContinue) {
        // The list still plays while it waits for its next song.
        m_waiting = true;
        Wait(m_bot.runtime(), 1);
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
    if (mode != PlayMode::None) {
        const NowPlaying& last = m_bot.nowPlaying();
        const std::int64_t since = m_bot.runtime().tickMs() - last.startedMs;
        if (!last.song.empty() && since < kMomentMs) {
            m_heldBack.setInterval(static_cast<int>(kMomentMs - since));
            m_heldBack.setEnabled(true);
            return;
        }
    }
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
    if (++m_failures < m_bot.lstMp3.count())
        return false;
    m_failures = 0;
    stopAtTheEnd();
    return true;
}

void Continuation::stopAtTheEnd()
{
    m_bot.media().Stop();
    m_bot.Timer1.setEnabled(false);
}

void Continuation::autoRandom()
{
    // A random song of those not tried yet; the first draw is over the whole list.
    std::vector<int> untried(m_bot.lstMp3.count());
    std::iota(untried.begin(), untried.end(), 0);
    while (!untried.empty()) {
        const double draw = std::floor(static_cast<double>(untried.size()) * randomFraction(m_bot.runtime()));
        const auto at = std::min(static_cast<std::size_t>(draw), untried.size() - 1);
        if (startSong(m_bot, untried[at], roads::AutoRandom) || failedAgain())
            return;
        untried[at] = untried.back();
        untried.pop_back();
    }
}

void Continuation::autoContinue()
{
    if (m_bot.lstmp3.selectedText().empty() || m_bot.lstMp3.empty())
        return;
    // Each try selects its song, so the next try goes on from there.
    for (;;) {
        // After the last song of the order shown, the first.
        int next = m_bot.shownStep(m_bot.lstMp3.selectedIndex(), 1);
        if (next < 0)
            next = m_bot.shownStep(-1, 1);
        if (startSong(m_bot, next, roads::AutoContinue) || failedAgain())
            return;
    }
}

void Continuation::repeat()
{
    // The playlist's song plays again; it is announced by the song list's selection.
    const int index = m_bot.lstmp3.selectedIndex();
    if (index < 0)
        return; // nothing selected: nothing to repeat
    startSong(m_bot, index, roads::Repeat, htmlText(songTitle(m_bot, m_bot.lstMp3.selectedText())));
}

} // namespace tavu
