#include "desktop/MprisService.h"
#include "SessionBus.h"
#include "bot/SideWindows.h"
#include "desktop/MprisPlayer.h"
#include "support/SimRuntimeFixture.h"
#include "support/TagFile.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace tavu::test {
namespace {

// The windows as the media controls reach them.
class FakeWindows : public SideWindows {
public:
    void setPlaylistVisible(bool) override {}
    bool playlistVisible() const override { return false; }
    void setId3Visible(bool) override {}
    void showCommands() override {}
    void minimizeMain() override {}
    void showMain() override { ++shown; }
    void closeMain() override { ++closed; }
    int shown = 0;
    int closed = 0;
};

const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");

// The bot as an MPRIS player on a bus of the test's own, driven by playerctl.
class MprisTest : public BotFixture {
protected:
    MprisTest()
    {
        writeBytes(music.file("Abc.mp3"), songWithTag({"Abc", "Alpha", "First", "", ""}));
        useSongs({"Blue Sky.mp3", "Cold Rain.mp3"});
        bot->trig = "!";
        bot->lblVol.setCaption("100");
    }
    // A call to the player, answered while this program's events run (the player lives here too).
    QDBusMessage call(const QString& interface, const QString& method, const QVariantList& arguments = {})
    {
        QDBusMessage message =
            QDBusMessage::createMethodCall(QStringLiteral("org.mpris.MediaPlayer2.tavu"),
                                           QStringLiteral("/org/mpris/MediaPlayer2"), interface, method);
        message.setArguments(arguments);
        return client.call(message, QDBus::BlockWithGui);
    }
    QDBusMessage callPlayer(const QString& method, const QVariantList& arguments = {})
    {
        return call(kPlayer, method, arguments);
    }
    QVariant property(const QString& interface, const QString& name)
    {
        const QDBusMessage answer =
            call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"), {interface, name});
        return answer.arguments().isEmpty() ? QVariant() : answer.arguments().first().value<QDBusVariant>().variant();
    }
    // Waits, events running, until the condition holds.
    static bool until(const std::function<bool()>& condition) { return QTest::qWaitFor(condition, 2000); }
    const PlayerSignals::Change* lastChangeOf(const QString& property) const
    {
        for (auto it = watch.changes.rbegin(); it != watch.changes.rend(); ++it)
            if (it->changed.contains(property))
                return &*it;
        return nullptr;
    }

    SessionBus bus;
    FakeWindows windows;
    MprisService service{*bot, windows, bus.connect(QStringLiteral("tavu"))};
    QDBusConnection client = bus.connect(QStringLiteral("client"));
    PlayerSignals watch{client};
};

TEST_F(MprisTest, PlayerctlDrivesThePlayerAsItsButtonsDoAndSeesItsState)
{
    ASSERT_EQ(service.serviceName(), QStringLiteral("org.mpris.MediaPlayer2.tavu"));
    EXPECT_EQ(bus.playerctl({QStringLiteral("status")}), QStringLiteral("Stopped"));

    bus.playerctl({QStringLiteral("play")});
    ASSERT_TRUE(until([&] { return media.state == MediaPlayer::Playing; }));
    EXPECT_EQ(bot->nowPlaying().song, "Abc.mp3") << "nothing was selected: the first song";
    ASSERT_TRUE(watch.waitForChange(QStringLiteral("Metadata")));
    const PlayerSignals::Change* start = lastChangeOf(QStringLiteral("PlaybackStatus"));
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->interface, QStringLiteral("org.mpris.MediaPlayer2.Player"));
    EXPECT_EQ(start->changed.value(QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Playing"));
    EXPECT_TRUE(start->changed.contains(QStringLiteral("Metadata"))) << "the state and the song go out together";
    EXPECT_EQ(bus.playerctl({QStringLiteral("metadata"), QStringLiteral("title")}), QStringLiteral("Abc"));
    EXPECT_EQ(bus.playerctl({QStringLiteral("metadata"), QStringLiteral("artist")}), QStringLiteral("Alpha"));
    EXPECT_EQ(bus.playerctl({QStringLiteral("metadata"), QStringLiteral("mpris:length")}), QStringLiteral("180000000"));

    bus.playerctl({QStringLiteral("next")});
    ASSERT_TRUE(until([&] { return bot->nowPlaying().song == "Blue Sky.mp3"; }));
    EXPECT_EQ(bot->lblSong.caption(), "Blue Sky.mp3") << "as the Next button shows it";
    EXPECT_TRUE(until([&] {
        return bus.playerctl({QStringLiteral("metadata"), QStringLiteral("title")}) == QStringLiteral("Blue Sky");
    }));

    bus.playerctl({QStringLiteral("position"), QStringLiteral("30")});
    ASSERT_TRUE(until([&] { return !watch.seeks.empty(); }));
    EXPECT_NEAR(media.position, 30, 1e-3);
    EXPECT_NEAR(watch.seeks.back(), 30'000'000, 1000);
    EXPECT_NEAR(bus.playerctl({QStringLiteral("position")}).toDouble(), 30, 1e-3);

    bus.playerctl({QStringLiteral("volume"), QStringLiteral("0.4")});
    EXPECT_EQ(bot->lblVol.caption(), "40");
    EXPECT_EQ(bot->settings().read(keys::Volume), "40") << "stored as the vol command stores it";
    EXPECT_EQ(bus.playerctl({QStringLiteral("volume")}), QStringLiteral("0.400000"));
    EXPECT_TRUE(watch.waitForChange(QStringLiteral("Volume")));

    bus.playerctl({QStringLiteral("loop"), QStringLiteral("Track")});
    EXPECT_EQ(bot->playMode(), PlayMode::Repeat);
    EXPECT_EQ(bus.playerctl({QStringLiteral("loop")}), QStringLiteral("Track"));
    bus.playerctl({QStringLiteral("shuffle"), QStringLiteral("On")});
    EXPECT_EQ(bot->playMode(), PlayMode::AutoRandom);
    EXPECT_EQ(bus.playerctl({QStringLiteral("shuffle")}), QStringLiteral("On"));
    EXPECT_EQ(bus.playerctl({QStringLiteral("loop")}), QStringLiteral("None"));

    bus.playerctl({QStringLiteral("play-pause")});
    EXPECT_TRUE(until([&] { return media.state == MediaPlayer::Paused; }));
    bus.playerctl({QStringLiteral("play")});
    EXPECT_TRUE(until([&] { return media.state == MediaPlayer::Playing; }));
    bus.playerctl({QStringLiteral("stop")});
    EXPECT_TRUE(until([&] { return media.state == MediaPlayer::Stopped; }));
    EXPECT_TRUE(until([&] { return bus.playerctl({QStringLiteral("status")}) == QStringLiteral("Stopped"); }));

    EXPECT_TRUE(room.sent.empty()) << "the buttons announce nothing in the chat room";
}

TEST_F(MprisTest, EveryChangeByTheChatGoesOutOnceAndAJumpAsSeeked)
{
    ownerSays("!play sky");
    ASSERT_TRUE(watch.waitForChange(QStringLiteral("Metadata")));
    const QVariantMap metadata =
        qdbus_cast<QVariantMap>(lastChangeOf(QStringLiteral("Metadata"))->changed.value(QStringLiteral("Metadata")));
    EXPECT_EQ(metadata.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("Blue Sky"));
    EXPECT_EQ(metadata.value(QStringLiteral("xesam:url")).toString(),
              QUrl::fromLocalFile(QString::fromStdString(music.file("Blue Sky.mp3"))).toString(QUrl::FullyEncoded));
    EXPECT_FALSE(metadata.contains(QStringLiteral("xesam:artist"))) << "a song without a tag";

    watch.changes.clear();
    ownerSays("!pause");
    ASSERT_TRUE(watch.waitForChange(QStringLiteral("PlaybackStatus")));
    ownerSays("!vol 25"); // its change comes after every change the pause made
    ASSERT_TRUE(watch.waitForChange(QStringLiteral("Volume")));
    ASSERT_EQ(watch.changes.size(), 2u);
    EXPECT_EQ(watch.changes[0].changed.value(QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Paused"));
    EXPECT_FALSE(watch.changes[0].changed.contains(QStringLiteral("Metadata"))) << "only what changed";
    EXPECT_DOUBLE_EQ(watch.changes.back().changed.value(QStringLiteral("Volume")).toDouble(), 0.25);

    callPlayer(QStringLiteral("Seek"), {qlonglong(12'000'000)});
    ASSERT_TRUE(until([&] { return !watch.seeks.empty(); }));
    EXPECT_EQ(watch.seeks.back(), 12'000'000);
    EXPECT_EQ(property(kPlayer, QStringLiteral("Position")).toLongLong(), 12'000'000);
}

// Calls that come faster than the player runs them are taken together: a run of Next (or of
// Previous) moves as far as it asked in one step, of the Volume settings the last one counts.
TEST_F(MprisTest, ABurstOfCallsMovesAsFarAsItAskedOnce)
{
    useSongs({"A.mp3", "B.mp3", "C.mp3", "D.mp3", "E.mp3", "F.mp3"});
    auto* player = service.findChild<MprisPlayer*>();
    ASSERT_NE(player, nullptr);
    player->Play();
    ASSERT_TRUE(until([&] { return media.state == MediaPlayer::Playing; }));
    struct Burst {
        int next, previous;
        std::string song;
    };
    // The list: A, Abc, B, Blue Sky, C, Cold Rain, D, E, F.
    for (const Burst& burst : {Burst{3, 0, "Blue Sky.mp3"}, Burst{10, 0, "F.mp3"}, Burst{0, 2, "D.mp3"},
                               Burst{0, 40, "A.mp3"}, Burst{2, 0, "B.mp3"}}) {
        SCOPED_TRACE(burst.song);
        const std::size_t opened = media.opened.size();
        for (int i = 0; i < burst.next; ++i)
            player->Next();
        for (int i = 0; i < burst.previous; ++i)
            player->Previous();
        for (const double volume : {0.1, 0.25, 0.3})
            player->setVolume(volume);
        EXPECT_DOUBLE_EQ(player->Volume(), 0.3) << "reads back at once";
        ASSERT_TRUE(until([&] { return media.opened.size() > opened; }));
        QTest::qWait(20);
        EXPECT_EQ(media.opened.size(), opened + 1);
        EXPECT_EQ(bot->nowPlaying().song, burst.song);
        EXPECT_EQ(bot->lblVol.caption(), "30");
        bot->lblVol.setCaption("100");
    }
    EXPECT_TRUE(room.sent.empty());
}

TEST_F(MprisTest, OpenUriRaiseAndQuit)
{
    const QString song = QUrl::fromLocalFile(QString::fromStdString(music.file("Cold Rain.mp3"))).toString();
    bus.playerctl({QStringLiteral("open"), song});
    ASSERT_TRUE(until([&] { return bot->nowPlaying().song == "Cold Rain.mp3"; }));
    EXPECT_EQ(bot->playlistRows.selectedIndex(), 2);

    for (const QString& uri : {QStringLiteral("file:///etc/hostname"), QStringLiteral("http://127.0.0.1:9/a.mp3")}) {
        const QDBusMessage answer = callPlayer(QStringLiteral("OpenUri"), {uri});
        EXPECT_EQ(answer.type(), QDBusMessage::ErrorMessage) << uri.toStdString();
    }
    // A huge address is refused without being parsed, and the error repeats only its start.
    const QString huge = song + QStringLiteral("?") + QString(10 * 1024 * 1024, QLatin1Char('x'));
    const QDBusMessage refused = callPlayer(QStringLiteral("OpenUri"), {huge});
    ASSERT_EQ(refused.type(), QDBusMessage::ErrorMessage);
    EXPECT_LT(refused.errorMessage().size(), 300);
    EXPECT_TRUE(refused.errorMessage().startsWith(QStringLiteral("address too long: file://")));
    const QDBusMessage outside = callPlayer(QStringLiteral("OpenUri"), {QStringLiteral("file:///etc/hostname")});
    EXPECT_EQ(outside.errorMessage(), QStringLiteral("not a song of the music directory: file:///etc/hostname"));
    EXPECT_EQ(media.opened.size(), 1u) << "a refused address is answered after it was refused, not later opened";

    EXPECT_EQ(property(kRoot, QStringLiteral("Identity")).toString(), QStringLiteral("Tavu"));
    EXPECT_EQ(property(kRoot, QStringLiteral("DesktopEntry")).toString(), QStringLiteral("tavu"));
    EXPECT_TRUE(property(kRoot, QStringLiteral("CanRaise")).toBool() &&
                property(kRoot, QStringLiteral("CanQuit")).toBool());
    call(kRoot, QStringLiteral("Raise"));
    EXPECT_TRUE(until([&] { return windows.shown == 1; }));
    call(kRoot, QStringLiteral("Quit"));
    EXPECT_TRUE(until([&] { return windows.closed == 1; }));
}

TEST_F(MprisTest, ASecondTavuTakesAnInstanceName)
{
    MprisService second(*bot, windows, bus.connect(QStringLiteral("second")));
    EXPECT_EQ(second.serviceName(),
              QStringLiteral("org.mpris.MediaPlayer2.tavu.instance%1").arg(QCoreApplication::applicationPid()));
}

} // namespace
} // namespace tavu::test
