#include "settings/DesktopSettings.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace tavu::test {
namespace {

TEST(DesktopSettings, PlaceSwitchesAndTheirMeaningWhenMissing)
{
    TestDir dir;
    const Settings settings(dir.file("Tavu.ini"));
    EXPECT_EQ(storedMainPlace(settings), std::nullopt) << "an older settings file";
    EXPECT_TRUE(windowsOnTop(settings));
    EXPECT_FALSE(notifyOnSongStart(settings));

    storeMainPlace(settings, {-40, 1200});
    EXPECT_EQ(storedMainPlace(settings), (WindowPlace{-40, 1200}));
    const struct {
        const char *left, *top;
        std::optional<WindowPlace> place;
    } edited[] = {{" 12 ", "+7", WindowPlace{12, 7}},
                  {"12", "", std::nullopt},
                  {"12px", "7", std::nullopt},
                  {"99999999999", "7", std::nullopt}};
    for (const auto& row : edited) {
        settings.write(keys::DesktopLeft, row.left);
        settings.write(keys::DesktopTop, row.top);
        EXPECT_EQ(storedMainPlace(settings), row.place) << row.left << "," << row.top;
    }

    settings.write(keys::DesktopOnTop, "0");
    settings.write(keys::DesktopNotify, "1");
    EXPECT_FALSE(windowsOnTop(settings));
    EXPECT_TRUE(notifyOnSongStart(settings));
}

} // namespace
} // namespace tavu::test
