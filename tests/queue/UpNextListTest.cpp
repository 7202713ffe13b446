#include "windows/UpNextList.h"
#include "queue/UpNext.h"
#include "support/SimRuntimeFixture.h"

#include <QKeyEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace tavu::test {
namespace {

class UpNextListTest : public BotFixture {
protected:
    UpNextListTest()
    {
        bot->settings().write(keys::QueueEnabled, "1");
        useSongs({"alpha.mp3", "beta.mp3", "gamma.mp3"});
    }
    QStringList shown() const
    {
        QStringList out;
        for (int i = 0; i < list.count(); ++i)
            out << list.item(i)->text();
        return out;
    }
    SongQueue& queue() { return bot->upNext->queue; }
    UpNextList list{*bot};
};

TEST_F(UpNextListTest, FollowsTheQueueAndDeletesAndPlaysTheChosenSong)
{
    queue().add({"alpha.mp3", {}, {}});
    queue().add({"beta.mp3", "account:ann", "Ann"});
    queue().add({"gamma.mp3", {}, {}});
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("alpha"), QStringLiteral("beta [Ann]"), QStringLiteral("gamma")}));
    queue().move(2, 0);
    EXPECT_EQ(shown().first(), QStringLiteral("gamma"));

    list.setCurrentRow(1);
    QTest::keyClick(&list, Qt::Key_Delete);
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("gamma"), QStringLiteral("beta [Ann]")}));
    EXPECT_EQ(list.currentRow(), 1);

    QTest::keyClick(&list, Qt::Key_Return); // the songs before it leave the queue
    EXPECT_EQ(media.opened.back(), music.file("beta.mp3"));
    EXPECT_TRUE(queue().empty());
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(bot->upNext->playing()->nick, "Ann");
}

} // namespace
} // namespace tavu::test
