#include "windows/HelpWindow.h"
#include "chat/CommandHelp.h"
#include "support/SimRuntimeFixture.h"
#include "ui/SkinButton.h"
#include "windows/MainWindow.h"
#include "windows/Windows.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace tavu::test {
namespace {

class HelpWindowTest : public BotFixture {
protected:
    HelpWindowTest() : help(new HelpWindow(*bot)) {}
    ~HelpWindowTest() override { delete help.data(); }

    // The command rows, in the order shown: the table word and the text of each column.
    struct Row {
        std::string word, usage, description;
        bool hidden;
    };
    std::vector<Row> rows() const
    {
        std::vector<Row> out;
        QTreeWidget* list = help->list();
        for (int g = 0; g < list->topLevelItemCount(); ++g)
            for (int i = 0; i < list->topLevelItem(g)->childCount(); ++i) {
                const QTreeWidgetItem* item = list->topLevelItem(g)->child(i);
                const QVariant word = item->data(0, HelpWindow::kWordRole);
                if (word.isValid())
                    out.push_back({word.toString().toStdString(), item->text(0).toStdString(),
                                   item->text(1).toStdString(), item->isHidden() || item->parent()->isHidden()});
            }
        return out;
    }
    std::vector<std::string> visibleWords() const
    {
        std::vector<std::string> words;
        for (const Row& row : rows())
            if (!row.hidden)
                words.push_back(row.word);
        return words;
    }

    QPointer<HelpWindow> help;
};

// Fails when a command is added to the table without its help: it is then listed nowhere.
TEST_F(HelpWindowTest, ListsExactlyTheWordsOfTheTableByGroup)
{
    std::vector<std::string> expected;
    for (const HelpGroup& group : helpGroups())
        for (const Command& command : chatCommands())
            if (command.group == group.group)
                expected.emplace_back(command.word);
    EXPECT_EQ(expected.size(), chatCommands().size());
    EXPECT_EQ(visibleWords(), expected);
    for (const Row& row : rows())
        EXPECT_FALSE(row.description.empty()) << row.word;
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Tavu Help"));
    // The trigger command and the answers of the song choice are explained too.
    EXPECT_FALSE(help->list()->findItems(QStringLiteral("trig X"), Qt::MatchExactly | Qt::MatchRecursive).isEmpty());
    for (const char* answer : {"y", "play N", "n", "cancel"})
        EXPECT_FALSE(
            help->list()->findItems(QString::fromLatin1(answer), Qt::MatchExactly | Qt::MatchRecursive).isEmpty())
            << answer;
}

TEST_F(HelpWindowTest, ShowsTheTriggerInForceAndFollowsItsChange)
{
    EXPECT_EQ(rows()[0].usage, "play PART-OF-A-NAME");
    ownerSays("trig !");
    EXPECT_EQ(rows()[0].usage, "!play PART-OF-A-NAME");
    EXPECT_TRUE(help->findChild<QLabel*>(QStringLiteral("intro"))->text().contains(QStringLiteral("<b>!</b>")));
}

TEST_F(HelpWindowTest, TheSearchKeepsTheRowsThatMatch)
{
    QTest::keyClicks(help->searchField(), QStringLiteral("VOLUME"));
    EXPECT_EQ(visibleWords(), (std::vector<std::string>{"vol", "vol?"}));
    help->search(QStringLiteral("xplist"));
    EXPECT_EQ(visibleWords(), std::vector<std::string>{"xplist"});
    help->search(QStringLiteral("no such thing"));
    EXPECT_TRUE(visibleWords().empty());
    EXPECT_FALSE(help->findChild<QLabel*>(QStringLiteral("nothing"))->isHidden());
    help->searchField()->clear();
    EXPECT_EQ(visibleWords().size(), chatCommands().size());
}

TEST_F(HelpWindowTest, TheHelpButtonOpensOneHelpWindow)
{
    MainWindow main(*bot);
    installWindows(main, *bot);
    const auto helpWindows = [] {
        int n = 0;
        for (const QWidget* w : QApplication::topLevelWidgets())
            n += w->objectName() == QStringLiteral("frmHelp") && w->isVisible();
        return n;
    };
    const int before = helpWindows();
    for (int i = 0; i < 2; ++i)
        QTest::mouseClick(main.findChild<SkinButton*>(QStringLiteral("Help")), Qt::LeftButton);
    EXPECT_EQ(helpWindows(), before + 1);
    EXPECT_TRUE(sound.played.empty()); // the Help button makes no sound
}

} // namespace
} // namespace tavu::test
