#include "app/Bot.h"

#include "chat/PlayerCommands.h"
#include "chat/SongSearch.h"
#include "client/ChatRoom.h"
#include "player/Continuation.h"
#include "player/PlayerControls.h"
#include "style/SavedStyles.h"
#include "style/StyleCommands.h"
#include "util/SoundFiles.h"

namespace tavu {

Bot::Bot(Runtime& runtime, ChatRoom& room, std::string programDir, BotServices services)
    : Chat1(runtime), Chat2(runtime),
      // Intervals of "as often as possible" timers are chosen so the display looks the same: the
      // clock shows whole seconds, and a title scroll lasts seconds.
      Timer1(runtime, 50, [this] { Timer1_Timer(); }), Timer2(runtime, 100, [this] { Timer2_Timer(); }),
      Timer6(runtime, 10, [this] { Timer6_Timer(); }), Timer3([this] {
          if (dockPlaylist)
              dockPlaylist();
      }),
      Timer4([this] {
          if (dockSideWindows)
              dockSideWindows();
      }),
      m_runtime(runtime), m_room(room), m_programDir(std::move(programDir)), m_settings(m_programDir + "/Tavu.ini"),
      m_services(services), m_dispatcher(room, trig, [this](const std::string& newTrigger) { setTrigger(newTrigger); })
{
    Chat1.ChatMsg = [this](const std::string& name, const std::string& said) {
        m_dispatcher.Chat1_ChatMsg(name, said);
    };
    m_room.attach(Chat1);
    m_room.attach(Chat2);
    m_services.media.EndOfStream = [this] { Media1_EndOfStream(*this); };
    lstmp3.onSelect = [this] { lstMp3_Click(*this); };
    addPlayerCommands(*this);
    addSongSearch(*this);
    addStyleCommands(*this);
    savedStyles = std::make_unique<SavedStyles>(*this);
    savedStyles->addCommands();
}

void Bot::windowsMoved()
{
    Timer3.follow(); // the playlist first: the side windows go under it
    Timer4.follow();
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
    if (onPlayModeChange)
        onPlayModeChange();
}

Bot::~Bot()
{
    m_services.media.EndOfStream = nullptr;
    m_room.detach(Chat1);
    m_room.detach(Chat2);
}

void Bot::replyWith(std::string_view lead, std::string_view body)
{
    m_room.ChatSend(style.ComposeReply(lead, body));
}

void Bot::replyRawWith(std::string_view lead, std::string_view body)
{
    m_room.ChatSendRaw(style.ComposeReply(lead, body));
}

void Bot::playSound(std::string_view name) const
{
    // A missing sound plays nothing; the player is still asked, so it cuts off the one playing.
    m_services.sound.PlayWave(
        findSoundFile(name, m_programDir, soundFolders).value_or(programFile("Sounds/" + std::string(name))));
}

void Bot::startChat()
{
    Chat1.StartScan();
    trig = m_settings.read(keys::Trig);
    style.LoadStyle(m_settings.path());
}

void Bot::setTrigger(const std::string& newTrigger)
{
    m_settings.write(keys::TrigWritten, newTrigger);
    trig = newTrigger;
    reply(" Trig Is Now [" + newTrigger + "] ");
}

} // namespace tavu
