#include "windows/DirectoryWindow.h"
#include "settings/SettingsKeys.h"
#include "support/SimRuntimeFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace tavu::test {
namespace {

class DirectoryWindowTest : public BotFixture {
protected:
    DirectoryWindowTest() { writeBytes(music.file("song.mp3"), "x"); }

    QPointer<DirectoryWindow> openWindow()
    {
        QPointer<DirectoryWindow> window = DirectoryWindow::open(*bot);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        return window;
    }
    void click(DirectoryWindow* window, const char* button)
    {
        QTest::mouseClick(window->findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QString q(const std::string& path) { return QString::fromStdString(path); }

    TestDir music;
};

TEST_F(DirectoryWindowTest, OpensOnceOnTopAtTheMusicDirectory)
{
    bot->dir = music.str();
    QPointer<DirectoryWindow> window = openWindow();
    EXPECT_EQ(DirectoryWindow::open(*bot), window.data());
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window->chosenDirectory(), q(music.str()));

    auto* drives = window->findChild<QComboBox*>(QStringLiteral("Drive1"));
    EXPECT_GE(drives->findData(QStringLiteral("/")), 0);
    EXPECT_GE(drives->findData(QDir::homePath()), 0);

    EXPECT_FALSE(window->setDirectory(q(music.str() + "/missing")));
    EXPECT_EQ(window->chosenDirectory(), q(music.str()));
    click(window, "Cancel");
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(sound.played.size(), 1u);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(DirectoryWindowTest, OkTakesTheChosenDirectoryAndCloses)
{
    QPointer<DirectoryWindow> window = openWindow();
    ASSERT_TRUE(window->setDirectory(q(music.str())));
    click(window, "Ok");

    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(bot->dir, music.str());
    EXPECT_EQ(bot->songList.items(), std::vector<std::string>{"song.mp3"});
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Directory set to: [" + music.str() + "]");
    EXPECT_EQ(bot->settings().read(keys::Mp3Directory), music.str());
}

} // namespace
} // namespace tavu::test

namespace tavu::test {
namespace {

TEST_F(DirectoryWindowTest, ShowsTheLibraryChoicesAndTakesThemWithTheDirectory)
{
    bot->settings().write(keys::LibraryFormats, "ogg");
    QPointer<DirectoryWindow> window = openWindow();
    auto* subfolders = window->findChild<QCheckBox*>(QStringLiteral("chkSubfolders"));
    auto* formats = window->findChild<QLineEdit*>(QStringLiteral("txtFormats"));
    auto* titles = window->findChild<QComboBox*>(QStringLiteral("cboTitles"));
    ASSERT_TRUE(subfolders && formats && titles);
    EXPECT_FALSE(subfolders->isChecked());
    EXPECT_EQ(formats->text(), QStringLiteral("ogg"));
    EXPECT_EQ(titles->currentText(), QStringLiteral("File names"));

    // A folder whose only song is in a sub-folder, taken with the choices made in the window.
    TestDir nested;
    std::filesystem::create_directories(nested.path() / "Artist");
    writeBytes(nested.file("Artist/one.flac"), "x");
    ASSERT_TRUE(window->setDirectory(q(nested.str())));
    subfolders->setChecked(true);
    formats->setText(QStringLiteral("FLAC mp4"));
    titles->setCurrentIndex(1);
    click(window, "Ok");
    EXPECT_EQ(bot->songList.items(), std::vector<std::string>{"Artist/one.flac"});
    EXPECT_EQ(bot->settings().read(keys::LibrarySubfolders), "1");
    EXPECT_EQ(bot->settings().read(keys::LibraryFormats), "flac");
    EXPECT_EQ(bot->settings().read(keys::LibraryTitles), "tags");
}

} // namespace
} // namespace tavu::test
