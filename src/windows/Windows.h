#pragma once

#include <functional>

namespace tavu {

class Bot;
class MainWindow;

// Builds the options menu and the sound window for the main window, which owns them from then
// on, and fills its hooks: the Menu button pops up "File", the ID3 button "Open", the Sound button
// shows or hides the sound window, and the commands window opens from the menu and from the chat.
// The Help button opens the help window; the options menu's "Settings (Program)" the settings
// window, whose changed chat room reopenChatRoom puts into effect.
void installWindows(MainWindow& main, Bot& bot, std::function<void()> reopenChatRoom = {});

} // namespace tavu
