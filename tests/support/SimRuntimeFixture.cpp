#include "support/SimRuntimeFixture.h"

#include <filesystem>

namespace tavu::test {

BotFixture::BotFixture()
{
    std::filesystem::create_directories(dir.path() / "Styles");
    bot = std::make_unique<Bot>(runtime, room, dir.str(), services());
    bot->startChat();
    media.around = [this](const std::function<void()>& event) { settle(event); };
}

void BotFixture::settle(const std::function<void()>& call)
{
    if (!bot)
        return call();
    const auto mark = bot->tasks().mark();
    call();
    runtime.runWhile([&] { return bot && bot->tasks().runningSince(mark); });
}

void BotFixture::ownerSays(const std::string& text)
{
    settle([&] { room.ownerSays(text); });
}

void BotFixture::say(const std::string& sender, const std::string& text)
{
    settle([&] { room.say(sender, text); });
}

void BotFixture::useSongs(const std::vector<std::string>& names)
{
    for (const auto& name : names)
        writeBytes(music.file(name), "");
    bot->dir = music.str();
    fillSongList(bot->songFiles, bot->songList, bot->playlistRows, bot->dir);
}

std::vector<std::string> BotFixture::takeLines()
{
    auto lines = room.lines();
    room.sent.clear();
    return lines;
}

std::string BotFixture::defaultReply(std::string_view body, std::string_view lead)
{
    Style style;
    style.loadStyle("/nonexistent/Tavu.ini");
    return style.composeReply(lead, body);
}

} // namespace tavu::test
