#include "windows/Windows.h"

#include "windows/MainWindow.h"
#include "windows/OptionsMenu.h"
#include "windows/SoundWindow.h"

namespace tavu {

void installWindows(MainWindow& main, Bot& bot, std::function<void()> reopenChatRoom)
{
    auto* options = new OptionsMenu(bot, main, &main);
    options->reopenChatRoom = std::move(reopenChatRoom);
    auto* sound = new SoundWindow(bot, *options->Sounds(), &main);
    main.setSoundWindow(sound);
    main.openMenu = [options] { OptionsMenu::popUp(options->File()); };
    main.openId3Menu = [options] { OptionsMenu::popUp(options->open()); };
    main.openCommands = [options] { options->showCommands(); };
    main.openHelp = [options] { options->showHelp(); };
    main.onSoundButton = [sound] { sound->toggle(); };
}

} // namespace tavu
