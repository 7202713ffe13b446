#include "windows/IntroWindow.h"

#include "bot/Bot.h"
#include "ui/WindowRoutines.h"
#include "ui/WindowSkin.h"
#include "windows/IntroPicture.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>

#include <cmath>
#include <cstdint>
#include <random>

namespace tavu {

namespace {
constexpr int kWidth = 420;
constexpr int kHeight = 260;
constexpr int kFillStep = 20;
constexpr int kFull = 100;
// The fill and the watch only need to react within a frame or so.
constexpr int kFillTickMs = 16;
constexpr int kWatchTickMs = 40;
// The shake: each step moves the window by up to 3 px on both axes, away and back in turn, and
// is shown for a moment, so that the tremble can be seen.
constexpr int kShakeSteps = 120;
constexpr double kShakeReach = 3.0;
constexpr int kShakeFrameMs = 5;
// The slide: steps of 20 px, events running between them.
constexpr int kSlideStep = 20;
constexpr int kSlideFrameMs = 8;
} // namespace

IntroWindow::IntroWindow(Bot& bot, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_bot(bot), progress(new QProgressBar(this)),
      titleTimer(bot.runtime(), kFillTickMs, [this] { return scrollTitleTick(); }),
      clockTimer(bot.runtime(), kWatchTickMs, [this] { return clockTick(); })
{
    setObjectName(QStringLiteral("frmIntro"));
    setWindowTitle(QStringLiteral("Tavu Intro"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kWidth, kHeight);
    setFocusPolicy(Qt::StrongFocus);

    progress->setObjectName(QStringLiteral("progress"));
    progress->setGeometry(24, kHeight - 31, kWidth - 48, 8);
    progress->setRange(0, kFull);
    progress->setValue(0);
    progress->setTextVisible(false);
    progress->setStyleSheet(skinBarStyle(3));

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    stayOnTop(this, m_bot.settings());
    clockTimer.setEnabled(true);
}

int IntroWindow::barValue() const
{
    return progress->value();
}

// A second double-click while the bar fills changes nothing: the timer is on already.
void IntroWindow::mouseDoubleClickEvent(QMouseEvent*)
{
    titleTimer.setEnabled(true);
}

// Enter and Space do what the double-click does.
void IntroWindow::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (!event->isAutoRepeat())
            titleTimer.setEnabled(true);
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

// The keys reach the intro only when it has the focus.
void IntroWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    activateWindow();
    setFocus(Qt::ActiveWindowFocusReason);
}

// A tick of either timer that still waits when the intro goes is dropped with its timer.
Task<> IntroWindow::scrollTitleTick()
{
    while (progress->value() < kFull) {
        progress->setValue(progress->value() + kFillStep);
        co_await secondsPass(m_bot.runtime(), 1);
    }
    titleTimer.setEnabled(false);
}

// Runs once: the intro may already be gone while the fill's last wait is still running.
Task<> IntroWindow::clockTick()
{
    if (m_finished || progress->value() != kFull)
        co_return;
    m_finished = true;
    titleTimer.setEnabled(false);
    clockTimer.setEnabled(false);
    co_await shake();
    m_bot.playSound("Intro.wav");
    co_await slideAway();
    auto done = std::move(onDone);
    close();
    if (done)
        done();
}

Task<> IntroWindow::shake()
{
    std::mt19937_64 generator(static_cast<std::uint64_t>(m_bot.runtime().timeOfDay() * 1000.0));
    std::uniform_real_distribution<double> reach(0.0, kShakeReach);
    double left = x();
    double top = y();
    for (int step = 0; step < kShakeSteps; ++step) {
        const double sign = step % 2 == 0 ? 1.0 : -1.0;
        top += sign * reach(generator);
        left += sign * reach(generator);
        move(static_cast<int>(std::lround(left)), static_cast<int>(std::lround(top)));
        co_await after(m_bot.runtime(), kShakeFrameMs);
    }
}

// The window's own position is not trusted to end the slide: a window manager may keep windows
// on the screen.
Task<> IntroWindow::slideAway()
{
    const QScreen* screen = this->screen();
    const int screenRight = screen ? screen->geometry().x() + screen->geometry().width() : 0;
    int left = x();
    do {
        co_await after(m_bot.runtime(), kSlideFrameMs);
        left += kSlideStep;
        move(left, y());
    } while (left <= screenRight);
}

void IntroWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    paintIntroPicture(p, rect());
}

} // namespace tavu
