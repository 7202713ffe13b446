#pragma once

namespace tavu {

// The windows around the main window, as the commands, buttons and menus see them.
class SideWindows {
public:
    virtual ~SideWindows() = default;
    virtual void setPlaylistVisible(bool visible) = 0;
    virtual bool playlistVisible() const = 0;
    // The ID3 window; created hidden on first use.
    virtual void setId3Visible(bool visible) = 0;
    // Opens the commands window, not modal; a window already open is only raised.
    virtual void showCommands() = 0;
    virtual void minimizeMain() = 0;
    // Brings the player back in front, from the tray or minimised, with the windows that hid with
    // it, each where it was.
    virtual void showMain() = 0;
    // Closes the main window, which shuts the program down.
    virtual void closeMain() = 0;
};

} // namespace tavu
