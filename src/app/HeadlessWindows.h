#pragma once

#include "bot/SideWindows.h"

#include <functional>

namespace tavu {

// The side windows of the program without windows: the window commands still answer, and there is
// nothing to show or hide; closing "the main window" (the chat command end) ends the program the
// way closing the real one does, through close.
class HeadlessWindows : public SideWindows {
public:
    explicit HeadlessWindows(std::function<void()> close) : m_close(std::move(close)) {}

    void setPlaylistVisible(bool visible) override { m_playlistVisible = visible; }
    bool playlistVisible() const override { return m_playlistVisible; }
    void setId3Visible(bool) override {}
    void showCommands() override {}
    void minimizeMain() override {}
    void showMain() override {}
    void closeMain() override
    {
        if (m_close)
            m_close();
    }

private:
    std::function<void()> m_close;
    bool m_playlistVisible = false;
};

} // namespace tavu
