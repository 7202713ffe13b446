#pragma once

#include <ribbonix/ScrollerExport.h>

#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QString>
#include <QWidget>

#include <array>
#include <vector>

class QTimer;

namespace Ribbonix {

// A band that moves one line of text in from the right edge (or the bottom edge), rests when the text
// reaches the left edge (or the top), and moves it out completely.
//
// Everything runs on the GUI thread. DoScroll returns at once; the tick of one of the 21 one-shot timers
// STimer starts the scroll, and a frame timer moves it on, one frame a tick, from the host's own event
// loop: nothing waits inside a frame, so the host's other handlers run between frames and may call
// DoScroll again. A scroll started while another runs goes first; the one it interrupted resumes where
// it stood once it has ended, as a pause or frame of its own that fell due meanwhile.
//
// Each frame is drawn into the back buffer BackB and copied onto the visible picture Draw in one block
// transfer, so the text never flickers; the widget paints the last copied frame. The text is laid out
// once per text, font and colours; a frame places that picture of it. Frames follow each other
// every 20 ms plus drawing time. An idle control runs no timers.
//
// Positions (x, y) are the top-left corner of the text line in pixels, 16-bit signed and saturating at the
// ends of that range. The line is centred vertically in the band: at y = 0 it sits in the middle.
//
// The text is drawn in the widget's font: "DejaVu Sans Mono" at 13 pixels unless the host calls setFont.
class RIBBONIX_SCROLLER_EXPORT Scroller : public QWidget {
    Q_OBJECT

public:
    // What the control is doing, for hosts and tests that want to look. The colours stay write-only.
    struct State {
        QString text;
        qint16 speed = 0;
        qint32 pause = 0;
        bool vertical = false;
        bool busy = false;
        qint16 x = 0;
        qint16 y = 0;
        int enabledTimers = 0; // STimer slots held by a scroll that is pending or running
    };

    static constexpr int TimerCount = 21;
    static constexpr qint32 FrameInterval = 20; // milliseconds from one frame to the next

    explicit Scroller(QWidget* parent = nullptr);
    ~Scroller() override;

    // Background colour of the band from the next frame on, as 0x00BBGGRR; the top byte is ignored.
    Q_INVOKABLE void BackColor(quint32 nBackCol);
    // Colour of the text from the next frame on, as 0x00BBGGRR; the top byte is ignored.
    Q_INVOKABLE void TextColor(quint32 nTxtCol);
    // Waits until a monotonic millisecond clock has advanced by Interval from now, sleeping in a nested event
    // loop that runs pending events meanwhile. Returns at once for Interval <= 0, and early when the control
    // is destroyed or the application's event loops are told to quit.
    Q_INVOKABLE void PS(qint32 Interval);
    // Starts one scroll and returns at once; ScrollDir 1 scrolls up, any other value scrolls left.
    // While a scroll runs, a call with Override false is ignored entirely. Otherwise text, speed and pause
    // are taken at once (a running scroll uses them from its next frame on) and the first free STimer slot
    // starts a new scroll on its tick; when all 21 slots are held, nothing more starts. ScrollSpeed is pixels
    // per frame; 0 or less moves 1 pixel per frame, so every scroll ends. ScrollPause is the rest in
    // milliseconds at the left (top) edge; 0 or less means no rest.
    Q_INVOKABLE void DoScroll(QString ScrollText, qint16 ScrollSpeed, qint32 ScrollPause, bool Override,
                              qint16 ScrollDir = 0);

    State state() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    enum class Stop { Rest, LeftExit, UpExit };

    // One scroll on its way; the last of m_runs is the one that moves.
    struct Run {
        int slot = 0;
        bool vertical = false;
        enum class Phase { Enter, Leave } phase = Phase::Enter;
        qint64 due = 0; // when its next step may run, on m_tick
    };

    void STimer_Timer(int Index);
    void nextFrame();
    bool step(Run& run);
    void schedule();
    void endAll();
    void drawFrame();
    bool waitFor(qint32 interval);
    void paintBackBuffer();
    void layOutText();
    void copyToDraw();
    QImage resizedBuffer(const QImage& old) const;
    int stopPosition(Stop stop);
    int lineTop() const;
    qint16 stepBack(qint16 position) const;

    QImage m_Draw;  // the visible picture: the last frame copied in
    QImage m_BackB; // where each frame is drawn
    std::array<QTimer*, TimerCount> m_STimer{};
    std::array<bool, TimerCount> m_timerEnabled{}; // held from DoScroll until the slot's scroll has ended
    QTimer* m_frameTimer = nullptr;
    std::vector<Run> m_runs;
    QElapsedTimer m_tick;
    QColor m_backColor{0, 0, 0};
    QColor m_textColor{240, 240, 240};
    QString m_text;
    qint16 m_speed = 0;
    qint32 m_pause = 0;
    bool m_vertical = false;
    bool m_busy = false;
    qint16 m_x = 0;
    qint16 m_y = 0;

    static constexpr int MaxLineWidth = 16384;
    QImage m_line; // the text as layOutText last drew it, with its margin
    int m_lineMargin = 0;
    int m_width = 0;         // the text's width as the font measures it
    qreal m_lineRatio = 0;   // the pixel ratio m_line was drawn at
    bool m_textStale = true; // text, font or colours changed since
};

} // namespace Ribbonix
