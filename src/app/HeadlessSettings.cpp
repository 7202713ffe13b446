#include "app/HeadlessSettings.h"

#include "client/IrcConfig.h"
#include "settings/Settings.h"

#include <filesystem>

namespace tavu {

std::vector<std::string> headlessProblems(const Settings& settings)
{
    std::vector<std::string> problems;
    const std::string& path = settings.path();
    if (!wantsIrc(settings)) {
        problems.push_back("the chat room must be an IRC channel: set Network=irc in the [Chat] section of " + path);
    } else {
        const IrcConfig config = IrcConfig::fromSettings(settings);
        if (const std::string missing = config.missing(); !missing.empty())
            problems.push_back("the [Chat] section of " + path + " names " + missing);
        if (!portSetting(settings.read(keys::ChatPort)))
            problems.push_back("the [Chat] section of " + path + " has Port=" + settings.read(keys::ChatPort) +
                               ", which is no port: give a number from 1 to 65535, or leave it out");
        if (config.owner.empty())
            problems.push_back("the [Chat] section of " + path +
                               " has no Owner, so nobody could give commands: set Owner to your nick!user@host");
    }
    if (settings.read(keys::Handle).empty())
        problems.push_back("no handle: set Handle=YOUR NAME in the [Settings] section of " + path);
    const std::string music = settings.read(keys::Mp3Directory);
    std::error_code error;
    if (music.empty())
        problems.push_back("no music folder: set Mp3 Directory=/path/to/music in the [Settings] section of " + path);
    else if (!std::filesystem::is_directory(music, error))
        problems.push_back("the music folder " + music +
                           " does not exist or is no folder: set Mp3 Directory in the "
                           "[Settings] section of " +
                           path);
    return problems;
}

} // namespace tavu
