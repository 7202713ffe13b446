#include <ribbonix/Scroller.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

using Ribbonix::Scroller;
using State = Scroller::State;

namespace {

// Runs events until no scroll is pending or running. onPass sees the state about every millisecond meanwhile,
// from inside the scroll's frames and waits. The bound only keeps a broken scroll from hanging the suite.
std::vector<State> runUntilIdle(Scroller& s, const std::function<void(const State&)>& onPass = {})
{
    std::vector<State> busy;
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const State now = s.state();
        if (now.busy)
            busy.push_back(now);
        if (onPass)
            onPass(now);
    });
    probe.start();
    QElapsedTimer bound;
    bound.start();
    while (s.state().enabledTimers > 0 && bound.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return busy;
}

void expectIdle(const Scroller& s)
{
    EXPECT_FALSE(s.state().busy);
    EXPECT_EQ(s.state().enabledTimers, 0);
    for (const QTimer* timer : s.findChildren<QTimer*>())
        EXPECT_FALSE(timer->isActive()); // an idle control costs no CPU
}

// Once a scroll has ended the band shows its background and nothing of the text.
void expectBlank(Scroller& s, const QColor& background)
{
    const QImage frame = s.grab().toImage();
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            ASSERT_EQ(frame.pixelColor(x, y), background) << x << "," << y;
}

// The frame on show while a text of full blocks rests at the left edge.
QImage restingFrame(Scroller& s)
{
    QImage frame;
    s.DoScroll(QString(3, QChar(0x2588)), 6, 50, false);
    runUntilIdle(s, [&](const State& now) {
        if (frame.isNull() && now.busy && now.x <= 1)
            frame = s.grab().toImage();
    });
    return frame;
}

} // namespace

TEST(ScrollerTest, LeftScrollEntersAtTheRightEdgeRestsAndLeavesByTheMeasuredTextWidth)
{
    Scroller s;
    s.resize(30, 20);
    s.resize(70, 20);
    s.setFont(QFont(QStringLiteral("DejaVu Sans"), 20)); // far wider than 8 pixels a character
    const QString text = QStringLiteral("WWWWWW");
    const int textWidth = s.fontMetrics().horizontalAdvance(text);
    s.DoScroll(text, 10, 30, false);

    const std::vector<State> busy = runUntilIdle(s);
    ASSERT_FALSE(busy.empty());
    EXPECT_LE(busy.front().x, 70);
    EXPECT_GT(busy.front().x, 70 - 10 - 1);
    bool rested = false;
    for (std::size_t i = 0; i < busy.size(); ++i) {
        EXPECT_EQ(busy[i].y, 0);
        if (i > 0) {
            EXPECT_LE(busy[i].x, busy[i - 1].x);
        }
        rested |= busy[i].x <= 1 && busy[i].x > 1 - 10;
    }
    EXPECT_TRUE(rested);
    EXPECT_LE(s.state().x, -textWidth);
    EXPECT_GT(s.state().x, -textWidth - 10);
    expectIdle(s);
}

class ScrollDirTest : public testing::TestWithParam<std::optional<qint16>> {};

TEST_P(ScrollDirTest, OneScrollsUpAnythingElseLeftAndTheScrollEnds)
{
    Scroller s;
    s.resize(30, 20);
    const bool up = GetParam() == 1;
    if (GetParam())
        s.DoScroll(QStringLiteral("x"), 8, 0, false, *GetParam());
    else
        s.DoScroll(QStringLiteral("x"), 8, 0, false);
    EXPECT_EQ(s.state().vertical, up);

    const std::vector<State> busy = runUntilIdle(s);
    ASSERT_FALSE(busy.empty());
    for (const State& now : busy)
        EXPECT_EQ(up ? now.x : now.y, up ? 1 : 0);
    if (up) {
        EXPECT_LE(s.state().y, -s.fontMetrics().height());
    } else {
        EXPECT_LE(s.state().x, -s.fontMetrics().horizontalAdvance(QStringLiteral("x")));
    }
    expectIdle(s);
    expectBlank(s, QColor(0, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(Directions, ScrollDirTest,
                         testing::Values(std::nullopt, qint16(0), qint16(1), qint16(2), qint16(-1)));

TEST(ScrollerTest, WithoutOverrideACallDuringAScrollChangesNothingAndOneAfterItStartsANewScroll)
{
    Scroller s;
    s.resize(40, 20);
    s.DoScroll(QStringLiteral("first"), 6, 20, false);
    std::optional<State> before, after;
    runUntilIdle(s, [&](const State& now) {
        if (before || !now.busy)
            return;
        before = s.state();
        s.DoScroll(QStringLiteral("second"), 3, 7, false, 1);
        after = s.state();
    });
    ASSERT_TRUE(before && after);
    EXPECT_EQ(after->text, QStringLiteral("first"));
    EXPECT_EQ(after->speed, before->speed);
    EXPECT_EQ(after->pause, before->pause);
    EXPECT_EQ(after->vertical, before->vertical);
    EXPECT_EQ(after->enabledTimers, 1);
    expectIdle(s);

    s.DoScroll(QStringLiteral("second"), 12, 0, false, 1);
    bool secondRan = false;
    runUntilIdle(s, [&](const State& now) { secondRan |= now.busy && now.vertical && now.speed == 12; });
    EXPECT_TRUE(secondRan);
    EXPECT_EQ(s.state().text, QStringLiteral("second"));
}

TEST(ScrollerTest, OverrideTakesTheNewValuesAtOnceAndRestartsOnAnotherTimer)
{
    Scroller s;
    s.resize(60, 20);
    s.DoScroll(QStringLiteral("old"), 4, 0, false);
    std::optional<State> atCall, afterCall;
    int highestAfter = -32768;
    runUntilIdle(s, [&](const State& now) {
        if (atCall && now.busy)
            highestAfter = std::max<int>(highestAfter, now.x);
        if (atCall || !now.busy || now.x >= 40)
            return;
        atCall = now;
        s.DoScroll(QStringLiteral("new"), 9, 5, true);
        afterCall = s.state();
    });
    ASSERT_TRUE(atCall && afterCall);
    EXPECT_EQ(afterCall->text, QStringLiteral("new"));
    EXPECT_EQ(afterCall->speed, 9);
    EXPECT_EQ(afterCall->pause, 5);
    EXPECT_EQ(afterCall->enabledTimers, 2); // the running scroll keeps its own timer
    EXPECT_GT(highestAfter, atCall->x);     // the new scroll enters again at the right edge
    expectIdle(s);
}

TEST(ScrollerTest, AtMostTwentyOneScrollsArePendingAndAllOfThemEnd)
{
    Scroller s;
    s.resize(20, 20);
    for (int i = 0; i < Scroller::TimerCount + 4; ++i)
        s.DoScroll(QStringLiteral("x"), 10, 0, true);
    EXPECT_EQ(s.state().enabledTimers, Scroller::TimerCount);
    runUntilIdle(s);
    expectIdle(s);
}

class NonPositiveSpeedTest : public testing::TestWithParam<qint16> {};

TEST_P(NonPositiveSpeedTest, AnEmptyTextMovesOnePixelAFrameShowsOnlyBackgroundAndEnds)
{
    Scroller s;
    s.resize(10, 20);
    s.BackColor(0x00102030);
    s.DoScroll(QString(), GetParam(), -1000, false);
    const std::vector<State> busy = runUntilIdle(s);
    for (std::size_t i = 1; i < busy.size(); ++i) {
        if (busy[i].x != busy[i - 1].x) {
            EXPECT_EQ(busy[i].x, busy[i - 1].x - 1);
        }
    }
    EXPECT_EQ(s.state().x, 0); // an empty text has left as soon as x is 0
    expectIdle(s);
    expectBlank(s, QColor(0x30, 0x20, 0x10));
}

INSTANTIATE_TEST_SUITE_P(Speeds, NonPositiveSpeedTest, testing::Values(qint16(0), qint16(-5), qint16(-32768)));

TEST(ScrollerTest, ColoursReachTheFramePixels)
{
    Scroller s;
    s.resize(50, 20);
    QImage frame = restingFrame(s);
    ASSERT_FALSE(frame.isNull());
    EXPECT_EQ(frame.pixelColor(12, 10), QColor(240, 240, 240));
    EXPECT_EQ(frame.pixelColor(40, 10), QColor(0, 0, 0));
    EXPECT_EQ(frame.pixelColor(12, 0), QColor(0, 0, 0)); // the line is centred, clear of the top edge

    s.TextColor(0xFFFDBC56); // the top byte is ignored
    s.BackColor(0x00332211);
    frame = restingFrame(s);
    ASSERT_FALSE(frame.isNull());
    EXPECT_EQ(frame.pixelColor(12, 10), QColor(86, 188, 253));
    EXPECT_EQ(frame.pixelColor(40, 10), QColor(0x11, 0x22, 0x33));
    expectBlank(s, QColor(0x11, 0x22, 0x33));
}

// Every frame on show is the text as drawn straight onto the band at the frame's position, in both
// directions and wherever the text stands: entering, resting, half gone. While a frame is on show the
// position has already moved on by one step.
TEST(ScrollerTest, EveryFrameShowsTheTextExactlyAsDrawnAtItsPosition)
{
    for (const qint16 dir : {qint16(0), qint16(1)}) {
        SCOPED_TRACE(dir);
        Scroller s;
        s.resize(120, 24);
        s.BackColor(0x00102030);
        s.TextColor(0x0056BCFD);
        const QString text = QStringLiteral("Tavu \u2014 K\u00e4\u00e4rij\u00e4 \u266a fj/|");
        const qint16 speed = 5;
        s.DoScroll(text, speed, 30, false, dir);
        int compared = 0;
        runUntilIdle(s, [&](const State& now) {
            if (!now.busy || compared >= 40)
                return;
            const int x = dir == 1 ? now.x : now.x + speed;
            const int y = dir == 1 ? now.y + speed : now.y;
            QImage expected(s.size(), QImage::Format_RGB32);
            expected.fill(QColor(0x30, 0x20, 0x10));
            QPainter painter(&expected);
            painter.setFont(s.font());
            painter.setPen(QColor(0xFD, 0xBC, 0x56));
            const int lineTop = std::max(0, (s.height() - s.fontMetrics().height()) / 2);
            painter.drawText(QPoint(x, y + lineTop + s.fontMetrics().ascent()), text);
            painter.end();
            const QImage shown = s.grab().toImage().convertToFormat(QImage::Format_RGB32);
            if (x < s.width() && y < s.height()) {
                ASSERT_EQ(shown, expected) << "at " << x << "," << y;
                ++compared;
            }
        });
        EXPECT_GE(compared, 10);
    }
}

TEST(ScrollerTest, DestroyingTheControlDuringAScrollEndsTheScroll)
{
    QPointer<Scroller> doomed = new Scroller;
    doomed->resize(60, 20);
    doomed->DoScroll(QStringLiteral("bye"), 2, 0, false);
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (doomed && doomed->state().busy && doomed->state().x < 50)
            delete doomed.data();
    });
    probe.start();
    QElapsedTimer bound;
    bound.start();
    while (doomed && bound.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_TRUE(doomed.isNull());

    Scroller next;
    next.resize(20, 20);
    next.DoScroll(QStringLiteral("x"), 10, 0, false);
    runUntilIdle(next);
    expectIdle(next);
}

TEST(ScrollerTest, QuittingTheApplicationEndsAScrollWithoutWaitingOutItsPause)
{
    Scroller s;
    s.resize(20, 20);
    s.DoScroll(QStringLiteral("x"), 10, 600000, false);
    bool quit = false;
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (!quit && s.state().busy && s.state().x <= 1) {
            quit = true;
            QCoreApplication::exit(0);
        }
    });
    probe.start();
    QTimer bound; // only keeps a broken scroll from hanging the suite
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    bound.start(10000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_TRUE(quit);
    expectIdle(s);
}

// A frame is a tick of the host's own event loop: no frame or wait spins a loop of its own, so the host's
// event loop gets control back between frames while the scroll goes on, and a signal's shutdown or any
// other handler runs at its own level, not inside a scroll.
TEST(ScrollerTest, EachFrameReturnsToTheHostsEventLoop)
{
    Scroller s;
    s.resize(40, 20);
    s.DoScroll(QStringLiteral("level"), 2, 30, false);
    int returnsWhileBusy = 0;
    QElapsedTimer bound;
    bound.start();
    while (s.state().enabledTimers > 0 && bound.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        returnsWhileBusy += s.state().busy ? 1 : 0;
    }
    EXPECT_GT(returnsWhileBusy, 10);
    expectIdle(s);
}
