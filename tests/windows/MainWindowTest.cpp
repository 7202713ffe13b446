#include "windows/MainWindow.h"
#include "support/Roads.h"
#include "windows/SoundWindow.h"
#include "windows/Windows.h"

#include <ribbonix/Scroller.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
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
    auto* bar = main.findChild<QProgressBar*>(QStringLiteral("Bar1"));
    ASSERT_NE(bar, nullptr);
    const QPoint placeBefore = main.pos();
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, 3)); // nothing plays
    EXPECT_EQ(media.position, 0.0);

    Next_Click(*bot);
    media.length = 200;
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint((bar->width() - 1) / 4, 3));
    EXPECT_NEAR(media.position, 50, 0.5);
    EXPECT_EQ(bot->Bar1.value(), static_cast<int>(std::lround(media.position)));
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
