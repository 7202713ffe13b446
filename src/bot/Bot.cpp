#include "bot/Bot.h"

#include "bot/Continuation.h"
#include "bot/PlayerControls.h"
#include "chat/SavedStyles.h"
#include "chat/SongSearch.h"
#include "client/ChatRoom.h"
#include "queue/UpNext.h"
#include "util/SoundFiles.h"
#include "util/Text.h"

#include <algorithm>

namespace tavu {

Bot::Bot(Runtime& runtime, ChatRoom& room, std::string programDir, BotServices services,
         std::span<const Command> commands)
    : commandScanner(runtime), choiceScanner(runtime),
      // Intervals of "as often as possible" timers are chosen so the display looks the same: the
      // clock shows whole seconds, and a title scroll lasts seconds.
      titleTimer(runtime, 50, [this] { return scrollTitleTick(); }), clockTimer(runtime, 100, [this] { clockTick(); }),
      deafSpell(runtime, 10, [this] { return deafSpellEnds(); }), playlistDocking([this] {
          if (dockPlaylist)
              dockPlaylist();
      }),
      sideWindowDocking([this] {
          if (dockSideWindows)
              dockSideWindows();
      }),
      m_runtime(runtime), m_room(&room), m_programDir(std::move(programDir)), m_settings(m_programDir + "/Tavu.ini"),
      m_services(services), m_media(services.media, [this] { playStateChanged(); }), m_dispatcher(*this, commands)
{
    commandScanner.ChatMsg = [this](const std::string& name, const std::string& said) { hearLine(false, name, said); };
    library.setTagReader(services.tags);
    library.setCache(services.libraryCache);
    m_room->attach(commandScanner);
    m_room->attach(choiceScanner);
    continuation = std::make_unique<Continuation>(*this);
    upNext = std::make_unique<UpNext>(*this);
    continuation->followQueue();
    m_services.media.endOfStream = [this] {
        continuation->songEnding();
        m_media.check(); // the song has stopped by itself
        startTask(continuation->songEnded());
    };
    playlistRows.onSelect = [this] { showClickedSongTag(*this); };
    choiceScanner.ChatMsg = [this](const std::string& name, const std::string& said) { hearLine(true, name, said); };
    savedStyles = std::make_unique<SavedStyles>(*this);
    // The replies stay as they are; the window says once that the settings are not being kept.
    m_settings.onWriteFailed = [this] {
        if (m_toldNotSaved || !windowNotice)
            return;
        m_toldNotSaved = true;
        windowNotice("Settings are not being saved: " + m_settings.path() +
                     " cannot be written (read-only, full disk or no permission).");
    };
}

void Bot::hearLine(bool forDialogue, const std::string& name, const std::string& said)
{
    if (m_chatHolds > 0 || !m_heldLines.empty()) // none may overtake the lines that wait
        return m_heldLines.push_back({forDialogue, name, said});
    if (forDialogue)
        hearChoiceLine(*this, name, said);
    else
        m_dispatcher.hearCommandLine(name, said);
}

void Bot::releaseChat()
{
    if (m_chatHolds == 0 || --m_chatHolds > 0 || m_heldLines.empty())
        return;
    m_runtime.post([this] { runHeldLines(); });
}

void Bot::runHeldLines()
{
    while (m_chatHolds == 0 && !m_heldLines.empty()) {
        HeldLine line = std::move(m_heldLines.front());
        m_heldLines.pop_front();
        if (line.forDialogue)
            hearChoiceLine(*this, line.name, line.said);
        else
            m_dispatcher.hearCommandLine(line.name, line.said);
    }
}
void Bot::windowsMoved()
{
    playlistDocking.follow(); // the playlist first: the side windows go under it
    sideWindowDocking.follow();
}

void Bot::startStyleIndexTimer()
{
    savedStyles->startIndexTimer();
}

void Bot::setPlayMode(PlayMode mode)
{
    if (mode == m_playMode)
        return;
    m_playMode = mode;
    if (!m_settings.read(keys::PlayModeKey).empty())
        m_settings.write(keys::PlayModeKey, playModeName(mode));
    playModeChanged();
}

void Bot::setNowPlaying(NowPlaying song)
{
    m_nowPlaying = std::move(song);
    songStarted();
}

std::string_view playModeName(PlayMode mode)
{
    switch (mode) {
    case PlayMode::Repeat:
        return "repeat";
    case PlayMode::AutoRandom:
        return "random";
    case PlayMode::AutoContinue:
        return "continue";
    case PlayMode::None:
        break;
    }
    return "none";
}

PlayMode playModeNamed(std::string_view name)
{
    for (const PlayMode mode : {PlayMode::Repeat, PlayMode::AutoRandom, PlayMode::AutoContinue})
        if (equalsNoCase(trimmed(name), playModeName(mode)))
            return mode;
    return PlayMode::None;
}

int Bot::shownStep(int index, int places) const
{
    const int count = static_cast<int>(songList.count());
    if (shownOrder.size() != songList.count()) {
        const int to = index + places;
        return (to >= 0 && to < count) ? to : -1;
    }
    int at = -1;
    if (index >= 0) {
        const auto found = std::find(shownOrder.begin(), shownOrder.end(), index);
        if (found == shownOrder.end())
            return -1;
        at = static_cast<int>(found - shownOrder.begin());
    }
    const int to = at + places;
    return (to >= 0 && to < count) ? shownOrder[static_cast<std::size_t>(to)] : -1;
}

void Bot::clearNowPlaying()
{
    m_nowPlaying = {};
    songCleared();
}

void Bot::setBalanceState(int balance)
{
    if (balance == m_balance)
        return;
    m_balance = balance;
    balanceChanged();
}

void Bot::setMuteState(bool muted)
{
    if (muted == m_muted)
        return;
    m_muted = muted;
    muteChanged();
}

Bot::~Bot()
{
    m_playedWriter.flush();
    m_volumeWriter.flush();
    m_services.media.endOfStream = nullptr;
    m_room->detach(commandScanner);
    m_room->detach(choiceScanner);
}

void Bot::moveToRoom(ChatRoom& room)
{
    if (&room == m_room)
        return;
    m_room->detach(commandScanner);
    m_room->detach(choiceScanner);
    m_room = &room;
    m_room->attach(commandScanner);
    m_room->attach(choiceScanner);
}

void Bot::replyWith(std::string_view lead, std::string_view body)
{
    m_room->sendLine(style.composeReply(lead, body));
}

void Bot::replyRawWith(std::string_view lead, std::string_view body)
{
    m_room->sendRawLine(style.composeReply(lead, body));
}

void Bot::replyToOwner(std::string_view body)
{
    m_room->sendToOwner(style.composeReply(kLeadTavu, body));
}

void Bot::playSound(std::string_view name) const
{
    // A missing sound plays nothing; the player is still asked, so it cuts off the one playing.
    m_services.sound.playWave(
        findSoundFile(name, m_programDir, soundFolders).value_or(programFile("Sounds/" + std::string(name))));
}

void Bot::startChat()
{
    commandScanner.startScan();
    trig = m_settings.read(keys::Trig);
    style.loadStyle(m_settings.path());
}

} // namespace tavu
