#include "windows/CommandsWindow.h"
#include "chat/Commands.h"
#include "ui/SkinButton.h"
#include "windows/CommandHelpLines.h"
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

    // Every line tells of a command the dispatcher knows (or of the trigger, which it knows
    // without the table), as "word - what it does" or "word x - (x as ...) what it does".
    const QStringList shown = lines(window);
    ASSERT_EQ(shown.size(), static_cast<qsizetype>(kCommandHelpLines.size()));
    for (const QString& line : shown) {
        const std::string text = line.toStdString();
        const std::string word = text.substr(0, text.find(' '));
        EXPECT_TRUE(word == "trig" || findCommand(chatCommands(), word)) << text;
        EXPECT_TRUE(text.starts_with(word + " - ") || text.starts_with(word + " x - (x as ")) << text;
    }

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
