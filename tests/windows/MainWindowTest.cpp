#include "windows/MainWindow.h"
#include "support/Roads.h"
#include "windows/SoundWindow.h"
#include "windows/Windows.h"

#include <ribbonix/Scroller.h>

#include "player/PlaylistWindow.h"
#include "settings/DesktopSettings.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace tavu::test {
namespace {

// The main window and the sound window while a song starts by each road.
class MainWindowRoadTest : public BotFixture, public ::testing::WithParamInterface<Road> {
public:
    MainWindowRoadTest() : main(*bot)
    {
        installWindows(main, *bot);
        useSongs({"Abc.mp3", "Blue Sky.mp3", "blues one.mp3"});
        bot->trig = "!";
    }
    QString clock() const { return main.findChild<QLabel*>(QStringLiteral("txtTime"))->text(); }
    int volumeSlider() const { return main.soundWindow()->findChild<QSlider*>(QStringLiteral("Slider2"))->value(); }

    MainWindow main;
};

TEST_P(MainWindowRoadTest, ShowsTheTitleRunsTheClockAndTheSoundWindowShowsTheLevel)
{
    ownerSays("!vol 55");
    EXPECT_EQ(volumeSlider(), 1375) << "the slider follows the chat command";
    GetParam().start(*this);
    ASSERT_FALSE(bot->nowPlaying().song.empty());
    runtime.advance(200);
    EXPECT_EQ(main.scroller()->state().text.toStdString(), bot->nowPlaying().title);
    media.position = 65.2;
    runtime.advance(1200);
    EXPECT_EQ(clock(), QStringLiteral("1:5"));
    EXPECT_EQ(volumeSlider(), 1375);
}

INSTANTIATE_TEST_SUITE_P(Roads, MainWindowRoadTest, ::testing::ValuesIn(kRoads), roadName);

} // namespace
} // namespace tavu::test

namespace tavu::test {
namespace {

// The player's column on the desktop: minimised or in the tray, and its place between runs.
class MainWindowPlaceTest : public BotFixture {
public:
    MainWindowPlaceTest() : main(*bot) { installWindows(main, *bot); }

    void showColumn()
    {
        main.move(40, 30);
        main.show();
        bot->Timer3.setEnabled(true);
        main.setPlaylistVisible(true);
        QTest::mouseClick(main.findChild<QWidget*>(QStringLiteral("Sound")), Qt::LeftButton);
        QApplication::processEvents();
    }
    static QRect screen() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    MainWindow main;
};

TEST_F(MainWindowPlaceTest, MinimisedOrInTheTrayTheSideWindowsGoAlongAndComeBackWhereTheyWere)
{
    showColumn();
    QWidget* playlist = main.playlist();
    QWidget* soundWindow = main.soundWindow();
    const QPoint soundAt = soundWindow->pos();

    main.minimizeMain();
    EXPECT_FALSE(playlist->isVisible() || soundWindow->isVisible());
    main.showNormal();
    EXPECT_TRUE(playlist->isVisible() && soundWindow->isVisible());
    EXPECT_EQ(soundWindow->pos(), soundAt);

    bot->Timer3.setEnabled(false); // an undocked playlist keeps its own place
    playlist->move(400, 300);
    QApplication::processEvents();
    main.hideToTray();
    EXPECT_FALSE(main.isVisible() || playlist->isVisible() || soundWindow->isVisible());
    main.showMain();
    EXPECT_TRUE(main.isVisible() && playlist->isVisible() && soundWindow->isVisible());
    EXPECT_EQ(main.pos(), QPoint(40, 30));
    EXPECT_EQ(playlist->pos(), QPoint(400, 300));
    EXPECT_EQ(soundWindow->pos(), QPoint(400, playlist->y() + playlist->height()));
}

TEST_F(MainWindowPlaceTest, ThePlaceIsStoredAndComesBackOnAScreen)
{
    EXPECT_FALSE(main.restorePlace()) << "none stored";
    showColumn();
    main.move(100, 80);
    main.placeSettled();
    EXPECT_EQ(storedMainPlace(bot->settings()), (WindowPlace{100, 80}));

    MainWindow next(*bot);
    EXPECT_TRUE(next.restorePlace());
    EXPECT_EQ(next.pos(), QPoint(100, 80));
    storeMainPlace(bot->settings(), {5000, -300}); // a screen that is gone
    next.restorePlace();
    EXPECT_EQ(next.pos(), QPoint(screen().right() + 1 - next.width(), screen().top()));

    // The column is dragged half off the screen: it comes back whole when it rests.
    main.move(screen().right() - 100, screen().bottom() - 50);
    main.placeSettled();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents(); // the docked windows follow
    const QRect column = main.frameGeometry() | main.playlist()->frameGeometry() | main.soundWindow()->frameGeometry();
    EXPECT_TRUE(screen().contains(column)) << column.x() << "," << column.y();
    EXPECT_EQ(storedMainPlace(bot->settings()), (WindowPlace{main.x(), main.y()}));
}

TEST_F(MainWindowPlaceTest, TheOwnerCanTurnTopmostOff)
{
    EXPECT_TRUE(main.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    bot->settings().write(keys::DesktopOnTop, "0");
    MainWindow plain(*bot);
    EXPECT_FALSE(plain.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(plain.playlist()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

} // namespace
} // namespace tavu::test
