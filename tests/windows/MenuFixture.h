#pragma once

#include "support/SimRuntimeFixture.h"
#include "windows/MainWindow.h"
#include "windows/OptionsMenu.h"

#include <QApplication>
#include <QMenu>

#include <filesystem>
#include <string>
#include <vector>

namespace tavu::test {

// A bot with its main window and the options menu, on the simulated clock. The update page is a
// loopback port nobody listens on, so that nothing here ever reaches out.
class MenuFixture : public BotFixture {
protected:
    MenuFixture() : main(*bot), menu(*bot, main)
    {
        bot->settings().write(keys::UpdatePageUrl, "http://127.0.0.1:9/update.html");
    }

    QAction* entry(const char* name) const { return menu.findChild<QAction*>(QString::fromLatin1(name)); }

    // Chooses a menu entry as a click on it does, and lets windows closed meanwhile go.
    void choose(const char* name)
    {
        entry(name)->trigger();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The file names of the interface sounds played so far, then forgets them.
    std::vector<std::string> takeSounds()
    {
        std::vector<std::string> names;
        for (const std::string& path : sound.played)
            names.push_back(std::filesystem::path(path).filename().string());
        sound.played.clear();
        return names;
    }

    MainWindow main;
    OptionsMenu menu;
};

} // namespace tavu::test
