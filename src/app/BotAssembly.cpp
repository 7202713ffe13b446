#include "app/BotAssembly.h"

#include "bot/Bot.h"
#include "client/LocalChatRoom.h"
#include "platform/ChatRoomFactory.h"
#include "platform/IcecastRadio.h"
#include "platform/LoudnessMeter.h"
#include "platform/QtRuntime.h"
#include "platform/SdlAudio.h"
#include "platform/SdlMediaPlayer.h"
#include "platform/SdlSoundPlayer.h"
#include "platform/SongLength.h"
#include "platform/SqliteLibraryCache.h"
#include "platform/TagLibReader.h"
#include "queue/UpNext.h"
#include "settings/Settings.h"
#include "util/Text.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

namespace tavu {
namespace {

// "none" plays without a sound device, for the listeners alone.
SdlMediaPlayer::Output playerOutput(const std::string& settingsPath)
{
    const std::string output = Settings(settingsPath).readOr(keys::PlaybackOutput);
    return equalsNoCase(trimmed(output), "none") ? SdlMediaPlayer::Output::None : SdlMediaPlayer::Output::Speakers;
}

} // namespace

BotAssembly::BotAssembly(std::string programDir, Dialogs& dialogs, const FontList& fonts,
                         const std::string& localScreenName)
    : m_programDir(std::move(programDir)), m_runtime(std::make_unique<QtRuntime>()),
      m_loudnessStore(std::make_unique<SqliteLibraryCache>(m_programDir + "/Library.db")),
      m_loudness(std::make_unique<LoudnessMeter>(m_loudnessStore.get())), m_audio(std::make_unique<SdlAudio>()),
      m_media(std::make_unique<SdlMediaPlayer>(*m_audio, *m_runtime, playerOutput(m_programDir + "/Tavu.ini"))),
      m_sound(std::make_unique<SdlSoundPlayer>(*m_audio)), m_tags(std::make_unique<TagLibReader>()),
      m_libraryCache(std::make_unique<SqliteLibraryCache>(m_programDir + "/Library.db"))
{
    // The levelling is read from the settings at each song, so a change counts from the next one.
    m_media->setReplayGainSource(
        [settings = m_programDir + "/Tavu.ini"] { return readReplayGainOptions(Settings(settings)); });
    m_media->setLoudnessMeter(m_loudness.get());
    m_audio->sleepWhenSilent(*m_runtime);
    m_room = createChatRoom(m_programDir + "/Tavu.ini", *m_runtime, localScreenName);
    m_bot = std::make_unique<Bot>(*m_runtime, *m_room, m_programDir,
                                  BotServices{*m_media, *m_sound, dialogs, fonts, m_tags.get(), m_libraryCache.get()});
    m_bot->upNext->lengthReader = songLengthSeconds;
    // What the bot has to tell the owner about the program itself goes to the room's window.
    m_bot->windowNotice = [this](const std::string& text) { m_room->notice(text); };
    // The library may be listed off the user-interface thread: the cache's news is posted to it.
    m_libraryCache->onNotice = [this](const std::string& text) {
        m_runtime->post([this, text] {
            if (m_bot && m_bot->windowNotice)
                m_bot->windowNotice(text);
        });
    };
    // Sounds: the program directory's Sounds/ first, then the build tree's, then the installed ones.
    m_bot->soundFolders = {QCoreApplication::applicationDirPath().toStdString() + "/Sounds",
                           std::string(TAVU_DATA_DIR) + "/Sounds"};
    // The stream takes the music from the player itself, before the owner's volume.
    m_radio = std::make_unique<IcecastRadio>(*m_bot, m_media->tapPoint(),
                                             [this](const std::string& text) { m_room->notice(text); });
    m_bot->radio = m_radio.get();
}

void BotAssembly::reopenRoom(const std::string& localScreenName)
{
    std::unique_ptr<LocalChatRoom> room = createChatRoom(m_programDir + "/Tavu.ini", *m_runtime, localScreenName);
    room->notice("The chat room changed in the settings.");
    m_bot->moveToRoom(*room);
    m_room->signOff();
    m_oldRooms.push_back(std::move(m_room));
    m_room = std::move(room);
    m_runtime->post([this] { m_oldRooms.clear(); });
}

BotAssembly::~BotAssembly()
{
    m_bot->radio = nullptr;
    m_radio.reset();
    m_bot.reset();
    m_oldRooms.clear();
    if (m_room) {
        signOff();
        m_room.reset();
    }
    m_sound.reset();
    m_media.reset();
    m_audio.reset();
}

// The main loop has ended by now (the runtime is quitting, so waits that start now end at once):
// it runs once more, for the timers and the socket, while the room's last lines go out.
void BotAssembly::signOff()
{
    m_room->signOff();
    if (!m_room->signingOff())
        return;
    if (m_hurry) {
        m_room->signOff(); // at once
        return;
    }
    QTimer check;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (!m_room->signingOff() || clock.elapsed() > kSignOffWaitMs)
            QCoreApplication::exit(0);
    });
    check.start(50);
    QCoreApplication::exec();
    m_room->signOff(); // at once, if it is still going on
}

} // namespace tavu
