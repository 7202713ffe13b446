#include "windows/SoundLevels.h"

#include <gtest/gtest.h>

namespace tavu {
namespace {

struct VolumeRow {
    int value;
    const char* caption;
    int red;
    int gain;
};

class VolumeLevels : public ::testing::TestWithParam<VolumeRow> {};

TEST_P(VolumeLevels, LabelColourAndGainFollowTheSlider)
{
    const VolumeRow& row = GetParam();
    EXPECT_EQ(volumeCaption(row.value), row.caption);
    EXPECT_EQ(volumeRed(row.value), row.red);
    EXPECT_EQ(volumeGain(row.value), row.gain);
}

INSTANTIATE_TEST_SUITE_P(Slider, VolumeLevels,
                         ::testing::Values(VolumeRow{0, "0 %", 0, -2500}, VolumeRow{24, "0 %", 2, -2476},
                                           VolumeRow{25, "1 %", 2, -2475}, // 2.5 goes to the even 2
                                           VolumeRow{35, "1 %", 4, -2465}, // 3.5 goes to the even 4
                                           VolumeRow{1245, "49 %", 124, -1255}, VolumeRow{1250, "50 %", 125, -1250},
                                           VolumeRow{1255, "50 %", 126, -1245}, VolumeRow{2499, "99 %", 250, -1},
                                           VolumeRow{2500, "100 %", 250, 0}));

} // namespace
} // namespace tavu
