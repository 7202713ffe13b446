#include "windows/TrayStack.h"

#include "bot/Bot.h"
#include "windows/WindowColumn.h"

#include <algorithm>

namespace tavu {

void TrayStack::hideToTray()
{
    if (m_inTray)
        return;
    m_inTray = true;
    m_trayAt = m_main.pos();
    hideDocked();
    m_main.hide();
}

void TrayStack::bringBack()
{
    if (m_inTray) {
        m_inTray = false;
        m_main.move(m_trayAt);
    }
    if (m_main.isMinimized())
        m_main.showNormal();
    else
        m_main.show();
    showDocked();
    m_main.raise();
    m_main.activateWindow();
}

void TrayStack::stateChanged()
{
    if (m_main.isMinimized())
        hideDocked();
    else if (!m_inTray)
        showDocked();
}

bool TrayStack::open(const QWidget* window) const
{
    if (!window)
        return false;
    return window->isVisible() || std::any_of(m_hidden.begin(), m_hidden.end(),
                                              [window](const Hidden& hidden) { return hidden.window == window; });
}

void TrayStack::hideDocked()
{
    if (!m_hidden.empty())
        return;
    for (QWidget* window : m_column.windows())
        if (window && window->isVisible())
            m_hidden.push_back({window, window->pos()});
    for (auto it = m_hidden.rbegin(); it != m_hidden.rend(); ++it)
        it->window->hide();
}

void TrayStack::showDocked()
{
    const std::vector<Hidden> hidden = std::move(m_hidden);
    m_hidden.clear();
    for (const Hidden& h : hidden) {
        if (!h.window)
            continue;
        h.window->move(h.at);
        h.window->show();
    }
    m_bot.windowsMoved();
}

} // namespace tavu
