#include "util/ScreenPlace.h"

#include <gtest/gtest.h>

namespace tavu::test {
namespace {

struct Place {
    const char* name;
    ScreenBox window;
    std::vector<ScreenBox> screens;
    ScreenBox kept;
};

const ScreenBox kLeft{0, 0, 1920, 1080};
const ScreenBox kRight{1920, 0, 1280, 1024};

const Place kPlaces[] = {
    {"OnTheScreen", {100, 50, 320, 500}, {kLeft}, {100, 50, 320, 500}},
    {"OnTheSecondScreen", {2000, 100, 320, 500}, {kLeft, kRight}, {2000, 100, 320, 500}},
    {"PastTheRightEdge", {1800, 100, 320, 500}, {kLeft}, {1600, 100, 320, 500}},
    {"AboveAndLeft", {-50, -20, 320, 500}, {kLeft}, {0, 0, 320, 500}},
    {"BelowTheBottom", {100, 900, 320, 500}, {kLeft}, {100, 580, 320, 500}},
    {"AcrossTwoScreensGoesToTheOneItMostlyCovers", {1800, 100, 320, 500}, {kLeft, kRight}, {1920, 100, 320, 500}},
    {"OnAScreenThatIsGone", {2500, 600, 320, 500}, {kLeft}, {1600, 580, 320, 500}},
    {"TallerThanTheScreenKeepsItsTop", {100, 300, 320, 1200}, {kLeft}, {100, 0, 320, 1200}},
    {"NoScreens", {-5000, 7, 320, 500}, {}, {-5000, 7, 320, 500}},
};

class ScreenPlaceTest : public ::testing::TestWithParam<Place> {};

TEST_P(ScreenPlaceTest, KeepsTheWindowWhereItCanBeSeen)
{
    EXPECT_EQ(keepOnScreens(GetParam().window, GetParam().screens), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(Places, ScreenPlaceTest, ::testing::ValuesIn(kPlaces),
                         [](const auto& row) { return std::string(row.param.name); });

// The chat room window beside the player (320 x 104); the window is 500 x 400.
struct Beside {
    const char* name;
    ScreenBox player;
    std::vector<ScreenBox> screens;
    ScreenBox placed;
};

const Beside kBeside[] = {
    {"ToTheRight", {24, 24, 320, 104}, {kLeft}, {368, 24, 500, 400}},
    {"ToTheLeftAtTheRightEdge", {1500, 24, 320, 104}, {kLeft}, {976, 24, 500, 400}},
    {"LowOnTheScreenItRises", {24, 1000, 320, 104}, {kLeft}, {368, 680, 500, 400}},
    {"OnTheSecondScreen", {2000, 900, 320, 104}, {kLeft, kRight}, {2344, 624, 500, 400}},
    {"AtTheLeftEdgeWhenNeitherSideHasRoom", {100, 24, 320, 104}, {{0, 0, 800, 600}}, {0, 24, 500, 400}},
};

class BesidePlayerTest : public ::testing::TestWithParam<Beside> {};

TEST_P(BesidePlayerTest, TheWindowLiesWholeOnAScreen)
{
    EXPECT_EQ(besidePlayer(GetParam().player, 500, 400, GetParam().screens), GetParam().placed);
}

INSTANTIATE_TEST_SUITE_P(Places, BesidePlayerTest, ::testing::ValuesIn(kBeside),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace tavu::test
