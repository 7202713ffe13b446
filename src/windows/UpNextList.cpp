#include "windows/UpNextList.h"

#include "bot/Bot.h"
#include "bot/MusicLibrary.h"
#include "queue/UpNext.h"

#include <QAbstractItemView>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>

namespace tavu {

UpNextList::UpNextList(Bot& bot, QWidget* parent) : QListWidget(parent), m_bot(bot)
{
    setObjectName(QStringLiteral("upNext"));
    setToolTip(QStringLiteral("Up next: drag to reorder, Delete removes, Enter plays"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { playRow(row(item)); });
    m_following = m_bot.upNext->queue.changed.subscribe([this] { rebuild(); });
    rebuild();
}

void UpNextList::rebuild()
{
    const int current = currentRow();
    clear();
    for (const QueuedSong& q : m_bot.upNext->queue.songs()) {
        QString text = QString::fromStdString(songTitle(m_bot, q.song));
        if (!q.nick.empty())
            text += QStringLiteral(" [%1]").arg(QString::fromStdString(q.nick));
        addItem(text);
    }
    if (current >= 0 && current < count())
        setCurrentRow(current);
}

void UpNextList::playRow(int row)
{
    if (row >= 0)
        m_bot.upNext->play(static_cast<std::size_t>(row));
}

void UpNextList::keyPressEvent(QKeyEvent* event)
{
    const int row = currentRow();
    if (event->key() == Qt::Key_Delete && row >= 0) {
        m_bot.upNext->queue.remove(static_cast<std::size_t>(row), static_cast<std::size_t>(row));
        setCurrentRow(std::min(row, count() - 1));
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && row >= 0)
        return playRow(row);
    QListWidget::keyPressEvent(event);
}

void UpNextList::dropEvent(QDropEvent* event)
{
    // The queue moves the song; the list follows the queue, so Qt's own move is not done.
    const int from = currentRow();
    const QModelIndex target = indexAt(event->position().toPoint());
    int to = target.isValid() ? target.row() : count() - 1;
    if (target.isValid() && dropIndicatorPosition() == QAbstractItemView::BelowItem && to < from)
        ++to;
    else if (target.isValid() && dropIndicatorPosition() == QAbstractItemView::AboveItem && to > from)
        --to;
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    if (from < 0 || to < 0 || from == to)
        return;
    m_bot.upNext->queue.move(static_cast<std::size_t>(from), static_cast<std::size_t>(to));
    setCurrentRow(to);
}

void addQueueMenu(Bot& bot, QAbstractItemView* songs, std::function<int(const QModelIndex&)> songOf)
{
    songs->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(songs, &QWidget::customContextMenuRequested, songs, [&bot, songs, songOf](const QPoint& at) {
        const int row = songOf(songs->indexAt(at));
        if (row < 0 || row >= static_cast<int>(bot.songList.count()))
            return;
        const std::string song = bot.songList.item(static_cast<std::size_t>(row));
        QMenu menu(songs);
        const QAction* first = menu.addAction(QStringLiteral("Play next"));
        const QAction* last = menu.addAction(QStringLiteral("Add to queue"));
        const QAction* chosen = menu.exec(songs->viewport()->mapToGlobal(at));
        if (chosen != first && chosen != last)
            return;
        UpNext& upNext = *bot.upNext;
        if (chosen == first)
            upNext.queue.addFirst({song, {}, {}});
        else
            upNext.queue.add({song, {}, {}});
        if (upNext.idle())
            upNext.playOnly(chosen == first ? 0 : upNext.queue.size() - 1);
    });
}

} // namespace tavu
