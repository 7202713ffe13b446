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

} // namespace
} // namespace tavu
