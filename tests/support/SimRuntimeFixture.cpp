#include "support/SimRuntimeFixture.h"

#include <filesystem>

namespace tavu::test {

BotFixture::BotFixture()
{
    std::filesystem::create_directories(dir.path() / "Styles");
    bot = std::make_unique<Bot>(runtime, room, dir.str(), services());
    bot->startChat();
}

void BotFixture::ownerSays(const std::string& text)
{
    room.ownerSays(text);
    runtime.drain();
}

void BotFixture::say(const std::string& sender, const std::string& text)
{
    room.say(sender, text);
    runtime.drain();
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
