#include "queue/SongQueue.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tavu {
namespace {

std::vector<std::string> names(const SongQueue& queue)
{
    std::vector<std::string> out;
    for (const QueuedSong& q : queue.songs())
        out.push_back(q.song);
    return out;
}

SongQueue filled(std::initializer_list<const char*> songs)
{
    SongQueue queue;
    for (const char* s : songs)
        queue.add({s, {}, {}});
    return queue;
}

TEST(SongQueueTest, EditsKeepTheOrderAndRefuseWhatIsNotThere)
{
    SongQueue queue = filled({"a", "b", "c", "d", "e"});
    int changes = 0;
    auto watch = queue.changed.subscribe([&] { ++changes; });
    EXPECT_TRUE(queue.move(0, 3));
    EXPECT_EQ(names(queue), (std::vector<std::string>{"b", "c", "d", "a", "e"}));
    EXPECT_TRUE(queue.move(4, 0));
    EXPECT_EQ(names(queue), (std::vector<std::string>{"e", "b", "c", "d", "a"}));
    EXPECT_FALSE(queue.move(0, 5));
    EXPECT_FALSE(queue.remove(3, 5));
    EXPECT_FALSE(queue.remove(2, 1));
    EXPECT_TRUE(queue.remove(1, 2));
    EXPECT_EQ(names(queue), (std::vector<std::string>{"e", "d", "a"}));
    const auto taken = queue.takeAt(1);
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->song, "d"); // the song before it leaves too
    EXPECT_EQ(names(queue), (std::vector<std::string>{"a"}));
    EXPECT_FALSE(queue.takeAt(1));
    queue.addFirst({"z", {}, {}});
    EXPECT_EQ(names(queue), (std::vector<std::string>{"z", "a"}));
    EXPECT_EQ(changes, 5);
}

TEST(SongQueueTest, ShuffleKeepsEverySongAndCountsRequesters)
{
    SongQueue queue = filled({"a", "b", "c", "d"});
    queue.add({"x", "acct:ann", "ann"});
    queue.add({"y", "acct:ann", "ann"});
    double draw = 0.999; // the extreme draw must stay inside the queue
    queue.shuffle([&] { return draw; });
    draw = 0.0;
    queue.shuffle([&] { return draw; });
    auto after = names(queue);
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, (std::vector<std::string>{"a", "b", "c", "d", "x", "y"}));
    EXPECT_EQ(queue.countBy("acct:ann"), 2u);
    EXPECT_EQ(queue.countBy("ann"), 0u);
    EXPECT_TRUE(queue.contains("x"));
    EXPECT_FALSE(queue.contains("X"));
}

} // namespace
} // namespace tavu
