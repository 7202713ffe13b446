#include "windows/Windows.h"
#include "support/SimRuntimeFixture.h"
#include "ui/SkinButton.h"
#include "windows/MainWindow.h"
#include "windows/OptionsMenu.h"
#include "windows/PlaylistWindow.h"
#include "windows/SoundWindow.h"

#include <QApplication>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace tavu::test {
namespace {

class WindowsTest : public BotFixture {
protected:
    WindowsTest() : main(*bot) { installWindows(main, *bot); }

    void click(const char* button)
    {
        QTest::mouseClick(main.findChild<SkinButton*>(QString::fromLatin1(button)), Qt::LeftButton);
    }
    std::string lastSound() const { return std::filesystem::path(sound.played.back()).filename().string(); }
    int openCommandWindows() const
    {
        int n = 0;
        for (const QWidget* w : QApplication::topLevelWidgets())
            n += w->objectName() == QStringLiteral("frmComs") && w->isVisible();
        return n;
    }

    MainWindow main;
};

TEST_F(WindowsTest, TheSoundButtonShowsTheSoundWindowDockedAndHidesIt)
{
    auto* window = dynamic_cast<SoundWindow*>(main.soundWindow());
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->isVisible());
    main.move(40, 30);
    main.setPlaylistVisible(true);

    click("Sound");
    EXPECT_EQ(lastSound(), "Click.wav");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->pos(), QPoint(main.x(), main.playlist()->y() + main.playlist()->height()));
    EXPECT_EQ(window->width(), main.width());

    click("Sound");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(sound.played.size(), 2u);
}

TEST_F(WindowsTest, DockedWindowsFollowTheMainWindowAndSnapBackWhenDragged)
{
    QWidget* playlist = main.playlist();
    QWidget* soundWindow = main.soundWindow();
    const auto settle = [] {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    };
    const auto under = [](const QWidget* w) { return QPoint(w->x(), w->y() + w->height()); };
    main.move(40, 30);
    main.show();
    bot->playlistDocking.setEnabled(true);
    main.setPlaylistVisible(true);
    click("Sound");
    settle();
    EXPECT_EQ(playlist->pos(), under(&main));
    EXPECT_EQ(soundWindow->pos(), under(playlist));

    main.move(200, 150);
    settle();
    EXPECT_EQ(playlist->pos(), under(&main));
    EXPECT_EQ(soundWindow->pos(), under(playlist));

    playlist->move(500, 400); // dragged away while docked
    settle();
    EXPECT_EQ(playlist->pos(), under(&main));

    main.setPlaylistVisible(false); // the sound window moves up
    settle();
    EXPECT_EQ(soundWindow->pos(), under(&main));

    bot->playlistDocking.setEnabled(false); // undocked: the playlist stays where it is put
    main.setPlaylistVisible(true);
    playlist->move(500, 400);
    settle();
    EXPECT_EQ(playlist->pos(), QPoint(500, 400));
    EXPECT_EQ(soundWindow->pos(), under(playlist)); // the side windows always follow
}

TEST_F(WindowsTest, MenuAndId3ButtonsPopUpTheirMenus)
{
    OptionsMenu* options = nullptr;
    for (QObject* child : main.children())
        if (auto* menu = dynamic_cast<OptionsMenu*>(child))
            options = menu;
    ASSERT_NE(options, nullptr);
    click("Menu");
    EXPECT_EQ(lastSound(), "Menu.wav");
    EXPECT_TRUE(options->File()->isVisible());
    options->File()->hide();

    click("ID3");
    EXPECT_EQ(lastSound(), "Menu.wav");
    EXPECT_TRUE(options->open()->isVisible());
    options->open()->hide();
    EXPECT_FALSE(options->Sounds()->isVisible());
}

TEST_F(WindowsTest, TheChatCommandOpensOneCommandsWindow)
{
    bot->trig = "!";
    ownerSays("!vcoms");
    ownerSays("!vcoms");
    EXPECT_EQ(openCommandWindows(), 1);
    EXPECT_EQ(takeLines().size(), 2u);
}

} // namespace
} // namespace tavu::test
