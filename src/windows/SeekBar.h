#pragma once

#include <QProgressBar>

#include <functional>

namespace tavu {

// The main window's progress bar, which also seeks: a click, or a drag with the left button,
// asks for the place under the mouse, from 0 (the left end) to 1 (the right end). The press does
// not reach the window, so it does not drag the window.
class SeekBar : public QProgressBar {
public:
    explicit SeekBar(QWidget* parent = nullptr);

    // The place asked for; a drag asks again whenever the place moves by a pixel or more.
    std::function<void(double fraction)> onSeek;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void seekAt(int x);

    bool m_dragging = false;
    int m_lastX = -1;
};

} // namespace tavu
