#include "windows/UpdatePage.h"

#include <gtest/gtest.h>

namespace tavu {
namespace {

TEST(UpdatePage, TheAnnouncementIsTheTextBeforeTheFirstTag)
{
    EXPECT_EQ(updateAnnouncement("Tavu 2.0 *<html><b>*</b></html>"), "Tavu 2.0 *");
    EXPECT_EQ(updateAnnouncement("<html>Tavu 2.0 *</html>"), "");
    EXPECT_EQ(updateAnnouncement("a < b < c"), "a ");
    EXPECT_EQ(updateAnnouncement("Caf\xC3\xA9 \xE2\x98\x85<p>"), "Caf\xC3\xA9 \xE2\x98\x85");
    EXPECT_EQ(updateAnnouncement(std::string_view("nul\0byte<", 9)), std::string("nul\0byte", 8));
    // Without any tag the page is not an update page.
    EXPECT_EQ(updateAnnouncement("Updates * soon"), std::nullopt);
    EXPECT_EQ(updateAnnouncement(""), std::nullopt);
}

TEST(UpdatePage, AStarAnywhereInTheAnnouncementMeansAnUpdate)
{
    EXPECT_TRUE(announcesUpdate("*"));
    EXPECT_TRUE(announcesUpdate("Version 2.1 is out *new*"));
    EXPECT_FALSE(announcesUpdate("You have the newest version."));
    EXPECT_FALSE(announcesUpdate(""));
}

TEST(UpdatePage, TextsOfTheChecker)
{
    EXPECT_EQ(kUpdateCheckingText, "Checking For Updates....." + std::string(15, ' ') + "\nPlease Be Patient....\n");
    EXPECT_EQ(manualDownloadText("https://example.org/tavu.zip"),
              "Update aborted, if you wish to download the file manually please visit 'https://example.org/tavu.zip'");
    EXPECT_EQ(noUpdateInformationText("The page was empty.").rfind("No update information was found.\n", 0), 0u);
}

} // namespace
} // namespace tavu
