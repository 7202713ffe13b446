#include "windows/PlaylistWindow.h"
#include "bot/Lifecycle.h"
#include "bot/PlayerControls.h"
#include "queue/UpNext.h"
#include "support/SimRuntimeFixture.h"
#include "support/TagFile.h"
#include "windows/MainWindow.h"
#include "windows/Windows.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QFont>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

namespace tavu::test {
namespace {

// The playlist as a library view: songs with tags in nested folders.
class PlaylistWindowTest : public BotFixture {
protected:
    PlaylistWindowTest() : main(*bot)
    {
        installWindows(main, *bot);
        bot->settings().write(keys::LibraryTitles, "tags");
        bot->settings().write(keys::LibrarySubfolders, "1");
        std::filesystem::create_directories(music.file("Rock/Old"));
        tagged("Rock/Old/a.mp3", {"Nightfall", "Zed", "Dark", "", ""}, 2);
        tagged("Rock/b.mp3", {"Signal", "Amy", "Light", "", ""}, 1);
        tagged("c.mp3", {"Morning", "Bo", "Dark", "", ""}, 3);
        bot->upNext->lengthReader = [](const std::string& path) { return path.ends_with("/c.mp3") ? 187.4 : 0.0; };
        useSongs({});
        bot->trig = "!";
        ownerSays("!refdir");
        takeLines();
        main.show();
        main.setPlaylistVisible(true);
        playlist = main.playlist();
        view = playlist->songView();
    }
    void tagged(const std::string& name, const TagText& text, char track)
    {
        std::string bytes = songWithTag(text);
        bytes[bytes.size() - 3] = '\0';
        bytes[bytes.size() - 2] = track;
        writeBytes(music.file(name), bytes);
    }
    QString cell(int row, int column) const { return view->model()->index(row, column).data().toString(); }
    std::vector<QString> titles() const
    {
        std::vector<QString> out;
        for (int r = 0; r < view->model()->rowCount(); ++r)
            out.push_back(cell(r, 0));
        return out;
    }
    void focusList()
    {
        playlist->activateWindow();
        QApplication::setActiveWindow(playlist);
        view->setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowActive(playlist));
    }

    MainWindow main;
    PlaylistWindow* playlist = nullptr;
    QTreeView* view = nullptr;
};

TEST_F(PlaylistWindowTest, ColumnsShowTheTagsAndThePlayingSong)
{
    ASSERT_EQ(bot->songList.items(), (std::vector<std::string>{"c.mp3", "Rock/b.mp3", "Rock/Old/a.mp3"}));
    ASSERT_EQ(view->model()->columnCount(), 5);
    EXPECT_EQ(cell(0, 0), QStringLiteral("Morning"));
    EXPECT_EQ(cell(0, 1), QStringLiteral("Bo"));
    EXPECT_EQ(cell(0, 2), QStringLiteral("Dark"));
    EXPECT_EQ(cell(0, 3), QStringLiteral("3"));
    EXPECT_EQ(cell(0, 4), QStringLiteral("3:07"));
    EXPECT_EQ(cell(1, 4), QString()) << "a length nobody can tell is left blank";
    EXPECT_EQ(view->textElideMode(), Qt::ElideMiddle);

    bot->playlistRows.select(1);
    playClick(*bot);
    bot->playlistRows.select(2); // the selection moves on; the mark stays with the song that plays
    EXPECT_TRUE(cell(1, 0).startsWith(QStringLiteral("\u25B6 ")));
    EXPECT_TRUE(view->model()->index(1, 2).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(view->model()->index(2, 0).data(Qt::FontRole).value<QFont>().bold());

    bot->settings().write(keys::LibraryTitles, "files");
    ownerSays("!refdir");
    EXPECT_EQ(view->model()->columnCount(), 1);
    EXPECT_EQ(cell(0, 0), QStringLiteral("c"));
}

TEST_F(PlaylistWindowTest, TypingSearchesTheListAndNeverFiresThePlayerKeys)
{
    focusList();
    QTest::keyClicks(view, QStringLiteral("nigh"));
    EXPECT_TRUE(room.sent.empty());
    EXPECT_TRUE(media.opened.empty()) << "N did not start the next song";
    EXPECT_EQ(playlist->searchField()->text(), QStringLiteral("nigh"));
    EXPECT_EQ(titles(), (std::vector<QString>{QStringLiteral("Nightfall")}));
    QTest::keyClick(playlist->searchField(), Qt::Key_Return);
    EXPECT_EQ(bot->nowPlaying().song, "Rock/Old/a.mp3") << "Enter plays the first match";

    QTest::keyClick(playlist->searchField(), Qt::Key_Escape);
    EXPECT_TRUE(playlist->searchField()->text().isEmpty());
    EXPECT_EQ(view->model()->rowCount(), 3);
    QTest::keyClicks(playlist->searchField(), QStringLiteral("rock/"));
    EXPECT_EQ(view->model()->rowCount(), 2) << "the path counts";
    playlist->searchField()->clear();
    QTest::keyClicks(playlist->searchField(), QStringLiteral("dark"));
    EXPECT_EQ(view->model()->rowCount(), 2) << "the album counts";
    playlist->searchField()->clear();

    focusList();
    QTest::keyClick(view, Qt::Key_S);
    EXPECT_EQ(media.state, MediaPlayer::Playing) << "S in the list searches, it does not stop";
    playlist->searchField()->clear();
    focusList();
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(bot->songList.count(), 3u);
    EXPECT_TRUE(std::filesystem::exists(music.file("c.mp3")));
}

TEST_F(PlaylistWindowTest, SortingMakesNextFollowWhatIsShown)
{
    bot->playlistRows.select(0); // Morning
    ownerSays("!next");
    EXPECT_EQ(bot->nowPlaying().song, "Rock/b.mp3") << "the folder order until the owner sorts";

    view->header()->sectionClicked(1); // by artist: Amy, Bo, Zed
    EXPECT_EQ(titles(), (std::vector<QString>{QStringLiteral("\u25B6 Signal"), QStringLiteral("Morning"),
                                              QStringLiteral("Nightfall")}));
    ownerSays("!next");
    EXPECT_EQ(bot->nowPlaying().song, "c.mp3");
    ownerSays("!prev");
    EXPECT_EQ(bot->nowPlaying().song, "Rock/b.mp3");

    view->header()->sectionClicked(1); // again: Zed, Bo, Amy
    bot->setPlayMode(PlayMode::AutoContinue);
    runtime.advance(3000);
    media.finish();
    EXPECT_EQ(bot->nowPlaying().song, "Rock/Old/a.mp3") << "after the last shown, the first shown";

    view->header()->sectionClicked(3); // by track number
    bot->playlistRows.select(-1);
    bot->settings().write(keys::DesktopPlayFirst, "1");
    stopClick(*bot);
    bot->songList.select(-1);
    playClick(*bot);
    EXPECT_EQ(bot->nowPlaying().song, "Rock/b.mp3") << "Play with nothing selected: the first song shown";
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(PlaylistWindowTest, SeveralRowsCanBeSelectedAndTheSizeIsKept)
{
    view->selectAll();
    EXPECT_EQ(view->selectionModel()->selectedRows().size(), 3);
    EXPECT_EQ(view->selectionMode(), QAbstractItemView::ExtendedSelection);

    playlist->resize(420, 330);
    playlist->hide(); // the size rests: it is stored
    EXPECT_EQ(bot->settings().read(keys::DesktopPlaylistWidth), "420");
    EXPECT_EQ(bot->settings().read(keys::DesktopPlaylistHeight), "330");
    PlaylistWindow next(*bot);
    EXPECT_EQ(next.size(), QSize(420, 330));
}

} // namespace
} // namespace tavu::test
