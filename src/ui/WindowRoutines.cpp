#include "ui/WindowRoutines.h"

#include "settings/DesktopSettings.h"
#include "util/GlidePath.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <thread>

namespace tavu {

namespace {

// Drags a window by one of its widgets; owned by that widget. The drag starts once the mouse has
// moved a little with the button held, so that a click is only a click: a window manager asked to
// move the window on the press alone may get the request after a quick click has ended, and then
// takes the keyboard for a move by keys until Escape.
class DragHandle : public QObject {
public:
    DragHandle(QWidget* handle, QWidget* window) : QObject(handle), m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            return press(static_cast<QMouseEvent*>(event));
        case QEvent::MouseMove:
            return move(static_cast<QMouseEvent*>(event));
        case QEvent::MouseButtonRelease:
            return release();
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    enum class State { Idle, Pressed, Moving };

    bool press(QMouseEvent* event)
    {
        m_pressedAt = event->globalPosition().toPoint();
        m_grab = m_pressedAt - m_window->frameGeometry().topLeft();
        m_state = State::Pressed;
        return true;
    }

    bool move(QMouseEvent* event)
    {
        const QPoint at = event->globalPosition().toPoint();
        if (m_state == State::Pressed) {
            if (!(event->buttons() & Qt::LeftButton)) {
                m_state = State::Idle;
                return false;
            }
            if ((at - m_pressedAt).manhattanLength() < QApplication::startDragDistance())
                return true;
            if (DragWindow(m_window)) { // the window system moves it from here
                m_state = State::Idle;
                return true;
            }
            m_state = State::Moving;
        }
        if (m_state != State::Moving)
            return false;
        m_window->move(at - m_grab);
        return true;
    }

    bool release()
    {
        const bool wasPressed = m_state != State::Idle;
        m_state = State::Idle;
        return wasPressed;
    }

    QWidget* m_window;
    QPoint m_pressedAt;
    QPoint m_grab;
    State m_state = State::Idle;
};

// The window's controls, each with whether it was hidden before the glide.
std::vector<std::pair<QWidget*, bool>> hideControls(QWidget* window)
{
    std::vector<std::pair<QWidget*, bool>> controls;
    for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow())
            continue;
        controls.emplace_back(child, child->isHidden());
        child->hide();
    }
    return controls;
}

void glideMoves(QWidget* window, int steps, std::chrono::milliseconds pause)
{
    const QScreen* screen = window->screen();
    if (!screen)
        return;
    const QRect frame = window->frameGeometry();
    const QRect area = screen->geometry();
    const GlidePoint corner{area.x() + area.width() - frame.width(), area.y() + area.height() - frame.height()};
    const std::vector<GlidePoint> path = glidePath({frame.x(), frame.y()}, corner, steps);
    for (std::size_t i = 0; i < path.size(); ++i) {
        window->move(path[i].x, path[i].y);
        if (i + 1 < path.size() && pause.count() > 0) {
            // Hands the move to the window system without running any event of the program.
            QGuiApplication::sync();
            std::this_thread::sleep_for(pause);
        }
    }
}

} // namespace

std::vector<ScreenBox> desktopScreens()
{
    std::vector<ScreenBox> boxes;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect r = screen->availableGeometry();
        boxes.push_back({r.x(), r.y(), r.width(), r.height()});
    }
    return boxes;
}

void keepWhole(QWidget* window)
{
    const QRect frame = window->frameGeometry();
    const ScreenBox kept = keepOnScreens({frame.x(), frame.y(), frame.width(), frame.height()}, desktopScreens());
    if (kept.x != frame.x() || kept.y != frame.y())
        window->move(window->pos() + QPoint(kept.x - frame.x(), kept.y - frame.y()));
}

void stayOnTop(QWidget* window)
{
    if (!window || window->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        return;
    // Changing the flags of a shown window hides it; it comes back where it was.
    const bool shown = window->isVisible();
    const QPoint at = window->pos();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (shown) {
        window->move(at);
        window->show();
    }
}

void stayOnTop(QWidget* window, const Settings& settings)
{
    if (windowsOnTop(settings))
        stayOnTop(window);
}

bool DragWindow(QWidget* window)
{
    QWindow* handle = window ? window->windowHandle() : nullptr;
    return handle && handle->startSystemMove();
}

void installDragHandle(QWidget* handle, QWidget* window)
{
    handle->installEventFilter(new DragHandle(handle, window));
}

void glideToCorner(QWidget* window, int steps, std::chrono::milliseconds pause)
{
    if (!window)
        return;
    const QPalette palette = window->palette();
    const bool autoFill = window->autoFillBackground();
    const QString styleSheet = window->styleSheet();

    QPalette black = palette;
    black.setColor(QPalette::Window, Qt::black);
    window->setPalette(black);
    window->setAutoFillBackground(true);
    // A style sheet background would win over the palette.
    if (!styleSheet.isEmpty())
        window->setStyleSheet(styleSheet + QStringLiteral("\n* { background-color: black; }"));

    const auto controls = hideControls(window);
    window->show();
    glideMoves(window, steps, pause);

    if (!styleSheet.isEmpty())
        window->setStyleSheet(styleSheet);
    window->setPalette(palette);
    window->setAutoFillBackground(autoFill);
    for (const auto& [control, wasHidden] : controls)
        control->setVisible(!wasHidden);
}

} // namespace tavu
