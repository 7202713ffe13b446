#include "support/PumpedQtRuntime.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace tavu {
namespace {

// A window that, like the main window during shutdown, refuses to be closed.
class StubbornWindow : public QWidget {
protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

TEST(QtRuntime, QuitEndsTheProgramEvenWhenWindowsRefuseToClose)
{
    test::PumpedQtRuntime runtime;
    StubbornWindow window;
    window.show();
    bool waited = false;
    TaskScope tasks;
    QTimer::singleShot(0, [&] {
        tasks.start([](test::PumpedQtRuntime& loop, bool& seen) -> Task<> {
            co_await secondsPass(loop, 0);
            seen = true;
            loop.quit();
        }(runtime, waited));
    });
    QTimer safety; // ends the test instead of hanging if quitting fails
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    safety.start(10000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(waited);
    EXPECT_TRUE(runtime.quitting());
}

// The main loop wakes what waits: a second's wait, and work of another thread; the loop's timers
// and events run meanwhile, and a dropped alarm never rings.
TEST(QtRuntime, TheLoopWakesWaitingTasks)
{
    test::PumpedQtRuntime runtime;
    int ticks = 0;
    bool posted = false;
    bool dropped = false;
    Timer timer(runtime, 50, [&] { ++ticks; });
    timer.setEnabled(true);
    runtime.post([&] { posted = true; });
    std::atomic<bool> worked = false;
    std::thread worker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        worked = true;
    });
    auto alarm = runtime.wakeAfter(10, [&] { dropped = true; });
    alarm.reset();
    TaskScope tasks;
    bool ended = false;
    tasks.start(
        [](Runtime& loop, std::atomic<bool>& flag) -> Task<> {
            co_await workDone(loop, [&flag] { return flag.load(); });
            co_await secondsPass(loop, 1);
        }(runtime, worked),
        [&] { ended = true; });
    runtime.runUntil([&] { return ended; });
    worker.join();
    EXPECT_TRUE(posted);
    EXPECT_GE(ticks, 5);
    EXPECT_FALSE(dropped);
}

} // namespace
} // namespace tavu
