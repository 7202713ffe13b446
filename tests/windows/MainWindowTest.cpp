#include "windows/MainWindow.h"
#include "support/Roads.h"
#include "windows/SoundWindow.h"
#include "windows/Windows.h"

#include <ribbonix/Scroller.h>

#include <QLabel>
#include <QSlider>

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
