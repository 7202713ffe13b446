#include "settings/ProfileFile.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace tavu {
namespace {

// A writer killed at random moments leaves a file that holds either the old or the new value of
// every key, never a torn one.
TEST(CrashSafety, KilledWriterLeavesOldOrNewFile)
{
    test::TestDir dir;
    const std::string ini = dir.file("Tavu.ini");
    ASSERT_TRUE(writeSetting("Totals", "Mp3s Played", "0", ini));
    ASSERT_TRUE(writeSetting("Ascii", "text color", "abcdef", ini));
    std::mt19937 random(42);
    for (int round = 0; round < 30; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const long start = std::stol(readSetting("Totals", "Mp3s Played", ini));
            for (long n = start + 1;; ++n) {
                writeSetting("Totals", "Mp3s Played", std::to_string(n), ini);
                writeSetting("Ascii", "text color", n % 2 ? "ff0000" : "00ff00", ini);
            }
        }
        ::usleep(std::uniform_int_distribution<int>(200, 5000)(random));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const std::string played = readSetting("Totals", "Mp3s Played", ini);
        const std::string color = readSetting("Ascii", "text color", ini);
        ASSERT_FALSE(played.empty()) << "round " << round;
        ASSERT_EQ(played.find_first_not_of("0123456789"), std::string::npos) << played;
        ASSERT_TRUE(color == "abcdef" || color == "ff0000" || color == "00ff00") << color;
    }
}

} // namespace
} // namespace tavu
