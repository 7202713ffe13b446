#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavu {

// The update checker's texts and its reading of the update page. The page announces itself in
// the plain text before its first tag, and that text holds a "*" exactly when an update is
// available.

// Shown while the check is under way.
inline constexpr std::string_view kUpdateCheckingText = "Checking For Updates.....               \n"
                                                        "Please Be Patient....\n";

inline constexpr std::string_view kUpdateQuestionTitle = "Update Tavu";
inline constexpr std::string_view kUpdateQuestion = "Updates are available, would you like to begin downloading?";
inline constexpr std::string_view kUpdateAbortedTitle = "Update Aborted";

// The text of the page before its first "<". Nothing when the page has no "<" at all: then it
// holds no update information.
std::optional<std::string> updateAnnouncement(std::string_view page);

// Whether an announcement offers an update: it contains "*".
bool announcesUpdate(std::string_view announcement);

// The message after the user has declined the download.
std::string manualDownloadText(std::string_view downloadUrl);

// The message when the desktop would not take the download.
std::string downloadNotStartedText(std::string_view downloadUrl);

// What the text box shows when the page brought no update information, with the reason.
std::string noUpdateInformationText(std::string_view reason);

} // namespace tavu
