#include "chat/SeekCommand.h"

#include "bot/Bot.h"
#include "bot/PlayerControls.h"
#include "chat/PlayerCommands.h"
#include "util/Text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

namespace tavu {

namespace {

bool isDigits(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// "M:SS" or "H:MM:SS": every part but the last whole digits, all but the first below 60.
std::optional<double> clockPosition(std::string_view text)
{
    std::vector<std::string_view> parts;
    for (std::size_t at = 0;;) {
        const auto colon = text.find(':', at);
        parts.push_back(text.substr(at, colon == std::string_view::npos ? std::string_view::npos : colon - at));
        if (colon == std::string_view::npos)
            break;
        at = colon + 1;
    }
    if (parts.size() > 3)
        return std::nullopt;
    double seconds = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        if (!last && !isDigits(parts[i]))
            return std::nullopt;
        if (last && (parts[i].empty() || !std::isdigit(static_cast<unsigned char>(parts[i].front()))))
            return std::nullopt;
        const auto value = parseDecimal(parts[i]);
        if (!value || *value < 0 || (i > 0 && *value >= 60))
            return std::nullopt;
        seconds = seconds * 60 + *value;
    }
    return seconds;
}

} // namespace

std::optional<SeekTarget> parseSeekTarget(std::string_view text)
{
    text = trimmed(text);
    SeekTarget target;
    double sign = 1;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        target.relative = true;
        sign = text.front() == '-' ? -1 : 1;
        text = trimmed(text.substr(1));
    }
    const auto seconds = clockPosition(text);
    if (!seconds)
        return std::nullopt;
    target.seconds = sign * *seconds;
    return target;
}

std::string minutesAndSeconds(double seconds)
{
    const auto whole = static_cast<long long>(std::floor(std::max(0.0, seconds)));
    const std::string s = decimal(whole % 60);
    return decimal(whole / 60) + ":" + (s.size() == 1 ? "0" + s : s);
}

void commands::seek(Bot& bot, const std::string& argument)
{
    const auto target = parseSeekTarget(argument);
    if (!target || bot.media().playState() == MediaPlayer::Stopped)
        return bot.reply(" Cannot seek here! ");
    double seconds = target->seconds;
    if (target->relative)
        seconds = std::max(0.0, bot.media().currentPosition() + seconds);
    if (!seekTo(bot, seconds))
        return bot.reply(" Cannot seek here! ");
    bot.reply(" Seeked to " + minutesAndSeconds(seconds) + " ");
}

} // namespace tavu
