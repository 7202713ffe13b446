#pragma once

#include "bot/PlayerControls.h"
#include "bot/RemotePlayer.h"
#include "player/FileList.h"
#include "support/SimRuntimeFixture.h"

namespace tavu::test {

// Every road by which a song starts, each from a stopped player in a folder of the songs
// "Abc.mp3", "Blue Sky.mp3" and "blues one.mp3", with the trigger "!".
struct Road {
    const char* name;
    void (*start)(BotFixture& t);
};

inline const Road kRoads[] = {
    {"PlayButton",
     [](BotFixture& t) {
         t.bot->songList.select(1);
         playClick(*t.bot);
     }},
    {"NextButton", [](BotFixture& t) { nextClick(*t.bot); }},
    {"PrevButton",
     [](BotFixture& t) {
         t.bot->songList.select(2);
         prevClick(*t.bot);
     }},
    {"DoubleClick",
     [](BotFixture& t) {
         t.bot->playlistRows.select(2);
         playDoubleClickedSong(*t.bot);
     }},
    {"NextCommand", [](BotFixture& t) { t.ownerSays("!next"); }},
    {"PrevCommand",
     [](BotFixture& t) {
         t.bot->songList.select(1);
         t.ownerSays("!prev");
     }},
    {"RandomCommand", [](BotFixture& t) { t.ownerSays("!ran"); }},
    {"SearchMatch", [](BotFixture& t) { t.ownerSays("!play sky"); }},
    {"DialogueChoice",
     [](BotFixture& t) {
         t.ownerSays("!play blu");
         t.runtime.advance(1500);
         t.ownerSays("play 2");
         t.runtime.advance(1500);
     }},
    {"AutoRandom",
     [](BotFixture& t) {
         t.bot->setPlayMode(PlayMode::AutoRandom);
         t.media.finish();
     }},
    {"AutoContinue",
     [](BotFixture& t) {
         t.bot->setPlayMode(PlayMode::AutoContinue);
         t.bot->playlistRows.select(0);
         t.media.finish();
         t.runtime.advance(1500);
     }},
    {"Repeat",
     [](BotFixture& t) {
         t.bot->setPlayMode(PlayMode::Repeat);
         t.bot->playlistRows.select(1);
         t.media.finish();
     }},
    {"RemoteOpen",
     [](BotFixture& t) { RemotePlayer(*t.bot).OpenUri(songPath(t.bot->songFiles, t.bot->songList.item(1))); }},
};

inline std::string roadName(const ::testing::TestParamInfo<Road>& info)
{
    return info.param.name;
}

} // namespace tavu::test
