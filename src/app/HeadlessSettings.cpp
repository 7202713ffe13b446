#include "app/HeadlessSettings.h"

#include "client/IrcConfig.h"
#include "settings/Settings.h"

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
        if (config.owner.empty())
            problems.push_back("the [Chat] section of " + path +
                               " has no Owner, so nobody could give commands: set Owner to your nick!user@host");
    }
    if (settings.read(keys::Handle).empty())
        problems.push_back("no handle: set Handle=YOUR NAME in the [Settings] section of " + path);
    if (settings.read(keys::Mp3Directory).empty())
        problems.push_back("no music folder: set Mp3 Directory=/path/to/music in the [Settings] section of " + path);
    return problems;
}

} // namespace tavu
