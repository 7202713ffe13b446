#pragma once

#include "platform/QtRuntime.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace tavu::test {

// The program's runtime, which a test can run for a while: events, timers and sockets are handled
// in a loop of the test's own while the test waits for them.
class PumpedQtRuntime : public QtRuntime {
public:
    void runFor(std::int64_t ms)
    {
        if (quitting())
            return;
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(std::clamp<std::int64_t>(ms, 0, 3600 * 1000)), Qt::PreciseTimer, &loop,
                           &QEventLoop::quit);
        loop.exec();
    }
    void runUntil(const std::function<bool()>& done)
    {
        while (!quitting() && !done())
            runFor(2);
    }
};

// Runs the loop until the task has ended; its value (an empty one when the program was told to
// end first).
template <typename T>
T finish(PumpedQtRuntime& runtime, Task<T> task)
{
    runtime.runUntil([&task] { return task.done(); });
    if constexpr (!std::is_void_v<T>) {
        if (!task.done())
            return T{};
        return std::move(task.result());
    }
}

} // namespace tavu::test
