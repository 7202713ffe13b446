#include "windows/WindowColumn.h"

#include "bot/Bot.h"

#include <QEvent>

#include <algorithm>

namespace tavu {

WindowColumn::WindowColumn(Bot& bot, QWidget& main) : QObject(&main), m_bot(bot), m_main(main)
{
    main.installEventFilter(this);
}

void WindowColumn::setWindow(Docked place, QWidget* window)
{
    m_docked[place] = window;
    if (window && window != &m_main)
        window->installEventFilter(this);
}

void WindowColumn::dockPlaylist()
{
    if (QWidget* playlist = m_docked[Playlist])
        playlist->move(m_main.x(), m_main.y() + m_main.height());
}

void WindowColumn::dockSideWindows()
{
    QWidget* playlist = m_docked[Playlist];
    const QWidget* above = (playlist && playlist->isVisible()) ? playlist : &m_main;
    QWidget* sound = m_docked[Sound];
    if (sound)
        sound->move(above->x(), above->y() + above->height());
    if (QWidget* id3 = m_docked[Id3]) {
        const QWidget* over = (sound && sound->isVisible()) ? sound : above;
        id3->move(over->x(), over->y() + over->height());
    }
}

QRect WindowColumn::geometry() const
{
    QRect column = m_main.frameGeometry();
    const auto under = [&column](const QWidget* window) {
        if (window && window->isVisible())
            column.setSize({std::max(column.width(), window->frameGeometry().width()),
                            column.height() + window->frameGeometry().height()});
    };
    const QWidget* playlist = m_docked[Playlist];
    if (playlist && playlist->isVisible() && !m_bot.playlistDocking.enabled())
        return column; // the side windows hang under the playlist, wherever that is
    for (const QWidget* window : windows())
        under(window);
    return column;
}

// Docked windows follow when the main window or one of them moves (the user drags a docked one
// back into place that way), shows, hides or changes size.
bool WindowColumn::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_still) {
        if (watched == &m_main && event->type() == QEvent::Move && mainMoved)
            mainMoved();
        if (watched != &m_main && (event->type() == QEvent::Show || event->type() == QEvent::Resize) && dockedGrew)
            dockedGrew();
    }
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        if (!m_telling) {
            m_telling = true;
            m_bot.windowsMoved();
            m_telling = false;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tavu
