#pragma once

#include <functional>

class QWidget;

namespace tavu {

class Bot;

// The player's keys on one of its windows (the main window, the playlist): Space plays or pauses,
// Left and Right seek 5 seconds, Up and Down change the volume by 5, N next, P previous, S stop,
// M mute or un-mute, Ctrl+Q exit (the exit button's shutdown). Each does what its button does.
// On a window where letters are typed (the playlist searches what is typed), the letter keys
// need Ctrl: Ctrl+N, Ctrl+P, Ctrl+S, Ctrl+M.
enum class PlayerKeyLetters { Plain, WithCtrl };
void installPlayerKeys(QWidget* window, Bot& bot, std::function<void()> exit,
                       PlayerKeyLetters letters = PlayerKeyLetters::Plain);

} // namespace tavu
