#include "platform/SignalWatcher.h"
#include "support/PumpedQtRuntime.h"

#include <gtest/gtest.h>

#include <csignal>

namespace tavu {
namespace {

// Each of the three signals becomes a call on the event loop, in order, and the program runs on;
// afterwards the signals have their default actions again.
TEST(SignalWatcher, TurnsTheEndingSignalsIntoEventsAndGivesThemBack)
{
    test::PumpedQtRuntime runtime;
    std::vector<int> heard;
    {
        SignalWatcher watcher([&](int signal) { heard.push_back(signal); });
        ASSERT_TRUE(watcher.active());
        for (const int signal : {SIGTERM, SIGINT, SIGHUP})
            ::raise(signal);
        EXPECT_TRUE(heard.empty()) << "the handler must not run the reaction itself";
        for (int i = 0; i < 100 && heard.size() < 3; ++i)
            runtime.runFor(10);
        EXPECT_EQ(heard, (std::vector<int>{SIGTERM, SIGINT, SIGHUP}));
    }
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction current {};
        ::sigaction(signal, nullptr, &current);
        EXPECT_EQ(current.sa_handler, SIG_DFL) << signal;
    }
}

} // namespace
} // namespace tavu
