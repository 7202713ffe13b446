#include <ribbonix/Scroller.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFontMetrics>
#include <QPainter>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <limits>

namespace Ribbonix {

namespace {

constexpr int PositionMin = std::numeric_limits<qint16>::min();
constexpr int PositionMax = std::numeric_limits<qint16>::max();

QColor fromBgr(quint32 colour)
{
    return QColor(int(colour & 0xFFu), int((colour >> 8) & 0xFFu), int((colour >> 16) & 0xFFu));
}

qint16 toPosition(int pixels)
{
    return static_cast<qint16>(std::clamp(pixels, PositionMin, PositionMax));
}

QFont bandFont()
{
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(13);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    return font;
}

} // namespace

Scroller::Scroller(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent); // every paint covers the whole band
    setFont(bandFont());
    for (int i = 0; i < TimerCount; ++i) {
        auto* timer = new QTimer(this);
        timer->setSingleShot(true);
        timer->setInterval(1);
        connect(timer, &QTimer::timeout, this, [this, i] { STimer_Timer(i); });
        m_STimer[std::size_t(i)] = timer;
    }
    m_frameTimer = new QTimer(this);
    m_frameTimer->setSingleShot(true);
    m_frameTimer->setTimerType(Qt::PreciseTimer);
    connect(m_frameTimer, &QTimer::timeout, this, &Scroller::nextFrame);
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &Scroller::endAll);
    m_Draw = resizedBuffer(QImage());
    m_BackB = resizedBuffer(QImage());
    m_tick.start();
}

Scroller::~Scroller() = default;

void Scroller::BackColor(quint32 nBackCol)
{
    m_backColor = fromBgr(nBackCol);
    m_textStale = true;
}

void Scroller::TextColor(quint32 nTxtCol)
{
    m_textColor = fromBgr(nTxtCol);
    m_textStale = true;
}

void Scroller::PS(qint32 Interval)
{
    waitFor(Interval);
}

void Scroller::DoScroll(QString ScrollText, qint16 ScrollSpeed, qint32 ScrollPause, bool Override, qint16 ScrollDir)
{
    if (m_busy && !Override)
        return;
    m_vertical = ScrollDir == 1;
    m_text = std::move(ScrollText);
    m_textStale = true;
    m_speed = ScrollSpeed;
    m_pause = ScrollPause;
    const auto free = std::find(m_timerEnabled.begin(), m_timerEnabled.end(), false);
    if (free == m_timerEnabled.end())
        return;
    *free = true;
    m_STimer[std::size_t(free - m_timerEnabled.begin())]->start();
}

Scroller::State Scroller::state() const
{
    const int enabled = int(std::count(m_timerEnabled.begin(), m_timerEnabled.end(), true));
    return State{m_text, m_speed, m_pause, m_vertical, m_busy, m_x, m_y, enabled};
}

QSize Scroller::sizeHint() const
{
    return QSize(200, fontMetrics().height() + 4);
}

void Scroller::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_Draw);
}

void Scroller::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        m_textStale = true;
    QWidget::changeEvent(event);
}

void Scroller::resizeEvent(QResizeEvent*)
{
    m_Draw = resizedBuffer(m_Draw);
    m_BackB = resizedBuffer(m_BackB);
}

// The slot stays held until its scroll has ended, so no later DoScroll can start a second scroll on it.
void Scroller::STimer_Timer(int Index)
{
    Run run;
    run.slot = Index;
    run.vertical = m_vertical;
    m_x = run.vertical ? 1 : toPosition(width());
    m_y = run.vertical ? toPosition(height()) : 0;
    m_busy = true;
    m_runs.push_back(run);
    if (!step(m_runs.back()))
        m_runs.pop_back();
    schedule();
}

void Scroller::nextFrame()
{
    if (m_runs.empty())
        return;
    if (m_runs.back().due <= m_tick.elapsed() && !step(m_runs.back()))
        m_runs.pop_back();
    schedule();
}

// Runs a scroll on until it has to wait: a frame moves the text one step and waits FrameInterval from
// when it was drawn; at the rest position it waits the pause, taken as it begins; once the text has
// left, the band is drawn empty and the scroll ends. False when it has ended.
bool Scroller::step(Run& run)
{
    qint16& position = run.vertical ? m_y : m_x;
    const Stop exit = run.vertical ? Stop::UpExit : Stop::LeftExit;
    if (run.phase == Run::Phase::Enter) {
        if (position > stopPosition(Stop::Rest)) {
            drawFrame();
            position = stepBack(position);
            run.due = m_tick.elapsed() + FrameInterval;
            return true;
        }
        run.phase = Run::Phase::Leave;
        if (m_pause > 0) {
            run.due = m_tick.elapsed() + m_pause;
            return true;
        }
    }
    if (position > stopPosition(exit)) {
        drawFrame();
        position = stepBack(position);
        run.due = m_tick.elapsed() + FrameInterval;
        return true;
    }
    drawFrame(); // the text has gone: show the empty band, not the last few pixels of it
    m_busy = false;
    m_timerEnabled[std::size_t(run.slot)] = false;
    return false;
}

void Scroller::schedule()
{
    if (m_runs.empty()) {
        m_frameTimer->stop();
        return;
    }
    const qint64 left = m_runs.back().due - m_tick.elapsed();
    m_frameTimer->start(static_cast<int>(std::clamp<qint64>(left, 0, std::numeric_limits<int>::max())));
}

// The application is ending: the scrolls on their way end where they stand.
void Scroller::endAll()
{
    if (m_runs.empty())
        return;
    for (const Run& run : m_runs)
        m_timerEnabled[std::size_t(run.slot)] = false;
    m_runs.clear();
    m_busy = false;
    m_frameTimer->stop();
}

void Scroller::drawFrame()
{
    paintBackBuffer();
    copyToDraw();
}

// For PS only: the scrolls never wait this way. False when the wait ended early: the control was
// destroyed or the event loops were told to quit.
bool Scroller::waitFor(qint32 interval)
{
    const qint64 deadline = m_tick.elapsed() + interval;
    const QPointer<Scroller> self(this);
    for (qint64 left = interval; left > 0; left = deadline - m_tick.elapsed()) {
        QEventLoop loop;
        QTimer alarm;
        alarm.setSingleShot(true);
        alarm.setTimerType(Qt::PreciseTimer);
        connect(&alarm, &QTimer::timeout, &loop, &QEventLoop::quit);
        connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
        alarm.start(static_cast<int>(left));
        loop.exec();
        if (!self || alarm.isActive())
            return false;
    }
    return true;
}

void Scroller::paintBackBuffer()
{
    if (m_BackB.isNull())
        return;
    m_BackB.fill(m_backColor);
    layOutText();
    const QImage& line = m_line;
    if (line.isNull()) {
        if (m_text.isEmpty())
            return;
        QPainter painter(&m_BackB); // too wide to keep as a picture
        painter.setFont(font());
        painter.setPen(m_textColor);
        painter.drawText(QPoint(m_x, m_y + lineTop() + fontMetrics().ascent()), m_text);
        return;
    }
    // Rows of the text's picture go into the buffer where they overlap it, in device pixels.
    const qreal ratio = m_BackB.devicePixelRatio();
    const QPoint at(qRound((m_x - m_lineMargin) * ratio), qRound((m_y + lineTop() - m_lineMargin) * ratio));
    const QRect target = QRect(at, line.size()) & m_BackB.rect();
    if (target.isEmpty())
        return;
    const qsizetype bytes = qsizetype(target.width()) * 4;
    for (int row = target.top(); row <= target.bottom(); ++row)
        std::memcpy(m_BackB.scanLine(row) + qsizetype(target.left()) * 4,
                    line.constScanLine(row - at.y()) + qsizetype(target.left() - at.x()) * 4, size_t(bytes));
}

// Measures the text and draws it once on the background colour, with a margin of one line height all
// round for the parts of letters that reach beyond their advance; laying a text out is the dearest part
// of a frame, so this happens only when the text, font, colours or pixel ratio changed. The picture is
// null for an empty text, or one too wide to keep as a picture (frames then draw the text themselves).
void Scroller::layOutText()
{
    const qreal ratio = devicePixelRatioF();
    if (!m_textStale && m_lineRatio == ratio)
        return;
    m_textStale = false;
    m_lineRatio = ratio;
    const QFontMetrics metrics = fontMetrics();
    m_width = metrics.horizontalAdvance(m_text);
    m_line = QImage();
    if (m_text.isEmpty() || m_width > MaxLineWidth)
        return;
    m_lineMargin = metrics.height();
    m_line = QImage(QSize(std::max(m_width, 0) + 2 * m_lineMargin, 3 * m_lineMargin) * ratio, QImage::Format_RGB32);
    m_line.setDevicePixelRatio(ratio);
    m_line.fill(m_backColor);
    QPainter painter(&m_line);
    painter.setFont(font());
    painter.setPen(m_textColor);
    painter.drawText(QPoint(m_lineMargin, m_lineMargin + metrics.ascent()), m_text);
}

void Scroller::copyToDraw()
{
    if (m_Draw.isNull() || m_BackB.isNull())
        return;
    std::memcpy(m_Draw.bits(), m_BackB.constBits(), size_t(m_BackB.sizeInBytes())); // both of the control's size
    update();
}

// A buffer of the control's size at the screen's pixel ratio, showing what old showed, in the background
// colour elsewhere.
QImage Scroller::resizedBuffer(const QImage& old) const
{
    if (width() <= 0 || height() <= 0)
        return QImage();
    const qreal ratio = devicePixelRatioF();
    QImage buffer(size() * ratio, QImage::Format_RGB32);
    buffer.setDevicePixelRatio(ratio);
    buffer.fill(m_backColor);
    if (!old.isNull()) {
        QPainter painter(&buffer);
        painter.drawImage(0, 0, old);
    }
    return buffer;
}

int Scroller::stopPosition(Stop stop)
{
    switch (stop) {
    case Stop::Rest:
        return 1;
    case Stop::LeftExit:
        // The text has left once x is at minus its width as the font measures it (QFontMetrics): character
        // widths differ between fonts and scripts, so no fixed width per character is assumed.
        layOutText();
        return std::max(-m_width, PositionMin);
    case Stop::UpExit:
        return std::max(-(lineTop() + fontMetrics().height()), PositionMin);
    }
    return 1;
}

// Top of the text line at y = 0: the line is centred in the band.
int Scroller::lineTop() const
{
    return std::max(0, (height() - fontMetrics().height()) / 2);
}

// One frame's move; a speed of 0 or less still moves one pixel, so the scroll ends.
qint16 Scroller::stepBack(qint16 position) const
{
    const int speed = std::max<int>(m_speed, 1);
    return toPosition(position - speed);
}

} // namespace Ribbonix
