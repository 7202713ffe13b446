#include "chat/Commands.h"

#include "bot/Bot.h"
#include "chat/CommandHelp.h"
#include "chat/ListenCommand.h"
#include "chat/PlayerCommands.h"
#include "chat/SavedStyles.h"
#include "chat/SeekCommand.h"
#include "chat/SongSearch.h"
#include "chat/StyleCommands.h"

#include <algorithm>
#include <array>

namespace tavu {
namespace {

using Arg = const std::string&;

// The style commands by their row of the style table: setting a value, and asking for it.
template <std::size_t Row>
void setStyle(Bot& bot, Arg argument)
{
    StyleCommands::set(bot, StyleCommands::table()[Row], argument);
}
template <std::size_t Row>
void askStyle(Bot& bot, Arg)
{
    StyleCommands::query(bot, StyleCommands::table()[Row]);
}
// Rows of the style table.
enum : std::size_t { Fac, Mac, Bac, Tc, Faf, Maf, Baf, Tf, Fa, Ma, Ba };

using G = CommandGroup;

constexpr std::array<Command, 57> kTable{{
    {"dir", commands::dir, G::Library, "FOLDER", "sets the music folder and reads its songs"},
    {"play", commands::play, G::Player, "PART-OF-A-NAME",
     "plays the song whose name holds the text; asks when several do"},
    {"stop", commands::stop, G::Player, "", "stops the song"},
    {"vol", commands::vol, G::Player, "LEVEL", "sets the volume, 0 to 100"},
    {"vol?", commands::volQuery, G::Player, "", "tells the volume"},
    {"mute", commands::mute, G::Player, "", "mutes the player"},
    {"xmute", commands::xmute, G::Player, "", "turns the sound back on"},
    {"len?", commands::lenQuery, G::Player, "", "tells the length of the song"},
    {"next", commands::next, G::Player, "", "plays the next song of the list"},
    {"prev", commands::prev, G::Player, "", "plays the previous song of the list"},
    {"played?", commands::playedQuery, G::Player, "", "tells how many songs have been played"},
    {"mp3?", commands::mp3Query, G::Player, "", "tells which song plays"},
    {"dir?", commands::dirQuery, G::Library, "", "tells the music folder"},
    {"refdir", commands::refdir, G::Library, "", "reads the music folder again"},
    {"rep", commands::rep, G::PlayMode, "", "repeats the song when it ends"},
    {"xrep", commands::xrep, G::PlayMode, "", "turns repeat off"},
    {"arnd", commands::arnd, G::PlayMode, "", "plays a random song when one ends (auto random)"},
    {"xarnd", commands::xarnd, G::PlayMode, "", "turns auto random off"},
    {"acon", commands::acon, G::PlayMode, "", "plays the next song of the list when one ends (auto continue)"},
    {"xacon", commands::xacon, G::PlayMode, "", "turns auto continue off"},
    {"ran", commands::ran, G::Player, "", "plays a random song"},
    {"pause", commands::pause, G::Player, "", "pauses the song"},
    {"xpause", commands::xpause, G::Player, "", "goes on with the paused song"},
    {"vcoms", commands::vcoms, G::Windows, "", "opens the commands window"},
    {"vid3", commands::vid3, G::Windows, "", "opens the ID3 tag window"},
    {"vplist", commands::vplist, G::Windows, "", "shows the playlist"},
    {"xid3", commands::xid3, G::Windows, "", "closes the ID3 tag window"},
    {"xplist", commands::xplist, G::Windows, "", "hides the playlist"},
    {"end", commands::end, G::Windows, "", "closes the player and ends Tavu"},
    {"fac", setStyle<Fac>, G::Style, "COLOUR", "sets the colour of the front decoration (hex, such as ff0000)"},
    {"mac", setStyle<Mac>, G::Style, "COLOUR", "sets the colour of the middle decoration"},
    {"bac", setStyle<Bac>, G::Style, "COLOUR", "sets the colour of the back decoration"},
    {"faf", setStyle<Faf>, G::Style, "FONT", "sets the font of the front decoration (an installed font)"},
    {"maf", setStyle<Maf>, G::Style, "FONT", "sets the font of the middle decoration"},
    {"baf", setStyle<Baf>, G::Style, "FONT", "sets the font of the back decoration"},
    {"fa", setStyle<Fa>, G::Style, "TEXT", "sets the front decoration"},
    {"ma", setStyle<Ma>, G::Style, "TEXT", "sets the middle decoration"},
    {"ba", setStyle<Ba>, G::Style, "TEXT", "sets the back decoration"},
    {"tc", setStyle<Tc>, G::Style, "COLOUR", "sets the colour of the reply text"},
    {"tf", setStyle<Tf>, G::Style, "FONT", "sets the font of the reply text"},
    {"fac?", askStyle<Fac>, G::Style, "", "tells the colour of the front decoration"},
    {"bac?", askStyle<Bac>, G::Style, "", "tells the colour of the back decoration"},
    {"mac?", askStyle<Mac>, G::Style, "", "tells the colour of the middle decoration"},
    {"faf?", askStyle<Faf>, G::Style, "", "tells the font of the front decoration"},
    {"baf?", askStyle<Baf>, G::Style, "", "tells the font of the back decoration"},
    {"maf?", askStyle<Maf>, G::Style, "", "tells the font of the middle decoration"},
    {"fa?", askStyle<Fa>, G::Style, "", "tells the front decoration"},
    {"ma?", askStyle<Ma>, G::Style, "", "tells the middle decoration"},
    {"ba?", askStyle<Ba>, G::Style, "", "tells the back decoration"},
    {"tc?", askStyle<Tc>, G::Style, "", "tells the colour of the reply text"},
    {"tf?", askStyle<Tf>, G::Style, "", "tells the font of the reply text"},
    {"sstyle", [](Bot& bot, Arg name) { bot.savedStyles->sstyle(name); }, G::SavedStyles, "NAME",
     "saves the whole style under a name"},
    {"rstyle", [](Bot& bot, Arg piece) { bot.savedStyles->rstyle(piece); }, G::SavedStyles, "PART-OF-A-NAME",
     "removes the saved style whose name holds the text"},
    {"lstyle", [](Bot& bot, Arg piece) { bot.savedStyles->lstyle(piece); }, G::SavedStyles, "PART-OF-A-NAME",
     "loads the saved style whose name holds the text"},
    {"listen", commands::listen, G::Player, "", "tells the address where the room can listen to the music"},
    {"help", commands::help, G::Windows, "[WORD]", "lists the commands in the chat, or tells what one does"},
    {"seek", commands::seek, G::Player, "M:SS", "jumps to a place in the song; also seconds, +N or -N"},
}};

} // namespace

std::span<const Command> chatCommands()
{
    return kTable;
}

const Command* findCommand(std::span<const Command> table, std::string_view word)
{
    const auto it = std::find_if(table.begin(), table.end(), [&](const Command& c) { return c.word == word; });
    return it == table.end() ? nullptr : &*it;
}

} // namespace tavu
