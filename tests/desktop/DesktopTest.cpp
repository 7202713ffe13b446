#include "desktop/Desktop.h"
#include "SessionBus.h"
#include "bot/PlayerControls.h"
#include "desktop/DesktopNotifier.h"
#include "desktop/PlayerTray.h"
#include "support/SimRuntimeFixture.h"
#include "support/TagFile.h"
#include "windows/MainWindow.h"
#include "windows/OptionsMenu.h"
#include "windows/PlaylistWindow.h"
#include "windows/Windows.h"

#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>

#include <gtest/gtest.h>

#include <sstream>

namespace tavu::test {
namespace {

class DesktopTest : public BotFixture {
protected:
    DesktopTest() : main(*bot)
    {
        installWindows(main, *bot);
        writeBytes(music.file("Abc.mp3"), songWithTag({"Abc", "Alpha & Co", "First", "", ""}));
        useSongs({"Blue Sky.mp3"});
    }
    void play(int index)
    {
        bot->playlistRows.select(index);
        playClick(*bot);
    }
    OptionsMenu* options() const
    {
        for (QObject* child : main.children())
            if (auto* menu = dynamic_cast<OptionsMenu*>(child))
                return menu;
        return nullptr;
    }
    QAction* trayEntry(PlayerTray& tray, const char* name)
    {
        return tray.menu()->findChild<QAction*>(QString::fromLatin1(name));
    }

    MainWindow main;
};

TEST_F(DesktopTest, EverySongStartPopsOneNotificationThatReplacesTheLast)
{
    SessionBus bus;
    NotificationServer server;
    ASSERT_TRUE(server.serve(bus.connect(QStringLiteral("notifications"))));
    DesktopNotifier notifier(*bot, bus.connect(QStringLiteral("tavu")));

    // Notifications come in the order the songs start: one for the song before would come first.
    play(1);
    bot->settings().write(keys::DesktopNotify, "1");
    play(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.shown.empty(); }, 2000));
    ASSERT_EQ(server.shown.size(), 1u) << "an older settings file has no \"Notify\": off";
    const NotificationServer::Shown first = server.shown[0];
    EXPECT_EQ(first.app, QStringLiteral("Tavu"));
    // The program's icon where the theme has it installed, else the desktop's sound icon: never
    // a name that shows nothing.
    EXPECT_EQ(first.icon,
              QIcon::hasThemeIcon(QStringLiteral("tavu")) ? QStringLiteral("tavu") : QStringLiteral("audio-x-generic"));
    EXPECT_EQ(first.summary, QStringLiteral("Abc"));
    EXPECT_EQ(first.body, QStringLiteral("Alpha &amp; Co \u2014 First"));
    EXPECT_EQ(first.replaces, 0u);
    EXPECT_EQ(first.hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral("tavu"));

    nextClick(*bot);
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.shown.size() == 2; }, 2000));
    EXPECT_EQ(server.shown[1].summary, QStringLiteral("Blue Sky"));
    EXPECT_EQ(server.shown[1].body, QString()) << "a song without a tag";
    EXPECT_EQ(server.shown[1].replaces, first.id);

    // Songs that start before the last one is answered: the latest shows, in the same place.
    prevClick(*bot);
    nextClick(*bot);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return server.shown.size() >= 3 && server.shown.back().summary == QStringLiteral("Blue Sky"); }, 2000));
    // One more start, whose notification comes after any that the burst still had on its way.
    prevClick(*bot);
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.shown.back().summary == QStringLiteral("Abc"); }, 2000));
    EXPECT_LE(server.shown.size(), 5u);
    for (const auto& shown : server.shown)
        EXPECT_TRUE(shown.replaces == 0 || shown.replaces == first.id);
}

TEST_F(DesktopTest, TheTrayHidesThePlayerAndBringsItBack)
{
    PlayerTray tray(*bot, main, [] { return true; });
    OptionsMenu* options = this->options();
    ASSERT_NE(options, nullptr);
    QAction* systray = options->findChild<QAction*>(QStringLiteral("Systray"));
    emit options->File()->aboutToShow();
    ASSERT_TRUE(systray->isEnabled());

    main.move(60, 40);
    main.show();
    bot->playlistDocking.setEnabled(true);
    main.setPlaylistVisible(true);
    play(0);
    EXPECT_EQ(tray.icon()->toolTip(), QStringLiteral("Tavu - Abc"));

    systray->trigger();
    EXPECT_TRUE(tray.icon()->isVisible());
    EXPECT_FALSE(main.isVisible() || main.playlist()->isVisible());

    trayEntry(tray, "trayNext")->trigger();
    EXPECT_EQ(bot->nowPlaying().song, "Blue Sky.mp3");
    trayEntry(tray, "trayPlayPause")->trigger();
    EXPECT_EQ(media.state, MediaPlayer::Paused);

    emit tray.icon()->activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(main.isVisible() && main.playlist()->isVisible());
    EXPECT_EQ(main.pos(), QPoint(60, 40));
    EXPECT_FALSE(tray.icon()->isVisible()) << "the player is back";

    systray->trigger();
    trayEntry(tray, "trayQuit")->trigger();
    EXPECT_TRUE(main.unloading()) << "the shutdown with its announcements";
}

TEST_F(DesktopTest, WithoutATrayOrABusThePlayerRunsOn)
{
    PlayerTray tray(*bot, main, [] { return false; });
    OptionsMenu* options = this->options();
    ASSERT_NE(options, nullptr);
    emit options->File()->aboutToShow();
    EXPECT_FALSE(options->findChild<QAction*>(QStringLiteral("Systray"))->isEnabled());
    main.show();
    tray.toTray();
    EXPECT_TRUE(main.isVisible()) << "no way back without a tray";

    std::ostringstream log;
    {
        Desktop desktop(
            *bot, main,
            QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("nobus")), log);
        EXPECT_EQ(desktop.mpris(), nullptr);
        play(0);
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("nobus"));
    EXPECT_EQ(log.str(), "tavu: no D-Bus session bus; the desktop's media controls and song notifications are off\n");
}

} // namespace
} // namespace tavu::test
