#include "windows/MainWindow.h"
#include "support/Roads.h"
#include "windows/SoundWindow.h"
#include "windows/Windows.h"

#include <ribbonix/Scroller.h>

#include "settings/DesktopSettings.h"
#include "settings/SettingsKeys.h"
#include "windows/Id3Window.h"
#include "windows/PlaylistWindow.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QScreen>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

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
        bot->playlistDocking.setEnabled(true);
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

    bot->playlistDocking.setEnabled(false); // an undocked playlist keeps its own place
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

TEST_F(MainWindowPlaceTest, TheSideWindowsThatWereOpenAreStoredAndComeBack)
{
    EXPECT_FALSE(storedOpenWindows(bot->settings())) << "none stored";
    showColumn();
    main.setId3Visible(true);
    main.hideToTray(); // hidden with the player, they are still open
    storeOpenWindows(bot->settings(), main.openSideWindows());
    EXPECT_EQ(bot->settings().read(keys::DesktopOpenWindows), "playlist id3 sound");
    main.showMain();

    main.setPlaylistVisible(false);
    main.setId3Visible(false);
    main.soundWindow()->hide();
    storeOpenWindows(bot->settings(), main.openSideWindows());
    EXPECT_EQ(bot->settings().read(keys::DesktopOpenWindows), "none");
    main.reopenSideWindows(*storedOpenWindows(bot->settings()));
    EXPECT_FALSE(main.playlist()->isVisible() || main.id3Window()->isVisible() || main.soundWindow()->isVisible());

    bot->settings().write(keys::DesktopOpenWindows, "SOUND id3 nonsense");
    main.reopenSideWindows(*storedOpenWindows(bot->settings()));
    EXPECT_FALSE(main.playlist()->isVisible());
    EXPECT_TRUE(main.id3Window()->isVisible());
    EXPECT_TRUE(main.soundWindow()->isVisible());
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

TEST_F(MainWindowPlaceTest, ASideWindowOpenedLowOnTheScreenLiftsTheColumn)
{
    main.move(screen().left() + 40, screen().bottom() - main.height() - 40);
    main.show();
    bot->playlistDocking.setEnabled(true);
    main.setPlaylistVisible(true);
    QTest::mouseClick(main.findChild<QWidget*>(QStringLiteral("Sound")), Qt::LeftButton);
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    const QRect column = main.frameGeometry() | main.playlist()->frameGeometry() | main.soundWindow()->frameGeometry();
    EXPECT_TRUE(screen().contains(column)) << column.y() << "+" << column.height();
    EXPECT_EQ(main.soundWindow()->y(), main.playlist()->y() + main.playlist()->height()) << "still one column";
}

TEST_F(MainWindowPlaceTest, TheOwnerCanTurnTopmostOff)
{
    EXPECT_TRUE(main.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    bot->settings().write(keys::DesktopOnTop, "0");
    MainWindow plain(*bot);
    EXPECT_FALSE(plain.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(plain.playlist()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

class MainWindowSeekTest : public BotFixture {
public:
    MainWindowSeekTest() : main(*bot)
    {
        installWindows(main, *bot);
        useSongs({"a.mp3"});
        main.show();
    }
    MainWindow main;
};

TEST_F(MainWindowSeekTest, AClickOrADragOnTheBarSeeksAndTheClockFollows)
{
    auto* bar = main.findChild<QProgressBar*>(QStringLiteral("progress"));
    ASSERT_NE(bar, nullptr);
    const QPoint placeBefore = main.pos();
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, 3)); // nothing plays
    EXPECT_EQ(media.position, 0.0);

    nextClick(*bot);
    media.length = 200;
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint((bar->width() - 1) / 4, 3));
    EXPECT_NEAR(media.position, 50, 0.5);
    EXPECT_EQ(bot->progress.value(), static_cast<int>(std::lround(media.position)));
    EXPECT_EQ(main.findChild<QLabel*>(QStringLiteral("txtTime"))->text(), QStringLiteral("0:50"));

    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(10, 3));
    QTest::mouseMove(bar, QPoint(bar->width() - 1, 3));
    QMouseEvent move(QEvent::MouseMove, QPointF(bar->width() - 1, 3), bar->mapToGlobal(QPointF(bar->width() - 1, 3)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &move);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(bar->width() - 1, 3));
    EXPECT_DOUBLE_EQ(media.position, 200);
    EXPECT_EQ(main.pos(), placeBefore); // the press seeks; it does not drag the window
}

} // namespace
} // namespace tavu::test
