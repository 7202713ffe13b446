#include "windows/CommandsWindow.h"
#include "ui/SkinButton.h"
#include "windows/MenuFixture.h"

#include <QListWidget>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

namespace tavu::test {
namespace {

class CommandsWindowTest : public MenuFixture {
protected:
    static QStringList lines(const QWidget* window)
    {
        QStringList out;
        const auto* list = window->findChild<QListWidget*>(QStringLiteral("lstComs"));
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
    static void click(QWidget* window, const char* button)
    {
        QTest::mouseClick(window->findChild<SkinButton*>(QString::fromLatin1(button)), Qt::LeftButton);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(CommandsWindowTest, ListsTheCommandsOncePerOpening)
{
    choose("Ccoms");
    QPointer<CommandsWindow> window = menu.showCommands();
    EXPECT_EQ(menu.showCommands(), window.data());
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tavu View Coms"));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window->findChild<QListWidget*>(QStringLiteral("lstComs"))->font().family(),
              QStringLiteral("Arial Narrow"));

    const QStringList shown = lines(window);
    ASSERT_EQ(shown.size(), 33);
    EXPECT_EQ(shown.front(), QStringLiteral("fa? - tells you the front ascii"));
    EXPECT_EQ(shown[15], QStringLiteral("xarnd - disabled auto random"));
    EXPECT_EQ(shown[23], QStringLiteral("dir? - tell you the current mp3 directory"));
    EXPECT_EQ(shown[25], QStringLiteral("vcoms - opens the chat command list (this box)"));
    EXPECT_EQ(shown.back(), QStringLiteral("rstyle x - (x as style name) removes ascii style"));

    // Exit destroys the window; the next opening builds it, and its list, anew.
    click(window, "Exit");
    EXPECT_TRUE(window.isNull());
    window = menu.showCommands();
    EXPECT_EQ(lines(window), shown);
    EXPECT_EQ(takeSounds(), (std::vector<std::string>{"Click.wav", "Click.wav"}));
}

TEST_F(CommandsWindowTest, MinimisesAndComesBackWhenOpenedAgain)
{
    QPointer<CommandsWindow> window = menu.showCommands();
    click(window, "FlatBttn1");
    EXPECT_TRUE(window->isMinimized());
    EXPECT_EQ(takeSounds(), std::vector<std::string>{"Min.wav"});
    EXPECT_EQ(menu.showCommands(), window.data());
    EXPECT_FALSE(window->isMinimized());
    EXPECT_EQ(lines(window).size(), 33);
}

} // namespace
} // namespace tavu::test
