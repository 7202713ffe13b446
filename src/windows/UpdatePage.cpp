#include "windows/UpdatePage.h"

namespace tavu {

std::optional<std::string> updateAnnouncement(std::string_view page)
{
    const std::size_t tag = page.find('<');
    if (tag == std::string_view::npos)
        return std::nullopt;
    return std::string(page.substr(0, tag));
}

bool announcesUpdate(std::string_view announcement)
{
    return announcement.find('*') != std::string_view::npos;
}

std::string manualDownloadText(std::string_view downloadUrl)
{
    return "Update aborted, if you wish to download the file manually please visit '" + std::string(downloadUrl) + "'";
}

std::string downloadNotStartedText(std::string_view downloadUrl)
{
    return "The download could not be started, please visit '" + std::string(downloadUrl) + "'";
}

std::string noUpdateInformationText(std::string_view reason)
{
    return "No update information was found.\n" + std::string(reason) + "\n";
}

} // namespace tavu
