#include "util/GlidePath.h"

#include <gtest/gtest.h>

namespace tavu::test {
namespace {

TEST(GlidePath, AWindowInTheCornerMovesOnceAndSnaps)
{
    const GlidePoint corner{1720, 980};
    const auto path = glidePath(corner, corner, 102);
    EXPECT_EQ(path, (std::vector<GlidePoint>{corner, corner}));
}

TEST(GlidePath, StepsEvenlyIntoTheCorner)
{
    const GlidePoint corner{1000, 700};
    const auto path = glidePath({0, 0}, corner, 100);
    ASSERT_GE(path.size(), 101u);
    ASSERT_LE(path.size(), 102u);
    EXPECT_EQ(path[0], (GlidePoint{10, 7}));
    EXPECT_EQ(path[49], (GlidePoint{500, 350}));
    EXPECT_EQ(path.back(), corner);
    for (std::size_t i = 1; i < path.size(); ++i) {
        EXPECT_GE(path[i].x, path[i - 1].x);
        EXPECT_GE(path[i].y, path[i - 1].y);
    }
}

TEST(GlidePath, StepsSmallerThanOneUnitStillArrive)
{
    // 30 units in 102 steps: a whole-unit position alone would never move.
    const auto path = glidePath({1690, 950}, {1720, 980}, 102);
    EXPECT_LE(path.size(), 105u);
    EXPECT_EQ(path.back(), (GlidePoint{1720, 980}));
    EXPECT_GE(path[path.size() - 2].x, 1719);
}

TEST(GlidePath, AlwaysEnds)
{
    // No steps, steps that lead away from the corner, a window bigger than the screen.
    for (int steps : {0, -5, 1}) {
        const auto path = glidePath({100, 100}, {500, 400}, steps);
        EXPECT_LE(path.size(), 4u) << steps;
        EXPECT_EQ(path.back(), (GlidePoint{500, 400}));
    }
    EXPECT_EQ(glidePath({600, 100}, {500, 400}, 102).size(), 2u);
    EXPECT_EQ(glidePath({0, 0}, {-200, -100}, 102).back(), (GlidePoint{-200, -100}));
}

} // namespace
} // namespace tavu::test
