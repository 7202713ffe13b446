#include "player/PlaylistWindow.h"

#include "bot/Bot.h"
#include "bot/PlayerControls.h"
#include "player/SongListModel.h"
#include "queue/UpNext.h"
#include "queue/UpNextList.h"
#include "ui/SkinButton.h"
#include "ui/WindowRoutines.h"
#include "ui/WindowSkin.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QVBoxLayout>

namespace tavu {

PlaylistWindow::PlaylistWindow(Bot& bot, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), m_bot(bot), m_model(new SongListModel(bot.lstmp3, this)),
      m_view(new QListView(this))
{
    setObjectName(QStringLiteral("frmPlaylist"));
    setWindowTitle(QStringLiteral("Tavu Playlist"));
    resize(320, 210);

    QLabel* title = skinTitle(QStringLiteral("PLAYLIST"), this);
    title->setObjectName(QStringLiteral("playlistTitle"));
    auto* exit = new SkinButton(SkinButton::Icon::Close, QStringLiteral("Close Playlist"), this);
    exit->setObjectName(QStringLiteral("Exit"));
    exit->setFixedSize(18, 16);
    connect(exit, &QAbstractButton::clicked, this, [this] { playlistExit_Click(m_bot); });

    m_view->setObjectName(QStringLiteral("lstmp3"));
    m_view->setModel(m_model);
    m_view->setUniformItemSizes(true);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    QFont listFont(QStringLiteral("Tahoma"));
    listFont.setPixelSize(12);
    m_view->setFont(listFont);
    m_view->setStyleSheet(skinListStyle(QStringLiteral("QListView")));

    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->addWidget(title);
    header->addStretch();
    header->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setSpacing(4);
    layout->addLayout(header);
    layout->addWidget(m_view, 1);
    // The queue, under the songs, when this settings file has it in use.
    if (m_bot.upNext->enabled()) {
        auto* upNext = new UpNextList(m_bot, this);
        upNext->setFont(listFont);
        upNext->setStyleSheet(skinListStyle(QStringLiteral("QListWidget")));
        upNext->setMaximumHeight(90);
        layout->addWidget(upNext);
        addQueueMenu(m_bot, m_view);
    }

    // A click or a key that moves the selection runs the selection handler.
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (!m_showing && current.isValid() && current.row() != m_bot.lstmp3.selectedIndex())
            m_bot.lstmp3.select(current.row());
    });
    connect(m_view, &QListView::doubleClicked, this, [this](const QModelIndex&) { lstmp3_DblClick(m_bot); });
    m_following = m_bot.lstmp3.selectionChanged.subscribe([this] { showSelection(); });

    StayOnTop(this, m_bot.settings());
    installDragHandle(this, this);
}

PlaylistWindow::~PlaylistWindow() = default;

// The program selected a song: the view follows, without running the click handler again.
void PlaylistWindow::showSelection()
{
    m_showing = true;
    const int row = m_bot.lstmp3.selectedIndex();
    if (row < 0) {
        m_view->clearSelection();
    } else {
        const QModelIndex index = m_model->index(row);
        m_view->setCurrentIndex(index);
        m_view->scrollTo(index);
    }
    m_showing = false;
}

void PlaylistWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(34, 39, 48));
    g.setColorAt(1, QColor(18, 21, 27));
    p.fillRect(rect(), g);
    p.setPen(QColor(58, 66, 80));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace tavu
