#include "windows/PlaylistWindow.h"

#include "bot/Bot.h"
#include "bot/PlayerControls.h"
#include "queue/UpNext.h"
#include "settings/DesktopSettings.h"
#include "ui/FileDrops.h"
#include "ui/SkinButton.h"
#include "ui/WindowRoutines.h"
#include "ui/WindowSkin.h"
#include "windows/SongListModel.h"
#include "windows/UpNextList.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QShortcut>
#include <QSizeGrip>
#include <QSortFilterProxyModel>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace tavu {
namespace {
constexpr int kWidth = 320;
constexpr int kHeight = 210;
// The queue's list under the songs, and how much taller the window starts for it.
constexpr int kUpNextHeight = 90;
constexpr int kUpNextRoom = 130;
// How long a size rests before it is stored: a drag of the corner resizes many times.
constexpr int kSizeSettleMs = 400;
} // namespace

PlaylistWindow::PlaylistWindow(Bot& bot, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), m_bot(bot), m_model(new SongListModel(bot, this)),
      m_sorted(new QSortFilterProxyModel(this)), m_filtered(new QSortFilterProxyModel(this)),
      m_search(new QLineEdit(this)), m_view(new QTreeView(this)), m_sizeTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("frmPlaylist"));
    setWindowTitle(QStringLiteral("Tavu Playlist"));
    setMinimumSize(240, 140);
    const auto stored = storedPlaylistSize(m_bot.settings());
    resize(stored ? QSize(stored->width, stored->height)
                  : QSize(kWidth, kHeight + (m_bot.upNext->enabled() ? kUpNextRoom : 0)));

    QLabel* title = skinTitle(QStringLiteral("PLAYLIST"), this);
    title->setObjectName(QStringLiteral("playlistTitle"));
    auto* exit = new SkinButton(SkinButton::Icon::Close, QStringLiteral("Close Playlist"), this);
    exit->setObjectName(QStringLiteral("Exit"));
    exit->setFixedSize(18, 16);
    connect(exit, &QAbstractButton::clicked, this, [this] { playlistExitClick(m_bot); });

    m_search->setObjectName(QStringLiteral("search"));
    m_search->setPlaceholderText(QStringLiteral("Search title, artist, album or file (Ctrl+F)"));
    m_search->setClearButtonEnabled(true);
    m_search->setStyleSheet(skinFieldStyle(QStringLiteral("QLineEdit")));
    m_search->installEventFilter(this);

    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(SongListModel::SortRole);
    m_sorted->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_sorted->setSortLocaleAware(true);
    m_filtered->setSourceModel(m_sorted);
    m_filtered->setFilterRole(SongListModel::SearchRole);
    m_filtered->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_filtered->setFilterKeyColumn(0);
    m_filtered->setDynamicSortFilter(true);

    m_view->setObjectName(QStringLiteral("playlistRows"));
    m_view->setModel(m_filtered);
    m_view->setRootIsDecorated(false);
    m_view->setUniformRowHeights(true);
    m_view->setAllColumnsShowFocus(true);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setTextElideMode(Qt::ElideMiddle);
    m_view->installEventFilter(this);
    QHeaderView* header = m_view->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false); // the folder order until the owner sorts
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(24);
    QFont listFont(QStringLiteral("Tahoma"));
    listFont.setPixelSize(12);
    m_view->setFont(listFont);
    m_view->setStyleSheet(skinListStyle(QStringLiteral("QTreeView")) +
                          QStringLiteral("QHeaderView::section { background: #1b1f27; color: #c8d0dc;"
                                         " border: 0; border-right: 1px solid #3a4250; padding: 1px 4px; }"));
    const auto layColumns = [this] {
        QHeaderView* h = m_view->header();
        if (m_model->columnCount() == 1) {
            h->setSectionResizeMode(0, QHeaderView::Stretch);
            h->hide();
            return;
        }
        h->show();
        h->setSectionResizeMode(SongListModel::Title, QHeaderView::Stretch);
        h->setSectionResizeMode(SongListModel::Artist, QHeaderView::Interactive);
        h->setSectionResizeMode(SongListModel::Album, QHeaderView::Interactive);
        h->setSectionResizeMode(SongListModel::Track, QHeaderView::Fixed);
        h->setSectionResizeMode(SongListModel::Length, QHeaderView::Fixed);
        // Wide enough for the playing song's bold "10" and "10:08".
        h->resizeSection(SongListModel::Artist, 66);
        h->resizeSection(SongListModel::Album, 56);
        h->resizeSection(SongListModel::Track, 30);
        h->resizeSection(SongListModel::Length, 48);
    };
    connect(m_model, &QAbstractItemModel::modelReset, this, layColumns);
    layColumns();
    connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
        const QHeaderView* h = m_view->header();
        const Qt::SortOrder order =
            (m_ownerSorted && h->sortIndicatorSection() == column && h->sortIndicatorOrder() == Qt::AscendingOrder)
                ? Qt::DescendingOrder
                : Qt::AscendingOrder;
        sortBy(column, order);
    });

    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->addWidget(title);
    top->addStretch();
    top->addWidget(exit);
    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->addStretch();
    auto* grip = new QSizeGrip(this);
    grip->setObjectName(QStringLiteral("sizeGrip"));
    bottom->addWidget(grip, 0, Qt::AlignBottom | Qt::AlignRight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 2);
    layout->setSpacing(4);
    layout->addLayout(top);
    layout->addWidget(m_search);
    layout->addWidget(m_view, 1);
    // The queue, under the songs, when this settings file has it in use.
    if (m_bot.upNext->enabled()) {
        auto* upNext = new UpNextList(m_bot, this);
        upNext->setFont(listFont);
        upNext->setStyleSheet(skinListStyle(QStringLiteral("QListWidget")));
        upNext->setMaximumHeight(kUpNextHeight);
        layout->addWidget(upNext);
        addQueueMenu(m_bot, m_view, [this](const QModelIndex& index) { return songOf(index); });
    }
    layout->addLayout(bottom);

    connect(m_search, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_filtered->setFilterFixedString(text.trimmed());
        showSelection();
    });
    connect(m_search, &QLineEdit::returnPressed, this, [this] { playFirstMatch(); });
    auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    connect(find, &QShortcut::activated, this, [this] {
        m_search->setFocus(Qt::ShortcutFocusReason);
        m_search->selectAll();
    });

    // A click or a key that moves the current row runs the selection handler.
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        const int song = songOf(current);
        if (!m_showing && song >= 0 && song != m_bot.playlistRows.selectedIndex())
            m_bot.playlistRows.select(song);
    });
    connect(m_view, &QTreeView::doubleClicked, this, [this](const QModelIndex&) { playCurrent(); });
    m_following.follow(m_bot.playlistRows.selectionChanged, [this] { showSelection(); });
    m_following.follow(m_bot.playlistRows.itemsChanged, [this] { followSort(); });

    m_sizeTimer->setSingleShot(true);
    m_sizeTimer->setInterval(kSizeSettleMs);
    connect(m_sizeTimer, &QTimer::timeout, this, &PlaylistWindow::storeSize);

    installFileDrops(this, m_bot);
    installFileDrops(m_view->viewport(), m_bot);
    stayOnTop(this, m_bot.settings());
    installDragHandle(this, this);
}

PlaylistWindow::~PlaylistWindow()
{
    if (m_sizeTimer->isActive())
        storeSize();
    m_bot.shownOrder.clear();
}

int PlaylistWindow::songOf(const QModelIndex& viewIndex) const
{
    if (!viewIndex.isValid())
        return -1;
    return m_sorted->mapToSource(m_filtered->mapToSource(viewIndex)).row();
}

QModelIndex PlaylistWindow::rowOf(int song) const
{
    if (song < 0 || song >= m_model->rowCount())
        return {};
    return m_filtered->mapFromSource(m_sorted->mapFromSource(m_model->index(song, 0)));
}

// The program selected a song: the view follows, without running the click handler again.
void PlaylistWindow::showSelection()
{
    m_showing = true;
    const QModelIndex index = rowOf(m_bot.playlistRows.selectedIndex());
    if (!index.isValid()) {
        m_view->clearSelection();
    } else if (m_view->currentIndex().row() != index.row() ||
               !m_view->selectionModel()->isRowSelected(index.row(), QModelIndex())) {
        m_view->setCurrentIndex(index);
        m_view->scrollTo(index);
    }
    m_showing = false;
}

void PlaylistWindow::playCurrent()
{
    const int song = songOf(m_view->currentIndex());
    if (song < 0)
        return;
    if (song != m_bot.playlistRows.selectedIndex())
        m_bot.playlistRows.select(song);
    playDoubleClickedSong(m_bot);
}

void PlaylistWindow::playFirstMatch()
{
    const QModelIndex first = m_filtered->index(0, 0);
    if (!first.isValid())
        return;
    m_view->setCurrentIndex(first);
    playCurrent();
}

void PlaylistWindow::sortBy(int column, Qt::SortOrder order)
{
    m_ownerSorted = true;
    m_view->header()->setSortIndicatorShown(true);
    m_view->header()->setSortIndicator(column, order);
    m_sorted->sort(column, order);
    followSort();
    showSelection();
}

// Once the owner sorted, the songs go on in the order shown; the search does not change it.
void PlaylistWindow::followSort()
{
    if (!m_ownerSorted) {
        m_bot.shownOrder.clear();
        return;
    }
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(m_sorted->rowCount()));
    for (int r = 0; r < m_sorted->rowCount(); ++r)
        order.push_back(m_sorted->mapToSource(m_sorted->index(r, 0)).row());
    m_bot.shownOrder = std::move(order);
}

bool PlaylistWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool plain = (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
    if (watched == m_search && key->key() == Qt::Key_Escape) {
        m_search->clear();
        m_view->setFocus();
        return true;
    }
    if (watched == m_search && plain && (key->key() == Qt::Key_Down || key->key() == Qt::Key_Up)) {
        m_view->setFocus(); // down into the list, to choose among the matches
        return true;
    }
    if (watched != m_view || !plain)
        return QWidget::eventFilter(watched, event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        playCurrent();
        return true;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        return true; // the list shows the files; it never removes them
    default:
        break;
    }
    // Letters typed in the list search it.
    const QString text = key->text();
    if (!text.isEmpty() && text.at(0).isPrint() && !text.at(0).isSpace()) {
        m_search->setFocus(Qt::OtherFocusReason);
        m_search->insert(text);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void PlaylistWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (isVisible())
        m_sizeTimer->start();
}

void PlaylistWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (m_sizeTimer->isActive()) {
        m_sizeTimer->stop();
        storeSize();
    }
}

void PlaylistWindow::storeSize()
{
    const PlaylistSize size{width(), height()};
    if (storedPlaylistSize(m_bot.settings()) != size)
        storePlaylistSize(m_bot.settings(), size);
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
