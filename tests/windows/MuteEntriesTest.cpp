#include "support/Fakes.h"
#include "windows/MuteEntries.h"

#include <gtest/gtest.h>

namespace tavu::test {
namespace {

class CountingPlayer : public FakeMediaPlayer {
public:
    void setMute(bool m) override
    {
        FakeMediaPlayer::setMute(m);
        calls.push_back(m);
    }
    std::vector<bool> calls;
};

TEST(MuteEntries, ExactlyOneEntryIsEnabledAndEachActsOnce)
{
    CountingPlayer player;
    MuteEntries entries;
    EXPECT_TRUE(entries.muteEnabled());
    EXPECT_FALSE(entries.unMuteEnabled());
    EXPECT_FALSE(entries.unMute(player));

    EXPECT_TRUE(entries.mute(player));
    EXPECT_FALSE(entries.mute(player));
    EXPECT_TRUE(player.muted);
    EXPECT_FALSE(entries.muteEnabled());
    EXPECT_TRUE(entries.unMuteEnabled());

    EXPECT_TRUE(entries.unMute(player));
    EXPECT_FALSE(entries.unMute(player));
    EXPECT_FALSE(player.muted);
    EXPECT_TRUE(entries.muteEnabled());
    EXPECT_EQ(player.calls, (std::vector<bool>{true, false}));
}

} // namespace
} // namespace tavu::test
