#include "chat/ListenCommand.h"

#include "bot/Bot.h"
#include "stream/Radio.h"
#include "stream/StreamSettings.h"

namespace tavu::commands {

void listen(Bot& bot, const std::string&)
{
    const std::string url = bot.radio ? bot.radio->listenUrl() : std::string();
    if (url.empty()) {
        bot.reply(" No stream is set up ");
        return;
    }
    bot.radio->countListeners(
        [&bot, url](std::optional<int> listeners) { bot.reply(listenReply(htmlText(url), listeners)); });
}

} // namespace tavu::commands
