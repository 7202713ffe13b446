#include "windows/MainWindow.h"

#include "bot/Bot.h"
#include "bot/Lifecycle.h"
#include "bot/PlayerControls.h"
#include "settings/DesktopSettings.h"
#include "stream/Radio.h"
#include "ui/Colours.h"
#include "ui/DisplayName.h"
#include "ui/FileDrops.h"
#include "ui/SkinButton.h"
#include "ui/WindowRoutines.h"
#include "ui/WindowSkin.h"
#include "util/ScreenPlace.h"
#include "windows/Id3Window.h"
#include "windows/PlayerKeys.h"
#include "windows/PlaylistWindow.h"
#include "windows/SeekBar.h"
#include "windows/TrayStack.h"
#include "windows/WindowColumn.h"

#include <ribbonix/ControlFactory.h>
#include <ribbonix/Scroller.h>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace tavu {
namespace {
constexpr int kWidth = 320;
constexpr int kHeight = 104;
// How long the window rests before its place counts: a drag moves it many times.
constexpr int kPlaceSettleMs = 400;

ScreenBox box(const QRect& r)
{
    return {r.x(), r.y(), r.width(), r.height()};
}

} // namespace

MainWindow::MainWindow(Bot& bot, QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_bot(bot)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Tavu Player"));
    setFixedSize(kWidth, kHeight);
    buildControls();
    observeBot();
    m_playlist = new PlaylistWindow(bot, nullptr);
    m_column = new WindowColumn(bot, *this);
    m_column->setWindow(WindowColumn::Playlist, m_playlist);
    m_stack = std::make_unique<TrayStack>(bot, *this, *m_column);
    stayOnTop(this, m_bot.settings());
    installDragHandle(this, this);
    installFileDrops(this, m_bot);
    installPlayerKeys(this, m_bot, [this] { exitClick(); });
    installPlayerKeys(
        m_playlist, m_bot, [this] { exitClick(); }, PlayerKeyLetters::WithCtrl);
    m_placeTimer = new QTimer(this);
    m_placeTimer->setSingleShot(true);
    m_placeTimer->setInterval(kPlaceSettleMs);
    connect(m_placeTimer, &QTimer::timeout, this, &MainWindow::placeSettled);
    m_column->mainMoved = [this] { m_placeTimer->start(); };
    m_column->dockedGrew = [this] { QTimer::singleShot(0, this, &MainWindow::placeSettled); };
    connect(qApp, &QGuiApplication::screenRemoved, this,
            [this] { QTimer::singleShot(0, this, &MainWindow::placeSettled); });
    m_bot.windows = this;
    m_bot.sideWindowDocking.setEnabled(true);
}

MainWindow::~MainWindow()
{
    m_bot.windows = nullptr;
    m_bot.scrollTitle = nullptr;
    m_bot.dockPlaylist = nullptr;
    m_bot.dockSideWindows = nullptr;
    m_bot.playlistDocking.setEnabled(false);
    m_bot.sideWindowDocking.setEnabled(false);
    delete m_id3;
    delete m_playlist;
}

SkinButton* MainWindow::addButton(int icon, const QString& name, const QString& toolTip, QRect geometry)
{
    auto* button = new SkinButton(static_cast<SkinButton::Icon>(icon), toolTip, this);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

void MainWindow::buildControls()
{
    using I = SkinButton::Icon;
    const auto on = [this](SkinButton* b, auto action) { connect(b, &QAbstractButton::clicked, this, action); };

    // Title row: the name, the played counter, the window buttons.
    auto* name = new QLabel(QStringLiteral("TAVU"), this);
    name->setGeometry(10, 5, 60, 16);
    name->setStyleSheet(QStringLiteral("color: %1; font-weight: 800; font-size: 13px; letter-spacing: 3px;")
                            .arg(colours::css(colours::Accent)));
    m_played = new QLabel(this);
    m_played->setObjectName(QStringLiteral("played"));
    m_played->setGeometry(72, 6, 82, 14);
    m_played->setStyleSheet(QStringLiteral("color: #6f7d8f; font-size: 10px;"));
    m_played->setToolTip(QStringLiteral("Songs played"));
    m_onAir = new QLabel(QStringLiteral("ON AIR"), this);
    m_onAir->setObjectName(QStringLiteral("onAir"));
    m_onAir->setGeometry(156, 6, 44, 14);
    m_onAir->setAlignment(Qt::AlignCenter);
    m_onAir->setStyleSheet(QStringLiteral("color: #fff; background: #c0392b; border-radius: 3px;"
                                          "font-size: 9px; font-weight: bold;"));
    m_onAir->hide();

    on(addButton(static_cast<int>(I::Menu), QStringLiteral("Menu"), QStringLiteral("Click To Open Menu"),
                 {206, 4, 20, 17}),
       [this] {
           m_bot.playSound("Menu.wav");
           if (openMenu)
               openMenu();
       });
    on(addButton(static_cast<int>(I::Id3), QStringLiteral("ID3"), QStringLiteral("ID3 Viewer (Not Available Yet)"),
                 {228, 4, 20, 17}),
       [this] {
           m_bot.playSound("Menu.wav");
           if (openId3Menu)
               openId3Menu();
       });
    on(addButton(static_cast<int>(I::Help), QStringLiteral("Help"), QStringLiteral("Brings up help section"),
                 {250, 4, 20, 17}),
       [this] {
           if (openHelp)
               openHelp();
       });
    on(addButton(static_cast<int>(I::Minimize), QStringLiteral("Min"), QStringLiteral("Minimize Tavu"),
                 {272, 4, 20, 17}),
       [this] {
           m_bot.playSound("Min.wav");
           minimizeMain();
       });
    on(addButton(static_cast<int>(I::Close), QStringLiteral("Exit"), QStringLiteral("Exit Tavu (Ctrl+Q)"),
                 {294, 4, 20, 17}),
       [this] { exitClick(); });

    // The title scroller and the clock.
    QWidget* control = Ribbonix::createControl(QString(Ribbonix::ScrollerProgId), this);
    m_scroller = qobject_cast<Ribbonix::Scroller*>(control);
    if (m_scroller) {
        m_scroller->setObjectName(QStringLiteral("Scroller1"));
        m_scroller->setGeometry(8, 27, 236, 24);
        m_scroller->BackColor(0x000000);
        m_scroller->TextColor(0x00FDBC56); // red 86, green 188, blue 253
    }
    m_pausedTitle = new QLabel(this);
    m_pausedTitle->setObjectName(QStringLiteral("pausedTitle"));
    m_pausedTitle->setGeometry(8, 27, 236, 24);
    m_pausedTitle->setStyleSheet(
        QStringLiteral("background: #000; color: %1; padding-left: 4px;").arg(colours::css(colours::Accent)));
    m_pausedTitle->hide();
    m_txtTime = new QLabel(QStringLiteral("00:00"), this);
    m_txtTime->setObjectName(QStringLiteral("txtTime"));
    m_txtTime->setGeometry(248, 27, 64, 24);
    m_txtTime->setAlignment(Qt::AlignCenter);
    m_txtTime->setStyleSheet(QStringLiteral("background: #000; color: %1; border: 1px solid %2;"
                                            "font-family: 'DejaVu Sans Mono'; font-weight: bold; font-size: 15px;")
                                 .arg(colours::css(colours::Accent), colours::css(colours::Edge)));

    auto* bar = new SeekBar(this);
    // A click or a drag on the bar moves the song there.
    bar->onSeek = [this](double fraction) { seekTo(m_bot, fraction * m_bot.media().duration()); };
    m_bar = bar;
    m_bar->setObjectName(QStringLiteral("progress"));
    m_bar->setGeometry(8, 56, 304, 6);
    m_bar->setTextVisible(false);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setStyleSheet(skinBarStyle(2));
    m_bar->setToolTip(QStringLiteral("Left, Right: 5 seconds back or on"));

    // The player buttons and the play-mode toggles.
    struct ButtonDef {
        I icon;
        const char* name;
        const char* tip;
        void (*action)(Bot&);
    };
    const ButtonDef player[] = {
        {I::Prev, "Prev", "Go to Previous Song (P)", &prevClick},
        {I::Play, "Play", "Play a selected Mp3 (Space)", &playClick},
        {I::Pause, "Pause", "Pause the Mp3 (Space)", &pauseClick},
        {I::Stop, "Stop", "Stop music (S)", &stopClick},
        {I::Next, "Next", "Skip to next song (N)", &nextClick},
    };
    int x = 8;
    for (const ButtonDef& s : player) {
        auto* b = addButton(static_cast<int>(s.icon), QString::fromLatin1(s.name), QString::fromLatin1(s.tip),
                            {x, 70, 30, 26});
        on(b, [this, action = s.action] { action(m_bot); });
        x += 32;
    }
    const ButtonDef modes[] = {
        {I::Repeat, "Rep", "Toggles Repeat On\\Off", &repeatClick},
        {I::Random, "Ran", "Toggles Auto Random On\\Off", &randomClick},
        {I::Continue, "AutoCont", "", &autoContinueClick},
    };
    x = 180;
    SkinButton** modeButtons[] = {&m_rep, &m_ran, &m_autoCont};
    for (int i = 0; i < 3; ++i) {
        auto* b = addButton(static_cast<int>(modes[i].icon), QString::fromLatin1(modes[i].name),
                            QString::fromLatin1(modes[i].tip), {x, 72, 26, 22});
        on(b, [this, action = modes[i].action] { action(m_bot); });
        *modeButtons[i] = b;
        x += 28;
    }
    on(addButton(static_cast<int>(I::Sound), QStringLiteral("Sound"), QStringLiteral("Up, Down: volume; M: mute"),
                 {284, 72, 28, 22}),
       [this] {
           m_bot.playSound("Click.wav");
           if (onSoundButton)
               onSoundButton();
       });
}

// The "on air" mark, with where to listen and how many do in its tooltip.
void MainWindow::showOnAir()
{
    const bool onAir = m_bot.radio->onAir();
    m_onAir->setVisible(onAir);
    if (!onAir)
        return;
    QString tip = QStringLiteral("On the air: %1").arg(QString::fromStdString(m_bot.radio->listenUrl()));
    if (const auto listeners = m_bot.radio->lastListenerCount())
        tip += QStringLiteral("\n%1 listening").arg(*listeners);
    m_onAir->setToolTip(tip);
}

void MainWindow::observeBot()
{
    m_following.follow(m_bot.txtTime.changed,
                       [this] { m_txtTime->setText(QString::fromStdString(m_bot.txtTime.caption())); });
    m_following.follow(m_bot.progress.changed, [this] {
        m_bar->setRange(0, std::max(0, m_bot.progress.max()));
        m_bar->setValue(std::clamp(m_bot.progress.value(), 0, std::max(0, m_bot.progress.max())));
    });
    m_following.follow(m_bot.played.changed, [this] {
        m_played->setText(QStringLiteral("\u266A %1 played").arg(QString::fromStdString(m_bot.played.caption())));
    });
    if (m_bot.radio) {
        m_following.follow(m_bot.radio->changed, [this] { showOnAir(); });
        showOnAir();
    }
    m_following.follow(m_bot.playModeChanged, [this] {
        m_rep->setLit(m_bot.playMode() == PlayMode::Repeat);
        m_ran->setLit(m_bot.playMode() == PlayMode::AutoRandom);
        m_autoCont->setLit(m_bot.playMode() == PlayMode::AutoContinue);
    });
    m_following.follow(m_bot.playStateChanged, [this] { showPlayState(); });
    m_following.follow(m_bot.muteChanged, [this] { showMute(); });
    m_bot.scrollTitle = [this](const std::string& text) {
        if (m_scroller && !m_pausedTitle->isVisible())
            m_scroller->DoScroll(displayName(text), 2, 0, false);
    };
    m_bot.dockPlaylist = [this] { dockPlaylist(); };
    m_bot.dockSideWindows = [this] { dockSideWindows(); };
}

// Paused, the title stands still with a pause sign, and the pause button stays lit.
void MainWindow::showPlayState()
{
    const bool paused = m_bot.media().playState() == MediaPlayer::Paused;
    if (auto* pause = findChild<SkinButton*>(QStringLiteral("Pause")))
        pause->setLit(paused);
    if (paused) {
        const QString text = QStringLiteral("\u275A\u275A ") + displayName(m_bot.nowPlaying().title);
        m_pausedTitle->setText(
            m_pausedTitle->fontMetrics().elidedText(text, Qt::ElideMiddle, m_pausedTitle->width() - 8));
    }
    m_pausedTitle->setVisible(paused);
    if (m_scroller)
        m_scroller->setVisible(!paused);
}

void MainWindow::showMute()
{
    if (auto* sound = findChild<SkinButton*>(QStringLiteral("Sound"))) {
        sound->setLit(m_bot.muted());
        sound->setToolTip(m_bot.muted() ? QStringLiteral("Muted (M: sound back on); Up, Down: volume")
                                        : QStringLiteral("Up, Down: volume; M: mute"));
    }
}

void MainWindow::dockPlaylist()
{
    m_column->dockPlaylist();
}

void MainWindow::dockSideWindows()
{
    m_column->dockSideWindows();
}

void MainWindow::setSoundWindow(QWidget* window)
{
    m_soundWindow = window;
    m_column->setWindow(WindowColumn::Sound, window);
}

void MainWindow::setPlaylistVisible(bool visible)
{
    if (!m_playlist)
        return;
    if (visible) {
        dockPlaylist();
        m_playlist->show();
        m_playlist->raise();
    } else {
        m_playlist->hide();
    }
}

bool MainWindow::playlistVisible() const
{
    return m_playlist && m_playlist->isVisible();
}

Id3Window* MainWindow::id3Window()
{
    if (!m_id3) {
        m_id3 = new Id3Window(m_bot, nullptr);
        m_column->setWindow(WindowColumn::Id3, m_id3);
        dockSideWindows();
    }
    return m_id3;
}

void MainWindow::setId3Visible(bool visible)
{
    Id3Window* window = id3Window();
    if (visible) {
        dockSideWindows();
        window->show();
        window->raise();
    } else {
        window->hide();
    }
}

void MainWindow::showCommands()
{
    if (openCommands)
        openCommands();
}

void MainWindow::minimizeMain()
{
    showMinimized();
}

void MainWindow::hideToTray()
{
    if (m_stack->inTray() || m_unloading)
        return;
    m_placeTimer->stop();
    m_stack->hideToTray();
}

void MainWindow::showMain()
{
    if (!m_unloading)
        m_stack->bringBack();
}

// Minimised, the player takes its side windows along; they come back with it.
void MainWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange && !m_unloading)
        m_stack->stateChanged();
    QWidget::changeEvent(event);
}

void MainWindow::placeSettled()
{
    if (m_unloading || m_stack->inTray() || !isVisible() || isMinimized())
        return;
    const QRect stack = m_column->geometry();
    const ScreenBox kept = keepOnScreens(box(stack), desktopScreens());
    if (kept.x != stack.x() || kept.y != stack.y())
        move(pos() + QPoint(kept.x - stack.x(), kept.y - stack.y()));
    const WindowPlace place{x(), y()};
    if (storedMainPlace(m_bot.settings()) != place)
        storeMainPlace(m_bot.settings(), place);
}

bool MainWindow::restorePlace()
{
    const auto place = storedMainPlace(m_bot.settings());
    if (!place)
        return false;
    const ScreenBox kept = keepOnScreens({place->left, place->top, width(), height()}, desktopScreens());
    move(kept.x, kept.y);
    return true;
}

void MainWindow::exitClick()
{
    m_bot.playSound("Click.wav");
    closeMain();
}

void MainWindow::closeMain()
{
    close();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Shutdown announces itself and glides away before the program ends; it cannot be cancelled.
    event->ignore();
    if (m_unloading)
        return;
    if (m_placeTimer->isActive()) { // the last move counts; the closing glide does not
        m_placeTimer->stop();
        placeSettled();
    }
    m_unloading = true;
    m_column->holdStill();
    QTimer::singleShot(0, this, [this] { unload(); });
}

OpenSideWindows MainWindow::openSideWindows() const
{
    return {m_stack->open(m_playlist), m_stack->open(m_id3), m_stack->open(m_soundWindow)};
}

void MainWindow::reopenSideWindows(const OpenSideWindows& open)
{
    setPlaylistVisible(open.playlist);
    if (open.id3)
        setId3Visible(true);
    if (open.sound && m_soundWindow && !m_soundWindow->isVisible() && onSoundButton)
        onSoundButton();
}

void MainWindow::unload()
{
    if (resumeSession(m_bot.settings()))
        storeOpenWindows(m_bot.settings(), openSideWindows());
    m_bot.startTask(endSession(m_bot, [this] {
        if (m_playlist)
            m_playlist->hide();
        if (m_id3)
            m_id3->hide();
        if (m_soundWindow)
            m_soundWindow->hide();
        glideToCorner(this, 102);
    }));
}

void MainWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(44, 50, 61));
    g.setColorAt(0.45, QColor(27, 31, 39));
    g.setColorAt(1, QColor(15, 17, 22));
    p.fillRect(rect(), g);
    p.setPen(QColor(80, 92, 110));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(QColor(255, 255, 255, 20));
    p.drawLine(1, 1, width() - 2, 1);
    p.setPen(QColor(10, 12, 15));
    p.drawLine(8, 66, width() - 9, 66);
}

} // namespace tavu
