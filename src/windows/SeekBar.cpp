#include "windows/SeekBar.h"

#include <QMouseEvent>

#include <algorithm>

namespace tavu {

SeekBar::SeekBar(QWidget* parent) : QProgressBar(parent)
{
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Click or drag to seek"));
}

void SeekBar::seekAt(int x)
{
    if (x == m_lastX)
        return;
    m_lastX = x;
    if (onSeek && width() > 1)
        onSeek(std::clamp(static_cast<double>(x) / (width() - 1), 0.0, 1.0));
}

void SeekBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QProgressBar::mousePressEvent(event);
    event->accept();
    m_dragging = true;
    m_lastX = -1;
    seekAt(event->position().toPoint().x());
}

void SeekBar::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return QProgressBar::mouseMoveEvent(event);
    event->accept();
    seekAt(event->position().toPoint().x());
}

void SeekBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return QProgressBar::mouseReleaseEvent(event);
    event->accept();
    m_dragging = false;
}

} // namespace tavu
