#include "IcecastServer.h"
#include "StreamProbe.h"

#include "bot/Bot.h"
#include "platform/IcecastRadio.h"
#include "platform/SdlAudio.h"
#include "platform/SdlMediaPlayer.h"
#include "settings/ProfileFile.h"
#include "support/EncodedSongs.h"
#include "support/FakeChatRoom.h"
#include "support/Fakes.h"
#include "support/PumpedQtRuntime.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

namespace tavu {
namespace {

using test::IcecastServer;

// The fake player, with a tap as the audio engine offers one.
class TappedPlayer : public test::FakeMediaPlayer {
public:
    AudioTapPoint* tapPoint() override { return &point; }
    AudioTapPoint point;
};

bool runUntil(const std::function<bool()>& done, int ms = 15'000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
    return true;
}

class IcecastRadioTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.start());
        const std::string ini = dir.file("Tavu.ini");
        writeSetting("Stream", "Enabled", "1", ini);
        writeSetting("Stream", "Server", "127.0.0.1", ini);
        writeSetting("Stream", "Port", std::to_string(server.port()), ini);
        writeSetting("Stream", "Password", IcecastServer::kSourcePassword, ini);
        bot = std::make_unique<Bot>(runtime, room, dir.str(), BotServices{media, sound, dialogs, fonts});
        bot->startChat();
        bot->trig = "!";
    }
    void startRadio()
    {
        radio = std::make_unique<IcecastRadio>(*bot, media.tapPoint(),
                                               [this](const std::string& text) { notices.push_back(text); });
        bot->radio = radio.get();
        changes = radio->changed.subscribe([this] { ++changeCount; });
    }
    void TearDown() override
    {
        if (bot)
            bot->radio = nullptr;
        radio.reset();
    }

    IcecastServer server;
    test::TestDir dir;
    test::PumpedQtRuntime runtime;
    test::FakeChatRoom room;
    TappedPlayer media;
    test::FakeSoundPlayer sound;
    test::FakeDialogs dialogs;
    test::FakeFontList fonts;
    std::unique_ptr<Bot> bot;
    std::unique_ptr<IcecastRadio> radio;
    std::vector<std::string> notices;
    Signal<>::Subscription changes;
    int changeCount = 0;
};

TEST_F(IcecastRadioTest, TheRoomIsToldWhereToListenAndHowManyDo)
{
    startRadio();
    ASSERT_TRUE(media.point.current()) << "the stream listens at the player's tap";
    ASSERT_TRUE(runUntil([&] { return radio->onAir(); })) << server.errorLog();
    EXPECT_GE(changeCount, 1);
    test::ToneWriter tone(media.point.current(), 440, 0.5);

    NowPlaying song;
    song.song = "blue.mp3";
    song.tag.artist = "New Order";
    song.tag.title = "Blue Monday";
    bot->setNowPlaying(song);
    const std::string url = "http://127.0.0.1:" + std::to_string(server.port()) + "/tavu";
    EXPECT_TRUE(runUntil([&] { return test::icyTitle(url) == "New Order - Blue Monday"; }, 5000));

    // One listener, counted by the server.
    ASSERT_TRUE(runUntil([&] { return server.listeners() == 0; }));
    QProcess listener;
    listener.start(QStringLiteral("curl"),
                   {QStringLiteral("-s"), QStringLiteral("-o"), QStringLiteral("/dev/null"),
                    QStringLiteral("--max-time"), QStringLiteral("20"), QString::fromStdString(url)});
    ASSERT_TRUE(runUntil([&] { return server.listeners() == 1; }));
    room.ownerSays("!listen");
    ASSERT_TRUE(runUntil([&] { return !room.sent.empty(); }, 3000));
    EXPECT_NE(room.sent.back().line.find(" Listen - [" + url + "] (1 listening) "), std::string::npos)
        << room.sent.back().line;
    EXPECT_TRUE(runUntil([&] { return radio->lastListenerCount() == 1; })) << "for the on-air mark's tooltip";
    listener.kill();
    listener.waitForFinished();
    EXPECT_TRUE(notices.empty());
}

TEST_F(IcecastRadioTest, AWrongPasswordIsToldOnceInTheWindowAndNeverInTheRoom)
{
    writeSetting("Stream", "Password", "not-the-password", dir.file("Tavu.ini"));
    startRadio();
    // Attempts at 0, 1 and 3 seconds.
    runUntil([] { return false; }, 3500);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("refused the stream"), std::string::npos) << notices[0];
    EXPECT_EQ(notices[0].find("not-the-password"), std::string::npos) << "the password stays out of sight";
    EXPECT_TRUE(room.sent.empty());
    EXPECT_FALSE(radio->onAir());

    // The owner puts the password right: the stream starts anew and comes on the air.
    writeSetting("Stream", "Password", IcecastServer::kSourcePassword, dir.file("Tavu.ini"));
    radio->settingsChanged();
    EXPECT_TRUE(runUntil([&] { return radio->onAir(); }));
}

TEST_F(IcecastRadioTest, TurnedOffThereIsNoStreamAndNoTap)
{
    writeSetting("Stream", "Enabled", "0", dir.file("Tavu.ini"));
    startRadio();
    EXPECT_FALSE(media.point.current());
    EXPECT_EQ(radio->listenUrl(), "");
    room.ownerSays("!listen");
    ASSERT_TRUE(runUntil([&] { return !room.sent.empty(); }, 3000));
    EXPECT_NE(room.sent[0].line.find(" No stream is set up "), std::string::npos);
    runUntil([] { return false; }, 500);
    EXPECT_EQ(server.listeners(), -1);
}

// The whole road a song takes to the room: made by lame, decoded by the engine of a player without
// speakers (the radio of a headless Tavu), through its tap, the encoder and Icecast, to a listener
// who decodes the stream.
TEST_F(IcecastRadioTest, ASongPlayedWithoutSpeakersIsHeardThroughTheStream)
{
    const std::string song = dir.file("tone.mp3");
    ASSERT_TRUE(test::encodeSong(test::Encoding::Mp3Cbr, song, {"Tone", "Tavu"}, 20.0));
    SdlAudio audio;
    SdlMediaPlayer player(audio, runtime, SdlMediaPlayer::Output::None);
    radio = std::make_unique<IcecastRadio>(*bot, player.tapPoint(),
                                           [this](const std::string& text) { notices.push_back(text); });
    bot->radio = radio.get();
    ASSERT_TRUE(runUntil([&] { return radio->onAir(); })) << server.errorLog();

    ASSERT_TRUE(player.open(song));
    player.play();
    const std::string url = "http://127.0.0.1:" + std::to_string(server.port()) + "/tavu";
    const std::vector<float> heard = test::listen(url, 3.0);
    ASSERT_FALSE(heard.empty());
    EXPECT_NEAR(test::toneFrequency(heard), 440.0, 5.0);
    EXPECT_GT(test::rmsLevel(heard), 0.05);
    EXPECT_GT(player.currentPosition(), 1.0) << "the player's own clock went on while nobody heard it";

    // Paused, the stream goes on with silence (after the second of music Icecast sends first).
    player.pause();
    const std::vector<float> paused = test::listen(url, 3.0);
    ASSERT_GT(paused.size(), static_cast<std::size_t>(2 * test::kProbeRate));
    EXPECT_LT(test::rmsLevel(std::vector<float>(paused.end() - test::kProbeRate / 2, paused.end())), 0.01);
    EXPECT_TRUE(notices.empty());
    bot->radio = nullptr;
    radio.reset(); // before the player whose tap it holds
}

} // namespace
} // namespace tavu
