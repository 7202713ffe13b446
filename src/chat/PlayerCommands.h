#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavu {

class Bot;

// A whole argument read as a decimal number (blanks around it allowed, a fraction allowed);
// nothing when it is not one.
std::optional<double> parseDecimal(std::string_view text);

// The player, library, play-mode and window commands of the command table.
namespace commands {
using Arg = const std::string&;
void dir(Bot& bot, Arg path);
void stop(Bot& bot, Arg);
void vol(Bot& bot, Arg level);
void volQuery(Bot& bot, Arg);
void mute(Bot& bot, Arg);
void xmute(Bot& bot, Arg);
void lenQuery(Bot& bot, Arg);
void next(Bot& bot, Arg);
void prev(Bot& bot, Arg);
void playedQuery(Bot& bot, Arg);
void mp3Query(Bot& bot, Arg);
void dirQuery(Bot& bot, Arg);
void refdir(Bot& bot, Arg);
void rep(Bot& bot, Arg);
void xrep(Bot& bot, Arg);
void arnd(Bot& bot, Arg);
void xarnd(Bot& bot, Arg);
void acon(Bot& bot, Arg);
void xacon(Bot& bot, Arg);
void ran(Bot& bot, Arg);
void pause(Bot& bot, Arg);
void xpause(Bot& bot, Arg);
void vcoms(Bot& bot, Arg);
void vid3(Bot& bot, Arg);
void vplist(Bot& bot, Arg);
void xid3(Bot& bot, Arg);
void xplist(Bot& bot, Arg);
void end(Bot& bot, Arg);
} // namespace commands

} // namespace tavu
