#include "ui/WindowRoutines.h"

#include "settings/DesktopSettings.h"
#include "util/GlidePath.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <thread>

namespace tavu {

namespace {

// Drags a window by one of its widgets; owned by that widget.
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
    bool press(QMouseEvent* event)
    {
        if (DragWindow(m_window))
            return true;
        m_grab = event->globalPosition().toPoint() - m_window->frameGeometry().topLeft();
        m_dragging = true;
        return true;
    }

    bool move(QMouseEvent* event)
    {
        if (!m_dragging)
            return false;
        m_window->move(event->globalPosition().toPoint() - m_grab);
        return true;
    }

    bool release()
    {
        const bool wasDragging = m_dragging;
        m_dragging = false;
        return wasDragging;
    }

    QWidget* m_window;
    QPoint m_grab;
    bool m_dragging = false;
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

void StayOnTop(QWidget* window)
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

void StayOnTop(QWidget* window, const Settings& settings)
{
    if (windowsOnTop(settings))
        StayOnTop(window);
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

void GlideToCorner(QWidget* window, int steps, std::chrono::milliseconds pause)
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
