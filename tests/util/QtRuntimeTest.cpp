#include "platform/QtRuntime.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTimer>
#include <QWidget>

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
    QtRuntime runtime;
    StubbornWindow window;
    window.show();
    bool waited = false;
    QTimer::singleShot(0, [&] {
        Wait(runtime, 0);
        waited = true;
        runtime.quit();
    });
    QTimer safety; // ends the test instead of hanging if quitting fails
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    safety.start(10000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(waited);
    EXPECT_TRUE(runtime.quitting());
}

TEST(QtRuntime, WaitRunsEventsAndTimersInsideIt)
{
    QtRuntime runtime;
    int ticks = 0;
    bool posted = false;
    Timer timer(runtime, 50, [&] { ++ticks; });
    timer.setEnabled(true);
    runtime.post([&] { posted = true; });
    Wait(runtime, 1);
    EXPECT_TRUE(posted);
    EXPECT_GE(ticks, 5);
}

} // namespace
} // namespace tavu
