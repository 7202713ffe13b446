#include "bot/PlayerControls.h"
#include "support/SimRuntimeFixture.h"
#include "windows/MainWindow.h"
#include "windows/PlaylistWindow.h"
#include "windows/Windows.h"

#include <QApplication>
#include <QListView>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

namespace tavu::test {
namespace {

// Every key on the main window or the playlist, pressed while Blue Sky plays 20 seconds in, at
// volume 50.
struct KeyCase {
    const char* name;
    bool onPlaylist;
    QKeyCombination key;
    void (*check)(BotFixture&, MainWindow&);
};

const KeyCase kKeys[] = {
    {"SpacePauses", false, Qt::Key_Space,
     [](BotFixture& t, MainWindow&) { EXPECT_EQ(t.media.state, MediaPlayer::Paused); }},
    {"SpaceInThePlaylist", true, Qt::Key_Space,
     [](BotFixture& t, MainWindow&) { EXPECT_EQ(t.media.state, MediaPlayer::Paused); }},
    {"RightSeeksOn", false, Qt::Key_Right, [](BotFixture& t, MainWindow&) { EXPECT_DOUBLE_EQ(t.media.position, 25); }},
    {"LeftSeeksBack", true, Qt::Key_Left, [](BotFixture& t, MainWindow&) { EXPECT_DOUBLE_EQ(t.media.position, 15); }},
    {"UpRaisesTheVolume", true, Qt::Key_Up,
     [](BotFixture& t, MainWindow&) {
         EXPECT_EQ(t.bot->lblVol.caption(), "55");
         EXPECT_EQ(t.bot->playlistRows.selectedIndex(), 1) << "the volume, not the list";
     }},
    {"DownLowersTheVolume", false, Qt::Key_Down,
     [](BotFixture& t, MainWindow&) { EXPECT_EQ(t.bot->settings().read(keys::Volume), "45"); }},
    {"NNext", false, Qt::Key_N,
     [](BotFixture& t, MainWindow&) { EXPECT_EQ(t.bot->nowPlaying().song, "blues one.mp3"); }},
    {"CtrlNNextInThePlaylist", true, Qt::CTRL | Qt::Key_N,
     [](BotFixture& t, MainWindow&) { EXPECT_EQ(t.bot->nowPlaying().song, "blues one.mp3"); }},
    {"PPrevious", false, Qt::Key_P, [](BotFixture& t, MainWindow&) { EXPECT_EQ(t.bot->nowPlaying().song, "Abc.mp3"); }},
    {"SStops", false, Qt::Key_S, [](BotFixture& t, MainWindow&) { EXPECT_EQ(t.media.state, MediaPlayer::Stopped); }},
    {"MMutes", false, Qt::Key_M, [](BotFixture& t, MainWindow&) { EXPECT_TRUE(t.media.muted && t.bot->muted()); }},
    {"CtrlMMutesInThePlaylist", true, Qt::CTRL | Qt::Key_M,
     [](BotFixture& t, MainWindow&) { EXPECT_TRUE(t.media.muted && t.bot->muted()); }},
    {"CtrlQExits", true, Qt::CTRL | Qt::Key_Q,
     [](BotFixture& t, MainWindow& main) {
         EXPECT_TRUE(main.unloading());
         EXPECT_EQ(t.sound.played.back().substr(t.sound.played.back().size() - 9), "Click.wav");
     }},
};

class PlayerKeysTest : public BotFixture, public ::testing::WithParamInterface<KeyCase> {
protected:
    PlayerKeysTest() : main(*bot)
    {
        installWindows(main, *bot);
        useSongs({"Abc.mp3", "Blue Sky.mp3", "blues one.mp3"});
        bot->lblVol.setCaption("50");
        bot->playlistRows.select(1);
        playClick(*bot);
        media.position = 20;
    }

    MainWindow main;
};

TEST_P(PlayerKeysTest, DoesWhatItsButtonDoes)
{
    main.show();
    main.setPlaylistVisible(true);
    QWidget* window = GetParam().onPlaylist ? static_cast<QWidget*>(main.playlist()) : &main;
    QWidget* target = GetParam().onPlaylist ? static_cast<QWidget*>(main.playlist()->songView()) : &main;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    window->activateWindow();
    QApplication::setActiveWindow(window);
    target->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(target, GetParam().key.key(), GetParam().key.keyboardModifiers());
    GetParam().check(*this, main);
    EXPECT_TRUE(room.sent.empty()) << "keys announce nothing";
}

INSTANTIATE_TEST_SUITE_P(Keys, PlayerKeysTest, ::testing::ValuesIn(kKeys),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace tavu::test
