#include "chat/Commands.h"

#include "bot/Bot.h"
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

constexpr std::array<Command, 55> kTable{{
    {"dir", commands::dir},
    {"play", commands::play},
    {"stop", commands::stop},
    {"vol", commands::vol},
    {"vol?", commands::volQuery},
    {"mute", commands::mute},
    {"xmute", commands::xmute},
    {"len?", commands::lenQuery},
    {"next", commands::next},
    {"prev", commands::prev},
    {"played?", commands::playedQuery},
    {"mp3?", commands::mp3Query},
    {"dir?", commands::dirQuery},
    {"refdir", commands::refdir},
    {"rep", commands::rep},
    {"xrep", commands::xrep},
    {"arnd", commands::arnd},
    {"xarnd", commands::xarnd},
    {"acon", commands::acon},
    {"xacon", commands::xacon},
    {"ran", commands::ran},
    {"pause", commands::pause},
    {"xpause", commands::xpause},
    {"vcoms", commands::vcoms},
    {"vid3", commands::vid3},
    {"vplist", commands::vplist},
    {"xid3", commands::xid3},
    {"xplist", commands::xplist},
    {"end", commands::end},
    {"fac", setStyle<Fac>},
    {"mac", setStyle<Mac>},
    {"bac", setStyle<Bac>},
    {"faf", setStyle<Faf>},
    {"maf", setStyle<Maf>},
    {"baf", setStyle<Baf>},
    {"fa", setStyle<Fa>},
    {"ma", setStyle<Ma>},
    {"ba", setStyle<Ba>},
    {"tc", setStyle<Tc>},
    {"tf", setStyle<Tf>},
    {"fac?", askStyle<Fac>},
    {"bac?", askStyle<Bac>},
    {"mac?", askStyle<Mac>},
    {"faf?", askStyle<Faf>},
    {"baf?", askStyle<Baf>},
    {"maf?", askStyle<Maf>},
    {"fa?", askStyle<Fa>},
    {"ma?", askStyle<Ma>},
    {"ba?", askStyle<Ba>},
    {"tc?", askStyle<Tc>},
    {"tf?", askStyle<Tf>},
    {"sstyle", [](Bot& bot, Arg name) { bot.savedStyles->sstyle(name); }},
    {"rstyle", [](Bot& bot, Arg piece) { bot.savedStyles->rstyle(piece); }},
    {"lstyle", [](Bot& bot, Arg piece) { bot.savedStyles->lstyle(piece); }},
    {"seek", commands::seek},
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
